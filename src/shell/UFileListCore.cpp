#define ORVA_UNIT "UFileListCore"
#include "shell/UFileListCore.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "numeric/UStraightLine.h"

std::string EquText(bool Equidistant) { return Equidistant ? "Y" : "N"; }

std::string MinMaxText(double Value) {
  if (std::isnan(Value)) return "NaN";
  return Format("%1.6g", Value);
}

TListRow ListRowTexts(const TSpec32 &Spec) {
  TListRow Row;
  Row[lcFileName] = Spec.FileName();
  Row[lcDataPoints] = Format("%d", Spec.Size());
  Row[lcEqu] = EquText(Spec.Equidistant());
  std::string Value, Strg, Comment;
  const TFitsBess &H = Spec.FitsBess();
  Row[lcDateObs] = H.ReadStr("DATE-OBS", Value, Comment) ? Value : " ";
  // The exposure is shown as the card writes it ("300.0" stays "300.0").
  double D = 0;
  Row[lcExposure] = H.ReadDbl("EXPTIME", D, Strg, Comment) ? Strg : " ";
  Row[lcMin] = MinMaxText(Spec.MinVal());
  Row[lcMax] = MinMaxText(Spec.MaxVal());
  Row[lcPath] = Spec.FilePath();
  return Row;
}

namespace {

int CompareNoCase(const std::string &A, const std::string &B) {
  const size_t N = std::min(A.size(), B.size());
  for (size_t i = 0; i < N; ++i) {
    const int CA = std::tolower(static_cast<unsigned char>(A[i]));
    const int CB = std::tolower(static_cast<unsigned char>(B[i]));
    if (CA != CB) return CA < CB ? -1 : 1;
  }
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  return 0;
}

// NaN (no value) after every number, so the order stays a strict weak ordering.
int CompareNumbers(double A, double B) {
  const bool NA = std::isnan(A), NB = std::isnan(B);
  if (NA || NB) return NA == NB ? 0 : (NA ? 1 : -1);
  return A < B ? -1 : (B < A ? 1 : 0);
}

double ExposureValue(const TSpec32 &S) {
  double D = 0;
  std::string Strg, Comment;
  if (!S.FitsBess().ReadDbl("EXPTIME", D, Strg, Comment)) return std::nan("");
  return D;
}

std::string DateObsText(const TSpec32 &S) {
  std::string Value, Comment;
  return S.FitsBess().ReadStr("DATE-OBS", Value, Comment) ? Value : std::string();
}

} // namespace

int CompareListCells(int Column, const TSpec32 &A, const TSpec32 &B) {
  switch (Column) {
  case lcFileName:
    return CompareNoCase(A.FileName(), B.FileName());
  case lcDataPoints:
    return A.Size() < B.Size() ? -1 : (B.Size() < A.Size() ? 1 : 0);
  case lcEqu:
    return static_cast<int>(A.Equidistant()) - static_cast<int>(B.Equidistant());
  case lcDateObs: {
    // A spectrum without a date goes after the dated ones.
    const std::string DA = DateObsText(A), DB = DateObsText(B);
    if (DA.empty() || DB.empty()) return DA.empty() == DB.empty() ? 0 : (DA.empty() ? 1 : -1);
    return CompareNoCase(DA, DB);
  }
  case lcExposure:
    return CompareNumbers(ExposureValue(A), ExposureValue(B));
  case lcMin:
    return CompareNumbers(A.MinVal(), B.MinVal());
  case lcMax:
    return CompareNumbers(A.MaxVal(), B.MaxVal());
  case lcPath:
    return CompareNoCase(A.FilePath(), B.FilePath());
  default:
    return 0;
  }
}

std::string ResultName(const std::string &FName, const std::string &History, int &UntitledCounter) {
  if (FName.empty()) {
    ++UntitledCounter;
    return Format("Untitled-%1d", UntitledCounter);
  }
  // Only a dot in the file-name part starts an extension ("dir.v2/star" has none).
  const size_t Sep = FName.find_last_of('/');
  const size_t NameStart = Sep == std::string::npos ? 0 : Sep + 1;
  const size_t Dot = FName.find_last_of('.');
  if (Dot == std::string::npos || Dot < NameStart) return FName + History;
  return FName.substr(0, Dot) + History;
}

TDblArr1D XAxisResiduals(const TDblArr1D &X, int32_t n) {
  ORVA_ASSERT(n >= 1 && static_cast<size_t>(n) <= X.size());
  TDblArr1D Index(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    Index[i] = i;
  const TStraightLineFit F = FitStraightLine(n, Index, std::span<const double>(X.data(), static_cast<size_t>(n)));
  TDblArr1D R(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    R[i] = (F.b * i + F.a) - X[i];
  return R;
}

std::vector<std::string> CheckSpectrumLines(const TDblArr1D &X, int32_t n) {
  std::vector<std::string> Lines;
  if (n >= 1) {
    ORVA_ASSERT(static_cast<size_t>(n) <= X.size());
    double Last = X[0];
    for (int32_t i = 1; i < n; ++i) {
      if (X[i] > Last)
        Last = X[i];
      else
        Lines.push_back(Format("x-values are not strictly increasing with index (line %1d)", i));
    }
  }
  if (Lines.empty()) Lines.push_back("x-vlaues are strictly increasing with index");
  return Lines;
}

std::array<std::string, 3> TextWindowRow(const TSpec32 &Spec, int32_t i) {
  if (i < 0 || i >= Spec.Size()) OrvaRaise(Format("Index %d out of range", i));
  return {Format("%d", i), Format("%1.8g", Spec.DataX[i]), Format("%1.7g", Spec.DataY[i])};
}

std::string TextWindowLimitText(int32_t n) { return Format("Only 5000 lines out of %1d lines are shown", n); }

std::string UnsavedText(int N) {
  if (N == 1) return "1 unsaved spectrum";
  return Format("%d", N) + " unsaved spectra";
}

std::string MessageNamingFile(const std::string &Msg, const std::string &FName) {
  if (FName.empty() || Msg.find(FName) != std::string::npos) return Msg;
  const size_t Sep = FName.find_last_of('/');
  const std::string Name = Sep == std::string::npos ? FName : FName.substr(Sep + 1);
  if (!Name.empty() && Msg.find(Name) != std::string::npos) return Msg;
  return FName + ": " + Msg;
}

std::string CloseUnsavedText(int N) { return UnsavedText(N) + " will be lost. Close anyway?"; }

int ProfileWidth(int MainWidth) {
  return std::max(500, static_cast<int>(std::lround((MainWidth - 10) * 0.8)));
}

std::vector<TFilterEntry> ParseFileFilter(const std::string &Filter) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  for (;;) {
    const size_t Bar = Filter.find('|', Start);
    Parts.push_back(Filter.substr(Start, Bar == std::string::npos ? std::string::npos : Bar - Start));
    if (Bar == std::string::npos) break;
    Start = Bar + 1;
  }
  std::vector<TFilterEntry> Entries;
  for (size_t i = 0; i + 1 < Parts.size(); i += 2) {
    TFilterEntry E;
    E.Description = Parts[i];
    size_t P = 0;
    const std::string &Pat = Parts[i + 1];
    for (;;) {
      const size_t Semi = Pat.find(';', P);
      std::string One = Trim(Pat.substr(P, Semi == std::string::npos ? std::string::npos : Semi - P));
      if (!One.empty()) E.Patterns.push_back(One);
      if (Semi == std::string::npos) break;
      P = Semi + 1;
    }
    Entries.push_back(E);
  }
  return Entries;
}

#include "core/USpec32.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/UErrors.h"
#include "core/UFitsTable.h"
#include "core/UFormat.h"
#include "core/ULargeArray.h"
#include "core/USafeFile.h"

#define ORVA_UNIT "USpec32"

namespace {

// The scan as written down: from the first finite value, a smaller finite y lowers min,
// otherwise a larger one raises max. Used where the order of the values matters (which of
// two equal zeros, 0.0 or -0.0, is kept).
void SequentialMinMax(const double *P, int32_t N, double &MinVal, double &MaxVal) {
  int32_t i = 0;
  while (i < N && !std::isfinite(P[i]))
    ++i;
  if (i == N) {
    MinVal = MaxVal = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  double Mn = P[i], Mx = P[i];
  for (++i; i < N; ++i) {
    const double V = P[i];
    if (!std::isfinite(V)) continue;
    if (V < Mn)
      Mn = V;
    else if (V > Mx)
      Mx = V;
  }
  MinVal = Mn;
  MaxVal = Mx;
}

} // namespace

void MinMaxScan(const TDblArr1D &Y, int32_t N, double &MinVal, double &MaxVal) {
  if (N <= 0) return;
  MinMaxScanRaw(Y.data(), N, MinVal, MaxVal);
}

void MinMaxScanRaw(const double *P, int32_t N, double &MinVal, double &MaxVal) {
  if (N <= 0) return;
  // Only finite values count: NaN (a blank pixel) and infinities would make the plot's
  // range meaningless. Without a finite value both results are NaN.
  // A value that lowers min can never raise max, so the two updates are independent and
  // four lanes give the same extremes as the single chain of comparisons, much faster. Only
  // the sign of a zero extreme can depend on the order; that case is scanned again in order.
  constexpr double Inf = std::numeric_limits<double>::infinity();
  constexpr double Big = std::numeric_limits<double>::max();
  double Mn[4] = {Inf, Inf, Inf, Inf}, Mx[4] = {-Inf, -Inf, -Inf, -Inf};
  int32_t i = 0;
  for (; i + 4 <= N; i += 4)
    for (int k = 0; k < 4; ++k) {
      const double V = P[i + k];
      const bool Finite = std::fabs(V) <= Big; // false for NaN and both infinities
      Mn[k] = Finite && V < Mn[k] ? V : Mn[k];
      Mx[k] = Finite && V > Mx[k] ? V : Mx[k];
    }
  for (; i < N; ++i) {
    const double V = P[i];
    const bool Finite = std::fabs(V) <= Big;
    Mn[0] = Finite && V < Mn[0] ? V : Mn[0];
    Mx[0] = Finite && V > Mx[0] ? V : Mx[0];
  }
  for (int k = 1; k < 4; ++k) {
    Mn[0] = Mn[k] < Mn[0] ? Mn[k] : Mn[0];
    Mx[0] = Mx[k] > Mx[0] ? Mx[k] : Mx[0];
  }
  if (Mn[0] > Mx[0]) { // no finite value
    MinVal = MaxVal = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  if (Mn[0] == 0 || Mx[0] == 0) {
    SequentialMinMax(P, N, MinVal, MaxVal);
    return;
  }
  MinVal = Mn[0];
  MaxVal = Mx[0];
}

TSpec32::TSpec32() : pFitsBess(std::make_unique<TFitsBess>()) {}

TSpec32::~TSpec32() = default;

void TSpec32::NewSpec(const std::string &Name, int32_t Nx, double Val, const TSpec32 *Info) {
  ORVA_ASSERT(Nx >= 0);
  pFilePath.clear();
  pFileName = Name;
  pSize = Nx;
  pMinVal = Val;
  pMaxVal = Val;
  if (Info) {
    *pFitsBess = Info->FitsBess();
    pFitsBess->SetBITPIX(-32);
    pFitsBess->SetNAXIS1(Nx);
  } else {
    pFitsBess->NewHeader(Nx);
  }
  DataX.resize(static_cast<size_t>(Nx));
  DataY.assign(static_cast<size_t>(Nx), Val);
  for (int32_t i = 0; i < Nx; ++i)
    DataX[static_cast<size_t>(i)] = i;
  pEquidistant = true;
}

void TSpec32::UpdateSpec() {
  MinMaxScan(DataY, pSize, pMinVal, pMaxVal);
  ++pDataVersion;
}

bool TSpec32::IsEquidistant() const {
  int32_t M = pSize - 1;
  if (M < 1) return true;
  const double Step = (DataX[static_cast<size_t>(M)] - DataX[0]) / M;
  const double Tol = 1e-5 * Step;
  for (int32_t j = 1; j <= M; ++j)
    if (std::fabs(DataX[static_cast<size_t>(j)] - DataX[static_cast<size_t>(j - 1)] - Step) > Tol)
      return false;
  return true;
}

bool TSpec32::CompareXValues(const TSpec32 &Other, std::string &Msg) const {
  if (Other.pSize != pSize) {
    Msg = "Number of data points differ";
    return false;
  }
  const int32_t N = pSize;
  // The magnitude of the mean step: for a decreasing axis the step is negative, and a
  // difference divided by it would always pass.
  const double Step = N > 1 ? std::fabs((DataX[static_cast<size_t>(N - 1)] - DataX[0]) / (N - 1)) : 0.0;
  if (N > 1 && Step == 0) {
    Msg = "First and last x-values are equal";
    return false;
  }
  for (int32_t i = 0; i < N; ++i) {
    double A = DataX[static_cast<size_t>(i)], B = Other.DataX[static_cast<size_t>(i)];
    if (A == B) continue;
    // Written as "not <=" so that a zero or NaN step reports the difference.
    if (!(std::fabs(B - A) / Step <= 1e-5)) {
      Msg = "X-values differ at index " + std::to_string(i);
      return false;
    }
  }
  Msg.clear();
  return true;
}

void TSpec32::SetSize(int32_t N) {
  ORVA_ASSERT(N >= 0);
  pSize = N;
  DataX.resize(static_cast<size_t>(N));
  DataY.resize(static_cast<size_t>(N));
}

void TSpec32::FinishFromArrays() {
  ORVA_ASSERT(DataX.size() == DataY.size());
  pSize = static_cast<int32_t>(DataX.size());
  UpdateSpec();
  pEquidistant = IsEquidistant();
}

void TSpec32::SetFromFullName(const std::string &FullName) {
  pFilePath = ExtractFilePath(FullName);
  pFileName = ExtractFileName(FullName);
}

void TSpec32::ReadFits(const std::string &FName) {
  SetFromFullName(FName);
  pOrigin = TSpecOrigin();
  TFitsBess &H = *pFitsBess;
  H.ReadHeader(FName, true);
  try {
    if (H.Layout() == TFitsLayout::ExtensionTable)
      ReadFitsTable(FName);
    else
      ReadFitsData(FName);
  } catch (...) {
    H.CloseStream();
    throw;
  }
}

void TSpec32::ReadFitsTable(const std::string &FName) {
  TFitsBess &H = *pFitsBess;
  const TTableLayout L = ParseBinTable(H.ExtensionCards(), FName, H.DataBytesAvailable());
  const std::string Raw = H.ReadRawData(L.RowBytes * L.Rows);
  TTableSpectrum T =
      ReadTableSpectrum(L, reinterpret_cast<const unsigned char *>(Raw.data()), Raw.size(), FName);
  DataX = std::move(T.X);
  DataY = std::move(T.Y);
  FinishFromArrays();
  H.SetOneAxis(pSize);
  // The header says what x now is; the unit of the column itself is gone with the conversion.
  if (!T.WaveColumn.empty()) {
    const bool Wn = T.Kind == TAxisUnitKind::Wavenumber;
    H.WriteStr("CUNIT1  ", Wn ? "cm-1" : "Angstrom", "added by Orvalumetrix");
    H.WriteStr("CTYPE1  ", Wn ? "Wavenumber" : "Wavelength", "added by Orvalumetrix");
  }
  pOrigin.Source = "extension 1 table columns " +
                   (T.WaveColumn.empty() ? std::string("(row index)") : T.WaveColumn) + "/" + T.FluxColumn;
  pOrigin.Axis = "table";
  pOrigin.Kind = T.Kind;
}

void TSpec32::ReadFitsLogAxis(const std::string &FName, double Factor) {
  // Logarithmic axes (p is the 1-based pixel): CTYPE1 'WAVE-LOG' (FITS WCS paper III)
  // x = CRVAL1 exp(CDELT1 (p - CRPIX1) / CRVAL1); the DC-FLAG = 1 convention
  // x = 10^(CRVAL1 + CDELT1 (p - CRPIX1)). Both in the unit of CUNIT1, then in Angstrom.
  TFitsBess &H = *pFitsBess;
  const double Crval = H.CRVAL1(), Cdelt = H.AxisStep(), Crpix = H.CRPIX1();
  const bool WaveLog = IsLogCtype(H.CTYPE1());
  if (WaveLog && Crval == 0) OrvaRaise(FName + ": CRVAL1 must not be 0 on a WAVE-LOG axis");
  for (int32_t p = 1; p <= pSize; ++p) {
    const double D = Cdelt * (p - Crpix);
    const double X = (WaveLog ? Crval * std::exp(D / Crval) : std::pow(10.0, Crval + D)) * Factor;
    if (!std::isfinite(X)) OrvaRaise(FName + ": the logarithmic x-axis leaves the range of numbers");
    DataX[static_cast<size_t>(p - 1)] = X;
  }
  pEquidistant = IsEquidistant();
}

void TSpec32::ReadFitsData(const std::string &FName) {
  TFitsBess &H = *pFitsBess;
  double Factor;
  const TAxisUnitKind Kind = ParseAxisUnit(H.CUNIT1(), Factor);
  if (Kind == TAxisUnitKind::Unknown) OrvaRaise(UpperCase(Trim(H.CUNIT1())) + ": wavelength units unknown");
  pOrigin.Source = H.Layout() == TFitsLayout::ExtensionImage ? "extension 1 image" : "primary image";
  pOrigin.Kind = Kind;
  int32_t DcFlag = 0;
  {
    std::string S, C;
    if (!H.ReadInt("DC-FLAG ", DcFlag, S, C)) DcFlag = 0;
  }
  const bool LogAxis = IsLogCtype(H.CTYPE1()) || DcFlag == 1;
  pOrigin.Axis = LogAxis ? "log" : "linear";
  int32_t N = H.NAXIS1();
  int32_t Bitpix = H.BITPIX();
  int Bytes = Bitpix == 8                       ? 1
              : Bitpix == 16                    ? 2
              : (Bitpix == 32 || Bitpix == -32) ? 4
              : (Bitpix == 64 || Bitpix == -64) ? 8
                                                : 0;
  if (Bytes == 0) OrvaRaise(Format("Unknown BITPIX value: %1d", Bitpix));
  // The arrays are sized from NAXIS1 only once the file is known to hold that much data:
  // a hostile header must not make us allocate more than the file's size.
  if (N <= 0 || static_cast<int64_t>(N) * Bytes > H.DataBytesAvailable())
    OrvaRaise(FName + ": not a FITS file");
  double Crval = H.CRVAL1(), Cdelt = H.AxisStep(), Crpix = H.CRPIX1();
  pSize = N;
  double Lo, Hi;
  H.ReadSpectrumFresh(DataY, Lo, Hi);
  // The extremes came with the reading. The sequential scan decides only where the order of
  // the values matters: no finite value, or a zero extreme (0.0 and -0.0 compare equal).
  if (Lo > Hi || Lo == 0 || Hi == 0) {
    UpdateSpec();
  } else {
    pMinVal = Lo;
    pMaxVal = Hi;
    ++pDataVersion;
  }
  if (LogAxis) {
    DataX.resize(static_cast<size_t>(N));
    ReadFitsLogAxis(FName, Factor);
    return;
  }
  // x and the equidistance test in one pass (the arithmetic of IsEquidistant: the mean step
  // from the first and last x, each step compared with it). x is made in small blocks on the
  // stack and appended to reserved storage, so that its 8 bytes per point are written once,
  // not zeroed first.
  const double Px = Crpix, Dx = Cdelt, Vx = Crval, Fx = Factor;
  auto XAt = [Px, Dx, Vx, Fx](int32_t i) { return ((i - Px) * Dx + Vx) * Fx; };
  ReserveFresh(DataX, static_cast<size_t>(N));
  const double Step = N > 1 ? (XAt(N) - XAt(1)) / (N - 1) : 0.0;
  const double Tol = 1e-5 * Step;
  constexpr int32_t Block = 1024;
  double Buf[Block];
  double Prev = XAt(1);
  int Bad = 0;
  for (int64_t First = 1; First <= N; First += Block) {
    const int32_t K = static_cast<int32_t>(std::min<int64_t>(Block, N - First + 1));
    const int32_t F0 = static_cast<int32_t>(First);
    for (int32_t j = 0; j < K; ++j)
      Buf[j] = XAt(F0 + j);
    if (First > 1) Bad |= std::fabs(Buf[0] - Prev - Step) > Tol;
    for (int32_t j = 1; j < K; ++j)
      Bad |= std::fabs(Buf[j] - Buf[j - 1] - Step) > Tol;
    Prev = Buf[K - 1];
    DataX.insert(DataX.end(), Buf, Buf + K);
  }
  const bool Equi = Bad == 0;
  pEquidistant = Equi;
}

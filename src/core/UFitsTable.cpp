#include "core/UFitsTable.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "core/UErrors.h"
#include "core/UFormat.h"

#define ORVA_UNIT "UFitsTable"

namespace {

constexpr int64_t MaxFields = 999; // the standard's limit of TFIELDS

template <typename U> U LoadBEUnsigned(const unsigned char *P) {
  U V = 0;
  for (size_t i = 0; i < sizeof(U); ++i)
    V = static_cast<U>((V << 8) | P[i]);
  return V;
}

// One stored value: big-endian raw, an integer equal to TNULLn is undefined (NaN), then
// raw x TSCALn + TZEROn (in extended precision when scaled, as for images).
double ValueAt(const TTableColumn &C, const unsigned char *P) {
  long double Raw;
  bool Integer = true;
  int64_t I = 0;
  switch (C.Type) {
  case 'B':
    I = P[0];
    break;
  case 'I':
    I = static_cast<int16_t>(LoadBEUnsigned<uint16_t>(P));
    break;
  case 'J':
    I = static_cast<int32_t>(LoadBEUnsigned<uint32_t>(P));
    break;
  case 'K':
    I = static_cast<int64_t>(LoadBEUnsigned<uint64_t>(P));
    break;
  case 'E':
    Integer = false;
    Raw = std::bit_cast<float>(LoadBEUnsigned<uint32_t>(P));
    break;
  default: // 'D'
    Integer = false;
    Raw = std::bit_cast<double>(LoadBEUnsigned<uint64_t>(P));
    break;
  }
  if (Integer) {
    if (C.HasNull && I == C.Null) return std::numeric_limits<double>::quiet_NaN();
    Raw = static_cast<long double>(I);
  }
  if (C.Scale == 1.0 && C.Zero == 0.0) return static_cast<double>(Raw);
  return static_cast<double>(Raw * static_cast<long double>(C.Scale) + static_cast<long double>(C.Zero));
}

int64_t TypeBytes(char T) {
  switch (T) {
  case 'L':
  case 'B':
  case 'A':
    return 1;
  case 'I':
    return 2;
  case 'J':
  case 'E':
    return 4;
  case 'K':
  case 'D':
  case 'C':
  case 'P':
    return 8;
  case 'M':
  case 'Q':
    return 16;
  default:
    return 0;
  }
}

bool Numeric(char T) { return T == 'B' || T == 'I' || T == 'J' || T == 'K' || T == 'E' || T == 'D'; }

// A 64-bit integer card, also beyond the 32 bits of ReadInt.
bool ReadInt64(const TFitsBess &H, const std::string &Key8, int64_t &V) {
  int32_t I;
  std::string S, C;
  return H.ReadInt(Key8, I, S, C) && TryStrToInt64(S, V);
}

std::string Key8(const std::string &Stem, int64_t N) {
  std::string K = Stem + std::to_string(N);
  K.resize(8, ' ');
  return K;
}

const TTableColumn *FindColumn(const TTableLayout &L, std::initializer_list<const char *> Names) {
  for (const char *N : Names)
    for (const TTableColumn &C : L.Columns)
      if (UpperCase(C.Name) == N) return &C;
  return nullptr;
}

} // namespace

TTableLayout ParseBinTable(const std::vector<std::string> &Cards, const std::string &FName,
                           int64_t DataBytes) {
  // The first card of each keyword, found through a map: a header may hold tens of
  // thousands of cards and up to 999 columns of several keywords each.
  std::unordered_map<std::string, const std::string *> First;
  for (const std::string &C : Cards)
    First.emplace(C.substr(0, 8), &C);
  TFitsBess H; // holds the one card asked for
  auto Card = [&First, &H](const std::string &Key8) -> const TFitsBess & {
    H.Clear();
    auto It = First.find(Key8);
    if (It != First.end()) H.Add(*It->second);
    return H;
  };
  auto Int = [&Card](const std::string &Key8, int64_t &V) { return ReadInt64(Card(Key8), Key8, V); };
  auto Str = [&Card](const std::string &Key8, std::string &V) {
    std::string Cm;
    return Card(Key8).ReadStr(Key8, V, Cm);
  };
  auto Dbl = [&Card](const std::string &Key8, double &V) {
    std::string S, Cm;
    return Card(Key8).ReadDbl(Key8, V, S, Cm);
  };
  const std::string Bad = FName + ": binary table: ";
  int64_t Bitpix = 0, Naxis = 0, Fields = 0;
  TTableLayout L;
  if (!Int("BITPIX  ", Bitpix) || Bitpix != 8 || !Int("NAXIS   ", Naxis) || Naxis != 2)
    OrvaRaise(Bad + "BITPIX must be 8 and NAXIS 2");
  if (!Int("NAXIS1  ", L.RowBytes) || !Int("NAXIS2  ", L.Rows) || L.RowBytes < 0 || L.Rows < 0)
    OrvaRaise(Bad + "NAXIS1 or NAXIS2 missing or negative");
  if (L.Rows > 0 && L.RowBytes > DataBytes / L.Rows)
    OrvaRaise(Bad + Format("%lld rows of %lld bytes are more than the file holds",
                           static_cast<long long>(L.Rows), static_cast<long long>(L.RowBytes)));
  if (!Int("TFIELDS ", Fields) || Fields < 0 || Fields > MaxFields)
    OrvaRaise(Bad + "TFIELDS missing or out of range (0 to 999)");
  L.Columns.reserve(static_cast<size_t>(Fields));
  int64_t Offset = 0;
  for (int64_t n = 1; n <= Fields; ++n) {
    TTableColumn C;
    std::string S;
    if (!Str(Key8("TFORM", n), S)) OrvaRaise(Bad + Format("TFORM%lld is missing", static_cast<long long>(n)));
    C.Form = Trim(S);
    size_t i = 0;
    while (i < C.Form.size() && C.Form[i] >= '0' && C.Form[i] <= '9')
      ++i;
    // The repeat count may not exceed the row width, so no product below overflows.
    if (i > 18 || i >= C.Form.size())
      OrvaRaise(Bad + "TFORM" + std::to_string(n) + " = '" + C.Form + "' is not understood");
    C.Repeat = i == 0 ? 1 : std::stoll(C.Form.substr(0, i));
    C.Type = static_cast<char>(std::toupper(static_cast<unsigned char>(C.Form[i])));
    if (C.Type == 'X') {
      C.Width = (C.Repeat + 7) / 8;
    } else {
      const int64_t B = TypeBytes(C.Type);
      if (B == 0) OrvaRaise(Bad + "TFORM" + std::to_string(n) + " = '" + C.Form + "' is not understood");
      if (C.Repeat > L.RowBytes / B)
        OrvaRaise(Bad + "TFORM" + std::to_string(n) + " = '" + C.Form + "' is wider than a row");
      C.Width = C.Repeat * B;
    }
    C.Offset = Offset;
    if (C.Width > L.RowBytes - Offset)
      OrvaRaise(Bad + "the columns up to " + std::to_string(n) + " are wider than a row (NAXIS1)");
    Offset += C.Width;
    if (Str(Key8("TTYPE", n), S)) C.Name = Trim(S);
    if (Str(Key8("TUNIT", n), S)) C.Unit = Trim(S);
    double D;
    if (Dbl(Key8("TSCAL", n), D)) C.Scale = D;
    if (Dbl(Key8("TZERO", n), D)) C.Zero = D;
    C.HasNull = Int(Key8("TNULL", n), C.Null);
    L.Columns.push_back(std::move(C));
  }
  return L;
}

TTableSpectrum ReadTableSpectrum(const TTableLayout &L, const unsigned char *Data, size_t Size,
                                 const std::string &FName) {
  ORVA_ASSERT(L.Rows == 0 || static_cast<uint64_t>(L.RowBytes) <= Size / static_cast<uint64_t>(L.Rows));
  const std::string Bad = FName + ": binary table: ";
  const TTableColumn *Flux = FindColumn(L, {"FLUX", "FLUX_REDUCED", "COUNTS", "DATA"});
  if (!Flux) {
    std::string Names;
    for (const TTableColumn &C : L.Columns)
      Names += (Names.empty() ? "" : ", ") + (C.Name.empty() ? std::string("(unnamed)") : C.Name);
    OrvaRaise(Bad + "no flux column (FLUX, FLUX_REDUCED, COUNTS or DATA) among its columns: " +
              (Names.empty() ? std::string("none") : Names));
  }
  const TTableColumn *Wave = FindColumn(L, {"WAVE", "WAVELENGTH", "LAMBDA", "LOGLAM"});
  for (const TTableColumn *C : {Flux, Wave})
    if (C && !Numeric(C->Type))
      OrvaRaise(Bad + "column " + C->Name + " is not numeric (TFORM '" + C->Form + "')");
  // One value per row, or one row of arrays.
  int64_t N;
  bool Arrays;
  if (Flux->Repeat == 1) {
    N = L.Rows;
    Arrays = false;
  } else if (L.Rows == 1) {
    N = Flux->Repeat;
    Arrays = true;
  } else {
    OrvaRaise(Bad +
              Format("%lld rows of %lld values in column ", static_cast<long long>(L.Rows),
                     static_cast<long long>(Flux->Repeat)) +
              Flux->Name + ": only one value per row or one row of arrays is read");
  }
  if (N <= 0) OrvaRaise(Bad + "column " + Flux->Name + " holds no values");
  if (N > std::numeric_limits<int32_t>::max()) OrvaRaise(Bad + "more values than a spectrum can hold");
  if (Wave && Wave->Repeat != Flux->Repeat)
    OrvaRaise(Bad + "columns " + Wave->Name + " and " + Flux->Name + " differ in length");
  TTableSpectrum T;
  T.FluxColumn = Flux->Name;
  double Factor = 1;
  const bool LogLam = Wave && UpperCase(Wave->Name) == "LOGLAM";
  if (Wave) {
    T.WaveColumn = Wave->Name;
    // loglam is log10 of the wavelength in Angstrom whatever its TUNIT says ('log(Angstrom)').
    if (!LogLam && !Wave->Unit.empty()) {
      T.Kind = ParseAxisUnit(Wave->Unit, Factor);
      if (T.Kind == TAxisUnitKind::Unknown) OrvaRaise(UpperCase(Wave->Unit) + ": wavelength units unknown");
    }
  }
  const size_t Count = static_cast<size_t>(N);
  T.X.resize(Count);
  T.Y.resize(Count);
  const int64_t FluxBytes = Flux->Width / Flux->Repeat;
  const int64_t WaveBytes = Wave ? Wave->Width / Wave->Repeat : 0;
  for (size_t k = 0; k < Count; ++k) {
    const int64_t Row = Arrays ? 0 : static_cast<int64_t>(k);
    const int64_t Elem = Arrays ? static_cast<int64_t>(k) : 0;
    const unsigned char *RowP = Data + Row * L.RowBytes;
    T.Y[k] = ValueAt(*Flux, RowP + Flux->Offset + Elem * FluxBytes);
    if (!Wave) {
      T.X[k] = static_cast<double>(k);
    } else {
      const double V = ValueAt(*Wave, RowP + Wave->Offset + Elem * WaveBytes);
      T.X[k] = LogLam ? std::pow(10.0, V) : V * Factor;
    }
  }
  return T;
}

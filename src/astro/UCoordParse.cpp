// Parsing of typed right ascensions and declinations.
#include "astro/UCoordParse.h"

#include <cstdint>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USimpleParser.h"

#define ORVA_UNIT "UCoordParse"

namespace {

// Minutes (integer 0 ... 59) and seconds (0 <= s < 60) of fields 2 and 3 when present.
bool MinSec(const TSimpleParser &P, double &Value) {
  Value = 0;
  if (P.Count() >= 2) {
    int32_t M = 0;
    if (!TryStrToInt(P.Strings(1), M) || M < 0 || M > 59) return false;
    Value += M / 60.0;
  }
  if (P.Count() >= 3) {
    double S = 0;
    if (!TryStrToFloat(P.Strings(2), S) || !(S >= 0 && S < 60)) return false;
    Value += S / 3600.0;
  }
  return true;
}

} // namespace

double GetRa(const std::string &RaStr) {
  TSimpleParser P;
  P.ParseBlank(RaStr);
  int32_t H = 0;
  double MS = 0;
  if (P.Count() < 1 || P.Count() > 3 || !TryStrToInt(P.Strings(0), H) || H < 0 || H > 23 || !MinSec(P, MS))
    OrvaRaise("Unknown RA format");
  return (H + MS) * 15.0;
}

double GetDe(const std::string &DeStr) {
  TSimpleParser P;
  P.ParseBlank(DeStr);
  if (P.Count() < 1 || P.Count() > 3) OrvaRaise("Unknown Dec format");
  const bool Negative = P.Strings(0).front() == '-';
  int32_t D = 0;
  double MS = 0;
  if (!TryStrToInt(P.Strings(0), D) || D < -90 || D > 90 || !MinSec(P, MS)) OrvaRaise("Unknown Dec format");
  const double Value = (D < 0 ? -D : D) + MS;
  if (Value > 90) OrvaRaise("Unknown Dec format");
  return Negative ? -Value : Value;
}

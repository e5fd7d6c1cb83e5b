#include "tools/UToolRangeCore.h"

#include <algorithm>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "ops/UOpGridCore.h"

#define ORVA_UNIT "UToolRangeCore"

TSampleRange SelectRangeSamples(int FromInd, int ToInd, int N) {
  const int From = std::max(FromInd, 0);
  const int E = std::min(ToInd, N - 1);
  if (From >= E) return {};
  return {From, E};
}

namespace {

TTypedLimits Refuse(const char *Msg) {
  TTypedLimits L;
  L.Error = Msg;
  return L;
}

// The message when From and To are in the wrong order for Rule (empty when they are not).
const char *OrderError(TLimitRule Rule, double From, double To) {
  if (Rule == TLimitRule::Crop) return From >= To ? "From >= To" : "";
  return To < From ? "To < From" : "";
}

} // namespace

TTypedLimits TypedLimits(TLimitRule Rule, TLimitMode Mode, const TDblArr1D &X, int N, std::string_view From,
                         std::string_view To) {
  ORVA_ASSERT(N >= 0 && static_cast<size_t>(N) <= X.size());
  if (Mode == TLimitMode::Index) {
    const int F = StrToInt(From), T = StrToInt(To);
    if (F < 0 || T > N - 1) return Refuse("Index values out of bound");
    if (const char *E = OrderError(Rule, F, T); *E) return Refuse(E);
    return {F, T, {}};
  }
  const double F = StrToFloat(From), T = StrToFloat(To);
  if (N < 1 || F < X[0] || T > X[static_cast<size_t>(N - 1)]) return Refuse("Wavelength values out of bound");
  if (const char *E = OrderError(Rule, F, T); *E) return Refuse(E);
  const int I0 = NearestIndex(X, N, F), I1 = NearestIndex(X, N, T);
  // Only x-values that do not increase put a limit within x[0] ... x[N-1] off the axis.
  if (I0 < 0 || I1 < 0) return Refuse("Wavelength values out of bound");
  if (const char *E = OrderError(Rule, I0, I1); *E) return Refuse(E);
  return {I0, I1, {}};
}

std::string SelectionText(int N, int Ind0, int Ind1) {
  if (N < 2) return Format("%1d point selected (index %1d)", N, Ind0);
  return Format("%1d points selected (index %1d .. index %1d)", N, Ind0, Ind1);
}

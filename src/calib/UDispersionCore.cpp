#include "calib/UDispersionCore.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/UErrors.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UDispersionCore"

const char *const DispersionNotMonotonic =
    ": the dispersion function is not strictly monotonic over the x-values of this spectrum";

namespace {

// True when New is a strictly monotonic function of Old over Old's values: taken in ascending
// order of Old (equal Old skipped), the New values are finite and all rise or all fall.
bool StrictlyMonotonic(const TDblArr1D &Old, const TDblArr1D &New) {
  const size_t N = Old.size();
  for (double V : New)
    if (!std::isfinite(V)) return false;
  // Spectra come sorted, and then no index sort is needed.
  std::vector<size_t> Order;
  const bool Rising = std::is_sorted(Old.begin(), Old.end());
  const bool Falling = !Rising && std::is_sorted(Old.rbegin(), Old.rend());
  if (!Rising && !Falling) {
    Order.resize(N);
    std::iota(Order.begin(), Order.end(), size_t{0});
    std::stable_sort(Order.begin(), Order.end(), [&](size_t P, size_t Q) { return Old[P] < Old[Q]; });
  }
  auto At = [&](size_t K) { return Order.empty() ? (Rising ? K : N - 1 - K) : Order[K]; };
  int Sign = 0;
  size_t Prev = At(0);
  for (size_t K = 1; K < N; ++K) {
    const size_t I = At(K);
    if (Old[I] == Old[Prev]) continue; // the same x gives the same x'
    const double D = New[I] - New[Prev];
    const int S = D > 0 ? 1 : (D < 0 ? -1 : 0);
    if (S == 0 || (Sign != 0 && S != Sign)) return false;
    Sign = S;
    Prev = I;
  }
  return true;
}

} // namespace

long double DispersionValue(const TDispersionCoeffs &A, long double X) {
  return A[0] + X * (A[1] + X * (A[2] + X * (A[3] + X * (A[4] + X * (A[5] + X * A[6])))));
}

TOpOutcome OpDispersion(const TSpec32 &S, const TDispersionCoeffs &A) {
  ORVA_ASSERT(S.DataX.size() == S.DataY.size());
  TOpResult R;
  R.History = "-disp";
  R.X.resize(S.DataX.size());
  for (size_t j = 0; j < S.DataX.size(); ++j)
    R.X[j] = static_cast<double>(DispersionValue(A, static_cast<long double>(S.DataX[j])));
  if (!R.X.empty() && !StrictlyMonotonic(S.DataX, R.X)) return OpRefused(DispersionNotMonotonic);
  R.Y = S.DataY;
  // The equidistance test of the spectrum record, on the new x.
  TSpec32 T;
  T.DataX = R.X;
  T.DataY = R.Y;
  T.FinishFromArrays();
  R.Equidistant = T.Equidistant();
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

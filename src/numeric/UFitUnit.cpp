#include "numeric/UFitUnit.h"

#include <cmath>
#include <vector>

#include "core/UErrors.h"

#define ORVA_UNIT "UFitUnit"

bool DetectLine(std::span<const double> y, int n, bool removeSlope, int &nExtrema, bool &absorption) {
  ORVA_ASSERT(n >= 5);
  ORVA_ASSERT(static_cast<size_t>(n) <= y.size());
  const size_t N = static_cast<size_t>(n);
  std::vector<double> W(N);
  if (removeSlope) {
    double S = (y[N - 1] - y[0]) / (n - 1);
    for (size_t I = 0; I < N; ++I)
      W[I] = y[I] - (static_cast<double>(I) * S + y[0]);
  } else {
    size_t K = 0;
    for (size_t I = 1; I < N; ++I)
      if (std::fabs(y[I]) > std::fabs(y[K])) K = I;
    double Base = std::fabs(y[K] - y[0]) > std::fabs(y[K] - y[N - 1]) ? y[0] : y[N - 1];
    for (size_t I = 0; I < N; ++I)
      W[I] = y[I] - Base;
  }
  double Sum = 0.0;
  for (double V : W)
    Sum += V;
  absorption = Sum < 0.0;
  if (absorption)
    for (double &V : W)
      V = -V;
  double M = W[0];
  for (size_t I = 1; I < N; ++I)
    if (W[I] > M) M = W[I];
  constexpr double MINHEIGHT = 1e-10;
  if (M < MINHEIGHT) return false;
  int Count = 0;
  for (size_t I = 1; I + 1 < N; ++I)
    if (W[I] > W[I - 1] && W[I] > W[I + 1] && W[I] > 0.1 * M) ++Count;
  nExtrema = Count;
  return true;
}

bool MeasurePeak(std::span<const double> x, std::span<const double> y, int n, double &fwhm, bool &clean,
                 int &iPeak, int &iLeft, int &iRight) {
  clean = false;
  ORVA_ASSERT(n >= 1 && static_cast<size_t>(n) <= x.size() && static_cast<size_t>(n) <= y.size());
  int C = 0;
  for (int I = 1; I < n; ++I)
    if (y[static_cast<size_t>(I)] > y[static_cast<size_t>(C)]) C = I;
  if (C == 0 || C == n - 1) return false;
  iPeak = C;
  auto X = [&](int I) { return x[static_cast<size_t>(I)]; };
  auto Y = [&](int I) { return y[static_cast<size_t>(I)]; };
  double Dl = X(C - 1) - X(C), Dr = X(C + 1) - X(C);
  ORVA_ASSERT(Dl < 0.0 && Dr > 0.0);

  // Parabola y = y[c] + B u + A u^2 through the three samples, u = x - x[c].
  double Top = Y(C);
  double A = ((Y(C + 1) - Y(C)) / Dr - (Y(C - 1) - Y(C)) / Dl) / (Dr - Dl);
  if (A < 0.0) {
    double B = (Y(C - 1) - Y(C)) / Dl - Dl * A;
    double U0 = -(B / A) * 0.5;
    Top = Y(C) + U0 * (B + A * U0);
    clean = Top >= Y(C);
  }
  double Half = Top * 0.5;

  // Left: the slope must rise towards the peak to be interpolated.
  int L = C;
  while (L >= 0 && !(Y(L) < Half))
    --L;
  if (L < 0) return false;
  iLeft = L;
  double XL;
  double Q = (Y(L + 1) - Y(L)) / (X(L + 1) - X(L));
  if (Q > 0.0) {
    XL = X(L) + (Half - Y(L)) / Q;
  } else {
    XL = X(L);
    clean = false;
  }

  // Right: the slope must fall away from the peak to be interpolated.
  int R = C;
  while (R < n && !(Y(R) < Half))
    ++R;
  if (R >= n) return false;
  iRight = R;
  double XR;
  double V = (Y(R) - Y(R - 1)) / (X(R) - X(R - 1));
  if (V >= 0.0) {
    XR = X(R);
    clean = false;
  } else {
    XR = X(R - 1) + (Half - Y(R - 1)) / V;
  }
  fwhm = XR - XL;
  return true;
}

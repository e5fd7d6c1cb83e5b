#include "numeric/UStraightLine.h"

#include <cmath>

#include "core/UErrors.h"

#define ORVA_UNIT "UStraightLine"

TStraightLineFit FitStraightLine(int n, std::span<const double> x, std::span<const double> y) {
  ORVA_ASSERT(n >= 1 && static_cast<size_t>(n) <= x.size() && static_cast<size_t>(n) <= y.size());
  const size_t N = static_cast<size_t>(n);
  double XMean = 0.0, YMean = 0.0;
  for (size_t I = 0; I < N; ++I) {
    XMean += x[I];
    YMean += y[I];
  }
  XMean /= n;
  YMean /= n;
  double Sxx = 0.0, Sxy = 0.0;
  for (size_t I = 0; I < N; ++I) {
    double Dx = x[I] - XMean;
    Sxx += Dx * Dx;
    Sxy += Dx * (y[I] - YMean);
  }
  TStraightLineFit F;
  if (Sxx == 0.0) {
    F.a = YMean;
    return F;
  }
  F.b = Sxy / Sxx;
  F.a = YMean - F.b * XMean;
  if (n < 3) return F;
  double Ss = 0.0;
  for (size_t I = 0; I < N; ++I) {
    double R = F.b * x[I] + F.a - y[I];
    Ss += R * R;
  }
  F.s = std::sqrt(Ss / (n - 2));
  F.sb = F.s / std::sqrt(Sxx);
  F.sa = F.s * std::sqrt(XMean * XMean / Sxx + 1.0 / n);
  return F;
}

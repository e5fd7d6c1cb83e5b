#include "numeric/UNrSpline.h"

#include <vector>

// The second derivatives M[i] of a cubic spline satisfy, at every inner knot,
//   h[i-1]/6 M[i-1] + (h[i-1] + h[i])/3 M[i] + h[i]/6 M[i+1] = (y[i+1]-y[i])/h[i] - (y[i]-y[i-1])/h[i-1],
// which continuity of the first derivative demands; each end adds either M = 0 (natural) or the
// condition that the first derivative takes the given value. The system is tridiagonal and
// diagonally dominant, so plain forward elimination is stable.
void dspline(TNrConstVector x, TNrConstVector y, int n, double yp1, double ypn, TNrVector y2) {
  constexpr double NATURAL = 0.99e30;
  if (n < 1) return;
  if (n == 1) {
    y2[1] = 0.0;
    return;
  }
  for (int I = 1; I < n; ++I)
    if (x[I + 1] == x[I]) nrerror("dspline: two equal x values");
  // Elimination keeps, per row, the reduced upper coefficient and right-hand side.
  std::vector<double> CPrime(static_cast<size_t>(n) + 1, 0.0), RPrime(static_cast<size_t>(n) + 1, 0.0);
  auto Slope = [&](int I) { return (y[I + 1] - y[I]) / (x[I + 1] - x[I]); };

  // Row 1.
  double B, C, R;
  if (yp1 > NATURAL) {
    B = 1.0;
    C = 0.0;
    R = 0.0;
  } else {
    double H = x[2] - x[1];
    B = H / 3.0;
    C = H / 6.0;
    R = Slope(1) - yp1;
  }
  CPrime[1] = C / B;
  RPrime[1] = R / B;
  // Inner rows.
  for (int I = 2; I < n; ++I) {
    double HL = x[I] - x[I - 1], HR = x[I + 1] - x[I];
    double A = HL / 6.0;
    B = (HL + HR) / 3.0;
    C = HR / 6.0;
    R = Slope(I) - Slope(I - 1);
    double Den = B - A * CPrime[static_cast<size_t>(I - 1)];
    CPrime[static_cast<size_t>(I)] = C / Den;
    RPrime[static_cast<size_t>(I)] = (R - A * RPrime[static_cast<size_t>(I - 1)]) / Den;
  }
  // Row n.
  double A;
  if (ypn > NATURAL) {
    A = 0.0;
    B = 1.0;
    R = 0.0;
  } else {
    double H = x[n] - x[n - 1];
    A = H / 6.0;
    B = H / 3.0;
    R = ypn - Slope(n - 1);
  }
  double Den = B - A * CPrime[static_cast<size_t>(n - 1)];
  y2[n] = (R - A * RPrime[static_cast<size_t>(n - 1)]) / Den;
  for (int I = n - 1; I >= 1; --I)
    y2[I] = RPrime[static_cast<size_t>(I)] - CPrime[static_cast<size_t>(I)] * y2[I + 1];
}

void dsplint(TNrConstVector xa, TNrConstVector ya, TNrConstVector y2a, int n, double x, double &y) {
  if (n < 1) nrerror("dsplint: no points");
  if (n == 1) {
    y = ya[1];
    return;
  }
  // Bisection for the interval [Lo, Hi] holding x.
  int Lo = 1, Hi = n;
  while (Hi - Lo > 1) {
    int Mid = (Hi + Lo) / 2;
    if (xa[Mid] > x)
      Hi = Mid;
    else
      Lo = Mid;
  }
  double H = xa[Hi] - xa[Lo];
  if (H == 0.0) nrerror("dsplint: bad xa input");
  double A = (xa[Hi] - x) / H;
  double B = (x - xa[Lo]) / H;
  y = A * ya[Lo] + B * ya[Hi] + ((A * A * A - A) * y2a[Lo] + (B * B * B - B) * y2a[Hi]) * (H * H) / 6.0;
}

#include "numeric/UNrQuad.h"

#include <cmath>

double dqsimp(const TNrFunc1 &func, double a, double b, double eps, int &steps) {
  constexpr int MINSTEPS = 6;
  const int Limit = steps;
  steps = 0;
  if (Limit < 1) return 0.0;
  // Trapezoid sum T(j) on 2^(j-1) intervals, each refinement adding the midpoints of the last.
  double Trap = 0.5 * (b - a) * (func(a) + func(b));
  double Simpson = Trap, SimpsonOld = 0.0, TrapOld = Trap;
  long long Points = 1;
  for (int J = 2; J <= Limit; ++J) {
    double H = (b - a) / static_cast<double>(Points);
    double Sum = 0.0;
    for (long long K = 0; K < Points; ++K)
      Sum += func(a + (static_cast<double>(K) + 0.5) * H);
    Trap = 0.5 * (Trap + H * Sum);
    Points *= 2;
    SimpsonOld = Simpson;
    Simpson = (4.0 * Trap - TrapOld) / 3.0;
    TrapOld = Trap;
    if (J >= MINSTEPS && (std::fabs(Simpson - SimpsonOld) < eps * std::fabs(SimpsonOld) ||
                          (Simpson == 0.0 && SimpsonOld == 0.0))) {
      steps = J;
      return Simpson;
    }
  }
  return Simpson;
}

double derfcc(double x) { return std::erfc(x); }

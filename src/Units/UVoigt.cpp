#include "Units/UVoigt.h"

#include <cmath>
#include <numbers>

#include "core/UErrors.h"
#include "numeric/UNrQuad.h"

#define ORVA_UNIT "UVoigt"

namespace {

// exp(a^2) erfc(a) for a > 0. exp(a^2) is taken as exp(hi) (1 + lo) with a^2 = hi + lo split
// exactly, since the rounding of a^2 alone would cost a^2 times the unit roundoff. Beyond a = 25
// erfc approaches the underflow limit while exp(a^2) nears overflow, so the asymptotic series
// 1/(a sqrt(pi)) (1 - 1/(2a^2) + 1*3/(2a^2)^2 - 1*3*5/(2a^2)^3 ...) takes over; there its terms
// fall below 1e-17 long before they would start to grow.
double ScaledErfc(double a) {
  if (a < 25.0) {
    double Hi = a * a, Lo = std::fma(a, a, -Hi);
    return std::exp(Hi) * (1.0 + Lo) * derfcc(a);
  }
  double Z = 1.0 / (2.0 * a * a), Term = 1.0, Sum = 1.0;
  for (int K = 1; K < 40 && std::fabs(Term) > 1e-18; ++K) {
    Term *= -(2.0 * K - 1.0) * Z;
    Sum += Term;
  }
  return Sum / (a * std::sqrt(std::numbers::pi));
}

} // namespace

// For x > 0 the defining integral is rewritten as
//   H = exp(a^2) erfc(a) exp(-x^2) cos(2ax) + 2/sqrt(pi) Int_0^x exp(t^2 - x^2) sin(2a(x - t)) dt,
// a finite integral with a smooth integrand; its part below t0 = sqrt(x^2 - 35) is smaller than
// e^-35 and left out.
double Voigt(double x, double a) {
  constexpr double EPS = 1e-7;
  constexpr int STEPS = 21;
  double X = std::fabs(x);
  if (!(a > 0.0)) return std::exp(-X * X);
  double E = ScaledErfc(a);
  if (X == 0.0) return E;
  double T0 = X * X >= 35.0 ? std::sqrt(X * X - 35.0) : 0.0;
  auto Integrand = [X, a](double T) { return std::exp(T * T - X * X) * std::sin(2.0 * a * (X - T)); };
  int Steps = STEPS;
  double I = dqsimp(Integrand, T0, X, EPS, Steps);
  ORVA_ASSERT(Steps >= 1);
  return E * std::exp(-X * X) * std::cos(2.0 * a * X) + 2.0 / std::sqrt(std::numbers::pi) * I;
}

// The Voigt function. References: values of the Faddeeva function w(z), H(a, x) = Re w(x + ia)
// (the three quoted to 17 digits are published reference values of Re w); exp(a^2) erfc(a) in
// long double for x = 0; and the defining integral evaluated here by a fine trapezoid sum, which
// converges geometrically for this analytic, fast-decaying integrand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "Units/UVoigt.h"

namespace {

// (a/pi) Int exp(-t^2) / (a^2 + (x - t)^2) dt over t in [-9, 9] with step a/60.
double VoigtByQuadrature(double X, double A) {
  const double H = A / 60.0, L = -9.0, R = 9.0;
  const int N = static_cast<int>((R - L) / H);
  const double Step = (R - L) / N;
  long double S = 0;
  for (int I = 0; I <= N; ++I) {
    double T = L + I * Step;
    double F = std::exp(-T * T) / (A * A + (X - T) * (X - T));
    S += (I == 0 || I == N) ? 0.5L * F : F;
  }
  return static_cast<double>(S * Step * A / std::numbers::pi);
}

} // namespace

TEST(Voigt, FaddeevaReferenceValues) {
  struct TRow {
    double X, A, H;
  };
  const std::vector<TRow> Rows = {
      {0.0, 1.0, 0.42758357615580700}, {1.0, 1.0, 0.30474420525691259}, {2.5, 0.3, 0.038226506260685265}};
  for (const auto &R : Rows)
    EXPECT_NEAR(Voigt(R.X, R.A), R.H, 1e-7 * R.H) << "x " << R.X << " a " << R.A;
}

TEST(Voigt, AgreesWithTheDefiningIntegral) {
  for (double A : {0.1, 0.3, 1.0, 2.0}) {
    for (double X : {0.0, 0.3, 1.0, 2.0, 3.5, 5.9, 6.0, 10.0}) {
      double Want = VoigtByQuadrature(X, A);
      EXPECT_NEAR(Voigt(X, A), Want, 1e-7 * Want) << "x " << X << " a " << A;
    }
  }
}

TEST(Voigt, LineCentre) {
  // H(a, 0) = exp(a^2) erfc(a), also where erfc(a) underflows in double precision (a > 26.5).
  for (double A : {0.01, 0.5, 1.0, 5.0, 20.0, 24.9, 25.0, 26.0, 30.0, 60.0, 100.0}) {
    double Want = static_cast<double>(std::exp(static_cast<long double>(A) * A) *
                                      std::erfc(static_cast<long double>(A)));
    EXPECT_NEAR(Voigt(0.0, A), Want, 1e-14 * Want) << "a " << A;
  }
}

TEST(Voigt, GaussianLimitAndSymmetry) {
  for (double X : {0.0, 0.5, 1.0, 2.0, 4.0, 7.0}) {
    EXPECT_DOUBLE_EQ(Voigt(X, 0.0), std::exp(-X * X));
    EXPECT_DOUBLE_EQ(Voigt(-X, 0.0), std::exp(-X * X));
    EXPECT_DOUBLE_EQ(Voigt(X, -0.5), std::exp(-X * X)) << "a <= 0 is the Gaussian";
  }
  EXPECT_EQ(Voigt(0.0, 0.0), 1.0);
  for (double A : {0.05, 0.5, 1.5})
    for (double X : {0.2, 1.7, 3.0, 8.0})
      EXPECT_EQ(Voigt(-X, A), Voigt(X, A)) << "x " << X << " a " << A;
}

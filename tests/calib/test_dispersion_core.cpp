// Applying a dispersion function to a spectrum: the identity, polynomials worked out by hand,
// and the extended precision of the evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calib/UDispersionCore.h"
#include "core/USpec32.h"

namespace {

void Fill(TSpec32 &S, const std::vector<double> &X, const std::vector<double> &Y) {
  S.NewSpec("arc.fits", static_cast<int32_t>(X.size()), 0, nullptr);
  S.DataX = X;
  S.DataY = Y;
  S.FinishFromArrays();
}

TOpResult Only(const TOpOutcome &O) {
  EXPECT_TRUE(O.Ok());
  EXPECT_EQ(O.Results.size(), 1u);
  return O.Results.front();
}

} // namespace

TEST(DispersionCore, TheDefaultCoefficientsReproduceX) {
  std::vector<double> X = {0, 1, 2.5, 1023, 1e-7, -3.25, 6562.8123456789};
  std::vector<double> Y = {1, 2, 3, 4, 5, 6, 7};
  TSpec32 S;
  Fill(S, X, Y);
  const TOpResult &R = Only(OpDispersion(S, {0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(R.History, "-disp");
  EXPECT_EQ(R.X, X); // bit for bit
  EXPECT_EQ(R.Y, Y);
}

TEST(DispersionCore, QuadraticAgainstHandValues) {
  // lambda = 6000 + 0.5 x + 1e-4 x^2: x = 0 -> 6000, 10 -> 6005.01, 100 -> 6051, 1000 -> 6600,
  // 2047 -> 6000 + 1023.5 + 419.0209 = 7442.5209.
  struct Row {
    double X, L;
  } Rows[] = {{0, 6000}, {10, 6005.01}, {100, 6051}, {1000, 6600}, {2047, 7442.5209}};
  std::vector<double> X, Y;
  for (const Row &R : Rows) {
    X.push_back(R.X);
    Y.push_back(R.X * 2);
  }
  TSpec32 S;
  Fill(S, X, Y);
  const TOpResult &R = Only(OpDispersion(S, {6000, 0.5, 1e-4, 0, 0, 0, 0}));
  for (size_t i = 0; i < X.size(); ++i)
    EXPECT_NEAR(R.X[i], Rows[i].L, 1e-9) << X[i];
  EXPECT_EQ(R.Y, Y);
  EXPECT_FALSE(R.Equidistant);
}

TEST(DispersionCore, EveryDegreeContributes) {
  // With a_k = 1 for one k only, x' = x^k; at x = 2 that is 2^k, at x = -1 it is (-1)^k. (k = 0,
  // the constant 1, is refused: see the monotonicity test below.)
  for (size_t K = 1; K < 7; ++K) {
    TDispersionCoeffs A{};
    A[K] = 1;
    TSpec32 S;
    Fill(S, {2, -1, 3}, {0, 0, 0});
    const TOpResult &R = Only(OpDispersion(S, A));
    EXPECT_EQ(R.X[0], std::ldexp(1.0, static_cast<int>(K))) << K;
    EXPECT_EQ(R.X[1], K % 2 ? -1.0 : 1.0) << K;
    EXPECT_EQ(R.X[2], std::pow(3.0, static_cast<double>(K))) << K;
  }
}

TEST(DispersionCore, EvaluatedInExtendedPrecision) {
  // x' = (x - 1e8)^2 written out: a0 = 1e16, a1 = -2e8, a2 = 1. At x = 1e8 + 1 the exact value
  // is 1. The terms are near 1e16, where a double's spacing is 2; the 64-bit mantissa of long
  // double resolves them. (Where long double is no wider than double the test says nothing.)
  if (sizeof(long double) <= sizeof(double)) GTEST_SKIP() << "long double is double here";
  TSpec32 S;
  Fill(S, {1e8 + 1, 1e8 + 3}, {0, 0});
  const TOpResult &R = Only(OpDispersion(S, {1e16L, -2e8L, 1, 0, 0, 0, 0}));
  EXPECT_EQ(R.X[0], 1.0);
  EXPECT_EQ(R.X[1], 9.0);
  // In double precision the same Horner sum is off by whole units.
  const double X = 1e8 + 1;
  const double D = 1e16 + X * (-2e8 + X * 1.0);
  EXPECT_NE(D, 1.0);
}

TEST(DispersionCore, RefusesWhatIsNotStrictlyMonotonicOverTheSpectrum) {
  // Each row: x-values, coefficients, whether the result is accepted. Values by hand.
  struct Row {
    const char *What;
    std::vector<double> X;
    TDispersionCoeffs A;
    bool Accepted;
  } Rows[] = {
      {"all coefficients 0: every x would be 0", {1, 2, 3}, {}, false},
      {"a constant", {1, 2, 3}, {5, 0, 0, 0, 0, 0, 0}, false},
      {"the identity", {1, 2, 3}, DispersionIdentity, true},
      {"(x-5)^2 turns at 5, inside 0 ... 10", {0, 4, 6, 10}, {25, -10, 1, 0, 0, 0, 0}, false},
      // What counts is the x' of the points: 0.25 and 0.0625 still fall.
      {"(x-5)^2 turns at 5, between the only two points", {4.5, 5.25}, {25, -10, 1, 0, 0, 0, 0}, true},
      {"(x-5)^2 over 4.5, 5.5: the same x'", {4.5, 5.5}, {25, -10, 1, 0, 0, 0, 0}, false},
      {"(x-5)^2 over 6 ... 9: rising", {6, 7, 9}, {25, -10, 1, 0, 0, 0, 0}, true},
      {"(x-5)^2 over 1 ... 3: falling", {1, 2, 3}, {25, -10, 1, 0, 0, 0, 0}, true},
      {"10000 - x: falling", {1, 2, 3}, {10000, -1, 0, 0, 0, 0, 0}, true},
      {"x^3 is strictly rising through 0", {-1, 0, 1}, {0, 0, 0, 1, 0, 0, 0}, true},
      {"1 + 1e-20 x: different in theory, equal in double", {1, 2, 3}, {1, 1e-20L, 0, 0, 0, 0, 0}, false},
      {"1e300 x^6 overflows", {1, 1e10}, {0, 0, 0, 0, 0, 0, 1e300L}, false},
      {"x-values falling, the identity", {3, 2, 1}, DispersionIdentity, true},
      {"x-values unordered, the identity", {2.5, 0, 1023, -3.25}, DispersionIdentity, true},
      {"x-values unordered, x^2 folds -2 and 2 together", {2, 0, -2}, {0, 0, 1, 0, 0, 0, 0}, false},
      {"equal x-values stay equal", {1, 1, 2}, DispersionIdentity, true},
      {"a single point", {7}, {5, 0, 0, 0, 0, 0, 0}, true},
  };
  for (const Row &R : Rows) {
    TSpec32 S;
    Fill(S, R.X, std::vector<double>(R.X.size(), 1.0));
    const TOpOutcome O = OpDispersion(S, R.A);
    EXPECT_EQ(O.Ok(), R.Accepted) << R.What;
    if (!R.Accepted) {
      EXPECT_EQ(O.Condition, ": the dispersion function is not strictly monotonic over the x-values of this "
                             "spectrum")
          << R.What;
      EXPECT_FALSE(O.EndsLoop) << "the other spectra go on: " << R.What;
      EXPECT_TRUE(O.Results.empty()) << R.What;
    }
  }
}

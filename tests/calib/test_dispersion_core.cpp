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
  // With a_k = 1 for one k only, x' = x^k; at x = 2 that is 2^k, at x = -1 it is (-1)^k.
  for (size_t K = 0; K < 7; ++K) {
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

// The FWHM/extremum tool: the number-of-points rule, the polynomial extremum against values worked
// out by hand, the half-maximum crossings, and every failure with the texts the panel then shows.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/UErrors.h"
#include "tools/UToolMaximumCore.h"

namespace {

struct TLine {
  std::vector<double> X, Y;
};

// y = F(x) at x = X0, X0 + Step, ... (N samples).
template <class F> TLine Sample(int N, double X0, double Step, F Fn) {
  TLine L;
  for (int I = 0; I < N; ++I) {
    L.X.push_back(X0 + I * Step);
    L.Y.push_back(Fn(L.X.back()));
  }
  return L;
}

double Gauss(double X, double Centre, double Sigma) {
  const double U = (X - Centre) / Sigma;
  return std::exp(-0.5 * U * U);
}

TEST(MaximumCore, NumberOfPointsRule) {
  struct Row {
    int Points, Degree, N, Expected;
  } Rows[] = {
      {3, 4, 20, 5},   // at most the degree: raised to degree + 1
      {4, 4, 20, 5},   //
      {2, 2, 20, 3},   //
      {3, 2, 20, 3},   // degree + 1 already
      {50, 4, 20, 20}, // more than selected: lowered to the selection
      {-7, 4, 20, 5},  //
      {9, 2, 9, 9},    //
  };
  for (const Row &R : Rows)
    EXPECT_EQ(MaximumPoints(R.Points, R.Degree, R.N), R.Expected)
        << R.Points << " points, degree " << R.Degree << ", n " << R.N;
  EXPECT_EQ(MaximumPoints(" 7 ", 4, 20), 7);
  EXPECT_THROW(MaximumPoints("seven", 4, 20), EOrvaError);
  EXPECT_EQ(MaximumDegree(0), 2);
  EXPECT_EQ(MaximumDegree(1), 4);

  // The rule as the computation applies it: a symmetric peak in the middle of 20 samples fits
  // with all 20 when 50 are asked for, and with 5 when 3 are asked for with degree 4.
  TLine L = Sample(20, 0.0, 1.0, [](double X) { return 10.0 * Gauss(X, 10.0, 4.0); });
  TMaximumResult R = ToolMaximum(L.X, L.Y, 4, 50);
  EXPECT_EQ(R.NPoints, 20);
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_EQ(R.Residuals.size(), 20u);
  R = ToolMaximum(L.X, L.Y, 4, 3);
  EXPECT_EQ(R.NPoints, 5);
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_NEAR(R.Location, 10.0, 1e-9); // symmetric about sample 10
}

// y = 5 - (x - 2)^2 at x = 0, 0.5, ... 4: the fitted parabola is the curve itself. The half level
// 2.5 lies between the samples (0, 1) and (0.5, 2.75): xL = 0 + 1.5 / 3.5 = 3/7, and by symmetry
// xR = 4 - 3/7, so the FWHM is 4 - 6/7 = 22/7.
TEST(MaximumCore, ExactParabolaByHand) {
  TLine L = Sample(9, 0.0, 0.5, [](double X) { return 5.0 - (X - 2.0) * (X - 2.0); });
  for (int Degree : {2, 4}) {
    SCOPED_TRACE(Degree);
    const TMaximumResult R = ToolMaximum(L.X, L.Y, Degree, 5);
    ASSERT_TRUE(R.Ok()) << R.Error;
    EXPECT_EQ(R.NPoints, 5);
    EXPECT_EQ(R.Sign, 1);
    EXPECT_NEAR(R.Location, 2.0, 1e-10);
    EXPECT_NEAR(R.Extremum, 5.0, 1e-10);
    EXPECT_NEAR(R.Fwhm, 22.0 / 7.0, 1e-12);
    ASSERT_EQ(R.Residuals.size(), 5u);
    for (double Res : R.Residuals)
      EXPECT_NEAR(Res, 0.0, 1e-12);
    EXPECT_NEAR(R.RmsResiduals, 0.0, 1e-12);
    const TMaximumTexts T = MaximumTexts(R);
    EXPECT_EQ(T.Extrem, "Maximum");
    EXPECT_EQ(T.Extremum, "5.00000");
    EXPECT_EQ(T.Location, "2.00000");
    EXPECT_EQ(T.Fwhm, "3.14286");
    ASSERT_EQ(T.Memo.size(), 8u);
    EXPECT_EQ(T.Memo[0], "Residuals");
    EXPECT_EQ(T.Memo[1], "---------");
    EXPECT_EQ(T.Memo[7].rfind("RMS residuals: ", 0), 0u);
  }
}

// A non-parabolic line: the quartic through 5 samples of y = 1 / (1 + (x - 3.1)^2) at x = 1 ... 5
// step 0.5 (peak sample at x = 3, between 2 and 4). Location and extremum come from an
// independent solution: the least-squares quartic through 5 points is the interpolating
// polynomial, whose maximum near 3.1 is found here by bisection on its derivative.
TEST(MaximumCore, QuarticThroughFiveSamplesIsTheInterpolant) {
  auto F = [](double X) { return 1.0 / (1.0 + (X - 3.1) * (X - 3.1)); };
  TLine L = Sample(9, 1.0, 0.5, F);
  const TMaximumResult R = ToolMaximum(L.X, L.Y, 4, 5);
  ASSERT_TRUE(R.Ok()) << R.Error;
  for (double Res : R.Residuals)
    EXPECT_NEAR(Res, 0.0, 1e-12);
  // Lagrange interpolant through x = 2, 2.5, 3, 3.5, 4.
  auto P = [&](double X) {
    double S = 0;
    for (int I = 2; I <= 6; ++I) {
      double T = L.Y[static_cast<size_t>(I)];
      for (int J = 2; J <= 6; ++J)
        if (J != I)
          T *=
              (X - L.X[static_cast<size_t>(J)]) / (L.X[static_cast<size_t>(I)] - L.X[static_cast<size_t>(J)]);
      S += T;
    }
    return S;
  };
  double Lo = 2.8, Hi = 3.4;
  for (int I = 0; I < 100; ++I) {
    const double M = 0.5 * (Lo + Hi), D = P(M + 1e-7) - P(M - 1e-7);
    (D > 0 ? Lo : Hi) = M;
  }
  EXPECT_NEAR(R.Location, Lo, 1e-6);
  EXPECT_NEAR(R.Extremum, P(Lo), 1e-10);
}

// A Gaussian dip of depth 3 on a zero baseline: "Minimum" with a negative value; its FWHM
// (straight lines between samples 0.25 apart) is near 2 sqrt(2 ln 2) = 2.35482.
TEST(MaximumCore, AbsorptionDipOnZeroBaselineIsMinimum) {
  TLine L = Sample(41, 0.0, 0.25, [](double X) { return -3.0 * Gauss(X, 5.0, 1.0); });
  const TMaximumResult R = ToolMaximum(L.X, L.Y, 4, 5);
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_EQ(R.Sign, -1);
  EXPECT_NEAR(R.Extremum, -3.0, 1e-3);
  EXPECT_NEAR(R.Location, 5.0, 1e-10);
  EXPECT_NEAR(R.Fwhm, 2.35482, 5e-3);
  const TMaximumTexts T = MaximumTexts(R);
  EXPECT_EQ(T.Extrem, "Minimum");
  EXPECT_EQ(T.Extremum.substr(0, 4), "-3.0");
}

TEST(MaximumCore, FailuresAndTheTextsThatFollow) {
  // Peak samples within m div 2 = 2 samples of either end of the selection.
  for (double Centre : {1.0, 8.0}) {
    SCOPED_TRACE(Centre);
    TLine L = Sample(10, 0.0, 1.0, [Centre](double X) { return Gauss(X, Centre, 1.5); });
    const TMaximumResult R = ToolMaximum(L.X, L.Y, 4, 5);
    EXPECT_EQ(R.Error, "Extremum not found");
    const TMaximumTexts T = MaximumTexts(R);
    EXPECT_EQ(T.Extrem, "Extremum");
    EXPECT_EQ(T.Extremum, "");
    EXPECT_EQ(T.Location, "");
    EXPECT_EQ(T.Fwhm, "");
    EXPECT_TRUE(T.Memo.empty());
  }
  // Two samples in from the end still fit.
  TLine L = Sample(10, 0.0, 1.0, [](double X) { return Gauss(X, 7.0, 1.5); });
  EXPECT_TRUE(ToolMaximum(L.X, L.Y, 4, 5).Ok());

  // A constant stretch holds no line.
  std::vector<double> X = {1, 2, 3, 4, 5, 6}, Y(6, 2.5);
  EXPECT_EQ(ToolMaximum(X, Y, 2, 5).Error, "No Maximum or Minimum");
  // A triangle fitted with degree 2 through its three top samples.
  Y = {0, 0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 0};
  X.resize(Y.size());
  for (size_t I = 0; I < X.size(); ++I)
    X[I] = static_cast<double>(I);
  TMaximumResult R = ToolMaximum(X, Y, 2, 3);
  // The three samples 4, 5, 4 around the top: u* = 0, value 5.
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_NEAR(R.Location, 6.0, 1e-12);
  EXPECT_NEAR(R.Extremum, 5.0, 1e-12);
  // Half level 2.5 between (3, 2) and (4, 3) on the left, (8, 3) and (9, 2) on the right: 5.
  EXPECT_NEAR(R.Fwhm, 5.0, 1e-12);

  // A normalised absorption line: the half level of the extremum itself (about 0.25) lies above
  // the line's bottom (0.5) on the inverted values, so the width fails and the rest stands.
  TLine N = Sample(41, 0.0, 0.25, [](double Xv) { return 1.0 - 0.5 * Gauss(Xv, 5.0, 1.0); });
  R = ToolMaximum(N.X, N.Y, 4, 5);
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_EQ(R.Sign, -1);
  EXPECT_FALSE(R.FwhmOk());
  EXPECT_NEAR(R.Extremum, 0.5, 1e-3);
  const TMaximumTexts T = MaximumTexts(R);
  EXPECT_EQ(T.Fwhm, "");
  EXPECT_EQ(T.Extrem, "Minimum");
  EXPECT_FALSE(T.Extremum.empty());
}

TEST(MaximumCore, HalfMaximumCrossingsByHand) {
  const std::vector<double> X = {0, 1, 2, 3, 4};
  struct Row {
    std::vector<double> W;
    int K;
    double H, Expected;
  } Rows[] = {
      // Level 3 between (1, 2)-(2, 4) at 1.5 and (2, 4)-(3, 2) at 2.5.
      {{0, 2, 4, 2, 0}, 2, 3.0, 1.0},
      // Level 1 between (0, 0)-(1, 2) at 0.5 and (3, 2)-(4, 0) at 3.5.
      {{0, 2, 4, 2, 0}, 2, 1.0, 3.0},
      // Never below the level on the left: failure.
      {{5, 4, 6, 2, 0}, 2, 3.0, -1.0},
      // Never below on the right.
      {{0, 2, 6, 4, 5}, 2, 3.0, -1.0},
      // The peak sample itself below the level (a level above the data): it falls towards
      // the right, so the left slope g <= 0 fails.
      {{0, 1, 3, 2, 0}, 2, 3.5, -1.0},
      // The peak sample itself below the level at the selection's end: no inner neighbour.
      {{0, 1, 2, 3, 1}, 4, 2.0, -1.0},
  };
  for (const Row &R : Rows)
    EXPECT_NEAR(MaximumFwhm(X, R.W, R.K, R.H), R.Expected, 1e-12) << "K " << R.K << " H " << R.H;
}

} // namespace

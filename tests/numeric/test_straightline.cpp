// Straight-line fit with error estimates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/UErrors.h"
#include "numeric/UStraightLine.h"

TEST(FitStraightLine, HandComputedExample) {
  // x = 0..3, y = 1, 3, 2, 5: means 1.5 and 2.75, Sxx = 5, Sxy = 5.5, so b = 1.1, a = 1.1;
  // residuals 0.1, -0.8, 1.3, -0.6 give sum r^2 = 2.7, s = sqrt(1.35);
  // sb = s / sqrt 5; sa = s sqrt(1.5^2 / 5 + 1/4) = s sqrt 0.7.
  std::vector<double> X = {0, 1, 2, 3}, Y = {1, 3, 2, 5};
  TStraightLineFit F = FitStraightLine(4, X, Y);
  EXPECT_NEAR(F.b, 1.1, 1e-14);
  EXPECT_NEAR(F.a, 1.1, 1e-14);
  EXPECT_NEAR(F.s, std::sqrt(1.35), 1e-14);
  EXPECT_NEAR(F.sb, std::sqrt(1.35) / std::sqrt(5.0), 1e-14);
  EXPECT_NEAR(F.sa, std::sqrt(1.35) * std::sqrt(0.7), 1e-14);
}

TEST(FitStraightLine, ExactLineFarFromTheOrigin) {
  // Centred sums keep a line at x = 6500 ... 6600 exact (a naive sum of x^2 would lose digits).
  std::vector<double> X, Y;
  for (int I = 0; I <= 100; ++I) {
    X.push_back(6500.0 + I);
    Y.push_back(-3.25 + 0.125 * X.back());
  }
  TStraightLineFit F = FitStraightLine(101, X, Y);
  EXPECT_NEAR(F.b, 0.125, 1e-13);
  EXPECT_NEAR(F.a, -3.25, 1e-9);
  EXPECT_LT(F.s, 1e-11);
}

TEST(FitStraightLine, FewPointsHaveNoErrors) {
  std::vector<double> X = {2, 4}, Y = {1, 2};
  TStraightLineFit F = FitStraightLine(2, X, Y);
  EXPECT_DOUBLE_EQ(F.b, 0.5);
  EXPECT_DOUBLE_EQ(F.a, 0.0);
  EXPECT_EQ(F.s, 0.0);
  EXPECT_EQ(F.sb, 0.0);
  EXPECT_EQ(F.sa, 0.0);
  // One point (or equal x values): no slope, the line through the mean.
  F = FitStraightLine(1, X, Y);
  EXPECT_EQ(F.b, 0.0);
  EXPECT_EQ(F.a, 1.0);
  std::vector<double> Same = {3, 3, 3};
  F = FitStraightLine(3, Same, std::vector<double>{1, 2, 6});
  EXPECT_EQ(F.b, 0.0);
  EXPECT_EQ(F.a, 3.0);
  EXPECT_THROW(FitStraightLine(0, X, Y), EAssertFailure);
  EXPECT_THROW(FitStraightLine(3, X, Y), EAssertFailure) << "n beyond the arrays";
}

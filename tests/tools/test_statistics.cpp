// The statistics tool's results, checked against values worked out by hand, the analytic area
// of a Gaussian line and the textbook form of the runs test's variance.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/UErrors.h"
#include "tools/UToolGaussVoigtCore.h"
#include "tools/UToolStatisticsCore.h"

namespace {

using TVec = std::vector<double>;

TStatisticsResult Stats(const TVec &X, const TVec &Y, bool Equidistant = false, int Ind0 = 0) {
  return ToolStatistics(X, Y, Ind0, Equidistant);
}

TEST(ToolStatistics, OneTwoThreeFourByHand) {
  // y = 1, 2, 3, 4 at x = 1, 2, 3, 4.
  const TStatisticsResult R = Stats({1, 2, 3, 4}, {1, 2, 3, 4}, false, 10);
  EXPECT_EQ(R.N, 4);
  EXPECT_EQ(R.Range, 3);
  EXPECT_EQ(R.Sum, 10);
  // 1*1 + 0.5*2*2 + 0.5*2*3 + 1*4
  ASSERT_TRUE(R.Integral);
  EXPECT_DOUBLE_EQ(*R.Integral, 10);
  EXPECT_EQ(R.Average, 2.5);
  ASSERT_TRUE(R.Cog);
  EXPECT_DOUBLE_EQ(*R.Cog, 3.0); // (1 + 4 + 9 + 16) / 10
  ASSERT_TRUE(R.Sd);
  EXPECT_DOUBLE_EQ(*R.Sd, std::sqrt(5.0 / 3.0)); // (2.25 + 0.25 + 0.25 + 2.25) / 3
  ASSERT_TRUE(R.SN);
  EXPECT_DOUBLE_EQ(*R.SN, 2.5 / std::sqrt(5.0 / 3.0));
  EXPECT_FALSE(R.SNTrend); // y lies on a straight line: no residual scatter
  // 0 + (-0.5 - 1.5 - 2.5) + 1*(1 - 4)/2
  ASSERT_TRUE(R.EW);
  EXPECT_DOUBLE_EQ(*R.EW, -6.0);
  EXPECT_EQ(R.Min, 1);
  EXPECT_EQ(R.MinAt, 0);
  EXPECT_EQ(R.Max, 4);
  EXPECT_EQ(R.MaxAt, 3);
  EXPECT_EQ(R.Median, 3); // upper of the two middle values
  // Flags - - + + about 2.5 and about 3: R = 2, mu = 3, sigma^2 = 2*1/3.
  ASSERT_TRUE(R.RunsAverage && R.RunsMedian);
  EXPECT_DOUBLE_EQ(*R.RunsAverage, -1 / std::sqrt(2.0 / 3.0));
  EXPECT_DOUBLE_EQ(*R.RunsMedian, -1 / std::sqrt(2.0 / 3.0));

  const TStatisticsTexts T = StatisticsTexts(R);
  EXPECT_EQ(T.NArr, "4 points selected (index 10 .. index 13)");
  EXPECT_EQ(T.Sd, "1.291");
  EXPECT_EQ(T.SN, "1.9365");
  EXPECT_EQ(T.SNTrend, "");
  EXPECT_EQ(T.Cog, "3.000");
  EXPECT_EQ(T.MinAt, "at I = 0");
  EXPECT_EQ(T.RunsAverage, "-1.225");
}

TEST(ToolStatistics, IntegralRuleOnAnUnevenGrid) {
  // x = 0, 1, 3, 6; y = 2, 1, 4, 3: bins 1, 1.5, 2.5, 3 wide.
  const TVec X = {0, 1, 3, 6}, Y = {2, 1, 4, 3};
  EXPECT_DOUBLE_EQ(*Stats(X, Y, false).Integral, 1 * 2 + 1.5 * 1 + 2.5 * 4 + 3 * 3.0);
  // The equidistant rule is (6 / 3) * 10 whatever the steps: the flag chooses the rule.
  EXPECT_DOUBLE_EQ(*Stats(X, Y, true).Integral, 20.0);
  // On an even grid both rules give h * sum.
  const TVec Xe = {5, 5.5, 6, 6.5, 7}, Ye = {3, -1, 2, 7, 0.5};
  EXPECT_DOUBLE_EQ(*Stats(Xe, Ye, false).Integral, 0.5 * 11.5);
  EXPECT_DOUBLE_EQ(*Stats(Xe, Ye, true).Integral, 0.5 * 11.5);
}

TEST(ToolStatistics, EquivalentWidthOfAGaussianDip) {
  // 1 - d exp(-(x - c)^2 / (2 s^2)) over c +- 10 s: the area of the dip is d s sqrt(2 pi).
  const double D = 0.6, Sig = 1.5, C = 6563.0;
  const double Area = D * Sig * std::sqrt(2 * std::numbers::pi);
  auto Dip = [&](double H, bool Uneven) {
    TVec X, Y;
    for (double x = C - 10 * Sig; x <= C + 10 * Sig; x += Uneven && X.size() % 2 ? 1.5 * H : H) {
      X.push_back(x);
      Y.push_back(1 - D * std::exp(-(x - C) * (x - C) / (2 * Sig * Sig)));
    }
    return Stats(X, Y, !Uneven);
  };
  // The trapezoid sum of a Gaussian on an even grid converges faster than any power of the step.
  EXPECT_NEAR(*Dip(0.1, false).EW, Area, 1e-10 * Area);
  // Alternating steps of 0.02 and 0.03: second order.
  EXPECT_NEAR(*Dip(0.02, true).EW, Area, 1e-4 * Area);
}

TEST(RunsTest, KnownSequences) {
  // Textbook form of the variance: 2 p q (2 p q - n) / (n^2 (n - 1)).
  auto Z = [](double R, double P, double Q) {
    const double N = P + Q, Mu = 2 * P * Q / N + 1;
    return (R - Mu) / std::sqrt(2 * P * Q * (2 * P * Q - N) / (N * N * (N - 1)));
  };
  struct Row {
    TVec Y;
    double Threshold;
    double Expected;
  } Rows[] = {
      {{5, 6, 7, 8, 9, 1, 2, 3, 4, 0}, 4.5, Z(2, 5, 5)},  // two runs: -2.683
      {{9, 0, 9, 0, 9, 0, 9, 0, 9, 0}, 4.5, Z(10, 5, 5)}, // ten runs: +2.683
      {{1, 0, 0, 1, 0, 0, 1, 0, 0, 0}, 0.5, Z(6, 3, 7)},  // + -- + -- + ---: six runs, 0.6547
      {{2, 2, 1, 1, 2, 1, 2, 2, 1, 1}, 2.0, Z(6, 5, 5)},  // y = t counts as above: z = 0
  };
  for (const Row &R : Rows) {
    auto V = RunsTest(R.Y, R.Threshold);
    ASSERT_TRUE(V);
    EXPECT_NEAR(*V, R.Expected, 1e-12) << R.Threshold;
  }
  EXPECT_NEAR(Z(2, 5, 5), -2.6832815729997477, 1e-12);
  EXPECT_NEAR(Z(6, 3, 7), 0.6546536707079772, 1e-12);
  // Undefined: all values on one side, a single value, one value on each side of two.
  EXPECT_FALSE(RunsTest(TVec{3, 3, 3}, 3));
  EXPECT_FALSE(RunsTest(TVec{3, 4, 5}, 1));
  EXPECT_FALSE(RunsTest(TVec{3}, 1));
  EXPECT_FALSE(RunsTest(TVec{1, 3}, 2));
}

TEST(ToolStatistics, SmallAndDegenerateSelections) {
  // One sample: no integral, spread, S/N or EW; it is both extremes.
  TStatisticsResult R = Stats({7}, {2.5}, false, 7);
  EXPECT_FALSE(R.Integral || R.Sd || R.SN || R.SNTrend || R.EW || R.RunsAverage || R.RunsMedian);
  EXPECT_EQ(R.Min, 2.5);
  EXPECT_EQ(R.Max, 2.5);
  EXPECT_EQ(R.Median, 2.5);
  EXPECT_DOUBLE_EQ(*R.Cog, 7);
  TStatisticsTexts T = StatisticsTexts(R);
  EXPECT_EQ(T.NArr, "1 point selected (index 7)");
  EXPECT_EQ(T.Sd + T.SN + T.Integral + T.RunsAverage + T.RunsMedian, "");
  // Two samples: EW but no integral; S/N trend needs four.
  R = Stats({1, 2}, {0.5, 0.7});
  EXPECT_FALSE(R.Integral || R.SNTrend);
  EXPECT_DOUBLE_EQ(*R.EW, 0.25 + 0.4 + 0.15);
  // Constant: sd 0, so S/N, S/N trend and both runs tests are empty, never "nan".
  R = Stats({1, 2, 3, 4, 5}, {2, 2, 2, 2, 2});
  EXPECT_EQ(*R.Sd, 0);
  T = StatisticsTexts(R);
  EXPECT_EQ(T.SN + T.SNTrend + T.RunsAverage + T.RunsMedian, "");
  // Zero sum: no centre of gravity.
  R = Stats({1, 2, 3}, {-1, 2, -1});
  EXPECT_FALSE(R.Cog);
  EXPECT_EQ(StatisticsTexts(R).Cog, "");
  // First of equal extremes; median of an odd count.
  R = Stats({0, 1, 2, 3, 4}, {2, 1, 5, 1, 5});
  EXPECT_EQ(R.MinAt, 1);
  EXPECT_EQ(R.MaxAt, 2);
  EXPECT_EQ(R.Median, 2);
  // S/N with the trend removed: the line through (0,1) (1,0) (2,3) (3,2) is y = 0.6 + 0.6 x,
  // residuals 0.4, -1.2, 1.2, -0.4, so s = sqrt(3.2 / 2); the average is 1.5.
  R = Stats({0, 1, 2, 3}, {1, 0, 3, 2});
  ASSERT_TRUE(R.SNTrend);
  EXPECT_DOUBLE_EQ(*R.SNTrend, 1.5 / std::sqrt(3.2 / 2));
  EXPECT_THROW(Stats({}, {}), EAssertFailure);
}

TEST(ToolGaussVoigt, BaselinePoint) {
  const TBaselinePoint P = BaselinePoint(TVec{6500, 6501, 6502}, TVec{1.0, 1.1, 0.9});
  EXPECT_EQ(BaselineText(true, P), "Baseline left : 6501, 1");
  EXPECT_EQ(BaselineText(false, {6563.123456, -0.25}), "Baseline right: 6563.123, -0.25");
  EXPECT_EQ(GaussVoigtSelectionText(3), "3 points selected");
}

} // namespace

// The three filters. References: values worked out by hand, the published Savitzky-Golay
// smoothing weights (the 5-, 7- and 9-point tables of Savitzky and Golay 1964, as corrected by
// Steinier et al. 1972), literal window sums and a direct circular convolution written here.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

#include "core/UErrors.h"
#include "ops/OpsTestUtil.h"
#include "ops/UFiltersCore.h"

namespace {

TDblArr1D Seq(int N, double (*F)(int)) {
  TDblArr1D Y(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    Y[static_cast<size_t>(i)] = F(i);
  return Y;
}

TDblArr1D Random(int N, unsigned Seed) {
  std::mt19937 Rng(Seed);
  std::uniform_real_distribution<double> U(-1, 1);
  TDblArr1D Y(static_cast<size_t>(N));
  for (double &V : Y)
    V = U(Rng);
  return Y;
}

// ---- moving average ----

TEST(MovingAverage, HandWorkedRows) {
  struct TRow {
    TDblArr1D Y;
    int H;
    TDblArr1D Want;
  };
  const std::vector<TRow> Rows = {
      {{1, 2, 3, 4, 5, 6}, 2, {0, 0, 3, 4, 0, 0}},
      {{1, 2, 3, 4, 5, 6}, -2, {0, 0, 3, 4, 0, 0}}, // the magnitude counts
      {{5, -1, 2.5, 7}, 0, {5, -1, 2.5, 7}},        // an exact copy
      {{1, 4, 1, 4, 1}, 1, {0, 2, 3, 2, 0}},
      {{1, 2, 3}, 2, {0, 0, 0}}, // no window fits
      {{7}, 0, {7}},
      {{}, 3, {}},
  };
  for (size_t r = 0; r < Rows.size(); ++r)
    EXPECT_EQ(MovingAverage(Rows[r].Y, Rows[r].H), Rows[r].Want) << "row " << r;
}

TEST(MovingAverage, LongWindowsAgreeWithLiteralSums) {
  const TDblArr1D Y = Random(5000, 3);
  for (int H : {1, 37, 400, 2499}) {
    TDblArr1D R = MovingAverage(Y, H);
    int Bad = 0;
    for (int j = 0; j < 5000; ++j) {
      long double Sum = 0;
      if (j >= H && j + H < 5000)
        for (int i = j - H; i <= j + H; ++i)
          Sum += Y[static_cast<size_t>(i)];
      double Want = static_cast<double>(Sum / (2 * H + 1));
      if (std::fabs(R[static_cast<size_t>(j)] - Want) > 1e-13 && ++Bad < 5)
        ADD_FAILURE() << "h " << H << " j " << j << ": " << R[static_cast<size_t>(j)] << " != " << Want;
    }
  }
}

TEST(MovingAverage, AnInfiniteValueStaysInItsWindows) {
  TDblArr1D Y(40, 1.0);
  Y[10] = std::numeric_limits<double>::infinity();
  TDblArr1D R = MovingAverage(Y, 2);
  for (int j = 2; j < 38; ++j) {
    if (j >= 8 && j <= 12)
      EXPECT_TRUE(std::isinf(R[static_cast<size_t>(j)])) << j;
    else
      EXPECT_EQ(R[static_cast<size_t>(j)], 1.0) << j;
  }
}

TEST(MovingAverage, Outcome) {
  TSpec32 S;
  MakeSpec(S, {1, 2, 4}, {3, 3, 3});
  TOpOutcome O = OpMovingAverage(S, 1);
  ASSERT_TRUE(O.Ok());
  ASSERT_EQ(O.Results.size(), 1u);
  EXPECT_EQ(O.Results[0].History, "-fma");
  EXPECT_EQ(O.Results[0].X, S.DataX);
  EXPECT_EQ(O.Results[0].Y, (TDblArr1D{0, 3, 0}));
  EXPECT_FALSE(O.Results[0].Equidistant); // copied from the source
}

// ---- Gauss ----

double SigmaOf(double FWHM) { return FWHM / std::sqrt(8 * std::log(2.0)); }

TEST(GaussFilter, ConstantOneFixedAtOneStaysOne) {
  // n = 1000 pads to 1024. The kernel's sum counts the middle element (distance N/2) twice, so
  // a constant keeps its value up to that element's share: nothing for these widths.
  struct TRow {
    int N;
    double Dx, FWHM;
  } Rows[] = {{1000, 0.5, 3}, {1024, 1, 7.5}, {5, 1, 1}, {1, 1, 2}};
  for (const TRow &R : Rows) {
    TDblArr1D Out = GaussFilter(TDblArr1D(static_cast<size_t>(R.N), 1.0), R.Dx, R.FWHM, TFftExtension::One);
    ASSERT_EQ(Out.size(), static_cast<size_t>(R.N));
    for (int i = 0; i < R.N; ++i)
      ASSERT_NEAR(Out[static_cast<size_t>(i)], 1.0, 1e-12) << "n " << R.N << " i " << i;
  }
  // A Gaussian much wider than the 8-point transform: the doubly counted middle weighs, and the
  // constant comes out as (S - g4) / S with S = 1 + 2 (g1 + g2 + g3 + g4).
  const double Sigma = 20 / std::sqrt(8 * std::log(2.0));
  double S = 1, G4 = 0;
  for (int d = 1; d <= 4; ++d) {
    const double G = std::exp(-0.5 * d * d / (Sigma * Sigma));
    S += 2 * G;
    if (d == 4) G4 = G;
  }
  TDblArr1D Out = GaussFilter(TDblArr1D(8, 1.0), 1, 20, TFftExtension::One);
  for (double V : Out)
    EXPECT_NEAR(V, (S - G4) / S, 1e-12);
}

TEST(GaussFilter, FixedAtZeroDropsNearTheEnds) {
  // sigma = 4.25 points and 24 padded zeros (more than 5 sigma): at the first point only the
  // right half of the kernel meets data, so the value is 1/2 plus half the centre weight.
  const double Sigma = SigmaOf(10);
  double Total = 1;
  for (int d = 1; d < 60; ++d)
    Total += 2 * std::exp(-0.5 * d * d / (Sigma * Sigma));
  const double Edge = 0.5 + 0.5 / Total;
  TDblArr1D Out = GaussFilter(TDblArr1D(1000, 1.0), 1.0, 10, TFftExtension::Zero);
  EXPECT_NEAR(Out[0], Edge, 1e-6); // the far tail reaches the data at the other end
  EXPECT_NEAR(Out[999], Edge, 1e-6);
  EXPECT_LT(Out[5], 1.0 - 1e-3);
  EXPECT_NEAR(Out[500], 1.0, 1e-12);
}

TEST(GaussFilter, MatchesADirectCircularConvolution) {
  // Random data padded from 50 to 64 points, against the convolution summed directly over the
  // padded sequence with the Gaussian normalised over one period.
  const int N0 = 50, N = 64;
  const double Dx = 0.2, FWHM = 1.1, Sigma = SigmaOf(FWHM);
  const TDblArr1D Y = Random(N0, 11);
  for (TFftExtension Ext : {TFftExtension::Zero, TFftExtension::One, TFftExtension::Linear}) {
    std::vector<double> P(N);
    for (int i = 0; i < N; ++i) {
      if (i < N0)
        P[i] = Y[static_cast<size_t>(i)];
      else if (Ext == TFftExtension::Zero)
        P[i] = 0;
      else if (Ext == TFftExtension::One)
        P[i] = 1;
      else // from y[n-1] at i = n-1 to y[0] at i = N
        P[i] = Y[N0 - 1] + (Y[0] - Y[N0 - 1]) * (i - (N0 - 1)) / double(N - N0 + 1);
    }
    auto W = [&](int D) { return std::exp(-0.5 * std::pow(D * Dx / Sigma, 2)); };
    double Norm = 0;
    for (int D = -N / 2 + 1; D <= N / 2; ++D)
      Norm += W(D);
    TDblArr1D Out = GaussFilter(Y, Dx, FWHM, Ext);
    for (int i = 0; i < N0; ++i) {
      double Sum = 0;
      for (int D = -N / 2 + 1; D <= N / 2; ++D)
        Sum += W(D) * P[static_cast<size_t>(((i - D) % N + N) % N)];
      EXPECT_NEAR(Out[static_cast<size_t>(i)], Sum / Norm, 1e-12)
          << "extension " << static_cast<int>(Ext) << " i " << i;
    }
  }
}

TEST(GaussFilter, AnImpulseBecomesAGaussianOfTheGivenWidth) {
  // Area 1 and variance sigma^2 (in x units) of the smoothed unit impulse.
  const int N = 1024;
  const double Dx = 0.5, FWHM = 4;
  TDblArr1D Y(N, 0.0);
  Y[512] = 1;
  TDblArr1D Out = GaussFilter(Y, Dx, FWHM, TFftExtension::Zero);
  double Area = 0, Var = 0;
  for (int i = 0; i < N; ++i) {
    Area += Out[static_cast<size_t>(i)];
    Var += Out[static_cast<size_t>(i)] * std::pow((i - 512) * Dx, 2);
  }
  EXPECT_NEAR(Area, 1.0, 1e-12);
  EXPECT_NEAR(Var, std::pow(SigmaOf(FWHM), 2), 1e-9);
  // A zero width leaves the data as they are.
  TDblArr1D Same = GaussFilter(Y, Dx, 0.0, TFftExtension::Zero);
  for (int i = 0; i < N; ++i)
    ASSERT_NEAR(Same[static_cast<size_t>(i)], Y[static_cast<size_t>(i)], 1e-14) << i;
}

TEST(GaussFilter, Outcome) {
  TSpec32 S, U;
  MakeSpec(S, Ramp(20, 6500, 0.5), TDblArr1D(20, 2.0));
  MakeSpec(U, {1, 2, 4}, {1, 1, 1});
  TOpOutcome O = OpGaussFilter(S, -1.5, TFftExtension::Linear); // a negative FWHM acts as its size
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Results[0].History, "-gauss");
  EXPECT_EQ(O.Results[0].X, S.DataX);
  EXPECT_EQ(O.Results[0].Y, GaussFilter(S.DataY, 0.5, 1.5, TFftExtension::Linear));
  TOpOutcome R = OpGaussFilter(U, 1, TFftExtension::Zero);
  EXPECT_EQ(R.Condition, " not equidistant in x");
  EXPECT_FALSE(R.EndsLoop);
}

// ---- Savitzky-Golay ----

TEST(SavGol, PublishedWeights) {
  struct TRow {
    int Order, Left, Right;
    std::vector<double> Num;
    double Den;
  };
  const std::vector<TRow> Rows = {
      {2, 2, 2, {-3, 12, 17, 12, -3}, 35},
      {3, 2, 2, {-3, 12, 17, 12, -3}, 35}, // the cubic of a symmetric window smooths as the quadratic
      {2, 3, 3, {-2, 3, 6, 7, 6, 3, -2}, 21},
      {4, 4, 4, {15, -55, 30, 135, 179, 135, 30, -55, 15}, 429},
      {1, 2, 2, {1, 1, 1, 1, 1}, 5},
      {1, 2, 0, {-1, 2, 5}, 6},               // line through offsets -2, -1, 0 read at 0 (worked by hand)
      {-2, -2, -2, {-3, 12, 17, 12, -3}, 35}, // magnitudes
  };
  for (size_t r = 0; r < Rows.size(); ++r) {
    const TRow &R = Rows[r];
    TSavGolWeights W = SavGolWeights(R.Order, R.Left, R.Right);
    ASSERT_EQ(W.C.size(), R.Num.size()) << "row " << r;
    EXPECT_EQ(W.NL, std::abs(R.Left));
    for (size_t i = 0; i < R.Num.size(); ++i)
      EXPECT_NEAR(W.C[i], R.Num[i] / R.Den, 1e-13) << "row " << r << " weight " << i;
  }
}

TEST(SavGol, LinesAndParabolasPassWithPeriodicEnds) {
  TSavGolWeights W = SavGolWeights(2, 2, 2);
  TDblArr1D Line = Seq(10, [](int i) { return 1.0 * i; });
  TDblArr1D R = SavGolFilter(Line, W);
  for (int j = 2; j < 8; ++j)
    EXPECT_NEAR(R[static_cast<size_t>(j)], j, 1e-13) << j;
  // At the ends the window continues at the other end: (-3*8 + 12*9 + 17*0 + 12*1 - 3*2)/35 and
  // (-3*7 + 12*8 + 17*9 + 12*0 - 3*1)/35.
  EXPECT_NEAR(R[0], 90.0 / 35, 1e-13);
  EXPECT_NEAR(R[9], 225.0 / 35, 1e-13);
  TDblArr1D Par = Seq(12, [](int i) { return 0.5 * i * i - 3.0 * i + 2; });
  TDblArr1D P = SavGolFilter(Par, W);
  for (int j = 2; j < 10; ++j)
    EXPECT_NEAR(P[static_cast<size_t>(j)], Par[static_cast<size_t>(j)], 1e-12) << j;
}

TEST(SavGol, WindowsLongerThanTheSpectrumWrapAround) {
  // Order 0 over nine points of the 4-periodic (1, 2, 3, 4): two whole periods plus the point
  // itself, so y' = (20 + y)/9.
  TDblArr1D R = SavGolFilter({1, 2, 3, 4}, SavGolWeights(0, 4, 4));
  for (int j = 0; j < 4; ++j)
    EXPECT_NEAR(R[static_cast<size_t>(j)], (20.0 + j + 1) / 9, 1e-13) << j;
  TDblArr1D C = SavGolFilter({3, 3, 3}, SavGolWeights(2, 6, 7));
  for (double V : C)
    EXPECT_NEAR(V, 3.0, 1e-12);
}

TEST(SavGol, TheTransformEqualsTheDirectSum) {
  // Windows on both sides of the switch-over (about 110 weights at 2^17 points, 120 at 2^19), asymmetric
  // ones, and windows longer than the spectrum (folded onto n weights), on a continuum near 1 with noise:
  // every point within 1e-12 of the direct sum, relatively.
  struct Row {
    int N, Order, Left, Right;
  } Rows[] = {{131072, 4, 10, 10},   {131072, 4, 40, 40}, {131072, 2, 80, 80},   {131072, 4, 500, 500},
              {131072, 6, 300, 700}, {524288, 4, 60, 60}, {524288, 2, 200, 200}, {1000, 4, 300, 200},
              {777, 3, 500, 900},    {5, 2, 10, 3},       {4096, 0, 0, 0},       {3000, 2, 0, 40}};
  for (const Row &R : Rows) {
    const TDblArr1D Noise = Random(R.N, static_cast<unsigned>(R.N + R.Left));
    TDblArr1D Y(static_cast<size_t>(R.N));
    for (int j = 0; j < R.N; ++j)
      Y[static_cast<size_t>(j)] = 1 + 0.3 * std::sin(j * 0.001) + 0.05 * Noise[static_cast<size_t>(j)];
    const TSavGolWeights W = SavGolWeights(R.Order, R.Left, R.Right);
    const TDblArr1D D = SavGolFilterDirect(Y, W), F = SavGolFilterFft(Y, W);
    ASSERT_EQ(F.size(), D.size());
    double Worst = 0;
    for (size_t j = 0; j < D.size(); ++j)
      Worst = std::max(Worst, std::fabs(F[j] - D[j]) / std::fabs(D[j]));
    EXPECT_LE(Worst, 1e-12) << R.N << " points, " << R.Left << "/" << R.Right << ", order " << R.Order;
    const bool Fft = SavGolUsesFft(Y.size(), W.C.size());
    EXPECT_EQ(SavGolFilter(Y, W), Fft ? F : D) << R.N << " " << R.Left;
  }
  // Where the switch lies: short windows summed, long ones (the 4000/4000 case) transformed.
  EXPECT_FALSE(SavGolUsesFft(524288, 21));
  EXPECT_TRUE(SavGolUsesFft(524288, 8001));
  EXPECT_FALSE(SavGolUsesFft(1, 8001));
}

TEST(SavGol, AnUndefinedValueStaysInItsWindowsWithALongWindow) {
  // A transform would spread a NaN over every point; such data are summed directly.
  TDblArr1D Y = Seq(20000, [](int i) { return 2.0 + std::cos(i * 0.01); });
  Y[100] = std::numeric_limits<double>::quiet_NaN();
  const TSavGolWeights W = SavGolWeights(2, 300, 300);
  ASSERT_TRUE(SavGolUsesFft(Y.size(), W.C.size()));
  const TDblArr1D R = SavGolFilter(Y, W);
  for (size_t j = 0; j < R.size(); ++j) {
    // Windows holding index 100: j - 300 <= 100 <= j + 300, periodically.
    const bool Holds = j <= 400 || j >= R.size() - 200;
    EXPECT_EQ(std::isnan(R[j]), Holds) << j;
  }
}

TEST(SavGol, FailuresAndOutcome) {
  EXPECT_THROW(SavGolWeights(5, 2, 2), EOrvaError); // an order above nl + nr
  EXPECT_THROW(SavGolWeights(2, 2147483647, 2147483647), EOrvaError);
  TSpec32 S, U;
  MakeSpec(S, Ramp(10, 0, 1), Seq(10, [](int i) { return 1.0 * i; }));
  MakeSpec(U, {1, 2, 4}, {1, 1, 1});
  TSavGolWeights W = SavGolWeights(2, 2, 2);
  TOpOutcome O = OpSavGolFilter(S, W);
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Results[0].History, "-savgol");
  EXPECT_EQ(O.Results[0].X, S.DataX);
  EXPECT_EQ(O.Results[0].Y, SavGolFilter(S.DataY, W));
  TOpOutcome R = OpSavGolFilter(U, W);
  EXPECT_EQ(R.Condition, " is not equidistant");
  EXPECT_TRUE(R.EndsLoop);
}

} // namespace

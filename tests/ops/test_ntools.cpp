// The Fourier transform through the Hann window, the spline evaluation and the polynomial root.
// References: sums and spline values worked out by hand, and roots known in closed form or
// published (Wallis's cubic x^3 - 2x - 5 = 0, root 2.0945514815423265...).
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

#include "ops/OpsTestUtil.h"
#include "ops/UNToolsCore.h"
#include "ops/UOpUnaryCore.h"

namespace {

TEST(HannWindow, ModulusAtZeroIsTheWindowSum) {
  // sum_j (1 - cos(2 pi j/(n-1)))/2 = (n - 1)/2 for n >= 3 (the cosines over one period add to
  // 0, and the point j = n-1 adds one more 1); a single point keeps its weight 1.
  struct TRow {
    int N;
    double C, Want;
  } Rows[] = {{4, 2, 2 * 1.5}, {16, 3, 3 * 7.5}, {1024, -0.5, -0.5 * 511.5}, {1, 5, 5}};
  for (const TRow &R : Rows) {
    TSpec32 S;
    MakeSpec(S, Ramp(R.N, 4000, 0.25), TDblArr1D(static_cast<size_t>(R.N), R.C));
    TFftOutputs Out;
    Out.Modulus = Out.Real = true;
    Out.Hann = true;
    TOpOutcome O = OpFourier(S, Out);
    ASSERT_EQ(O.Results.size(), 2u);
    EXPECT_NEAR(O.Results[0].Y[0], std::fabs(R.Want), 1e-11) << "n " << R.N;
    EXPECT_NEAR(O.Results[1].Y[0], R.Want, 1e-11) << "n " << R.N;
    Out.Hann = false; // without the window: n c
    EXPECT_NEAR(OpFourier(S, Out).Results[1].Y[0], R.N * R.C, 1e-11) << "n " << R.N;
  }
}

TEST(HannWindow, EndsWeighNothing) {
  // Impulses at the two ends vanish under the window; one at j = 3 of n = 8 keeps the weight
  // (1 - cos(6 pi/7))/2 at every frequency.
  TSpec32 S;
  TDblArr1D Y(8, 0.0);
  Y[0] = 1;
  Y[7] = 1;
  MakeSpec(S, Ramp(8, 0, 1), Y);
  TFftOutputs Out;
  Out.SqrModulus = true;
  Out.Hann = true;
  TOpOutcome Ends = OpFourier(S, Out);
  for (double V : Ends.Results[0].Y)
    EXPECT_NEAR(V, 0.0, 1e-30);
  Y.assign(8, 0.0);
  Y[3] = 1;
  MakeSpec(S, Ramp(8, 0, 1), Y);
  const double W3 = (1 - std::cos(6 * std::numbers::pi / 7)) / 2;
  TOpOutcome Inner = OpFourier(S, Out);
  for (double V : Inner.Results[0].Y)
    EXPECT_NEAR(V, W3 * W3, 1e-14); // |w3 exp(...)|^2 at every frequency
}

TEST(Evaluate, SplineValues) {
  TSpec32 Tri, Line;
  MakeSpec(Tri, {0, 1, 2}, {0, 1, 0}, "tri.dat");
  // Natural spline through (0,0), (1,1), (2,0): M1 = -3, so at 0.5 the value is
  // 0.5 + (0.125 - 0.5)(-3)/6 = 0.6875.
  EXPECT_NEAR(EvaluateAt(Tri, 0.5), 0.6875, 1e-15);
  EXPECT_NEAR(EvaluateAt(Tri, 1.5), 0.6875, 1e-15);
  MakeSpec(Line, Ramp(11, 4000, 0.5), {1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6}, "line.dat");
  struct TRow {
    double X, Want;
  } Rows[] = {{4000, 1},       {4002.5, 3.5}, {4005, 6}, // sample points
              {4000.25, 1.25}, {4003.1, 4.1},            // between them: a line stays a line
              {3990, -9},      {4010, 11}};              // beyond the range: extrapolated
  for (const TRow &R : Rows)
    EXPECT_NEAR(EvaluateAt(Line, R.X), R.Want, 1e-12) << R.X;
  TSpec32 P;
  MakeSpec(P, {1, 2, 3}, {1.23456789, -2.5e-7, 3}, "p.fits");
  EXPECT_EQ(EvaluateLine(P, 1), "p.fits\t1.23457");
  EXPECT_EQ(EvaluateLine(P, 2), "p.fits\t-2.5e-07");
}

TEST(PolRoot, RootsAndFailures) {
  struct TRow {
    std::vector<long double> A; // a0, a1, ...
    long double Y, Guess, Acc;
    const char *Shown;
    const char *Message;
  };
  const std::vector<TRow> Rows = {
      {{0, 0, 1}, 2, 1, 1e-6L, "1.414213562", ""},
      {{-5, -2, 0, 1}, 0, 2, 1e-6L, "2.094551482", ""},
      {{0, 0, 0, 0, 0, 0, 1}, 64, 1.5, 1e-9L, "2", ""},
      {{1, 1}, 3, 100, -1e-6L, "2", ""}, // the size of the accuracy counts
      {{0, 0, 1},
       2,
       0,
       1e-6L,
       "0",
       "The derivative of the polynomial is 0 at x = 0: choose another x-value (guess)"},
      {{0, 0, 1}, 0, 0, 1e-6L, "0", ""}, // a root where the slope is 0 is still the root
      {{0, 0, 1}, -1, 0.5, 1e-6L, nullptr, "Too many iterations"},
  };
  for (size_t r = 0; r < Rows.size(); ++r) {
    TPolRootInput In;
    for (size_t k = 0; k < Rows[r].A.size(); ++k)
      In.A[k] = Rows[r].A[k];
    In.Y = Rows[r].Y;
    In.Guess = Rows[r].Guess;
    In.Acc = Rows[r].Acc;
    TPolRootResult R = PolRoot(In);
    if (Rows[r].Shown) {
      EXPECT_EQ(FormatPolRoot(R.X), Rows[r].Shown) << "row " << r;
    }
    EXPECT_EQ(R.Message, Rows[r].Message) << "row " << r;
    if (R.Message == "Too many iterations") {
      EXPECT_EQ(R.Steps, 20);
    }
  }
}

TEST(PolRoot, ExtendedPrecision) {
  // Beyond what a double can hold: sqrt(2) to within a few units of the long double's last place.
  TPolRootInput In;
  In.A[2] = 1;
  In.Y = 2;
  In.Guess = 1;
  In.Acc = 1e-18L;
  TPolRootResult R = PolRoot(In);
  ASSERT_TRUE(R.Ok());
  EXPECT_LT(std::fabs(R.X - std::sqrt(2.0L)), 1e-18L);
  EXPECT_GT(std::fabs(static_cast<long double>(std::sqrt(2.0)) - std::sqrt(2.0L)), 1e-18L);
}

} // namespace

// Spectrum and number, spectrum and spectrum. References: hand-worked values, a direct
// circular convolution and correlation written in the test.
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "core/UErrors.h"
#include "ops/OpsTestUtil.h"
#include "ops/UOpBinaryCore.h"

namespace {

TEST(OpNumber, Table) {
  TSpec32 S;
  MakeSpec(S, {1, 2, 3}, {0, 1, 2});
  struct Row {
    TNumberOp Op;
    double R;
    TDblArr1D Y;
    const char *Suffix;
  } Rows[] = {
      {TNumberOp::Add, 0.0, {0, 1, 2}, "-add"},          {TNumberOp::Add, 1.5, {1.5, 2.5, 3.5}, "-add"},
      {TNumberOp::Multiply, -2, {-0.0, -2, -4}, "-mul"}, {TNumberOp::Divide, 4, {0, 0.25, 0.5}, "-div"},
      {TNumberOp::ClipBelow, 1, {1, 1, 2}, "-clip"},     {TNumberOp::ClipAbove, 1, {0, 1, 1}, "-clip"}};
  for (const Row &R : Rows) {
    TOpOutcome O = OpNumber(S, R.Op, R.R);
    ASSERT_EQ(O.Results.size(), 1u);
    EXPECT_EQ(O.Results[0].Y, R.Y) << R.Suffix << " " << R.R;
    EXPECT_EQ(O.Results[0].History, R.Suffix);
    EXPECT_EQ(O.Results[0].X, S.DataX);
  }
}

TEST(OpNumber, PowerRules) {
  EXPECT_EQ(PowerOf(-3, 2), 9);
  EXPECT_EQ(PowerOf(4, -1), 0.25);
  EXPECT_EQ(PowerOf(4, 0.5), 2);
  EXPECT_EQ(PowerOf(-2, 3), -8);
  EXPECT_EQ(PowerOf(-2, -2), 0.25);
  EXPECT_EQ(PowerOf(5, 0), 1);
  EXPECT_DOUBLE_EQ(PowerOf(-1.0000001, 1001), std::pow(-1.0000001, 1001));
  EXPECT_TRUE(std::isnan(PowerOf(-4, 0.5)));
}

TEST(OpNumber, NonFiniteResultsAreReported) {
  TSpec32 S;
  MakeSpec(S, {1, 2}, {1, -4});
  TOpOutcome D = OpNumber(S, TNumberOp::Divide, 0.0);
  EXPECT_TRUE(std::isinf(D.Results[0].Y[0]));
  EXPECT_FALSE(NonFiniteWarning(S, D.Results[0]).empty());
  TOpOutcome P = OpNumber(S, TNumberOp::Power, 0.5);
  EXPECT_TRUE(std::isnan(P.Results[0].Y[1]));
  EXPECT_FALSE(NonFiniteWarning(S, P.Results[0]).empty());
  EXPECT_TRUE(NonFiniteWarning(S, OpNumber(S, TNumberOp::Add, 1).Results[0]).empty());
}

TEST(OpLog10, Table) {
  TSpec32 S;
  MakeSpec(S, {1, 2, 3, 4}, {-5, 0, 9, 99});
  TOpOutcome O = OpLog10(S);
  EXPECT_EQ(O.Results[0].History, "-log10");
  EXPECT_EQ(O.Results[0].Y, (TDblArr1D{0, 0, 1, 2}));
}

TEST(OpPair, PointwiseAndSwap) {
  TSpec32 A, B;
  MakeSpec(A, {1, 2, 3}, {4, 5, 6}, "a.dat");
  MakeSpec(B, {1, 2, 3}, {1, 1, 2}, "b.dat");
  TOpOutcome Same = OpPair(A, A, TPairOp::Subtract);
  ASSERT_TRUE(Same.Ok());
  EXPECT_EQ(Same.Results[0].History, ""); // an "Untitled-" name
  EXPECT_EQ(Same.Results[0].Y, TDblArr1D(3, 0.0));
  EXPECT_EQ(OpPair(A, B, TPairOp::Subtract).Results[0].Y, (TDblArr1D{3, 4, 4}));
  EXPECT_EQ(OpPair(B, A, TPairOp::Subtract).Results[0].Y, (TDblArr1D{-3, -4, -4}));
  EXPECT_EQ(OpPair(A, B, TPairOp::Divide).Results[0].Y, (TDblArr1D{4, 5, 3}));
  TSpec32 C;
  MakeSpec(C, {1, 2, 3.5}, {0, 0, 0});
  EXPECT_EQ(OpPair(A, C, TPairOp::Add).Condition, "X-values differ at index 2");
}

TEST(OpPair, FourierPreconditions) {
  TSpec32 U, A;
  MakeSpec(U, {1, 2, 4, 5}, {1, 2, 3, 4});
  MakeSpec(A, Ramp(6, 0, 1), TDblArr1D(6, 1));
  EXPECT_EQ(OpPair(U, U, TPairOp::CrossCorrelate).Condition, "X-values not equidistant");
  EXPECT_EQ(OpPair(U, U, TPairOp::Convolve).Condition, "X-values not equidistant");
  EXPECT_EQ(OpPair(A, A, TPairOp::Convolve).Condition, "Number of points not a power of 2");
  EXPECT_EQ(OpPair(A, A, TPairOp::DeConvolve).Condition, "Number of points not a power of 2");
  TSpec32 Short;
  MakeSpec(Short, Ramp(4, 0, 1), TDblArr1D(4, 1));
  TSpec32 Eight;
  MakeSpec(Eight, Ramp(8, 0, 1), TDblArr1D(8, 1));
  EXPECT_THROW(OpPair(Eight, Short, TPairOp::Convolve), EOrvaError);
}

// r[j] = sum_l a[(l + j) mod N] b[l] of the standardised, padded sequences, written out.
TDblArr1D DirectCorrelation(const TDblArr1D &Ya, const TDblArr1D &Yb, int N) {
  const int n = static_cast<int>(Ya.size());
  auto Std = [&](const TDblArr1D &Y) {
    double M = 0, Q = 0;
    for (double V : Y)
      M += V;
    M /= n;
    for (double V : Y)
      Q += (V - M) * (V - M);
    double S = std::sqrt(Q / (n - 2));
    TDblArr1D R(N);
    for (int k = 0; k < N; ++k)
      R[k] = ((k < n ? Y[k] : 0.0) - M) / S;
    return R;
  };
  TDblArr1D a = Std(Ya), b = Std(Yb), r(N, 0);
  for (int j = 0; j < N; ++j)
    for (int l = 0; l < N; ++l)
      r[j] += a[(l + j) % N] * b[l];
  return r;
}

TEST(OpPair, CrossCorrelation) {
  std::mt19937 Rng(11);
  std::normal_distribution<double> G(0, 1);
  const int n = 1000;
  TDblArr1D Y(n);
  for (int i = 0; i < n; ++i)
    Y[i] = std::exp(-0.5 * std::pow((i - 480) / 6.0, 2)) + 0.01 * G(Rng);
  TSpec32 B;
  MakeSpec(B, Ramp(n, 6500, 0.02), Y, "b.dat");
  TOpOutcome Self = OpPair(B, B, TPairOp::CrossCorrelate);
  ASSERT_TRUE(Self.Ok());
  const TOpResult &R = Self.Results[0];
  ASSERT_EQ(R.X.size(), 1024u); // padded to the next power of 2
  EXPECT_NEAR(R.X[1] - R.X[0], (B.DataX[999] - B.DataX[0]) / 999, 1e-15);
  EXPECT_EQ(R.X[512], 0.0);
  int Best = 0;
  for (int i = 0; i < 1024; ++i)
    if (R.Y[i] > R.Y[Best]) Best = i;
  EXPECT_EQ(Best, 512);
  TDblArr1D Ref = DirectCorrelation(Y, Y, 1024);
  for (int i = 0; i < 1024; ++i)
    ASSERT_NEAR(R.Y[i], Ref[(512 + i) % 1024], 1e-9) << i;

  // A is B shifted right by 3 steps: the maximum lies at +3 steps.
  TDblArr1D Ys(n, Y[0]);
  for (int i = 3; i < n; ++i)
    Ys[i] = Y[i - 3];
  TSpec32 A;
  MakeSpec(A, Ramp(n, 6500, 0.02), Ys, "a.dat");
  TOpResult Cc = OpPair(A, B, TPairOp::CrossCorrelate).Results[0];
  Best = 0;
  for (int i = 0; i < 1024; ++i)
    if (Cc.Y[i] > Cc.Y[Best]) Best = i;
  EXPECT_EQ(Best, 512 + 3);
  EXPECT_NEAR(Cc.X[Best], 3 * 0.02, 1e-12);
}

TEST(OpPair, ConvolutionAndDeconvolution) {
  const int n = 64;
  std::mt19937 Rng(5);
  std::uniform_real_distribution<double> U(0, 1);
  TDblArr1D Ya(n), Kernel(n, 0.0);
  for (double &V : Ya)
    V = U(Rng);
  Kernel[0] = 1;
  TSpec32 A, Unit;
  MakeSpec(A, Ramp(n, 4000, 1), Ya, "a.dat");
  MakeSpec(Unit, Ramp(n, 4000, 1), Kernel, "k.dat");
  TOpResult C = OpPair(A, Unit, TPairOp::Convolve).Results[0];
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(C.Y[i], Ya[(n / 2 + i) % n], 1e-12) << i; // rotated by n/2
    EXPECT_EQ(C.X[i], i);
  }
  // A smooth kernel: against the circular sum, then deconvolution undoes it.
  TDblArr1D K(n);
  for (int i = 0; i < n; ++i)
    K[i] = std::exp(-0.5 * std::pow(std::min(i, n - i) / 1.5, 2));
  TSpec32 Kb;
  MakeSpec(Kb, Ramp(n, 4000, 1), K, "g.dat");
  TOpResult Cv = OpPair(A, Kb, TPairOp::Convolve).Results[0];
  TDblArr1D Direct(n, 0);
  for (int j = 0; j < n; ++j)
    for (int l = 0; l < n; ++l)
      Direct[j] += Ya[l] * K[((j - l) % n + n) % n];
  for (int i = 0; i < n; ++i)
    ASSERT_NEAR(Cv.Y[i], Direct[(n / 2 + i) % n], 1e-12) << i;
  // Convolution result back on its unrotated axis, then deconvolved.
  TSpec32 Conv;
  TDblArr1D Unrot(n);
  for (int i = 0; i < n; ++i)
    Unrot[i] = Direct[i];
  MakeSpec(Conv, Ramp(n, 4000, 1), Unrot, "c.dat");
  TOpResult Dc = OpPair(Conv, Kb, TPairOp::DeConvolve).Results[0];
  for (int i = 0; i < n; ++i)
    ASSERT_NEAR(Dc.Y[i], Ya[(n / 2 + i) % n], 1e-8) << i;
}

TEST(OpEach, ChecksAllBeforeAnything) {
  TSpec32 A1, A2, A3, B, Odd;
  MakeSpec(A1, {1, 2, 3, 4}, {1, 2, 3, 4}, "a1.dat");
  MakeSpec(A2, {1, 2, 3, 4}, {2, 2, 2, 2}, "a2.dat");
  MakeSpec(A3, {1, 2, 3, 4.5}, {0, 0, 0, 0}, "a3.dat");
  MakeSpec(B, {1, 2, 3, 4}, {1, 1, 1, 1}, "b.dat");
  EXPECT_EQ(OpEachCheck({&A1, &A2, &A3}, B, TPairOp::Add), "a3.dat, b.dat: X-values differ at index 3");
  EXPECT_EQ(OpEachCheck({&A1, &A2}, B, TPairOp::Add), "");
  TOpResult R = OpEachResult(A2, B, TPairOp::Add);
  EXPECT_EQ(R.History, "-add");
  EXPECT_EQ(R.Y, (TDblArr1D{3, 3, 3, 3}));
  EXPECT_EQ(OpEachResult(A1, B, TPairOp::CrossCorrelate).History, "-cc");
  EXPECT_EQ(OpEachResult(A1, B, TPairOp::Convolve).History, "-cnv");
  MakeSpec(Odd, {1, 2, 3}, {1, 1, 1}, "o.dat");
  TSpec32 L3;
  MakeSpec(L3, {1, 2, 3}, {1, 2, 3}, "l.dat");
  EXPECT_EQ(OpEachCheck({&L3}, Odd, TPairOp::Convolve), "Number of points not a power of 2");
  TSpec32 Un, UnB;
  MakeSpec(Un, {1, 2, 4, 5}, {1, 2, 3, 4}, "u.dat");
  MakeSpec(UnB, {1, 2, 4, 5}, {1, 2, 3, 4}, "ub.dat");
  EXPECT_EQ(OpEachCheck({&Un}, UnB, TPairOp::DeConvolve), "x-values are not equidistant");
}

} // namespace

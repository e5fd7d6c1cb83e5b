// Noise, the Fourier outputs and the structure function. References: a direct O(n^2) DFT
// written in the test, hand-worked values, and the literal structure-function sum.
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

#include "ops/OpsTestUtil.h"
#include "ops/UGaussNoise.h"
#include "ops/UOpUnaryCore.h"

namespace {

TEST(OpNoise, ZeroSigmaIsACopy) {
  TSpec32 S;
  MakeSpec(S, {1, 2, 3}, {5, -1, 2});
  TOpOutcome O = OpNoise(S, 0.0);
  ASSERT_TRUE(O.Ok());
  ASSERT_EQ(O.Results.size(), 1u);
  EXPECT_EQ(O.Results[0].History, "-noise");
  EXPECT_EQ(O.Results[0].Y, S.DataY);
  EXPECT_EQ(O.Results[0].X, S.DataX);
}

TEST(GaussNoise, Moments) {
  // 200000 values: mean within 5 standard errors, variance within a few percent, and the
  // fraction beyond 2 sigma near 4.55 %.
  SeedShuffledUniform(12345);
  const int N = 200000;
  double Sum = 0, Sum2 = 0;
  int Beyond = 0;
  for (int i = 0; i < N; ++i) {
    double V = GaussNoise(2.0, 10.0);
    Sum += V;
    Sum2 += (V - 10) * (V - 10);
    Beyond += std::fabs(V - 10) > 4.0;
  }
  EXPECT_NEAR(Sum / N, 10.0, 5 * 2.0 / std::sqrt(N));
  EXPECT_NEAR(Sum2 / N, 4.0, 0.1);
  EXPECT_NEAR(static_cast<double>(Beyond) / N, 0.0455, 0.003);
  for (int i = 0; i < 1000; ++i) {
    double U = ShuffledUniform();
    ASSERT_TRUE(U >= 0 && U < 1);
  }
}

TEST(OpFourier, Preconditions) {
  TSpec32 A, B;
  MakeSpec(A, Ramp(1000, 0, 1), TDblArr1D(1000, 1));
  TDblArr1D X = Ramp(1024, 0, 1);
  X[5] += 0.5;
  MakeSpec(B, X, TDblArr1D(1024, 1));
  TFftOutputs All{true, true, true, true, true};
  EXPECT_EQ(OpFourier(A, All).Condition, ": Size not a power of 2");
  EXPECT_EQ(OpFourier(B, All).Condition, ": x-values not equidistant");
  TSpec32 C; // both wrong: the size is tested first
  TDblArr1D Xc = Ramp(1000, 0, 1);
  Xc[3] += 0.5;
  MakeSpec(C, Xc, TDblArr1D(1000, 1));
  EXPECT_EQ(OpFourier(C, All).Condition, ": Size not a power of 2");
  TSpec32 D;
  MakeSpec(D, Ramp(8, 0, 1), TDblArr1D(8, 1));
  EXPECT_TRUE(OpFourier(D, TFftOutputs{}).Results.empty());
}

TEST(OpFourier, AgainstDirectDft) {
  const int N = 64;
  std::mt19937 Rng(7);
  std::uniform_real_distribution<double> U(-1, 1);
  TDblArr1D Y(N);
  for (double &V : Y)
    V = U(Rng);
  TSpec32 S;
  MakeSpec(S, Ramp(N, 6500, 0.1), Y);
  TOpOutcome O = OpFourier(S, TFftOutputs{true, true, true, true, true});
  ASSERT_EQ(O.Results.size(), 5u);
  const char *Names[] = {"-fftmod", "-fftpower", "-fftreal", "-fftimag", "-fftphase"};
  for (int r = 0; r < 5; ++r)
    EXPECT_EQ(O.Results[r].History, Names[r]);
  for (int k = 0; k < N; ++k) {
    std::complex<double> H = 0;
    for (int j = 0; j < N; ++j)
      H += Y[j] * std::polar(1.0, 2 * std::numbers::pi * j * k / N); // sign +1
    EXPECT_NEAR(O.Results[0].Y[k], std::abs(H), 1e-12) << k;
    EXPECT_NEAR(O.Results[1].Y[k], std::norm(H), 1e-11) << k;
    EXPECT_NEAR(O.Results[2].Y[k], H.real(), 1e-12) << k;
    EXPECT_NEAR(O.Results[3].Y[k], H.imag(), 1e-12) << k;
    EXPECT_NEAR(O.Results[4].Y[k], std::arg(H) * 180 / std::numbers::pi, 1e-9) << k;
    EXPECT_EQ(O.Results[0].X[k], k);
  }
}

TEST(OpFourier, ConstantAndCosine) {
  const int N = 256;
  TSpec32 C;
  MakeSpec(C, Ramp(N, 0, 1), TDblArr1D(N, 2.5));
  TOpOutcome O = OpFourier(C, TFftOutputs{true, false, false, false, true});
  ASSERT_EQ(O.Results.size(), 2u);
  EXPECT_NEAR(O.Results[0].Y[0], N * 2.5, 1e-10);
  for (int k = 1; k < N; ++k)
    EXPECT_NEAR(O.Results[0].Y[k], 0.0, 1e-10);
  EXPECT_EQ(O.Results[1].Y[0], 0.0);

  TDblArr1D Y(N);
  for (int j = 0; j < N; ++j)
    Y[j] = std::cos(2 * std::numbers::pi * 4 * j / N);
  TSpec32 S;
  MakeSpec(S, Ramp(N, 0, 1), Y);
  TOpOutcome M = OpFourier(S, TFftOutputs{true, false, false, false, false});
  const TDblArr1D &Mod = M.Results[0].Y;
  EXPECT_NEAR(Mod[4], N / 2.0, 1e-10);
  EXPECT_NEAR(Mod[N - 4], N / 2.0, 1e-10);
  for (int k = 0; k < N; ++k) {
    if (k != 4 && k != N - 4) {
      EXPECT_NEAR(Mod[k], 0.0, 1e-10) << k;
    }
  }
}

TEST(StructureFunction, HandWorkedCases) {
  TSpec32 C;
  MakeSpec(C, Ramp(5, 0, 1), TDblArr1D(5, 3.0));
  EXPECT_EQ(OpStructure(C).Results[0].Y, TDblArr1D(5, 0.0));
  TSpec32 T;
  MakeSpec(T, {10, 20}, {1.5, 4.0});
  TOpOutcome O = OpStructure(T);
  EXPECT_EQ(O.Results[0].History, "-struct");
  EXPECT_EQ(O.Results[0].Y, (TDblArr1D{0, 6.25}));
  EXPECT_EQ(O.Results[0].X, (TDblArr1D{10, 20})); // the source's x at index tau
  TSpec32 U;
  MakeSpec(U, {1, 2, 4}, {0, 0, 0});
  EXPECT_EQ(OpStructure(U).Condition, ": x-values not equidistant");
}

TEST(StructureFunction, FftPathEqualsTheLiteralSum) {
  std::mt19937 Rng(3);
  std::normal_distribution<double> G(0, 1);
  for (int N : {65, 100, 257, 1000, 4096}) {
    TDblArr1D Y(N);
    for (int i = 0; i < N; ++i)
      Y[i] = 1e4 + 50 * std::sin(i * 0.05) + G(Rng); // a large offset on purpose
    TDblArr1D Fast = StructureFunction(Y), Slow = StructureFunctionDirect(Y);
    double Var = 0;
    for (double V : Slow)
      Var = std::max(Var, V);
    ASSERT_EQ(Fast.size(), Slow.size());
    for (int t = 0; t < N; ++t)
      ASSERT_NEAR(Fast[t], Slow[t], 1e-10 * Var) << "n " << N << " lag " << t;
    EXPECT_EQ(Fast[0], 0.0);
  }
}

// The exact circular sum (1/n) sum_j (y[(j + tau) mod n] - y[j])^2, in long double.
long double ExactLag(const TDblArr1D &Y, size_t Tau) {
  const size_t N = Y.size();
  long double Sum = 0;
  for (size_t j = 0; j < N; ++j) {
    const long double D = static_cast<long double>(Y[(j + Tau) % N]) - static_cast<long double>(Y[j]);
    Sum += D * D;
  }
  return Sum / static_cast<long double>(N);
}

TEST(StructureFunction, SmallLagsOfLongSmoothDataKeepTheirDigits) {
  // Slow curves on a large offset: at lag 1 the structure function is 1e-7 ... 1e-10 of twice
  // the variance, which the transform alone gets to a few digits only (3.6e-7 relative error at
  // 2^16 points, 1.3e-5 at 2^18). The second curve has a trend, so the circular sum holds one
  // large jump from the last point back to the first (removing the trend would change it).
  // Required: lags 1 ... 64 (and n - 64 ... n - 1, the same by symmetry) within 1e-9 relative,
  // all others checked (a seeded sample of them) within 1e-12 of twice the variance.
  struct Curve {
    const char *What;
    double (*Y)(double T); // T = j/n in [0, 1)
  } Curves[] = {
      {"sine, 3 periods", [](double T) { return 5000 + 300 * std::sin(2 * std::numbers::pi * 3 * T); }},
      {"sine and trend",
       [](double T) { return 2e4 + 40 * std::sin(2 * std::numbers::pi * 2.3 * T) + 7 * T; }},
  };
  std::mt19937 Rng(12);
  for (int Log : {16, 18})
    for (const Curve &C : Curves) {
      const size_t N = size_t{1} << Log;
      TDblArr1D Y(N);
      for (size_t j = 0; j < N; ++j)
        Y[j] = C.Y(static_cast<double>(j) / static_cast<double>(N));
      const TDblArr1D D = StructureFunction(Y);
      ASSERT_EQ(D.size(), N);
      EXPECT_EQ(D[0], 0.0);
      long double Mean = 0, Var = 0;
      for (double V : Y)
        Mean += V;
      Mean /= N;
      for (double V : Y)
        Var += (V - Mean) * (V - Mean);
      const double TwoVar = static_cast<double>(2 * Var / N);
      std::vector<size_t> Lags;
      for (size_t t = 1; t <= 64; ++t) {
        Lags.push_back(t);
        Lags.push_back(N - t);
      }
      std::uniform_int_distribution<size_t> Pick(65, N - 65);
      for (int k = 0; k < 150; ++k)
        Lags.push_back(Pick(Rng));
      for (size_t t : {size_t{65}, size_t{66}, N / 2, N - 66, N - 65})
        Lags.push_back(t);
      for (size_t t : Lags) {
        const long double E = ExactLag(Y, t);
        const bool Small = t <= 64 || t >= N - 64;
        const double Tol = Small ? static_cast<double>(1e-9L * E) : 1e-12 * TwoVar;
        EXPECT_NEAR(D[t], static_cast<double>(E), Tol) << C.What << ", n = 2^" << Log << ", lag " << t;
      }
    }
}

} // namespace

// The numerical helpers on 0-based vectors. References: a direct O(n^2) DFT, std::nth_element
// and std::sort, closed forms worked out by hand, and polynomials the fits must reproduce.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "Units/UNumRec.h"
#include "core/UErrors.h"

namespace {

std::string ErrorText(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "(no error)";
}

// Direct DFT with the same conventions: H(k) = sum_j h(j) exp(isign 2 pi i jk/n).
std::vector<std::complex<double>> DirectDft(const std::vector<std::complex<double>> &H, int Sign) {
  const size_t N = H.size();
  std::vector<std::complex<double>> Tw(N), Out(N);
  for (size_t M = 0; M < N; ++M)
    Tw[M] = std::polar(1.0, Sign * 2.0 * std::numbers::pi * static_cast<double>(M) / static_cast<double>(N));
  for (size_t K = 0; K < N; ++K) {
    std::complex<double> S = 0;
    for (size_t J = 0; J < N; ++J)
      S += H[J] * Tw[(J * K) % N];
    Out[K] = S;
  }
  return Out;
}

double Horner(const double *C, int Degree, double X) {
  long double S = 0;
  for (int K = Degree; K >= 0; --K)
    S = S * X + C[K];
  return static_cast<double>(S);
}

} // namespace

TEST(IsPowerOf2, Table) {
  const std::vector<std::pair<int32_t, bool>> Rows = {
      {0, false},      {1, true},        {2, true},   {3, false},  {1000, false},    {1024, true},
      {1 << 30, true}, {INT_MAX, false}, {-1, false}, {-2, false}, {INT_MIN, false}, {(1 << 30) + 1, false}};
  for (auto [N, Want] : Rows)
    EXPECT_EQ(IsPowerOf2(N), Want) << N;
}

TEST(Fourier1D, AgreesWithADirectDft) {
  std::mt19937 Gen(12345);
  std::uniform_real_distribution<double> U(-1.0, 1.0);
  for (int N : {1, 2, 4, 8, 32, 256, 1024, 4096}) {
    for (int Sign : {1, -1}) {
      std::vector<std::complex<double>> H(static_cast<size_t>(N));
      std::vector<double> D(2 * static_cast<size_t>(N));
      for (int J = 0; J < N; ++J) {
        H[J] = {U(Gen), U(Gen)};
        D[2 * J] = H[J].real();
        D[2 * J + 1] = H[J].imag();
      }
      Fourier1D(N, D, Sign);
      auto Want = DirectDft(H, Sign);
      double Err = 0;
      for (int K = 0; K < N; ++K)
        Err = std::max(Err, std::abs(std::complex<double>(D[2 * K], D[2 * K + 1]) - Want[K]));
      EXPECT_LT(Err, 1e-12 * N + 1e-14) << "n " << N << " isign " << Sign;
    }
  }
}

TEST(Fourier1D, StorageOfAnyAlignment) {
  // Plans are kept per alignment of the data; a vector viewed from its second element has another
  // alignment than the vector itself. Both must give the direct DFT.
  const int N = 64;
  std::mt19937 Gen(7);
  std::uniform_real_distribution<double> U(-1.0, 1.0);
  std::vector<double> Buf(2 * N + 1);
  for (int Offset : {0, 1, 0, 1}) {
    std::vector<std::complex<double>> H(N);
    for (int J = 0; J < N; ++J) {
      H[J] = {U(Gen), U(Gen)};
      Buf[Offset + 2 * J] = H[J].real();
      Buf[Offset + 2 * J + 1] = H[J].imag();
    }
    Fourier1D(N, std::span<double>(Buf.data() + Offset, 2 * N), -1);
    auto Want = DirectDft(H, -1);
    for (int K = 0; K < N; ++K) {
      EXPECT_NEAR(Buf[Offset + 2 * K], Want[K].real(), 1e-12) << Offset;
      EXPECT_NEAR(Buf[Offset + 2 * K + 1], Want[K].imag(), 1e-12) << Offset;
    }
  }
}

TEST(Fourier1D, InverseGivesNTimesTheInputAndConstantsGoToZeroFrequency) {
  const int N = 512;
  std::mt19937 Gen(99);
  std::uniform_real_distribution<double> U(-5.0, 5.0);
  std::vector<double> D(2 * N), Orig;
  for (double &V : D)
    V = U(Gen);
  Orig = D;
  Fourier1D(N, D, 1);
  Fourier1D(N, D, -1);
  for (int I = 0; I < 2 * N; ++I)
    EXPECT_NEAR(D[I], N * Orig[I], 1e-10) << I;

  std::vector<double> C(2 * 16, 0.0);
  for (int J = 0; J < 16; ++J)
    C[2 * J] = 2.5;
  Fourier1D(16, C, 1);
  EXPECT_NEAR(C[0], 16 * 2.5, 1e-13);
  for (int I = 1; I < 32; ++I)
    EXPECT_NEAR(C[I], 0.0, 1e-13) << I;
}

TEST(Fourier1D, LengthOneAndLengthsThatAreNoPowerOf2) {
  std::vector<double> One = {1.25, -0.5};
  Fourier1D(1, One, 1);
  EXPECT_EQ(One, (std::vector<double>{1.25, -0.5}));
  std::vector<double> Six(12, 1.0);
  EXPECT_EQ(ErrorText([&] { Fourier1D(6, Six, 1); }), "Fourier1D: 6 no power of 2");
  EXPECT_EQ(ErrorText([&] { Fourier1D(0, Six, 1); }), "Fourier1D: 0 no power of 2");
  EXPECT_EQ(Six, std::vector<double>(12, 1.0)) << "nothing is touched";
  EXPECT_THROW(Fourier1D(8, Six, 1), EAssertFailure) << "8 complex values do not fit in 12 doubles";
}

TEST(FitPolynomial, DegreeOneThroughThreePoints) {
  std::vector<double> X = {0, 1, 2}, Y = {1, 3, 5};
  double C[5] = {9, 9, 9, 9, 9};
  EXPECT_TRUE(FitPolynomial(X, Y, 3, 1, C));
  EXPECT_NEAR(C[0], 1.0, 1e-13);
  EXPECT_NEAR(C[1], 2.0, 1e-13);
  for (int K = 2; K < 5; ++K)
    EXPECT_EQ(C[K], 0.0);
}

TEST(FitPolynomial, ExactPolynomialsNearTheOrigin) {
  // x from 0 to 10 on an uneven grid; the fit must return the coefficients it was made from.
  const double True[5] = {1.5, -2.0, 0.75, -0.125, 0.01};
  for (int D = 1; D <= 4; ++D) {
    std::vector<double> X, Y;
    for (int I = 0; I <= 20; ++I) {
      double V = 0.5 * I + 0.1 * std::sin(I);
      X.push_back(V);
      Y.push_back(Horner(True, D, V));
    }
    double C[5];
    FitPolynomial(X, Y, 21, D, C);
    for (int K = 0; K <= D; ++K)
      EXPECT_NEAR(C[K], True[K], 1e-9 * std::fabs(True[K])) << "degree " << D << " k " << K;
    for (int K = D + 1; K < 5; ++K)
      EXPECT_EQ(C[K], 0.0);
  }
}

TEST(FitPolynomial, ExactPolynomialsFarFromTheOrigin) {
  // x from 6500 to 6600 (wavelengths): the powers of x alone are nearly collinear there, so single
  // coefficients are ill-determined, but the fitted curve must reproduce the polynomial to 1e-9 of
  // its range, between the points as well.
  const double True[5] = {1000.0, -0.5, 2e-4, 1e-8, -1e-12};
  for (int D = 1; D <= 4; ++D) {
    for (int N : {D + 1, 11, 101, 1001}) {
      std::vector<double> X, Y;
      for (int I = 0; I < N; ++I) {
        X.push_back(6500.0 + 100.0 * I / (N - 1));
        Y.push_back(Horner(True, D, X.back()));
      }
      double YMin = *std::min_element(Y.begin(), Y.end()), YMax = *std::max_element(Y.begin(), Y.end());
      double C[5];
      FitPolynomial(X, Y, N, D, C);
      double Err = 0;
      for (double T = 6500.0; T <= 6600.0; T += 0.37)
        Err = std::max(Err, std::fabs(Horner(C, 4, T) - Horner(True, D, T)));
      EXPECT_LT(Err, 1e-9 * (YMax - YMin)) << "degree " << D << " n " << N;
    }
  }
}

TEST(FitPolynomial, EqualValuesAndBadArguments) {
  std::vector<double> X = {1, 2, 3, 4, 5}, Y(5, 7.0);
  for (int D = 1; D <= 4; ++D) {
    double C[5] = {9, 9, 9, 9, 9};
    EXPECT_TRUE(FitPolynomial(X, Y, 5, D, C));
    EXPECT_EQ(C[0], 7.0);
    for (int K = 1; K < 5; ++K)
      EXPECT_EQ(C[K], 0.0) << D << " " << K;
  }
  double C[5];
  EXPECT_THROW(FitPolynomial(X, Y, 5, 0, C), EAssertFailure);
  EXPECT_THROW(FitPolynomial(X, Y, 5, 5, C), EAssertFailure);
  EXPECT_THROW(FitPolynomial(X, Y, 3, 3, C), EAssertFailure) << "degree not below n";
  std::vector<double> Same(5, 2.0), Diff = {1, 2, 3, 4, 5};
  EXPECT_EQ(ErrorText([&] { FitPolynomial(Same, Diff, 5, 2, C); }), "Floating point division by zero");
}

TEST(SvdFit, GeneralBasisAndCovariance) {
  // y = 2 - 3 sin x + 0.5 cos 2x exactly; sig = 0.5. The covariance must be (A^T A)^-1 with the
  // rows of A divided by sig (computed here independently with Eigen's LDLT).
  auto Basis = [](double X, TNrVector P, int) {
    P[1] = 1.0;
    P[2] = std::sin(X);
    P[3] = std::cos(2 * X);
  };
  std::vector<double> X, Y, Sig;
  for (int I = 0; I < 40; ++I) {
    X.push_back(0.3 * I);
    Y.push_back(2.0 - 3.0 * std::sin(X.back()) + 0.5 * std::cos(2 * X.back()));
    Sig.push_back(0.5);
  }
  std::vector<double> A(3);
  double Chisq = -1;
  TDblMatrix Cvm;
  SvdFit(40, X, Y, Sig, Basis, 3, A, Chisq, Cvm);
  EXPECT_NEAR(A[0], 2.0, 1e-12);
  EXPECT_NEAR(A[1], -3.0, 1e-12);
  EXPECT_NEAR(A[2], 0.5, 1e-12);
  EXPECT_LT(Chisq, 1e-20);
  ASSERT_EQ(Cvm.size(), 3u);
  Eigen::MatrixXd M(40, 3);
  for (int I = 0; I < 40; ++I) {
    M(I, 0) = 1.0 / 0.5;
    M(I, 1) = std::sin(X[I]) / 0.5;
    M(I, 2) = std::cos(2 * X[I]) / 0.5;
  }
  Eigen::MatrixXd Want = (M.transpose() * M).ldlt().solve(Eigen::MatrixXd::Identity(3, 3));
  for (int I = 0; I < 3; ++I)
    for (int J = 0; J < 3; ++J)
      EXPECT_NEAR(Cvm[I][J], Want(I, J), 1e-12 * std::fabs(Want(0, 0))) << I << J;
  // All-equal y: the constant alone.
  std::vector<double> Flat(40, 7.0);
  SvdFit(40, X, Flat, Sig, Basis, 3, A, Chisq, Cvm);
  EXPECT_NEAR(A[0], 7.0, 1e-12);
  EXPECT_NEAR(A[1], 0.0, 1e-12);
  EXPECT_NEAR(A[2], 0.0, 1e-12);
}

TEST(PolyBasis, Powers) {
  std::vector<double> P(5);
  PolyBasis(-2.0, NrView(P), 5);
  EXPECT_EQ(P, (std::vector<double>{1, -2, 4, -8, 16}));
}

namespace {

std::vector<double> GaussOnLine(const std::vector<double> &X, double A1, double A2, double A3, double A4,
                                double A5) {
  std::vector<double> Y;
  for (double V : X)
    Y.push_back(A1 + A2 * V + A3 * std::exp(-0.5 * std::pow((V - A4) / A5, 2)));
  return Y;
}

double Chi2(const std::vector<double> &X, const std::vector<double> &Y, const double P[5]) {
  auto M = GaussOnLine(X, P[0], P[1], P[2], P[3], P[4]);
  double S = 0;
  for (size_t I = 0; I < X.size(); ++I)
    S += (Y[I] - M[I]) * (Y[I] - M[I]);
  return S;
}

std::vector<double> Grid() {
  std::vector<double> X;
  for (int I = 0; I < 41; ++I)
    X.push_back(-4.0 + 0.2 * I);
  return X;
}

} // namespace

TEST(FitGaussLinear, RecoversAGaussianOnALineFromRoughStarts) {
  const auto X = Grid();
  const auto Y = GaussOnLine(X, 0.3, 0.05, 2.0, 0.4, 0.7);
  // The second start is so wide that the first Marquardt steps are refused; that must not pass
  // for convergence at the start values.
  const std::vector<std::vector<double>> Starts = {
      {0, 0, 1, 0, 1.5}, {0, 0, 1, 0, 3}, {0, 0, 1, 1.5, 2}, {0, 0, -1, 0, 1}};
  for (const auto &S : Starts) {
    double A1 = S[0], A2 = S[1], A3 = S[2], A4 = S[3], A5 = S[4];
    int R = FitGaussLinear(41, X, Y, true, A1, A2, A3, A4, A5);
    EXPECT_GT(R, 0) << "start a4 " << S[3] << " a5 " << S[4];
    EXPECT_NEAR(A1, 0.3, 1e-6);
    EXPECT_NEAR(A2, 0.05, 1e-6);
    EXPECT_NEAR(A3, 2.0, 1e-6);
    EXPECT_NEAR(A4, 0.4, 1e-6);
    EXPECT_NEAR(A5, 0.7, 1e-6);
  }
}

TEST(FitGaussLinear, SlopeHeldFixed) {
  const auto X = Grid();
  // With the slope fixed at its true value the other four are found; the slope is not touched.
  auto Y = GaussOnLine(X, 0.3, 0.05, 2.0, 0.4, 0.7);
  double A1 = 0, A2 = 0.05, A3 = 1, A4 = 0, A5 = 1.5;
  EXPECT_GT(FitGaussLinear(41, X, Y, false, A1, A2, A3, A4, A5), 0);
  EXPECT_EQ(A2, 0.05);
  EXPECT_NEAR(A1, 0.3, 1e-6);
  EXPECT_NEAR(A4, 0.4, 1e-6);
  EXPECT_NEAR(A5, 0.7, 1e-6);
  // Held at 0 on data with a slope: a2 stays 0 and the rest is a compromise.
  A1 = 0, A2 = 0, A3 = 1, A4 = 0, A5 = 1.5;
  EXPECT_GT(FitGaussLinear(41, X, Y, false, A1, A2, A3, A4, A5), 0);
  EXPECT_EQ(A2, 0.0);
  EXPECT_GT(std::fabs(A4 - 0.4), 1e-3);
}

TEST(FitGaussLinear, ExactStartConverges) {
  const auto X = Grid();
  const auto Y = GaussOnLine(X, 0.3, 0.05, 2.0, 0.4, 0.7);
  double A1 = 0.3, A2 = 0.05, A3 = 2.0, A4 = 0.4, A5 = 0.7;
  EXPECT_GT(FitGaussLinear(41, X, Y, true, A1, A2, A3, A4, A5), 0);
  EXPECT_NEAR(A4, 0.4, 1e-12);
  EXPECT_NEAR(A5, 0.7, 1e-12);
}

TEST(FitGaussLinear, AStartItCannotFitReturnsMinusOneWithTheLastParameters) {
  // A straight line holds no Gaussian: from a very wide start the Gaussian keeps widening and
  // moving away to imitate the line, and no 51 steps settle.
  const auto X = Grid();
  const auto Y = GaussOnLine(X, 1.0, 0.5, 0.0, 0.0, 1.0);
  const double Start[5] = {0, 0, 1, 0, 10};
  double P[5] = {Start[0], Start[1], Start[2], Start[3], Start[4]};
  EXPECT_EQ(FitGaussLinear(41, X, Y, true, P[0], P[1], P[2], P[3], P[4]), -1);
  for (double V : P)
    EXPECT_TRUE(std::isfinite(V));
  EXPECT_GT(std::fabs(P[3] - Start[3]), 1.0) << "the parameters reached are written back";
  EXPECT_LT(Chi2(X, Y, P), Chi2(X, Y, Start));
}

TEST(Splines, StraightLinesAreReproduced) {
  // Uneven knots on y = 3 - 0.5 x; natural ends (1e35, as the resampling passes) and clamped ends
  // with the line's slope both give the line itself: zero second derivatives.
  std::vector<double> X = {0.0, 0.4, 1.5, 1.7, 3.0, 4.2, 6.0}, Y;
  for (double V : X)
    Y.push_back(3.0 - 0.5 * V);
  for (auto [Yp1, Ypn] : {std::pair{1e35, 1e35}, std::pair{-0.5, -0.5}, std::pair{1e35, -0.5}}) {
    TDblArr1D Y2 = SplineSetup(X, Y, 7, Yp1, Ypn);
    ASSERT_EQ(Y2.size(), 7u);
    for (double V : Y2)
      EXPECT_NEAR(V, 0.0, 1e-13) << Yp1;
    for (double T = 0.0; T <= 6.0; T += 0.25)
      EXPECT_NEAR(SplineValue(X, Y, Y2, 7, T), 3.0 - 0.5 * T, 1e-13) << T;
  }
  // Just above 0.99e30 is a natural end, just below a (huge) slope.
  std::vector<double> X3 = {0, 1, 2}, Y3 = {0, 1, 0};
  EXPECT_NEAR(SplineSetup(X3, Y3, 3, 0.991e30, 0.991e30)[0], 0.0, 1e-12);
  EXPECT_GT(std::fabs(SplineSetup(X3, Y3, 3, 0.98e30, 1e35)[0]), 1e29);
}

TEST(Splines, HandComputedValues) {
  // Natural spline through (0,0), (1,1), (2,0): M1 = -3, value 0.6875 at 0.5 and 1.5.
  // Clamped through (0,0), (1,1) with zero end slopes: the Hermite cubic 3x^2 - 2x^3.
  std::vector<double> X = {0, 1, 2}, Y = {0, 1, 0};
  auto Y2 = SplineSetup(X, Y, 3, 1e35, 1e35);
  EXPECT_NEAR(Y2[1], -3.0, 1e-14);
  EXPECT_NEAR(SplineValue(X, Y, Y2, 3, 0.5), 0.6875, 1e-14);
  EXPECT_NEAR(SplineValue(X, Y, Y2, 3, 1.5), 0.6875, 1e-14);
  std::vector<double> X2 = {0, 1}, YH = {0, 1};
  auto H2 = SplineSetup(X2, YH, 2, 0.0, 0.0);
  for (double T : {0.0, 0.25, 0.5, 0.8, 1.0})
    EXPECT_NEAR(SplineValue(X2, YH, H2, 2, T), 3 * T * T - 2 * T * T * T, 1e-14);
  EXPECT_EQ(ErrorText([&] {
              std::vector<double> Bad = {0, 1, 1};
              SplineSetup(Bad, Y, 3, 1e35, 1e35);
            }),
            "dspline: two equal x values");
}

namespace {

double Rosenbrock(TNrConstVector V) {
  double A = 1.0 - V[1], B = V[2] - V[1] * V[1];
  return A * A + 100.0 * B * B;
}

double Anisotropic(TNrConstVector V) {
  double A = V[1] - 1.0, B = V[2] + 2.0, C = V[3] - 3.0;
  return A * A + 100.0 * B * B + 1e4 * C * C;
}

} // namespace

TEST(AmoebaMinimize, MinimaAndTheContractedSimplex) {
  struct TCase {
    const char *Name;
    TNrMultiFunc F;
    std::vector<double> Start, Min;
  };
  for (const auto &C : {TCase{"Rosenbrock", Rosenbrock, {-1.2, 1.0}, {1.0, 1.0}},
                        TCase{"anisotropic", Anisotropic, {0.0, 0.0, 0.0}, {1.0, -2.0, 3.0}}}) {
    const int N = static_cast<int>(C.Start.size());
    TDblMatrix P(static_cast<size_t>(N) + 1, C.Start);
    std::vector<double> Y(static_cast<size_t>(N) + 1);
    for (int I = 0; I <= N; ++I) {
      if (I > 0) P[I][I - 1] += 0.5;
      Y[I] = C.F(NrView(std::as_const(P[I])));
    }
    int NFunk = 0;
    AmoebaMinimize(P, Y, N, 1e-10, C.F, NFunk);
    EXPECT_GT(NFunk, N) << C.Name;
    for (int I = 0; I <= N; ++I) {
      EXPECT_DOUBLE_EQ(Y[I], C.F(NrView(std::as_const(P[I])))) << C.Name;
      for (int J = 0; J < N; ++J)
        EXPECT_NEAR(P[I][J], C.Min[J], 1e-4) << C.Name << " vertex " << I;
    }
    double Hi = *std::max_element(Y.begin(), Y.end()), Lo = *std::min_element(Y.begin(), Y.end());
    EXPECT_LT(2 * (Hi - Lo), 1e-10 * (std::fabs(Hi) + std::fabs(Lo) + 1e-10)) << C.Name;
  }
}

TEST(PowellMinimize, MinimaAndFinalDirections) {
  struct TCase {
    const char *Name;
    TNrMultiFunc F;
    std::vector<double> Start, Min;
    double Tol;
  };
  for (const auto &C : {TCase{"Rosenbrock", Rosenbrock, {-1.2, 1.0}, {1.0, 1.0}, 1e-4},
                        TCase{"anisotropic", Anisotropic, {0.0, 0.0, 0.0}, {1.0, -2.0, 3.0}, 1e-6}}) {
    const int N = static_cast<int>(C.Start.size());
    std::vector<double> P = C.Start;
    TDblMatrix Xi(static_cast<size_t>(N), std::vector<double>(static_cast<size_t>(N), 0.0));
    for (int I = 0; I < N; ++I)
      Xi[I][I] = 1.0;
    int Iter = 0;
    double FRet = 0;
    PowellMinimize(P, Xi, N, 1e-10, Iter, FRet, C.F);
    EXPECT_GE(Iter, 1) << C.Name;
    EXPECT_DOUBLE_EQ(FRet, C.F(NrView(std::as_const(P)))) << C.Name;
    for (int J = 0; J < N; ++J)
      EXPECT_NEAR(P[J], C.Min[J], C.Tol) << C.Name;
    Eigen::MatrixXd D(N, N);
    for (int I = 0; I < N; ++I)
      for (int J = 0; J < N; ++J)
        D(I, J) = Xi[I][J];
    for (int J = 0; J < N; ++J) {
      ASSERT_GT(D.col(J).norm(), 0.0) << C.Name;
      D.col(J).normalize();
    }
    EXPECT_GT(std::fabs(D.determinant()), 1e-3) << C.Name << ": the directions stay independent";
  }
}

TEST(SavGolKernel, PublishedSmoothingAndDerivativeKernels) {
  // Savitzky and Golay (1964), tables of convolution integers.
  struct TRow {
    int NL, NR, LD, M;
    std::vector<double> Num;
    double Den;
  };
  const std::vector<TRow> Rows = {{2, 2, 0, 2, {-3, 12, 17, 12, -3}, 35},
                                  {3, 3, 0, 2, {-2, 3, 6, 7, 6, 3, -2}, 21},
                                  {4, 4, 0, 2, {-21, 14, 39, 54, 59, 54, 39, 14, -21}, 231},
                                  {3, 3, 0, 4, {5, -30, 75, 131, 75, -30, 5}, 231},
                                  {2, 2, 1, 2, {-2, -1, 0, 1, 2}, 10},
                                  {3, 3, 1, 2, {-3, -2, -1, 0, 1, 2, 3}, 28}};
  for (const auto &R : Rows) {
    int Np = R.NL + R.NR + 1;
    TDblArr1D C = SavGolKernel(Np, R.NL, R.NR, R.LD, R.M);
    ASSERT_EQ(C.size(), R.Num.size());
    for (int I = 0; I < Np; ++I)
      EXPECT_NEAR(C[I], R.Num[I] / R.Den, 1e-13) << "nl " << R.NL << " m " << R.M << " i " << I;
  }
}

TEST(SavGolKernel, LongWindowQuadraticClosedForm) {
  // Quadratic smoothing over offsets -n ... n: c_k = (3 (3n^2 + 3n - 1) - 15 k^2) /
  // ((2n - 1)(2n + 1)(2n + 3)), the closed form of the tables' quadratic column (n = 2 gives
  // (-3, 12, 17, 12, -3)/35). A window of 20001 points must not need its square in memory.
  for (int N : {2, 50, 10000}) {
    const int Np = 2 * N + 1;
    TDblArr1D C = SavGolKernel(Np, N, N, 0, 2);
    ASSERT_EQ(C.size(), static_cast<size_t>(Np));
    const double Nd = N, Den = (2 * Nd - 1) * (2 * Nd + 1) * (2 * Nd + 3);
    int Bad = 0;
    for (int K = -N; K <= N; ++K) {
      const double Want = (3 * (3 * Nd * Nd + 3 * Nd - 1) - 15.0 * K * K) / Den;
      if (std::fabs(C[K + N] - Want) > 1e-9 * std::fabs(C[N])) ++Bad;
    }
    EXPECT_EQ(Bad, 0) << "n " << N;
  }
}

TEST(SavGolKernel, OneSidedWindowsReproducePolynomials) {
  // A kernel of degree m applied to samples of a polynomial of degree m returns its value at the
  // current sample, whatever the window shape.
  auto Poly = [](int M, double U) {
    const double C[5] = {0.7, -1.3, 0.45, 0.2, -0.05};
    double S = 0;
    for (int K = M; K >= 0; --K)
      S = S * U + C[K];
    return S;
  };
  for (auto [NL, NR] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{1, 5}, std::pair{6, 2}}) {
    for (int M = 0; M <= std::min(4, NL + NR); ++M) {
      int Np = NL + NR + 1;
      TDblArr1D C = SavGolKernel(Np, NL, NR, 0, M);
      const double Centre = 2.5;
      double S = 0;
      for (int I = 0; I < Np; ++I)
        S += C[I] * Poly(M, Centre + (I - NL));
      EXPECT_NEAR(S, Poly(M, Centre), 1e-11) << "nl " << NL << " nr " << NR << " m " << M;
    }
  }
  EXPECT_EQ(ErrorText([] { SavGolKernel(5, 4, 0, 0, 5); }), "dsavgol: bad arguments");
  EXPECT_THROW(SavGolKernel(6, 2, 2, 0, 2), EAssertFailure) << "np must be nl + nr + 1";
}

TEST(SelectKth, Examples) {
  std::vector<double> A = {5, 1, 4, 2, 3};
  EXPECT_EQ(SelectKth(3, 5, A), 3.0);
  std::vector<double> B = {4, 1, 3, 2};
  EXPECT_EQ(SelectKth(4 / 2 + 1, 4, B), 3.0) << "upper middle for even n";
  std::vector<double> One = {8};
  EXPECT_EQ(SelectKth(1, 1, One), 8.0);
  std::vector<double> Two = {8, -1};
  EXPECT_EQ(SelectKth(1, 2, Two), -1.0);
  EXPECT_THROW(SelectKth(0, 5, A), EAssertFailure);
  EXPECT_THROW(SelectKth(6, 5, A), EAssertFailure);
}

TEST(SelectKth, AgreesWithNthElement) {
  std::mt19937 Gen(2024);
  for (int Trial = 0; Trial < 300; ++Trial) {
    int N = 1 + static_cast<int>(Gen() % (Trial < 250 ? 60 : 20000));
    // Every third array draws from a handful of values, so that many are equal.
    int Levels = Trial % 3 == 0 ? 4 : 1000000;
    std::vector<double> V(static_cast<size_t>(N));
    for (double &X : V)
      X = static_cast<double>(Gen() % static_cast<unsigned>(Levels)) * 0.5;
    int K = 1 + static_cast<int>(Gen() % static_cast<unsigned>(N));
    std::vector<double> Ref = V, Work = V;
    std::nth_element(Ref.begin(), Ref.begin() + (K - 1), Ref.end());
    ASSERT_EQ(SelectKth(K, N, Work), Ref[K - 1]) << "n " << N << " k " << K;
    std::sort(Work.begin(), Work.end());
    std::sort(V.begin(), V.end());
    ASSERT_EQ(Work, V) << "only reordered";
  }
}

TEST(IndexSort, ExamplesAndAgreementWithSort) {
  std::vector<double> A = {3.0, 1.0, 2.0};
  EXPECT_EQ(IndexSort(3, A), (std::vector<int>{1, 2, 0}));
  EXPECT_TRUE(IndexSort(0, A).empty());
  std::mt19937 Gen(77);
  std::vector<std::vector<double>> Inputs;
  for (int N : {1, 2, 6, 7, 8, 13, 100, 1000, 100000}) {
    std::vector<double> R(static_cast<size_t>(N)), Few(static_cast<size_t>(N)), Up(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) {
      R[I] = std::uniform_real_distribution<double>(-1, 1)(Gen);
      Few[I] = static_cast<double>(Gen() % 3);
      Up[I] = I;
    }
    std::vector<double> Down(Up.rbegin(), Up.rend()), Pipe(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I)
      Pipe[I] = std::min(I, N - 1 - I);
    for (auto *V : {&R, &Few, &Up, &Down, &Pipe})
      Inputs.push_back(*V);
  }
  for (const auto &V : Inputs) {
    const int N = static_cast<int>(V.size());
    std::vector<double> Copy = V;
    std::vector<int> Idx = IndexSort(N, V);
    ASSERT_EQ(V, Copy) << "arr is untouched";
    std::vector<int> Perm = Idx;
    std::sort(Perm.begin(), Perm.end());
    for (int I = 0; I < N; ++I)
      ASSERT_EQ(Perm[I], I) << "a permutation of 0 ... n-1, n " << N;
    std::vector<double> Sorted = V;
    std::sort(Sorted.begin(), Sorted.end());
    for (int I = 0; I < N; ++I)
      ASSERT_EQ(V[Idx[I]], Sorted[I]) << "n " << N << " i " << I;
  }
}

TEST(IndexSort, StackGuard) {
  // A million values need a few levels of pending partitions, well within 50 entries; a stack of
  // four entries is too small for a thousand, and the guard names it.
  std::mt19937 Gen(5);
  std::vector<double> V(1000000);
  for (double &X : V)
    X = std::uniform_real_distribution<double>(0, 1)(Gen);
  std::vector<int> Idx = IndexSort(static_cast<int>(V.size()), V);
  EXPECT_TRUE(std::is_sorted(Idx.begin(), Idx.end(), [&](int A, int B) { return V[A] < V[B]; }));
  EXPECT_EQ(ErrorText([&] { numrec_detail::IndexSortStack(1000, V, 4); }), "NSTACK too small in index");
  EXPECT_NO_THROW(numrec_detail::IndexSortStack(1000, V, 50));
}

TEST(NumRecErrorHook, RoutineErrorsBecomeTheGeneralError) {
  InstallNumRecErrorHook();
  EXPECT_EQ(ErrorText([] { nrerror("some routine: some trouble"); }), "some routine: some trouble");
}

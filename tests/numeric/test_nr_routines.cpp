// Our numerical routines in their 1-based shapes: views, error hook, Levenberg-Marquardt
// protocol, SVD fit, splines, minimisers, Savitzky-Golay order, Simpson integration.
// Reference values are closed forms worked out by hand (noted per case).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <Eigen/Dense>

#include "core/UErrors.h"
#include "numeric/UNrBase.h"
#include "numeric/UNrFit.h"
#include "numeric/UNrFourier.h"
#include "numeric/UNrMinimize.h"
#include "numeric/UNrQuad.h"
#include "numeric/UNrSavGol.h"
#include "numeric/UNrSpline.h"

namespace {

std::string ErrorText(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "(no error)";
}

// Restores the default error behaviour when a test that installs its own hook ends.
struct THookGuard {
  ~THookGuard() { setnrerror(nullptr); }
};

} // namespace

TEST(NrBase, ViewsAreOneBasedAndRangeChecked) {
  std::vector<double> V = {10, 20, 30};
  TNrVector W = NrView(V);
  EXPECT_EQ(W[1], 10);
  EXPECT_EQ(W[3], 30);
  W[2] = 25;
  EXPECT_EQ(V[1], 25) << "the view writes the caller's storage";
  EXPECT_EQ(ErrorText([&] { (void)W[0]; }), "Range check error");
  EXPECT_EQ(ErrorText([&] { (void)W[4]; }), "Range check error");
  TNrMatrixStore M(2, 3);
  M.View()[2][3] = 7;
  EXPECT_EQ(M.At(2, 3), 7);
  EXPECT_EQ(ErrorText([&] { (void)M.View()[3]; }), "Range check error");
}

TEST(NrBase, ErrorHookReceivesTheRoutineText) {
  THookGuard Guard;
  // Without a hook the general error carries the text.
  setnrerror(nullptr);
  EXPECT_EQ(ErrorText([] { dfour1(TNrVector(), 6, 1); }), "dfour1: nn is not a power of 2");
  // An installed hook sees the text and its exception leaves the routine.
  static std::string Seen;
  setnrerror([](const char *T) {
    Seen = T;
    throw std::runtime_error("hooked");
  });
  std::vector<double> C(5);
  EXPECT_THROW(dsavgol(NrView(C), 5, 2, 2, 0, 5), std::runtime_error);
  EXPECT_EQ(Seen, "dsavgol: bad arguments");
  // A hook that returns does not let the routine go on.
  setnrerror([](const char *) {});
  EXPECT_EQ(ErrorText([&] { dsavgol(NrView(C), 5, 2, 2, 0, 5); }), "dsavgol: bad arguments");
}

TEST(NrFourier, SignConvention) {
  // h_j = exp(+2 pi i j m / n): with isign = -1 the transform is n at k = m, with isign = +1 at
  // k = n - m (where exp(2 pi i j (m + k)/n) sums to n); zero elsewhere.
  const int N = 16, M = 3;
  for (int Sign : {1, -1}) {
    std::vector<double> D(2 * N);
    for (int J = 0; J < N; ++J) {
      D[2 * J] = std::cos(2 * std::numbers::pi * J * M / N);
      D[2 * J + 1] = std::sin(2 * std::numbers::pi * J * M / N);
    }
    dfour1(NrView(D), N, Sign);
    int Peak = Sign == -1 ? M : N - M;
    for (int K = 0; K < N; ++K) {
      EXPECT_NEAR(D[2 * K], K == Peak ? N : 0.0, 1e-12) << "isign " << Sign << " k " << K;
      EXPECT_NEAR(D[2 * K + 1], 0.0, 1e-12) << "isign " << Sign << " k " << K;
    }
  }
  std::vector<double> D(8);
  EXPECT_EQ(ErrorText([&] { dfour1(NrView(D), 4, 0); }), "dfour1: isign must be +1 or -1");
  EXPECT_EQ(ErrorText([&] { dfour1(NrView(D), 8, 1); }), "dfour1: data holds fewer than nn complex values");
}

namespace {

// y = p1 + p2 x: a model linear in its parameters, whose covariance is known in closed form.
void LineModel(double X, TNrConstVector A, double &Y, TNrVector Dyda, int) {
  Y = A[1] + A[2] * X;
  Dyda[1] = 1.0;
  Dyda[2] = X;
}

// y = p1 exp(-p2 x) + p3.
void DecayModel(double X, TNrConstVector A, double &Y, TNrVector Dyda, int) {
  double E = std::exp(-A[2] * X);
  Y = A[1] * E + A[3];
  Dyda[1] = E;
  Dyda[2] = -A[1] * X * E;
  Dyda[3] = 1.0;
}

} // namespace

TEST(NrMrqmin, LambdaProtocolAndConvergence) {
  std::vector<double> X, Y, Sig;
  for (int I = 0; I < 30; ++I) {
    X.push_back(0.2 * I);
    Y.push_back(3.0 * std::exp(-0.7 * X.back()) + 0.5);
    Sig.push_back(1.0);
  }
  std::vector<double> A = {1.0, 0.2, 0.0};
  std::vector<int> Ia = {1, 1, 1};
  TNrMatrixStore Covar(3, 3), Alpha(3, 3);
  double Chisq = 0, Lambda = -1;
  auto Step = [&] {
    dmrqmin(NrView(X), NrView(Y), NrView(Sig), 30, NrView(A), TNrIntVector(Ia.data(), 3), 3, Covar.View(),
            Alpha.View(), Chisq, DecayModel, Lambda);
  };
  Step();
  double Prev = Chisq;
  int Taken = 0, Refused = 0;
  for (int It = 0; It < 60; ++It) {
    std::vector<double> Before = A;
    double LBefore = Lambda;
    Step();
    EXPECT_LE(Chisq, Prev) << "chi-square of the best parameters never rises";
    if (Lambda < LBefore) {
      EXPECT_DOUBLE_EQ(Lambda, LBefore * 0.1);
      ++Taken;
    } else {
      EXPECT_DOUBLE_EQ(Lambda, LBefore * 10.0);
      EXPECT_EQ(A, Before) << "a refused step leaves the parameters";
      ++Refused;
    }
    Prev = Chisq;
  }
  EXPECT_GT(Taken, 3);
  EXPECT_NEAR(A[0], 3.0, 1e-8);
  EXPECT_NEAR(A[1], 0.7, 1e-8);
  EXPECT_NEAR(A[2], 0.5, 1e-8);
  // Finalisation: covar is the inverse of alpha.
  Lambda = 0;
  Step();
  for (int I = 1; I <= 3; ++I)
    for (int J = 1; J <= 3; ++J) {
      double S = 0;
      for (int K = 1; K <= 3; ++K)
        S += Covar.View()[I][K] * Alpha.View()[K][J];
      EXPECT_NEAR(S, I == J ? 1.0 : 0.0, 1e-9) << I << "," << J;
    }
  // The fit is over: a step without a new initialisation is refused.
  Lambda = 0.001;
  EXPECT_EQ(ErrorText(Step), "dmrqmin: fit not initialised");
}

TEST(NrMrqmin, FixedParameterAndClosedFormCovariance) {
  // Unit weights, model p1 + p2 x, x = 0 ... 9: covariance (A^T A)^-1 with
  // Sxx = sum (x - 4.5)^2 = 82.5: var p2 = 1/Sxx, var p1 = sum x^2 / (n Sxx) = 285/825,
  // cov = -mean x / Sxx.
  std::vector<double> X, Y, Sig(10, 1.0);
  for (int I = 0; I < 10; ++I) {
    X.push_back(I);
    Y.push_back(2.0 - 0.5 * I + (I % 2 ? 0.1 : -0.1));
  }
  std::vector<double> A = {0.0, 0.0};
  std::vector<int> Ia = {1, 1};
  TNrMatrixStore Covar(2, 2), Alpha(2, 2);
  double Chisq = 0, Lambda = -1;
  auto Step = [&](int NFree) {
    dmrqmin(NrView(X), NrView(Y), NrView(Sig), 10, NrView(A), TNrIntVector(Ia.data(), 2), 2, Covar.View(),
            Alpha.View(), Chisq, LineModel, Lambda);
    (void)NFree;
  };
  for (int It = 0; It < 10; ++It)
    Step(2);
  Lambda = 0;
  Step(2);
  EXPECT_NEAR(Covar.At(2, 2), 1.0 / 82.5, 1e-12);
  EXPECT_NEAR(Covar.At(1, 1), 285.0 / 825.0, 1e-12);
  EXPECT_NEAR(Covar.At(1, 2), -4.5 / 82.5, 1e-12);

  // p2 held at 0.3: p1 becomes the mean of y - 0.3 x; row and column 2 of covar are zero.
  A = {0.0, 0.3};
  Ia = {1, 0};
  Lambda = -1;
  for (int It = 0; It < 10; ++It)
    Step(1);
  EXPECT_EQ(A[1], 0.3);
  double Mean = 0;
  for (int I = 0; I < 10; ++I)
    Mean += (Y[I] - 0.3 * X[I]) / 10;
  EXPECT_NEAR(A[0], Mean, 1e-10);
  Lambda = 0;
  Step(1);
  EXPECT_NEAR(Covar.At(1, 1), 0.1, 1e-12);
  EXPECT_EQ(Covar.At(2, 2), 0.0);
  EXPECT_EQ(Covar.At(1, 2), 0.0);
}

TEST(NrSvdfit, RankDeficientBasisGivesTheShortestSolution) {
  // Two identical basis functions x: y = 4x is fitted by any a1 + a2 = 4; the SVD drops the null
  // direction and returns the shortest coefficient vector, a1 = a2 = 2, with one zero weight.
  std::vector<double> X = {1, 2, 3, 4}, Y = {4, 8, 12, 16}, Sig(4, 1.0);
  std::vector<double> A(2), W(2);
  TNrMatrixStore U(4, 2), V(2, 2), Cvm(2, 2);
  double Chisq = -1;
  auto Basis = [](double Xv, TNrVector P, int) {
    P[1] = Xv;
    P[2] = Xv;
  };
  dsvdfit(NrView(X), NrView(Y), NrView(Sig), 4, NrView(A), 2, U.View(), V.View(), NrView(W), Chisq, Basis);
  EXPECT_NEAR(A[0], 2.0, 1e-12);
  EXPECT_NEAR(A[1], 2.0, 1e-12);
  EXPECT_NEAR(Chisq, 0.0, 1e-20);
  EXPECT_TRUE(W[0] == 0.0 || W[1] == 0.0);
}

TEST(NrSvdfit, CovarianceOfAStraightLine) {
  // sig = 2 everywhere: the covariance of the line through x = 0 ... 9 is 4 (A^T A)^-1, see above.
  std::vector<double> X, Y, Sig(10, 2.0);
  for (int I = 0; I < 10; ++I) {
    X.push_back(I);
    Y.push_back(1.0 + 0.25 * I);
  }
  std::vector<double> A(2), W(2);
  TNrMatrixStore U(10, 2), V(2, 2), Cvm(2, 2);
  double Chisq = -1;
  auto Basis = [](double Xv, TNrVector P, int) {
    P[1] = 1.0;
    P[2] = Xv;
  };
  dsvdfit(NrView(X), NrView(Y), NrView(Sig), 10, NrView(A), 2, U.View(), V.View(), NrView(W), Chisq, Basis);
  dsvdvar(V.View(), 2, NrView(W), Cvm.View());
  EXPECT_NEAR(A[0], 1.0, 1e-13);
  EXPECT_NEAR(A[1], 0.25, 1e-13);
  EXPECT_NEAR(Cvm.At(2, 2), 4.0 / 82.5, 1e-13);
  EXPECT_NEAR(Cvm.At(1, 1), 4.0 * 285.0 / 825.0, 1e-13);
  EXPECT_NEAR(Cvm.At(1, 2), -4.0 * 4.5 / 82.5, 1e-13);
  EXPECT_NEAR(Cvm.At(2, 1), Cvm.At(1, 2), 1e-15);
}

TEST(NrSpline, HandComputedNaturalAndClampedSplines) {
  // Natural spline through (0,0), (1,1), (2,0): (2/3) M1 = -1 - 1, M1 = -3; at x = 0.5:
  // 0.5 * 1 + (0.5^3 - 0.5)(-3)/6 = 0.6875.
  std::vector<double> X = {0, 1, 2}, Y = {0, 1, 0}, Y2(3);
  dspline(NrView(X), NrView(Y), 3, 1e30, 1e30, NrView(Y2));
  EXPECT_NEAR(Y2[0], 0.0, 1e-15);
  EXPECT_NEAR(Y2[1], -3.0, 1e-14);
  EXPECT_NEAR(Y2[2], 0.0, 1e-15);
  double V = 0;
  dsplint(NrView(X), NrView(Y), NrView(Y2), 3, 0.5, V);
  EXPECT_NEAR(V, 0.6875, 1e-14);
  // y = x^3 at 0, 1, 2, 3 with its own end slopes 0 and 27 is itself the clamped spline:
  // second derivatives 6x, and every value in between is x^3.
  X = {0, 1, 2, 3};
  Y = {0, 1, 8, 27};
  Y2.assign(4, 0);
  dspline(NrView(X), NrView(Y), 4, 0.0, 27.0, NrView(Y2));
  for (int I = 0; I < 4; ++I)
    EXPECT_NEAR(Y2[I], 6.0 * I, 1e-12) << I;
  for (double T : {0.0, 0.3, 1.5, 2.25, 3.0}) {
    dsplint(NrView(X), NrView(Y), NrView(Y2), 4, T, V);
    EXPECT_NEAR(V, T * T * T, 1e-12) << T;
  }
  X = {0, 1, 1};
  EXPECT_EQ(ErrorText([&] { dspline(NrView(X), NrView(Y), 3, 1e30, 1e30, NrView(Y2)); }),
            "dspline: two equal x values");
}

namespace {

double Rosenbrock(TNrConstVector V) {
  double A = 1.0 - V[1], B = V[2] - V[1] * V[1];
  return A * A + 100.0 * B * B;
}

// Minimum 0 at (1, -2, 3), curvatures 1, 100, 10000.
double Anisotropic(TNrConstVector V) {
  double A = V[1] - 1.0, B = V[2] + 2.0, C = V[3] - 3.0;
  return A * A + 100.0 * B * B + 1e4 * C * C;
}

} // namespace

TEST(NrAmoeba, ReachesTheMinimaAndReturnsTheContractedSimplex) {
  struct TCase {
    const char *Name;
    TNrMultiFunc F;
    std::vector<double> Start, Min;
    double Tol;
  };
  const std::vector<TCase> Cases = {
      {"Rosenbrock", Rosenbrock, {-1.2, 1.0}, {1.0, 1.0}, 1e-4},
      {"anisotropic quadratic", Anisotropic, {0.0, 0.0, 0.0}, {1.0, -2.0, 3.0}, 1e-4}};
  for (const auto &C : Cases) {
    const int N = static_cast<int>(C.Start.size());
    TNrMatrixStore P(N + 1, N);
    std::vector<double> Y(static_cast<size_t>(N) + 1);
    int Calls = 0;
    TNrMultiFunc Counted = [&](TNrConstVector V) {
      ++Calls;
      return C.F(V);
    };
    for (int I = 1; I <= N + 1; ++I) {
      for (int J = 1; J <= N; ++J)
        P.At(I, J) = C.Start[J - 1] + (I == J + 1 ? 0.5 : 0.0);
      Y[I - 1] = C.F(P.View()[I]);
    }
    int NFunk = -1;
    damoeba(P.View(), NrView(Y), N, 1e-10, Counted, NFunk);
    EXPECT_EQ(NFunk, Calls) << C.Name;
    for (int I = 1; I <= N + 1; ++I) {
      EXPECT_DOUBLE_EQ(Y[I - 1], C.F(P.View()[I])) << C.Name << ": y holds the values of the vertices";
      EXPECT_LE(Y[0], Y[I - 1]) << C.Name << ": best vertex first";
      for (int J = 1; J <= N; ++J)
        EXPECT_NEAR(P.At(I, J), C.Min[J - 1], C.Tol) << C.Name << " vertex " << I;
    }
  }
}

TEST(NrAmoeba, EvaluationLimit) {
  // A function without a minimum keeps the simplex rolling until the limit.
  TNrMatrixStore P(2, 1);
  P.At(2, 1) = 1.0;
  std::vector<double> Y = {0.0, -1.0};
  int NFunk = 0;
  auto Slope = [](TNrConstVector V) { return -V[1]; };
  EXPECT_EQ(ErrorText([&] { damoeba(P.View(), NrView(Y), 1, 1e-6, Slope, NFunk); }),
            "damoeba: NMAX exceeded");
}

TEST(NrPowell, ReachesTheMinimaAndKeepsADirectionSet) {
  struct TCase {
    const char *Name;
    TNrMultiFunc F;
    std::vector<double> Start, Min;
    double Tol;
  };
  const std::vector<TCase> Cases = {
      {"Rosenbrock", Rosenbrock, {-1.2, 1.0}, {1.0, 1.0}, 1e-4},
      {"anisotropic quadratic", Anisotropic, {0.0, 0.0, 0.0}, {1.0, -2.0, 3.0}, 1e-6}};
  for (const auto &C : Cases) {
    const int N = static_cast<int>(C.Start.size());
    std::vector<double> P = C.Start;
    TNrMatrixStore Xi(N, N);
    for (int I = 1; I <= N; ++I)
      Xi.At(I, I) = 1.0;
    int Iter = 0;
    double FRet = -1;
    dpowell(NrView(P), Xi.View(), N, 1e-12, Iter, FRet, C.F);
    EXPECT_GE(Iter, 1) << C.Name;
    EXPECT_DOUBLE_EQ(FRet, C.F(NrView(std::as_const(P)))) << C.Name << ": fret is the value at p";
    EXPECT_LT(FRet, 1e-9) << C.Name;
    for (int J = 0; J < N; ++J)
      EXPECT_NEAR(P[J], C.Min[J], C.Tol) << C.Name;
    // The final directions (columns, scaled by the last steps along them) still span the space:
    // normalised, their determinant is well away from zero.
    Eigen::MatrixXd D(N, N);
    for (int I = 1; I <= N; ++I)
      for (int J = 1; J <= N; ++J)
        D(I - 1, J - 1) = Xi.At(I, J);
    for (int J = 0; J < N; ++J) {
      ASSERT_GT(D.col(J).norm(), 0.0) << C.Name;
      D.col(J).normalize();
    }
    EXPECT_GT(std::fabs(D.determinant()), 1e-3) << C.Name;
  }
}

TEST(NrSavgol, WrapAroundOrderAndArguments) {
  // nl = 4, nr = 0, m = 1: the least-squares line through offsets u = -4 ... 0 (mean -2, sum of
  // squared deviations 10) evaluated at u = 0 weighs sample u by 1/5 + (u + 2) * 2 / 10, i.e.
  // -0.2, 0, 0.2, 0.4, 0.6 for u = -4 ... 0. c[1] is offset 0, c[1 + j] offset -j; with np = 7
  // the two places for right-hand samples stay zero.
  std::vector<double> C(7, 9.0);
  dsavgol(NrView(C), 7, 4, 0, 0, 1);
  const double Want[7] = {0.6, 0.4, 0.2, 0.0, -0.2, 0.0, 0.0};
  for (int I = 0; I < 7; ++I)
    EXPECT_NEAR(C[I], Want[I], 1e-14) << I;
  // nl = 0, nr = 2, m = 1: the line through offsets 0, 1, 2 at 0 weighs them 5/6, 1/3, -1/6;
  // c[np + 1 - j] is offset +j.
  std::vector<double> D(3);
  dsavgol(NrView(D), 3, 0, 2, 0, 1);
  EXPECT_NEAR(D[0], 5.0 / 6.0, 1e-14);
  EXPECT_NEAR(D[2], 1.0 / 3.0, 1e-14);
  EXPECT_NEAR(D[1], -1.0 / 6.0, 1e-14);
  for (auto Bad : {std::vector<int>{5, -1, 2, 0, 1}, std::vector<int>{3, 2, 2, 0, 1},
                   std::vector<int>{5, 2, 2, 3, 2}, std::vector<int>{5, 2, 2, 0, 5}})
    EXPECT_EQ(ErrorText([&] { dsavgol(NrView(C), Bad[0], Bad[1], Bad[2], Bad[3], Bad[4]); }),
              "dsavgol: bad arguments");
}

TEST(NrQsimp, IntegralsAndRefinementCount) {
  int Steps = 21;
  double I = dqsimp([](double X) { return std::sin(X); }, 0.0, std::numbers::pi, 1e-10, Steps);
  EXPECT_NEAR(I, 2.0, 1e-10);
  EXPECT_GE(Steps, 6);
  EXPECT_LE(Steps, 21);
  // Simpson's rule integrates cubics exactly; the minimum number of refinements still applies.
  Steps = 21;
  I = dqsimp([](double X) { return X * X * X - X; }, -1.0, 2.0, 1e-12, Steps);
  EXPECT_NEAR(I, 2.25, 1e-13); // [x^4/4 - x^2/2] from -1 to 2 = (4 - 2) - (1/4 - 1/2)
  EXPECT_EQ(Steps, 6);
  // An integral that is zero throughout converges too.
  Steps = 21;
  I = dqsimp([](double) { return 0.0; }, 0.0, 1.0, 1e-7, Steps);
  EXPECT_EQ(I, 0.0);
  EXPECT_GE(Steps, 1);
  // Too few refinements allowed: no success reported.
  Steps = 4;
  dqsimp([](double X) { return std::exp(X); }, 0.0, 1.0, 1e-7, Steps);
  EXPECT_EQ(Steps, 0);
  EXPECT_DOUBLE_EQ(derfcc(0.0), 1.0);
  EXPECT_NEAR(derfcc(1.0), 0.157299207050285130658779, 1e-16); // erfc(1), A&S table 7.1
}

// The smoothing spline against independent results: the natural cubic spline of the numeric unit
// (S = 0), the weighted least-squares straight line worked out from its normal equations (S huge),
// and for intermediate S the penalised least-squares solution for the p the iteration ended with,
// solved densely here with Eigen from a roughness matrix built from the numeric unit's spline.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "tools/USmoothSpline.h"

namespace {

struct TData {
  TDblArr1D X, Y, Dy;
};

// Irregular knots x[k] = x0 + k h + 0.3 h sin(k) (strictly increasing), a smooth curve plus
// deterministic pseudo-noise (a fixed linear congruential sequence); Dy empty or varying.
TData MakeData(int N, double X0, double H, double Level, bool Weights) {
  TData D;
  uint64_t State = 12345;
  for (int k = 0; k < N; ++k) {
    State = State * 6364136223846793005ULL + 1442695040888963407ULL;
    const double Noise = static_cast<double>(State >> 11) / 9007199254740992.0 - 0.5;
    const double X = X0 + H * (k + 0.3 * std::sin(k));
    D.X.push_back(X);
    D.Y.push_back(Level * (1 + 0.2 * std::sin(0.35 * k) + 0.1 * Noise));
    if (Weights) D.Dy.push_back(0.5 + 0.04 * (k % 7));
  }
  return D;
}

double MaxAbs(const TDblArr1D &V) {
  double M = 0;
  for (double v : V)
    M = std::max(M, std::fabs(v));
  return M;
}

// Points inside and beside every knot interval, for comparing curves.
TDblArr1D Probe(const TDblArr1D &X) {
  TDblArr1D P;
  for (size_t k = 0; k + 1 < X.size(); ++k)
    for (double t : {0.0, 0.25, 0.5, 0.9})
      P.push_back(X[k] + t * (X[k + 1] - X[k]));
  P.push_back(X.back());
  return P;
}

// The spline through values A at the knots, as the numeric unit's natural cubic spline.
TDblArr1D NaturalSpline(const TDblArr1D &X, const TDblArr1D &A, const TDblArr1D &At) {
  const int N = static_cast<int>(X.size());
  const TDblArr1D Y2 = SplineSetup(X, A, N, 1e35, 1e35);
  TDblArr1D V;
  for (double x : At)
    V.push_back(SplineValue(X, A, Y2, N, x));
  return V;
}

// The values at the knots minimising p sum(((y - f) / dy)^2) + (1 - p) int(f''^2) over natural
// cubic splines f through those values, by a dense solve. The roughness is a^T K a: column k of
// C holds the second derivatives of the natural spline through the unit vector e_k (numeric
// unit), f'' is piecewise linear, so int(f''^2) = c^T G c with the Gram matrix G of hat
// functions (h/3 on the diagonal per interval end, h/6 beside it), and K = C^T G C. Then
// (p W^-1 + (1 - p) K) a = p W^-1 y, W = diag(dy^2).
TDblArr1D DensePenalised(const TData &D, double P, double P1) {
  // In long double: for p near 0 the system is nearly singular along the straight lines.
  using TMat = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;
  using TVec = Eigen::Matrix<long double, Eigen::Dynamic, 1>;
  const int N = static_cast<int>(D.X.size());
  TMat C(N, N), G = TMat::Zero(N, N);
  for (int k = 0; k < N; ++k) {
    TDblArr1D E(static_cast<size_t>(N), 0.0);
    E[static_cast<size_t>(k)] = 1;
    const TDblArr1D Y2 = SplineSetup(D.X, E, N, 1e35, 1e35);
    for (int i = 0; i < N; ++i)
      C(i, k) = Y2[static_cast<size_t>(i)];
  }
  for (int i = 0; i + 1 < N; ++i) {
    const long double H =
        static_cast<long double>(D.X[static_cast<size_t>(i) + 1]) - D.X[static_cast<size_t>(i)];
    G(i, i) += H / 3;
    G(i + 1, i + 1) += H / 3;
    G(i, i + 1) += H / 6;
    G(i + 1, i) += H / 6;
  }
  const TMat K = C.transpose() * G * C;
  TMat M = static_cast<long double>(P1) * K;
  TVec B(N);
  for (int i = 0; i < N; ++i) {
    const long double Dy = D.Dy.empty() ? 1.0L : D.Dy[static_cast<size_t>(i)];
    M(i, i) += P / (Dy * Dy);
    B(i) = P / (Dy * Dy) * D.Y[static_cast<size_t>(i)];
  }
  const TVec A = M.ldlt().solve(B);
  TDblArr1D R(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    R[static_cast<size_t>(i)] = static_cast<double>(A(i));
  return R;
}

TDblArr1D Values(const TSmoothSplineFit &F, const TDblArr1D &At) {
  TDblArr1D V(At.size());
  F.Evaluate(At, V);
  return V;
}

void ExpectClose(const TDblArr1D &A, const TDblArr1D &B, double Tol, const char *What) {
  ASSERT_EQ(A.size(), B.size());
  for (size_t i = 0; i < A.size(); ++i)
    EXPECT_NEAR(A[i], B[i], Tol) << What << " at " << i;
}

TEST(SmoothSpline, ZeroSmoothingInterpolatesAsTheNaturalSpline) {
  for (bool Weights : {false, true}) {
    const TData D = MakeData(25, 6500, 0.7, 800, Weights);
    for (double S : {0.0, -3.0}) {
      SCOPED_TRACE(S);
      const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, D.Dy, S);
      EXPECT_EQ(F.P, 1);
      EXPECT_EQ(F.Sfq, 0);
      EXPECT_EQ(F.A, D.Y);
      EXPECT_EQ(F.C.front(), 0);
      EXPECT_EQ(F.C.back(), 0);
      const TDblArr1D At = Probe(D.X);
      ExpectClose(Values(F, At), NaturalSpline(D.X, D.Y, At), 1e-10 * MaxAbs(D.Y), "interpolation");
    }
  }
}

TEST(SmoothSpline, HugeSmoothingGivesTheLeastSquaresLine) {
  for (bool Weights : {false, true}) {
    SCOPED_TRACE(Weights);
    const TData D = MakeData(40, 4000, 0.05, 1e4, Weights);
    // Normal equations of the weighted line y = a + b x, centred on the weighted mean x.
    double Sw = 0, Sx = 0, Sy = 0;
    for (size_t i = 0; i < D.X.size(); ++i) {
      const double W = Weights ? 1 / (D.Dy[i] * D.Dy[i]) : 1;
      Sw += W, Sx += W * D.X[i], Sy += W * D.Y[i];
    }
    double Sxx = 0, Sxy = 0;
    for (size_t i = 0; i < D.X.size(); ++i) {
      const double W = Weights ? 1 / (D.Dy[i] * D.Dy[i]) : 1;
      Sxx += W * (D.X[i] - Sx / Sw) * (D.X[i] - Sx / Sw);
      Sxy += W * (D.X[i] - Sx / Sw) * (D.Y[i] - Sy / Sw);
    }
    const double B = Sxy / Sxx;
    auto Line = [&](double x) { return Sy / Sw + B * (x - Sx / Sw); };
    const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, D.Dy, 1e30);
    EXPECT_EQ(F.P, 0);
    EXPECT_EQ(F.Steps, 0);
    EXPECT_TRUE(F.Reached);
    double Sfq = 0;
    for (size_t i = 0; i < D.X.size(); ++i) {
      const double Dy = Weights ? D.Dy[i] : 1;
      Sfq += (D.Y[i] - Line(D.X[i])) * (D.Y[i] - Line(D.X[i])) / (Dy * Dy);
    }
    EXPECT_NEAR(F.Sfq, Sfq, 1e-9 * Sfq);
    // Inside and outside the knots: the line itself.
    TDblArr1D At = Probe(D.X), Expected;
    At.push_back(D.X.front() - 3);
    At.push_back(D.X.back() + 3);
    for (double x : At)
      Expected.push_back(Line(x));
    ExpectClose(Values(F, At), Expected, 1e-9 * 1e4, "line");
  }
}

// Intermediate S: the iteration reaches S within 1 %, and the spline is the penalised
// least-squares solution for its final p, from independent code, to 1e-9 relative. The rows
// span p from near 0 to near 1, several knot scales and both weightings.
TEST(SmoothSpline, IntermediateSmoothingIsThePenalisedSolution) {
  struct Row {
    int N;
    double X0, H, Level;
    bool Weights;
    double Ratio; // S as a fraction of the straight line's residual sum
  } Rows[] = {
      {12, 0, 1, 1, false, 0.5},
      {30, 4000, 0.05, 1e4, false, 0.5},
      {30, 4000, 0.05, 1e4, false, 1e-3},
      {30, 4000, 0.05, 1e4, true, 0.1},
      {40, 6500, 2.5, 300, false, 0.9},
      {40, 6500, 2.5, 300, true, 1e-4},
      {25, -50, 10, 0.01, false, 0.02},
      {60, 1, 0.3, 5, true, 1e-6},
      // S just below the line's residual sum: p of 1e-9 ... 1e-3, where the solve switches
      // from the factorisation to the least-squares form.
      {300, 0, 1, 1, false, 0.99},
      {300, 0, 1, 1, true, 0.999},
      {200, 4000, 0.05, 1e4, false, 0.999},
      {300, 0, 1, 1, false, 0.9999},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(testing::Message() << "N " << R.N << " h " << R.H << " ratio " << R.Ratio << " weights "
                                    << R.Weights);
    const TData D = MakeData(R.N, R.X0, R.H, R.Level, R.Weights);
    const double Line = SmoothSplineForP(D.X, D.Y, D.Dy, 0).Sfq;
    const double S = R.Ratio * Line;
    const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, D.Dy, S);
    EXPECT_TRUE(F.Reached);
    EXPECT_GE(F.Steps, 1);
    EXPECT_LE(std::fabs(F.Sfq - S), 0.01 * S);
    EXPECT_GT(F.P, 0);
    EXPECT_LT(F.P, 1);
    EXPECT_NEAR(F.P + F.P1, 1, 1e-15);
    const TDblArr1D A = DensePenalised(D, F.P, F.P1);
    const double Scale = MaxAbs(D.Y);
    ExpectClose(F.A, A, 1e-9 * Scale, "knot values");
    const TDblArr1D At = Probe(D.X);
    ExpectClose(Values(F, At), NaturalSpline(D.X, A, At), 1e-9 * Scale, "curve");
    double Sfq = 0;
    for (size_t i = 0; i < D.X.size(); ++i) {
      const double Dy = R.Weights ? D.Dy[i] : 1;
      Sfq += (D.Y[i] - A[i]) * (D.Y[i] - A[i]) / (Dy * Dy);
    }
    EXPECT_NEAR(F.Sfq, Sfq, 1e-7 * Sfq);
  }
}

// Many equidistant knots (as a marked spectrum gives them): the system for small p is far too
// ill-conditioned for a Cholesky factorisation, yet the iteration reaches S over the whole range.
TEST(SmoothSpline, ManyKnotsReachEverySmoothing) {
  const TData D = MakeData(100000, 4000, 0.01, 1e4, false);
  const double Line = SmoothSplineForP(D.X, D.Y, D.Dy, 0).Sfq;
  for (double Ratio : {0.9, 0.5, 1e-2, 1e-6, 1e-12}) {
    SCOPED_TRACE(Ratio);
    const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, D.Dy, Ratio * Line);
    EXPECT_TRUE(F.Reached);
    EXPECT_LE(std::fabs(F.Sfq - Ratio * Line), 0.01 * Ratio * Line);
    EXPECT_LE(F.Steps, 20);
  }
}

// Outside the knots the spline continues the cubic of the end interval: a cubic through four
// points of the first (last) interval, extrapolated by Lagrange's formula, agrees with it.
TEST(SmoothSpline, OutsideTheKnotsTheEndCubicsContinue) {
  const TData D = MakeData(15, 10, 1, 2, false);
  const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, {}, 0.01);
  for (bool Low : {true, false}) {
    const size_t j = Low ? 0 : D.X.size() - 2;
    const double X0 = D.X[j], H = D.X[j + 1] - D.X[j];
    const double T[4] = {X0, X0 + H / 3, X0 + 2 * H / 3, X0 + H * 0.999};
    double V[4];
    for (int i = 0; i < 4; ++i)
      V[i] = F.Value(T[i]);
    for (double x : {X0 - 2 * H, X0 - 0.5 * H, X0 + 1.5 * H, X0 + 3 * H}) {
      if (Low ? x > X0 + H : x < X0) continue;
      double L = 0;
      for (int i = 0; i < 4; ++i) {
        double W = V[i];
        for (int k = 0; k < 4; ++k)
          if (k != i) W *= (x - T[k]) / (T[i] - T[k]);
        L += W;
      }
      EXPECT_NEAR(F.Value(x), L, 1e-9) << x;
    }
  }
}

TEST(SmoothSpline, SmallAndBadKnotSets) {
  // Two knots: the line through them, whatever S.
  const TDblArr1D X2 = {1, 3}, Y2 = {2, 6};
  for (double S : {0.0, 1.0}) {
    const TSmoothSplineFit F = SmoothSpline(X2, Y2, {}, S);
    EXPECT_DOUBLE_EQ(F.Value(2), 4);
    EXPECT_DOUBLE_EQ(F.Value(5), 10);
  }
  // Points on a line: p = 0 already fits exactly (sfq 0 <= S).
  const TDblArr1D X = {0, 1, 2.5, 3, 7}, Y = {1, 3, 6, 7, 15};
  const TSmoothSplineFit F = SmoothSpline(X, Y, {}, 1e-6);
  EXPECT_EQ(F.P, 0);
  EXPECT_NEAR(F.Value(5), 11, 1e-12);
  // Knots that do not increase strictly are refused with the general error.
  EXPECT_THROW(SmoothSpline(TDblArr1D{0, 1, 1, 2}, TDblArr1D{1, 2, 3, 4}, {}, 1), EOrvaError);
  EXPECT_THROW(SmoothSpline(TDblArr1D{0, 2, 1, 3}, TDblArr1D{1, 2, 3, 4}, {}, 0), EOrvaError);
  EXPECT_THROW(SmoothSpline(TDblArr1D{0, 1, 2, 3}, TDblArr1D{1, NAN, 3, 4}, {}, 1), EOrvaError);
}

} // namespace

// The smoothing spline on many irregular, weighted knots (too many for a dense reference), checked
// against what any smoothing spline must satisfy: its knot values and second derivatives are
// those of one natural cubic spline (its equations, and where well conditioned the numeric
// unit's spline through the knot values), and its residual sum is that of its knot values. Then the spline's evaluation along a
// spectrum against the evaluation at single points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Units/UNumRec.h"
#include "tools/USmoothSpline.h"

namespace {

// Irregular knots with a smooth curve plus deterministic pseudo-noise; weights varying or none.
struct TKnots {
  TDblArr1D X, Y, Dy;
  TKnots(int N, double H, bool Weights) {
    uint64_t State = 777;
    for (int k = 0; k < N; ++k) {
      State = State * 6364136223846793005ULL + 1442695040888963407ULL;
      const double Noise = static_cast<double>(State >> 11) / 9007199254740992.0 - 0.5;
      X.push_back(4000 + H * (k + 0.4 * std::sin(1.7 * k)));
      Y.push_back(1e4 * (1 + 0.1 * std::sin(2e-3 * k) + 0.02 * Noise));
      if (Weights) Dy.push_back(0.5 + 0.1 * (k % 5));
    }
  }
};

double MaxAbs(const TDblArr1D &V) {
  double M = 0;
  for (double v : V)
    M = std::max(M, std::fabs(v));
  return M;
}

// p from the interpolating end to close to the straight line: the solves by factorisation and
// by rotations both come up, and with 20000 knots the rotations run mostly in their steady form.
TEST(SmoothSplineMany, SolutionIsOneNaturalSplineAtEveryP) {
  for (bool Weights : {false, true})
    for (double H : {0.01, 3.0})
      for (double P : {0.9, 1e-3, 1e-7, 1e-11}) {
        SCOPED_TRACE(testing::Message() << "weights " << Weights << " h " << H << " p " << P);
        const TKnots D(20000, H, Weights);
        const TSmoothSplineFit F = SmoothSplineForP(D.X, D.Y, D.Dy, P);
        // The natural spline's equations at every interior knot j,
        //   (a[j+1] - a[j]) / h[j] - (a[j] - a[j-1]) / h[j-1]
        //     = (h[j-1] c[j-1] + 2 (h[j-1] + h[j]) c[j] + h[j] c[j+1]) / 6,
        // relative to the size of their terms: rounding of the knot values, raised by the
        // system's condition towards p = 0, stays near 1e-9; a faulty solve misses by far more.
        const TDblArr1D &A = F.A, &C = F.C;
        double Worst = 0;
        for (size_t j = 1; j + 1 < A.size(); ++j) {
          const double Hl = D.X[j] - D.X[j - 1], Hr = D.X[j + 1] - D.X[j];
          const double R = (A[j + 1] - A[j]) / Hr - (A[j] - A[j - 1]) / Hl -
                           (Hl * C[j - 1] + 2 * (Hl + Hr) * C[j] + Hr * C[j + 1]) / 6;
          const double Size = (std::fabs(A[j + 1]) + std::fabs(A[j])) / Hr + (std::fabs(A[j]) + std::fabs(A[j - 1])) / Hl;
          Worst = std::max(Worst, std::fabs(R) / Size);
        }
        EXPECT_LE(Worst, 1e-8);
        // The independent natural spline through the knot values has these second derivatives
        // where the system is well conditioned.
        if (H > 1 && P >= 1e-7) {
          const TDblArr1D C2 = SplineSetup(F.X, F.A, static_cast<int>(A.size()), 1e35, 1e35);
          for (size_t k = 0; k < A.size(); ++k)
            ASSERT_NEAR(C2[k], C[k], 1e-6 * MaxAbs(C)) << k;
        }
        EXPECT_EQ(F.C.front(), 0);
        EXPECT_EQ(F.C.back(), 0);
        double Sfq = 0;
        for (size_t i = 0; i < A.size(); ++i) {
          const double R = (D.Y[i] - F.A[i]) / (Weights ? D.Dy[i] : 1.0);
          Sfq += R * R;
        }
        EXPECT_NEAR(F.Sfq, Sfq, 1e-8 * Sfq);
        // Not interpolation, not the line: the knot values moved, but not by the noise's size.
        EXPECT_GT(Sfq, 0);
      }
}

// Along ascending x (a spectrum), after a step back, after NaN and at both infinities the
// evaluation gives exactly what evaluation point by point gives.
TEST(SmoothSplineMany, EvaluateAlongSamplesEqualsSinglePoints) {
  const TKnots D(50, 1.0, false);
  const TSmoothSplineFit F = SmoothSpline(D.X, D.Y, D.Dy, 30 * 1e4);
  const double Nan = std::numeric_limits<double>::quiet_NaN(), Inf = HUGE_VAL;
  TDblArr1D Xs = {-Inf, 3990, D.X[0], D.X[0]};
  for (double x = D.X[0]; x < D.X.back() + 5; x += 0.37)
    Xs.push_back(x);
  for (double x : {D.X[10], D.X[10], 4003.5, Nan, 4001.0, 4020.25, Nan, Inf, Inf, 4100.0, Nan, -Inf, 3000.0,
                   D.X.back(), D.X.back() + 1})
    Xs.push_back(x);
  TDblArr1D Out(Xs.size());
  F.Evaluate(Xs, Out);
  for (size_t i = 0; i < Xs.size(); ++i) {
    const double V = F.Value(Xs[i]);
    if (std::isnan(V))
      EXPECT_TRUE(std::isnan(Out[i])) << i;
    else
      EXPECT_EQ(Out[i], V) << i << " x " << Xs[i];
  }
}

} // namespace

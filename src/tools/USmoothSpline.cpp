#include "tools/USmoothSpline.h"

#include <algorithm>
#include <cmath>

#include "core/UErrors.h"

#define ORVA_UNIT "USmoothSpline"

namespace {

// The banded pieces of the problem for fixed knots, built once (what SETUPQ prepares), and the
// solve for a given p (what CHOL1D does).
//
// Knots 0 ... n-1, spacings h[k] = x[k+1] - x[k], weights w[k] = dy[k]^2. Q is the n x (n-2)
// matrix of second divided differences: column j (interior knot j = 1 ... n-2) holds 1/h[j-1],
// -(1/h[j-1] + 1/h[j]), 1/h[j] in rows j-1, j, j+1. R is the (n-2) x (n-2) tridiagonal matrix
// with 2 (h[j-1] + h[j]) on the diagonal and h[j] beside it. The unknowns u (one per interior
// knot) solve
//   (6 (1 - p) Q^T W Q + p R) u = Q^T y,
// a pentadiagonal symmetric positive definite system, solved by an L D L^T factorisation while
// its condition (bounded from Gershgorin's discs) stays below 1e8. Towards p = 0 the condition
// grows like the fourth power of the number of knots (10^20 for 10^5 knots), beyond what a
// factorisation of it survives in double precision; there the same u is found as the
// least-squares solution of the banded system whose normal equations these are,
//   [ 6 (1 - p) W^(1/2) Q ]       [ W^(-1/2) y ]
//   [ sqrt(6 (1 - p) p) L^T ] u = [ 0          ],   R = L L^T (L lower bidiagonal),
// by Givens rotations row by row (condition: the square root of the above). p = 0 itself comes
// from the straight line directly.
class TSmoothSystem {
public:
  TSmoothSystem(std::span<const double> X, std::span<const double> Y, std::span<const double> Dy,
                TSmoothSplineWork &Work)
      : n(X.size()), m(n >= 2 ? n - 2 : 0), Unit(Dy.empty()), pX(X), pY(Y) {
    // Every array lives in the caller's work storage, which keeps its pages from one call to the
    // next (a slider step recomputes the spline of the same knots again and again).
    const size_t Need = 10 * n + 16 * m;
    if (Work.Buf.size() < Need) Work.Buf.resize(Need);
    double *B = Work.Buf.data();
    for (std::span<double> *A : {&H, &HI, &W, &SW, &U, &QU}) {
      *A = std::span<double>(B, n);
      B += n;
    }
    QR4 = std::span<double>(B, 4 * n);
    B += 4 * n;
    for (std::span<double> *A : {&Qty, &RD, &RE, &LD, &LE, &QwqD, &QwqE, &QwqF}) {
      *A = std::span<double>(B, m);
      B += m;
    }
    // The factor's rows side by side (diagonal, the two entries beside it, right-hand side):
    // the solves walk along them together.
    F4 = std::span<double>(B, 4 * m);
    U[0] = U[n - 1] = 0;
    std::fill(W.begin(), W.end(), 1.0);
    std::fill(SW.begin(), SW.end(), 1.0);
    for (size_t k = 0; k + 1 < n; ++k) {
      H[k] = X[k + 1] - X[k];
      if (!(H[k] > 0)) OrvaRaise("Smoothing spline: knot x values are not strictly increasing");
    }
    for (size_t k = 0; k + 1 < n; ++k)
      HI[k] = 1 / H[k];
    if (!Dy.empty())
      for (size_t k = 0; k < n; ++k) {
        W[k] = Dy[k] * Dy[k];
        SW[k] = Dy[k];
      }
    for (size_t r = 0; r < m; ++r) {
      const size_t j = r + 1; // the interior knot of unknown r
      Qty[r] = (Y[j + 1] - Y[j]) / H[j] - (Y[j] - Y[j - 1]) / H[j - 1];
      RD[r] = 2 * (H[j - 1] + H[j]);
      const double Hl = 1 / H[j - 1], Hr = 1 / H[j];
      QwqD[r] = Hl * Hl * W[j - 1] + (Hl + Hr) * (Hl + Hr) * W[j] + Hr * Hr * W[j + 1];
      RE[r] = QwqE[r] = QwqF[r] = LE[r] = 0;
      if (r + 1 < m) {
        RE[r] = H[j];
        QwqE[r] = -(Hl + Hr) * Hr * W[j] - Hr * (Hr + 1 / H[j + 1]) * W[j + 1];
      }
      if (r + 2 < m) QwqF[r] = Hr / H[j + 1] * W[j + 1];
    }
    // Gershgorin: the largest row sum of |Q^T W Q|, the smallest and largest disc bounds of R.
    for (size_t r = 0; r < m; ++r) {
      const double Ql = (r >= 1 ? std::fabs(QwqE[r - 1]) : 0.0) + (r >= 2 ? QwqF[r - 2] : 0.0);
      QwqNorm = std::max(QwqNorm, QwqD[r] + std::fabs(QwqE[r]) + QwqF[r] + Ql);
      const double Off = RE[r] + (r >= 1 ? RE[r - 1] : 0.0);
      RMin = r == 0 ? RD[r] - Off : std::min(RMin, RD[r] - Off);
      RMax = std::max(RMax, RD[r] + Off);
    }
    // R = L L^T: LD the diagonal of L, LE[r] = L(r+1, r).
    for (size_t r = 0; r < m; ++r) {
      const double D = RD[r] - (r >= 1 ? LE[r - 1] * LE[r - 1] : 0.0);
      ORVA_ASSERT(D > 0);
      LD[r] = std::sqrt(D);
      if (r + 1 < m) LE[r] = RE[r] / LD[r];
    }
    // Row k of Q scaled by dy[k] for the least-squares form: its nonzeros from its first column
    // inside 0 ... m-1 on (interior knot k-1 is column k-2; entries outside are dropped), and
    // the right-hand side y[k] / dy[k].
    for (size_t k = 0; k < n; ++k) {
      double V[3] = {0, 0, 0}; // columns k-2, k-1, k
      if (k >= 1) V[0] = HI[k - 1];
      if (k >= 1 && k + 1 < n) V[1] = -(HI[k - 1] + HI[k]);
      if (k + 1 < n) V[2] = HI[k];
      const long C = static_cast<long>(k) - 2;
      for (long i = 0; i < 3; ++i)
        if (C + i < 0 || C + i >= static_cast<long>(m)) V[i] = 0;
      const size_t Off = C < 0 ? static_cast<size_t>(-C) : 0;
      double *Q = &QR4[4 * k];
      Q[0] = SW[k] * V[Off];
      Q[1] = Off + 1 < 3 ? SW[k] * V[Off + 1] : 0;
      Q[2] = Off + 2 < 3 ? SW[k] * V[Off + 2] : 0;
      Q[3] = pY[k] / SW[k];
    }
  }

  // Solves for p (P1 = 1 - p, given apart so that p close to 1 keeps its precision); U
  // (knot-indexed, 0 at both ends) and QU = Q u are then current. Returns
  // sfq = 36 (1 - p)^2 sum(w[k] (Q u)[k]^2).
  double Solve(double P, double P1) {
    if (P == 0) return SolveLine();
    if (6 * P1 * QwqNorm + P * RMax <= 1e8 * P * RMin)
      SolveCholesky(P, P1);
    else
      SolveBanded(P, P1);
    double Sum = 0;
    for (size_t k = 0; k < n; ++k) {
      double V = 0;
      if (k + 1 < n) V += (U[k + 1] - U[k]) * HI[k];
      if (k >= 1) V -= (U[k] - U[k - 1]) * HI[k - 1];
      QU[k] = V;
      Sum += Unit ? V * V : V * V * W[k];
    }
    return 36 * P1 * P1 * Sum;
  }

  // p = 0 without the banded solve. There the matrix is 6 Q^T D^2 Q alone, whose condition grows
  // with the fourth power of the number of knots: for 10^5 equidistant knots the factorisation
  // breaks down in rounding. The same solution follows directly: 6 D^2 Q u is the residual of
  // the weighted least-squares straight line, and u is recovered from Q u by summing twice.
  double SolveLine() {
    double Sw = 0, Sx = 0, Sy = 0;
    for (size_t k = 0; k < n; ++k) {
      Sw += 1 / W[k];
      Sx += pX[k] / W[k];
      Sy += pY[k] / W[k];
    }
    const double Xm = Sx / Sw, Ym = Sy / Sw;
    double Sxx = 0, Sxy = 0;
    for (size_t k = 0; k < n; ++k) {
      const double Dx = pX[k] - Xm;
      Sxx += Dx * Dx / W[k];
      Sxy += Dx * (pY[k] - Ym) / W[k];
    }
    const double Slope = Sxy / Sxx;
    double Sum = 0, Run = 0;
    U[0] = 0;
    for (size_t k = 0; k < n; ++k) {
      const double R = pY[k] - (Ym + Slope * (pX[k] - Xm));
      QU[k] = R / (6 * W[k]);
      Sum += R * R / W[k];
      // Run: the slope of u on interval k, the running sum of Q u.
      Run += QU[k];
      if (k + 2 < n) U[k + 1] = U[k] + H[k] * Run;
    }
    U[n - 1] = 0;
    return Sum;
  }

  // The pentadiagonal system by M = L D L^T (L unit lower triangular with the two
  // subdiagonals L1, L2; row r of F4 holds D, L1, L2 and z there), then L z = Q^T y, D L^T u = z.
  void SolveCholesky(double P, double P1) {
    const double A2 = 6 * P1;
    for (size_t r = 0; r < m; ++r) {
      double *T = &F4[4 * r];
      double D = A2 * QwqD[r] + P * RD[r];
      double E = A2 * QwqE[r] + P * RE[r];
      if (r >= 1) {
        const double *Tp = T - 4; // row r-1
        D -= Tp[1] * Tp[1] * Tp[0];
        E -= Tp[2] * Tp[1] * Tp[0];
      }
      if (r >= 2) D -= T[-8 + 2] * T[-8 + 2] * T[-8];
      if (!(D > 0)) OrvaRaise("Smoothing spline: the knots give a singular system");
      T[0] = D;
      T[1] = E / D;
      T[2] = A2 * QwqF[r] / D;
      T[3] = Qty[r] - (r >= 1 ? T[-4 + 1] * T[-4 + 3] : 0.0) - (r >= 2 ? T[-8 + 2] * T[-8 + 3] : 0.0);
    }
    for (size_t r = m; r-- > 0;) {
      const double *T = &F4[4 * r];
      double V = T[3] / T[0];
      if (r + 1 < m) V -= T[1] * U[r + 2];
      if (r + 2 < m) V -= T[2] * U[r + 3];
      U[r + 1] = V;
    }
  }

  // The least-squares form for 0 < p < 1. The rows enter in the order of their first column, so
  // each one meets at most three rows of the triangular factor (upper, bandwidth 3) before it
  // becomes a row of the factor or is used up: the work is linear in the number of knots.
  // The rotations are square-root free (each factor row kept as a weight d times a row with 1 on
  // the diagonal): a rotation then costs one division instead of a square root and a division,
  // and the chain of rotations along a row waits on less. Should a row arrive at an empty row of
  // the factor with a zero first entry (which only degenerate knots give), the solve is done
  // again with plain rotations, which take such a row as it is.
  void SolveBanded(double P, double P1) {
    if (m == 0) return;
    if (FactorRows<true>(P, P1)) {
      for (size_t r = m; r-- > 0;) {
        const double *T = &F4[4 * r];
        double V = T[3];
        if (r + 1 < m) V -= T[1] * U[r + 2];
        if (r + 2 < m) V -= T[2] * U[r + 3];
        if (!(T[0] > 0) || !std::isfinite(V)) OrvaRaise("Smoothing spline: the knots give a singular system");
        U[r + 1] = V;
      }
      return;
    }
    FactorRows<false>(P, P1);
    for (size_t r = m; r-- > 0;) {
      const double *T = &F4[4 * r];
      double V = T[3];
      if (r + 1 < m) V -= T[1] * U[r + 2];
      if (r + 2 < m) V -= T[2] * U[r + 3];
      if (!(T[0] != 0) || !std::isfinite(V)) OrvaRaise("Smoothing spline: the knots give a singular system");
      U[r + 1] = V / T[0];
    }
  }

  // Feeds the rows of Q and L^T into the factor (Fast: square-root free; false when a row could
  // not be taken that way).
  template <bool Fast> bool FactorRows(double P, double P1) {
    const double A2 = 6 * P1, Ab = std::sqrt(6 * P1 * P);
    Filled = 0;
    auto Add = [&](size_t C, double V0, double V1, double V2, double Rhs) {
      if constexpr (Fast)
        return AddRowFast(C, V0, V1, V2, Rhs);
      else
        return AddRow(C, V0, V1, V2, Rhs), true;
    };
    auto QRow = [&](size_t k) {
      const double *Q = &QR4[4 * k];
      return Add(k <= 2 ? 0 : k - 2, A2 * Q[0], A2 * Q[1], A2 * Q[2], Q[3]);
    };
    size_t NextQ = 0;
    for (size_t c = 0; c < m; ++c) {
      if constexpr (Fast)
        if (c >= 1 && c + 2 < m && NextQ == c + 2 && Filled == c + 2) {
          if (!FactorMiddle(c, A2, Ab)) return false;
          NextQ = c + 2;
          Filled = c + 2;
        }
      // Rows of Q whose first column is c: k = 0, 1, 2 for c = 0, else k = c + 2.
      for (; NextQ < n && (NextQ <= 2 ? 0 : NextQ - 2) == c; ++NextQ)
        if (!QRow(NextQ)) return false;
      if (!Add(c, Ab * LD[c], c + 1 < m ? Ab * LE[c] : 0.0, 0.0, 0.0)) return false;
    }
    for (; NextQ < n; ++NextQ)
      if (!QRow(NextQ)) return false;
    return true;
  }

  // The square-root-free rotation (Gentleman's): row r of the factor is sqrt(d) (1, b1, b2) with
  // right-hand side sqrt(d) z; the incoming row carries a weight (1 at the start) that each
  // rotation lowers. Afterwards the incoming row has lost its first entry and moves on a column.
  struct TFactorRow {
    double D, B1, B2, Z;
  };
  struct TIncoming {
    double V0, V1, V2, Rhs, Wt;
  };
  static inline void Rotate(TFactorRow &T, TIncoming &X) {
    if (X.V0 != 0) {
      // The one division last: what waits for it is a single product.
      const double Wx = X.Wt * X.V0, Dn = T.D + Wx * X.V0, Inv = 1 / Dn;
      const double N1 = X.V1 - X.V0 * T.B1, N2 = X.V2 - X.V0 * T.B2, Nr = X.Rhs - X.V0 * T.Z;
      X.Wt = X.Wt * T.D * Inv;
      T.B1 = (T.D * T.B1 + Wx * X.V1) * Inv;
      T.B2 = (T.D * T.B2 + Wx * X.V2) * Inv;
      T.Z = (T.D * T.Z + Wx * X.Rhs) * Inv;
      T.D = Dn;
      X.V1 = N1;
      X.V2 = N2;
      X.Rhs = Nr;
    }
    X.V0 = X.V1;
    X.V1 = X.V2;
    X.V2 = 0;
  }
  // An incoming row (first entry not 0) becomes row C of the factor.
  TFactorRow Land(size_t C, const TIncoming &X) const {
    const double Inv = 1 / X.V0;
    return {X.Wt * X.V0 * X.V0, C + 1 < m ? X.V1 * Inv : 0, C + 2 < m ? X.V2 * Inv : 0, X.Rhs * Inv};
  }

  // Same order of rows and columns as AddRow; F4 holds d, b1, b2, z per row. False: a row with a
  // zero first entry reached an empty row of the factor.
  bool AddRowFast(size_t C, double V0, double V1, double V2, double Rhs) {
    TIncoming X{V0, V1, V2, Rhs, 1};
    for (; C < m; ++C) {
      if (X.V0 == 0 && X.V1 == 0 && X.V2 == 0) return true;
      double *P = &F4[4 * C];
      if (C == Filled) {
        if (X.V0 == 0) return false;
        ++Filled;
        const TFactorRow T = Land(C, X);
        P[0] = T.D, P[1] = T.B1, P[2] = T.B2, P[3] = T.Z;
        return true;
      }
      TFactorRow T{P[0], P[1], P[2], P[3]};
      Rotate(T, X);
      P[0] = T.D, P[1] = T.B1, P[2] = T.B2, P[3] = T.Z;
    }
    return true;
  }

  // Columns c ... m-3, where every column looks the same: rows c and c+1 of the factor exist, the
  // row of Q meets them and becomes row c+2, the row of L^T is used up. The rotations of
  // AddRowFast, with the three rows held in registers instead of going through memory between
  // two rotations, and with the two new rows rotated into each other first, which takes one
  // rotation off the chain the factor's rows wait on. On return c is the first column left to the
  // general loop. False (the caller falls back to plain rotations) where a column does not go
  // that way.
  bool FactorMiddle(size_t &c, double A2, double Ab) {
    TFactorRow R0{F4[4 * c], F4[4 * c + 1], F4[4 * c + 2], F4[4 * c + 3]};
    TFactorRow R1{F4[4 * c + 4], F4[4 * c + 5], F4[4 * c + 6], F4[4 * c + 7]};
    for (; c + 2 < m; ++c) {
      // The two new rows first meet each other (nothing in the factor waits for that); then
      // the row of Q meets rows c and c+1 and becomes row c+2, the rest of the row of L^T
      // meets rows c+1 and c+2. Row k = c + 2 of Q as in QR4, but from the spacings (less to
      // read per column).
      const size_t k = c + 2;
      const double Hl = HI[k - 1], Hr = HI[k], Sk = Unit ? 1.0 : SW[k];
      const TIncoming Qi{A2 * (Sk * Hl), A2 * (Sk * -(Hl + Hr)), A2 * (Sk * Hr), Unit ? pY[k] : pY[k] / Sk, 1};
      if (Qi.V0 == 0) return false;
      TFactorRow Qr = Land(c, Qi);
      TIncoming Y{Ab * LD[c], Ab * LE[c], 0, 0, 1};
      Rotate(Qr, Y);
      TIncoming X{1, Qr.B1, Qr.B2, Qr.Z, Qr.D};
      Rotate(R0, X);
      Rotate(R1, X);
      if (X.V0 == 0) return false;
      TFactorRow R2 = Land(c + 2, X);
      Rotate(R1, Y);
      Rotate(R2, Y);
      if (!(Y.V0 == 0 && Y.V1 == 0 && Y.V2 == 0)) return false;
      double *P = &F4[4 * c];
      P[0] = R0.D, P[1] = R0.B1, P[2] = R0.B2, P[3] = R0.Z;
      R0 = R1;
      R1 = R2;
    }
    double *P = &F4[4 * c];
    P[0] = R0.D, P[1] = R0.B1, P[2] = R0.B2, P[3] = R0.Z;
    P[4] = R1.D, P[5] = R1.B1, P[6] = R1.B2, P[7] = R1.Z;
    return true;
  }

  // Rotates the row (V0 at column C, V1, V2 after it; right-hand side Rhs) into the factor. Rows
  // come in the order of their first column, so the factor's rows fill up from the top: rows
  // 0 ... Filled-1 exist, and a row that reaches row Filled becomes that row.
  void AddRow(size_t C, double V0, double V1, double V2, double Rhs) {
    for (; C < m; ++C) {
      // All rows so far started at column C or before, so the factor's rows reach no further
      // than this row's last column: after at most three rotations nothing is left of it.
      if (V0 == 0 && V1 == 0 && V2 == 0) return;
      double *T = &F4[4 * C];
      if (C == Filled) {
        ++Filled;
        T[0] = V0;
        T[1] = C + 1 < m ? V1 : 0;
        T[2] = C + 2 < m ? V2 : 0;
        T[3] = Rhs;
        return;
      }
      if (V0 != 0) {
        const double Rr = std::sqrt(T[0] * T[0] + V0 * V0), Ri = 1 / Rr, Cs = T[0] * Ri, Sn = V0 * Ri;
        T[0] = Rr;
        const double N1 = -Sn * T[1] + Cs * V1, N2 = -Sn * T[2] + Cs * V2, Nr = -Sn * T[3] + Cs * Rhs;
        T[1] = Cs * T[1] + Sn * V1;
        T[2] = Cs * T[2] + Sn * V2;
        T[3] = Cs * T[3] + Sn * Rhs;
        V1 = N1;
        V2 = N2;
        Rhs = Nr;
      }
      V0 = V1;
      V1 = V2;
      V2 = 0;
    }
  }

  // int of the piecewise linear function through u, times 3 (de Boor's measure of the size of
  // u for the first guess of rho).
  double Utru() const {
    double S = 0;
    for (size_t i = 1; i < n; ++i)
      S += H[i - 1] * (U[i - 1] * (U[i - 1] + U[i]) + U[i] * U[i]);
    return S;
  }

  // The spline of the last solve.
  void Coefficients(double P, double P1, TSmoothSplineFit &F) const {
    F.A.resize(n);
    F.C.resize(n);
    for (size_t k = 0; k < n; ++k) {
      F.A[k] = pY[k] - 6 * P1 * W[k] * QU[k];
      F.C[k] = 6 * P * U[k];
    }
  }

private:
  size_t n, m;
  bool Unit; // no weights: every dy is 1
  std::span<const double> pX, pY;
  std::span<double> H, HI, W, SW, Qty, RD, RE, LD, LE, QwqD, QwqE, QwqF;
  double QwqNorm = 0, RMin = 0, RMax = 0;
  size_t Filled = 0;
  std::span<double> U, QU;
  std::span<double> QR4; // rows of Q for the least-squares form, 4 values each
  std::span<double> F4;  // the factor (L D L^T or the rotated rows) with its right-hand side
};

void CheckInput(std::span<const double> X, std::span<const double> Y, std::span<const double> Dy) {
  ORVA_ASSERT(X.size() >= 2 && Y.size() == X.size());
  ORVA_ASSERT(Dy.empty() || Dy.size() == X.size());
  for (double D : Dy)
    ORVA_ASSERT(D > 0);
  // A spectrum may hold undefined values; they would spread through the whole solve.
  for (double V : Y)
    if (!std::isfinite(V)) OrvaRaise("Smoothing spline: the knot values are not all finite");
}

// The cubic of knot interval j at x.
inline double PieceValue(const TDblArr1D &X, const TDblArr1D &A, const TDblArr1D &C, size_t j, double x) {
  const double h = X[j + 1] - X[j];
  ORVA_ASSERT(h > 0);
  const double Ra = (X[j + 1] - x) / h, Rb = (x - X[j]) / h;
  return Ra * A[j] + Rb * A[j + 1] + h * h / 6 * (Ra * (Ra * Ra - 1) * C[j] + Rb * (Rb * Rb - 1) * C[j + 1]);
}

} // namespace

double TSmoothSplineFit::Value(double x) const {
  const size_t n = X.size();
  ORVA_ASSERT(n >= 2 && A.size() == n && C.size() == n);
  // The interval j with X[j] <= x < X[j+1], clamped to the first and the last interval.
  size_t j = static_cast<size_t>(std::upper_bound(X.begin(), X.end(), x) - X.begin());
  return PieceValue(X, A, C, j == 0 ? 0 : std::min(j - 1, n - 2), x);
}

void TSmoothSplineFit::Evaluate(std::span<const double> Xs, std::span<double> Out) const {
  ORVA_ASSERT(Out.size() == Xs.size());
  const size_t n = X.size();
  ORVA_ASSERT(n >= 2 && A.size() == n && C.size() == n);
  // The same interval and the same arithmetic as Value, but an ascending run of Xs (a spectrum's
  // samples) walks along the knots instead of searching for every x. Up: the first knot above
  // the last x, as upper_bound gives it.
  size_t Up = 0;
  double Last = -HUGE_VAL;
  for (size_t i = 0; i < Xs.size(); ++i) {
    const double x = Xs[i];
    if (x >= Last) {
      while (Up < n && X[Up] <= x)
        ++Up;
    } else {
      // Descending, or not a number: search as Value does (and start the walk afresh).
      Up = static_cast<size_t>(std::upper_bound(X.begin(), X.end(), x) - X.begin());
    }
    // After a NaN only +inf may walk on (from the end, where the search left Up).
    Last = x == x ? x : HUGE_VAL;
    Out[i] = PieceValue(X, A, C, Up == 0 ? 0 : std::min(Up - 1, n - 2), x);
  }
}

TSmoothSplineFit SmoothSplineForP(std::span<const double> X, std::span<const double> Y,
                                  std::span<const double> Dy, double P) {
  CheckInput(X, Y, Dy);
  ORVA_ASSERT(P >= 0 && P <= 1);
  TSmoothSplineWork Work;
  TSmoothSystem Sys(X, Y, Dy, Work);
  TSmoothSplineFit F;
  F.X.assign(X.begin(), X.end());
  F.P = P;
  F.P1 = 1 - P;
  F.Sfq = Sys.Solve(P, F.P1);
  Sys.Coefficients(P, F.P1, F);
  return F;
}

TSmoothSplineFit SmoothSpline(std::span<const double> X, std::span<const double> Y,
                              std::span<const double> Dy, double S, TSmoothSplineWork *Work) {
  CheckInput(X, Y, Dy);
  TSmoothSplineWork Own;
  TSmoothSystem Sys(X, Y, Dy, Work ? *Work : Own);
  TSmoothSplineFit F;
  F.X.assign(X.begin(), X.end());
  if (!(S > 0)) {
    F.P = 1;
    F.P1 = 0;
    F.Sfq = Sys.Solve(1, 0);
    Sys.Coefficients(1, 0, F);
    return F;
  }
  // p = 0 first: the straight line, when it is close enough.
  double Sfq = Sys.Solve(0, 1);
  F.P = 0;
  F.P1 = 1;
  F.Sfq = Sfq;
  if (Sfq <= S) {
    Sys.Coefficients(0, 1, F);
    return F;
  }
  const double Ooss = 1 / std::sqrt(S);
  double Oosf = 1 / std::sqrt(Sfq);
  double Rho = -(Oosf - Ooss) * Sfq / (6 * Sys.Utru() * Oosf);
  double RhoOld = 0, OosfOld = Oosf;
  F.Reached = false;
  for (;;) {
    const double P = Rho / (1 + Rho), P1 = 1 / (1 + Rho);
    Sfq = Sys.Solve(P, P1);
    ++F.Steps;
    F.P = P;
    F.P1 = P1;
    F.Sfq = Sfq;
    if (std::abs(Sfq - S) <= 0.01 * S) {
      F.Reached = true;
      break;
    }
    if (F.Steps >= SmoothSplineMaxSteps) break;
    Oosf = 1 / std::sqrt(Sfq);
    const double Next = Rho - (Rho - RhoOld) / (Oosf - OosfOld) * (Oosf - Ooss);
    // A step that cannot be taken (equal residual sums, or a rho that leaves p's range 0 ... 1)
    // ends the iteration with the spline at hand.
    if (!std::isfinite(Next) || !(Next > 0)) break;
    RhoOld = Rho;
    OosfOld = Oosf;
    Rho = Next;
  }
  Sys.Coefficients(F.P, F.P1, F);
  return F;
}

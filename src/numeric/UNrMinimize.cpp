#include "numeric/UNrMinimize.h"

#include <cmath>
#include <vector>

namespace {

using TVec = std::vector<double>;

double Eval(const TNrMultiFunc &F, const TVec &V) {
  return F(TNrConstVector(V.data(), static_cast<int>(V.size())));
}

// ---- downhill simplex ----------------------------------------------------------------------

// Vertex V of the simplex as a vector.
TVec Vertex(TNrMatrix p, int V, int NDim) {
  TVec R(static_cast<size_t>(NDim));
  for (int J = 1; J <= NDim; ++J)
    R[static_cast<size_t>(J - 1)] = p[V][J];
  return R;
}

void SetVertex(TNrMatrix p, int V, const TVec &X) {
  for (size_t J = 0; J < X.size(); ++J)
    p[V][static_cast<int>(J) + 1] = X[J];
}

// Centre + Factor * (Centre - Worst).
TVec Along(const TVec &Centre, const TVec &Worst, double Factor) {
  TVec R(Centre.size());
  for (size_t J = 0; J < R.size(); ++J)
    R[J] = Centre[J] + Factor * (Centre[J] - Worst[J]);
  return R;
}

// ---- line search -------------------------------------------------------------------------

// Minimum of G over the bracket Ax < Bx < Cx (or reversed) with G(Bx) = FBx below both ends,
// by Brent's method (1973): parabolic interpolation through the three best points when it
// behaves, golden-section steps otherwise. Tol is the fractional tolerance on the abscissa.
template <class TG>
double BrentMinimum(double Ax, double Bx, double Cx, double FBx, TG &&G, double Tol, double &XMin) {
  constexpr int ITMAX = 100;
  constexpr double CGOLD = 0.3819660112501051; // (3 - sqrt 5) / 2
  constexpr double ZEPS = 1.0e-12;             // absolute floor of the tolerance near 0
  double A = std::fmin(Ax, Cx), B = std::fmax(Ax, Cx);
  double X = Bx, W = Bx, V = Bx; // best, second best, previous second best
  double FX = FBx, FW = FBx, FV = FBx;
  double D = 0.0, E = 0.0; // last step and the one before
  for (int It = 0; It < ITMAX; ++It) {
    double Mid = 0.5 * (A + B);
    double Tol1 = Tol * std::fabs(X) + ZEPS, Tol2 = 2.0 * Tol1;
    if (std::fabs(X - Mid) <= Tol2 - 0.5 * (B - A)) {
      XMin = X;
      return FX;
    }
    bool Golden = true;
    if (std::fabs(E) > Tol1) {
      // Vertex of the parabola through (X, FX), (W, FW), (V, FV), as X + Num / Den.
      double R = (X - W) * (FX - FV);
      double Q = (X - V) * (FX - FW);
      double Num = (X - V) * Q - (X - W) * R;
      double Den = 2.0 * (Q - R);
      if (Den > 0.0) Num = -Num;
      Den = std::fabs(Den);
      double EOld = E;
      E = D;
      // Accept it only inside the bracket and when it moves less than half the step before last.
      if (std::fabs(Num) < std::fabs(0.5 * Den * EOld) && Num > Den * (A - X) && Num < Den * (B - X)) {
        D = Num / Den;
        double U = X + D;
        if (U - A < Tol2 || B - U < Tol2) D = std::copysign(Tol1, Mid - X);
        Golden = false;
      }
    }
    if (Golden) {
      E = (X >= Mid) ? A - X : B - X;
      D = CGOLD * E;
    }
    double U = std::fabs(D) >= Tol1 ? X + D : X + std::copysign(Tol1, D);
    double FU = G(U);
    if (FU <= FX) {
      if (U >= X)
        A = X;
      else
        B = X;
      V = W;
      FV = FW;
      W = X;
      FW = FX;
      X = U;
      FX = FU;
    } else {
      if (U < X)
        A = U;
      else
        B = U;
      if (FU <= FW || W == X) {
        V = W;
        FV = FW;
        W = U;
        FW = FU;
      } else if (FU <= FV || V == X || V == W) {
        V = U;
        FV = FU;
      }
    }
  }
  nrerror("dpowell: too many iterations in the line search");
}

// Moves P to the minimum of F along Dir, starting from F(P) = FP, and scales Dir by the step
// taken (a step of exactly 0 leaves Dir as it is, so that no direction collapses to zero).
// Returns F at the new P.
double LineMinimum(TVec &P, TVec &Dir, double FP, const TNrMultiFunc &F) {
  constexpr double GOLD = 1.618033988749895;
  constexpr double TOL = 2.0e-4;
  constexpr int MAXEXPAND = 200;
  TVec Pt(P.size());
  auto G = [&](double T) {
    for (size_t J = 0; J < P.size(); ++J)
      Pt[J] = P[J] + T * Dir[J];
    return Eval(F, Pt);
  };
  // Bracket the minimum: go downhill from 0 or 1, widening the step by the golden ratio, until
  // the function rises again.
  double A = 0.0, FA = FP, B = 1.0, FB = G(B);
  if (FB > FA) {
    std::swap(A, B);
    std::swap(FA, FB);
  }
  double C = B + GOLD * (B - A), FC = G(C);
  for (int K = 0; FC < FB; ++K) {
    if (K >= MAXEXPAND || !std::isfinite(C)) nrerror("dpowell: no minimum along a search direction");
    A = B;
    FA = FB;
    B = C;
    FB = FC;
    C = B + GOLD * (B - A);
    FC = G(C);
  }
  double TMin = B;
  double FMin = BrentMinimum(A, B, C, FB, G, TOL, TMin);
  for (size_t J = 0; J < P.size(); ++J) {
    if (TMin != 0.0) Dir[J] *= TMin;
    P[J] += TMin == 0.0 ? 0.0 : Dir[J];
  }
  return FMin;
}

} // namespace

void damoeba(TNrMatrix p, TNrVector y, int ndim, double ftol, const TNrMultiFunc &funk, int &nfunk) {
  constexpr int NMAX = 5000;
  constexpr double TINY = 1.0e-10;
  if (ndim < 1) nrerror("damoeba: no dimensions");
  const int NV = ndim + 1;
  nfunk = 0;
  auto F = [&](const TVec &X) {
    ++nfunk;
    return Eval(funk, X);
  };
  for (;;) {
    // Best, worst and second worst vertex.
    int Lo = 1, Hi = 1;
    for (int I = 2; I <= NV; ++I) {
      if (y[I] < y[Lo]) Lo = I;
      if (y[I] > y[Hi]) Hi = I;
    }
    if (Hi == Lo) Hi = Lo == 1 ? 2 : 1; // all values equal: any other vertex is "worst"
    int NHi = Lo;
    for (int I = 1; I <= NV; ++I)
      if (I != Hi && y[I] > y[NHi]) NHi = I;

    double RTol = 2.0 * std::fabs(y[Hi] - y[Lo]) / (std::fabs(y[Hi]) + std::fabs(y[Lo]) + TINY);
    if (RTol < ftol) {
      if (Lo != 1) {
        std::swap(y[1], y[Lo]);
        for (int J = 1; J <= ndim; ++J)
          std::swap(p[1][J], p[Lo][J]);
      }
      return;
    }
    if (nfunk >= NMAX) nrerror("damoeba: NMAX exceeded");

    TVec Worst = Vertex(p, Hi, ndim);
    TVec Centre(static_cast<size_t>(ndim), 0.0);
    for (int I = 1; I <= NV; ++I)
      if (I != Hi)
        for (int J = 1; J <= ndim; ++J)
          Centre[static_cast<size_t>(J - 1)] += p[I][J] / ndim;

    auto Replace = [&](const TVec &X, double FX) {
      SetVertex(p, Hi, X);
      y[Hi] = FX;
    };
    TVec R = Along(Centre, Worst, 1.0); // reflection
    double FR = F(R);
    if (FR < y[Lo]) {
      TVec E = Along(Centre, Worst, 2.0); // expansion
      double FE = F(E);
      if (FE < FR)
        Replace(E, FE);
      else
        Replace(R, FR);
      continue;
    }
    if (FR < y[NHi]) {
      Replace(R, FR);
      continue;
    }
    // Contraction: halfway towards the reflected point if that beats the worst vertex, halfway
    // towards the worst vertex otherwise.
    bool Outside = FR < y[Hi];
    TVec K = Along(Centre, Worst, Outside ? 0.5 : -0.5);
    double FK = F(K);
    if (Outside ? FK <= FR : FK < y[Hi]) {
      Replace(K, FK);
      continue;
    }
    // Shrink every vertex halfway towards the best one.
    TVec Best = Vertex(p, Lo, ndim);
    for (int I = 1; I <= NV; ++I) {
      if (I == Lo) continue;
      TVec X = Vertex(p, I, ndim);
      for (int J = 0; J < ndim; ++J)
        X[static_cast<size_t>(J)] =
            Best[static_cast<size_t>(J)] + 0.5 * (X[static_cast<size_t>(J)] - Best[static_cast<size_t>(J)]);
      SetVertex(p, I, X);
      y[I] = F(X);
    }
  }
}

void dpowell(TNrVector p, TNrMatrix xi, int n, double ftol, int &iter, double &fret,
             const TNrMultiFunc &func) {
  constexpr int ITMAX = 200;
  constexpr double TINY = 1.0e-25;
  if (n < 1) nrerror("dpowell: no dimensions");
  TVec P(static_cast<size_t>(n)), PStart(static_cast<size_t>(n)), Dir(static_cast<size_t>(n));
  for (int J = 1; J <= n; ++J)
    P[static_cast<size_t>(J - 1)] = p[J];
  auto Column = [&](int I) {
    for (int J = 1; J <= n; ++J)
      Dir[static_cast<size_t>(J - 1)] = xi[J][I];
  };
  auto SetColumn = [&](int I, const TVec &D) {
    for (int J = 1; J <= n; ++J)
      xi[J][I] = D[static_cast<size_t>(J - 1)];
  };
  auto WriteBack = [&]() {
    for (int J = 1; J <= n; ++J)
      p[J] = P[static_cast<size_t>(J - 1)];
  };

  fret = Eval(func, P);
  PStart = P;
  for (iter = 1;; ++iter) {
    double FStart = fret;
    int IBig = 0;
    double Del = 0.0; // largest decrease along one direction
    for (int I = 1; I <= n; ++I) {
      Column(I);
      double FBefore = fret;
      fret = LineMinimum(P, Dir, fret, func);
      SetColumn(I, Dir);
      if (FBefore - fret > Del) {
        Del = FBefore - fret;
        IBig = I;
      }
    }
    if (2.0 * (FStart - fret) <= ftol * (std::fabs(FStart) + std::fabs(fret)) + TINY) {
      WriteBack();
      return;
    }
    if (iter >= ITMAX) {
      WriteBack();
      nrerror("dpowell: too many iterations");
    }
    // The average direction of this iteration, and the point as far again beyond its end.
    TVec Avg(static_cast<size_t>(n)), Beyond(static_cast<size_t>(n));
    for (size_t J = 0; J < P.size(); ++J) {
      Avg[J] = P[J] - PStart[J];
      Beyond[J] = 2.0 * P[J] - PStart[J];
    }
    PStart = P;
    double FBeyond = Eval(func, Beyond);
    if (FBeyond < FStart) {
      // Powell's test whether the average direction is worth taking in place of the direction of
      // largest decrease (which would otherwise make the set nearly dependent).
      double T = 2.0 * (FStart - 2.0 * fret + FBeyond) * (FStart - fret - Del) * (FStart - fret - Del) -
                 Del * (FStart - FBeyond) * (FStart - FBeyond);
      if (T < 0.0 && IBig > 0) {
        fret = LineMinimum(P, Avg, fret, func);
        Column(n);
        SetColumn(IBig, Dir);
        SetColumn(n, Avg);
      }
    }
  }
}

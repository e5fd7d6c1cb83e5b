#include "Units/UNumRec.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "numeric/UNrFit.h"
#include "numeric/UNrFourier.h"
#include "numeric/UNrMinimize.h"
#include "numeric/UNrSavGol.h"
#include "numeric/UNrSpline.h"

#define ORVA_UNIT "UNumRec"

namespace {

[[noreturn]] void NumRecError(const char *Text) { OrvaRaise(Text ? std::string(Text) : std::string()); }

const bool gHookInstalled = (InstallNumRecErrorHook(), true);

size_t USize(int N) { return static_cast<size_t>(N); }

TNrConstVector View(std::span<const double> V, int N) {
  ORVA_ASSERT(N >= 0 && USize(N) <= V.size());
  return TNrConstVector(V.data(), N);
}

TNrVector View(std::span<double> V, int N) {
  ORVA_ASSERT(N >= 0 && USize(N) <= V.size());
  return TNrVector(V.data(), N);
}

} // namespace

void InstallNumRecErrorHook() {
  (void)gHookInstalled;
  setnrerror(&NumRecError);
}

bool IsPowerOf2(int32_t n) {
  uint32_t U = static_cast<uint32_t>(n);
  int Bits = 0;
  for (int I = 0; I < 32; ++I)
    Bits += (U >> I) & 1u;
  return n >= 1 && Bits == 1;
}

void Fourier1D(int n, std::span<double> data, int isign) {
  if (!IsPowerOf2(n)) OrvaRaise(Format("Fourier1D: %1d no power of 2", n));
  ORVA_ASSERT(n <= (1 << 29) && 2 * USize(n) <= data.size());
  ORVA_ASSERT(isign == 1 || isign == -1);
  dfour1(TNrVector(data.data(), 2 * n), n, isign);
}

int FitGaussLinear(int n, std::span<const double> x, std::span<const double> y, bool fitSlope, double &a1,
                   double &a2, double &a3, double &a4, double &a5) {
  // Fixed work sizes of the fit: up to 36 parameters; the model uses 5.
  constexpr int MAXPAR = 36;
  constexpr int MA = 5;
  constexpr double ABSTOL = 1e-5; // largest change of a1 ... a4 at convergence
  constexpr double RELTOL = 1e-4; // largest relative change of the width a5 at convergence
  constexpr int MAXSTEPS = 51;
  ORVA_ASSERT(n >= 1);
  TNrConstVector X = View(x, n), Y = View(y, n);
  std::vector<double> Sig(USize(n), 1.0);
  double A[MAXPAR] = {a1, a2, a3, a4, a5};
  int Ia[MAXPAR] = {1, fitSlope ? 1 : 0, 1, 1, 1};
  TNrMatrixStore Covar(MAXPAR, MAXPAR), Alpha(MAXPAR, MAXPAR);
  auto Model = [](double Xv, TNrConstVector P, double &Yv, TNrVector Dyda, int) {
    double U = (Xv - P[4]) / P[5];
    double E = std::exp(-0.5 * U * U);
    Yv = P[1] + P[2] * Xv + P[3] * E;
    Dyda[1] = 1.0;
    Dyda[2] = Xv;
    Dyda[3] = E;
    Dyda[4] = U * P[3] * E / P[5];
    Dyda[5] = U * Dyda[4];
  };
  TNrVector AV(A, MA);
  TNrIntVector IaV(Ia, MA);
  TNrConstVector SigV(Sig.data(), n);
  double Chisq = 0.0, Alamda = -1.0;
  dmrqmin(X, Y, SigV, n, AV, IaV, MA, Covar.View(), Alpha.View(), Chisq, Model, Alamda);
  int Count = 0;
  bool Converged = false;
  do {
    double Old[MA];
    std::copy(A, A + MA, Old);
    double AlamdaBefore = Alamda;
    dmrqmin(X, Y, SigV, n, AV, IaV, MA, Covar.View(), Alpha.View(), Chisq, Model, Alamda);
    // A step that did not lower chi-square leaves the parameters as they were and raises lambda;
    // such a standstill says nothing about convergence, so only steps taken are tested (or an
    // exact fit, which no step can improve).
    bool Taken = Alamda < AlamdaBefore;
    if (Taken) {
      Converged = true;
      for (int I = 0; I < 4; ++I)
        if (!(std::fabs(A[I] - Old[I]) <= ABSTOL)) Converged = false;
      if (!(std::fabs((A[4] - Old[4]) / A[4]) <= RELTOL)) Converged = false;
    } else {
      Converged = Chisq == 0.0;
    }
    ++Count;
  } while (!Converged && Count < MAXSTEPS);
  a1 = A[0];
  a2 = A[1];
  a3 = A[2];
  a4 = A[3];
  a5 = A[4];
  if (Count >= MAXSTEPS) return -1;
  Alamda = 0.0;
  dmrqmin(X, Y, SigV, n, AV, IaV, MA, Covar.View(), Alpha.View(), Chisq, Model, Alamda);
  return Count;
}

void SvdFit(int ndata, std::span<const double> x, std::span<const double> y, std::span<const double> sig,
            const TNrBasisFunc &basis, int ma, std::span<double> a, double &chisq, TDblMatrix &cvm) {
  ORVA_ASSERT(ndata >= 1 && ma >= 1);
  TNrMatrixStore U(ndata, ma), V(ma, ma);
  std::vector<double> W(USize(ma), 0.0);
  TNrVector WV(W.data(), ma);
  dsvdfit(View(x, ndata), View(y, ndata), View(sig, ndata), ndata, View(a, ma), ma, U.View(), V.View(), WV,
          chisq, basis);
  if (cvm.size() < USize(ma)) cvm.resize(USize(ma));
  for (auto &Row : cvm)
    if (Row.size() < USize(ma)) Row.resize(USize(ma), 0.0);
  TNrRowViews Cvm(cvm, ma, ma);
  dsvdvar(V.View(), ma, WV, Cvm.View());
}

void PolyBasis(double x, TNrVector p, int np) {
  p[1] = 1.0;
  for (int J = 2; J <= np; ++J)
    p[J] = p[J - 1] * x;
}

bool FitPolynomial(std::span<const double> x, std::span<const double> y, int n, int degree,
                   std::span<double> coef) {
  ORVA_ASSERT(degree >= 1 && degree <= 4 && degree < n);
  ORVA_ASSERT(USize(n) <= x.size() && USize(n) <= y.size() && coef.size() >= 5);
  double XMin = x[0], XMax = x[0], YMin = y[0], YMax = y[0];
  for (size_t I = 1; I < USize(n); ++I) {
    XMin = std::min(XMin, x[I]);
    XMax = std::max(XMax, x[I]);
    YMin = std::min(YMin, y[I]);
    YMax = std::max(YMax, y[I]);
  }
  for (int K = 0; K < 5; ++K)
    coef[USize(K)] = 0.0;
  if (YMax == YMin) {
    coef[0] = YMin;
    return true;
  }
  if (XMax == XMin) OrvaRaise("Floating point division by zero");
  // Scaled coordinates: X spans -n/2 ... n/2, Y spans 0 ... 1.
  double Sx = n / (XMax - XMin);
  double XMid = XMin + n * 0.5 / Sx;
  double Sy = 1.0 / (YMax - YMin);
  std::vector<double> Xs(USize(n)), Ys(USize(n)), Sig(USize(n), 1.0);
  for (size_t I = 0; I < USize(n); ++I) {
    Xs[I] = (x[I] - XMid) * Sx;
    Ys[I] = (y[I] - YMin) * Sy;
  }
  double C[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
  double Chisq = 0.0;
  TDblMatrix Cvm;
  SvdFit(n, Xs, Ys, Sig, PolyBasis, degree + 1, std::span<double>(C, USize(degree) + 1), Chisq, Cvm);
  // Back to the caller's units: X = Sx x - O.
  double O = Sx * XMid, O2 = O * O, O3 = O2 * O, O4 = O3 * O;
  coef[0] = (C[0] - C[1] * O + C[2] * O2 - C[3] * O3 + C[4] * O4) / Sy + YMin;
  coef[1] = Sx * (C[1] - 2.0 * C[2] * O + 3.0 * C[3] * O2 - 4.0 * C[4] * O3) / Sy;
  if (degree >= 2) coef[2] = Sx * Sx * (C[2] - 3.0 * C[3] * O + 6.0 * C[4] * O2) / Sy;
  if (degree >= 3) coef[3] = Sx * Sx * Sx * (C[3] - 4.0 * C[4] * O) / Sy;
  if (degree >= 4) coef[4] = Sx * Sx * Sx * Sx * C[4] / Sy;
  return true;
}

void SplineSetup(std::span<const double> x, std::span<const double> y, int n, double yp1, double ypn,
                 std::span<double> y2) {
  dspline(View(x, n), View(y, n), n, yp1, ypn, View(y2, n));
}

TDblArr1D SplineSetup(std::span<const double> x, std::span<const double> y, int n, double yp1, double ypn) {
  ORVA_ASSERT(n >= 0);
  TDblArr1D Y2(USize(n), 0.0);
  SplineSetup(x, y, n, yp1, ypn, Y2);
  return Y2;
}

double SplineValue(std::span<const double> xa, std::span<const double> ya, std::span<const double> y2a, int n,
                   double x) {
  double Y = 0.0;
  dsplint(View(xa, n), View(ya, n), View(y2a, n), n, x, Y);
  return Y;
}

void AmoebaMinimize(TDblMatrix &p, std::span<double> y, int ndim, double ftol, const TNrMultiFunc &funk,
                    int &nfunk) {
  ORVA_ASSERT(ndim >= 1);
  TNrRowViews Rows(p, ndim + 1, ndim);
  damoeba(Rows.View(), View(y, ndim + 1), ndim, ftol, funk, nfunk);
}

void PowellMinimize(std::span<double> p, TDblMatrix &xi, int n, double ftol, int &iter, double &fret,
                    const TNrMultiFunc &func) {
  ORVA_ASSERT(n >= 1);
  TNrRowViews Rows(xi, n, n);
  dpowell(View(p, n), Rows.View(), n, ftol, iter, fret, func);
}

void SavGolKernel(int np, int nl, int nr, int ld, int m, std::span<double> c) {
  ORVA_ASSERT(np == nl + nr + 1 && np >= 1 && USize(np) <= c.size());
  // Weights in wrap-around order: t[j] for the sample j places left, t[np - j] for j places right.
  std::vector<double> T(USize(np), 0.0);
  dsavgol(TNrVector(T.data(), np), np, nl, nr, ld, m);
  for (int I = 0; I <= nl; ++I)
    c[USize(I)] = T[USize(nl - I)];
  for (int I = nl + 1; I < np; ++I)
    c[USize(I)] = T[USize(np + nl - I)];
}

TDblArr1D SavGolKernel(int np, int nl, int nr, int ld, int m) {
  ORVA_ASSERT(np >= 1);
  TDblArr1D C(USize(np), 0.0);
  SavGolKernel(np, nl, nr, ld, m, C);
  return C;
}

double SelectKth(int k, int n, std::span<double> arr) {
  ORVA_ASSERT(n >= 1 && k >= 1 && k <= n && USize(n) <= arr.size());
  // Positions are 1-based here, as in the usual description of the method.
  auto A = [&](int Pos) -> double & { return arr[USize(Pos - 1)]; };
  int L = 1, R = n;
  for (;;) {
    if (R <= L + 1) {
      if (R == L + 1 && A(R) < A(L)) std::swap(A(L), A(R));
      return A(k);
    }
    std::swap(A((L + R) / 2), A(L + 1));
    // Median of three: A(L) <= A(L+1) <= A(R); A(L) and A(R) then stop the scans below.
    if (A(L) > A(R)) std::swap(A(L), A(R));
    if (A(L + 1) > A(R)) std::swap(A(L + 1), A(R));
    if (A(L) > A(L + 1)) std::swap(A(L), A(L + 1));
    const double Pivot = A(L + 1);
    int I = L + 1, J = R;
    for (;;) {
      do
        ++I;
      while (A(I) < Pivot);
      do
        --J;
      while (A(J) > Pivot);
      if (J < I) break;
      std::swap(A(I), A(J));
    }
    A(L + 1) = A(J);
    A(J) = Pivot;
    if (J >= k) R = J - 1;
    if (J <= k) L = I;
  }
}

std::vector<int> IndexSort(int n, std::span<const double> arr) {
  return numrec_detail::IndexSortStack(n, arr, 50);
}

std::vector<int> numrec_detail::IndexSortStack(int n, std::span<const double> arr, int NStack) {
  ORVA_ASSERT(n >= 0 && USize(n) <= arr.size());
  std::vector<int> Idx(USize(n));
  std::iota(Idx.begin(), Idx.end(), 0);
  // Ix(p): the index at 1-based position p; V(p): the value it points to.
  auto Ix = [&](int Pos) -> int & { return Idx[USize(Pos - 1)]; };
  auto V = [&](int Pos) { return arr[USize(Ix(Pos))]; };
  std::vector<int> Stack; // pending partitions as (left, right) pairs
  Stack.reserve(USize(std::max(NStack, 0)));
  int L = 1, R = n;
  while (n > 1) {
    if (R - L < 7) {
      // Short partition: straight insertion.
      for (int J = L + 1; J <= R; ++J) {
        int Moving = Ix(J);
        double A = arr[USize(Moving)];
        int I = J - 1;
        for (; I >= L && V(I) > A; --I)
          Ix(I + 1) = Ix(I);
        Ix(I + 1) = Moving;
      }
      if (Stack.empty()) break;
      R = Stack.back();
      Stack.pop_back();
      L = Stack.back();
      Stack.pop_back();
      continue;
    }
    std::swap(Ix((L + R) / 2), Ix(L + 1));
    auto Order = [&](int P, int Q) {
      if (V(P) > V(Q)) std::swap(Ix(P), Ix(Q));
    };
    Order(L, R);
    Order(L + 1, R);
    Order(L, L + 1);
    const int PivotIx = Ix(L + 1);
    const double Pivot = arr[USize(PivotIx)];
    int I = L + 1, J = R;
    for (;;) {
      do
        ++I;
      while (V(I) < Pivot);
      do
        --J;
      while (V(J) > Pivot);
      if (J < I) break;
      std::swap(Ix(I), Ix(J));
    }
    Ix(L + 1) = Ix(J);
    Ix(J) = PivotIx;
    if (static_cast<int>(Stack.size()) + 2 > NStack) OrvaRaise("NSTACK too small in index");
    // The larger part waits on the stack; the smaller one is sorted next.
    if (R - I + 1 >= J - L) {
      Stack.push_back(I);
      Stack.push_back(R);
      R = J - 1;
    } else {
      Stack.push_back(L);
      Stack.push_back(J - 1);
      L = I;
    }
  }
  return Idx;
}

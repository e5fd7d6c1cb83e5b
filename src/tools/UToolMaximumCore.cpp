#include "tools/UToolMaximumCore.h"

#include <algorithm>
#include <cmath>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "numeric/UFitUnit.h"

#define ORVA_UNIT "UToolMaximumCore"

namespace {

// The fitted polynomial in the scaled coordinate u, its first and second derivative.
struct TPoly4 {
  double C[5] = {0, 0, 0, 0, 0};
  double Value(double U) const { return (((C[4] * U + C[3]) * U + C[2]) * U + C[1]) * U + C[0]; }
  double D1(double U) const { return ((4.0 * C[4] * U + 3.0 * C[3]) * U + 2.0 * C[2]) * U + C[1]; }
  double D2(double U) const { return (12.0 * C[4] * U + 6.0 * C[3]) * U + 2.0 * C[2]; }
};

TMaximumResult Failed(TMaximumResult R, const char *Msg) {
  R.Error = Msg;
  return R;
}

} // namespace

int MaximumDegree(int PolyIndex) { return 2 * PolyIndex + 2; }

int MaximumPoints(int Points, int Degree, int N) {
  int M = Points;
  if (M <= Degree) M = Degree + 1;
  if (M > N) M = N;
  return M;
}

int MaximumPoints(std::string_view PointsText, int Degree, int N) {
  return MaximumPoints(StrToInt(PointsText), Degree, N);
}

double MaximumFwhm(std::span<const double> X, std::span<const double> W, int K, double H) {
  const int N = static_cast<int>(std::min(X.size(), W.size()));
  ORVA_ASSERT(K >= 0 && K < N);
  auto At = [](std::span<const double> V, int I) { return V[static_cast<size_t>(I)]; };
  int L = K;
  while (L >= 0 && !(At(W, L) < H))
    --L;
  // The crossing needs the inner neighbour; a peak sample already below the level at the
  // selection's end has none.
  if (L < 0 || L + 1 >= N) return -1.0;
  double G = (At(W, L + 1) - At(W, L)) / (At(X, L + 1) - At(X, L));
  if (!(G > 0.0)) return -1.0;
  const double XL = At(X, L) + (H - At(W, L)) / G;
  int R = K;
  while (R < N && !(At(W, R) < H))
    ++R;
  if (R >= N || R < 1) return -1.0;
  G = (At(W, R) - At(W, R - 1)) / (At(X, R) - At(X, R - 1));
  if (!(G < 0.0)) return -1.0;
  const double XR = At(X, R - 1) + (H - At(W, R - 1)) / G;
  return XR - XL;
}

TMaximumResult ToolMaximum(std::span<const double> X, std::span<const double> Y, int Degree, int Points) {
  ORVA_ASSERT(Degree == 2 || Degree == 4);
  ORVA_ASSERT(X.size() == Y.size());
  const int N = static_cast<int>(X.size());
  ORVA_ASSERT(N >= 5);
  TMaximumResult R;
  R.Degree = Degree;
  R.NPoints = MaximumPoints(Points, Degree, N);
  const int M = R.NPoints;

  int NExtrema = 0;
  bool Absorption = false;
  if (!DetectLine(Y, N, false, NExtrema, Absorption)) return Failed(R, MaxNoExtremumText);
  R.Sign = Absorption ? -1 : 1;
  std::vector<double> W(static_cast<size_t>(N));
  for (size_t I = 0; I < W.size(); ++I)
    W[I] = R.Sign * Y[I];
  int K = 0;
  for (int I = 1; I < N; ++I)
    if (W[static_cast<size_t>(I)] > W[static_cast<size_t>(K)]) K = I;

  // The fit window of m samples centred on the extreme sample must lie inside the selection.
  const int S = K - M / 2;
  if (S < 0 || S > N - M) return Failed(R, MaxNotFoundText);
  const auto Win = static_cast<size_t>(S), Mz = static_cast<size_t>(M);
  const std::span<const double> XW = X.subspan(Win, Mz);
  const std::span<const double> WW = std::span<const double>(W).subspan(Win, Mz);

  // Both coordinates scaled to -1 ... 1 (x) and 0 ... 1 (w) before the fit.
  const auto [XMinIt, XMaxIt] = std::minmax_element(XW.begin(), XW.end());
  const double XMin = *XMinIt, XMax = *XMaxIt;
  if (XMax == XMin) return Failed(R, MaxNoExtremumText);
  const double Ax = 2.0 / (XMax - XMin), Bx = -(XMax + XMin) / (XMax - XMin);
  const auto [WMinIt, WMaxIt] = std::minmax_element(WW.begin(), WW.end());
  const double WMin = *WMinIt, WMax = *WMaxIt;
  if (WMax == WMin) return Failed(R, MaxNoExtremumText);
  const double Ay = 1.0 / (WMax - WMin), By = -WMin / (WMax - WMin);
  std::vector<double> U(Mz), V(Mz);
  for (size_t J = 0; J < Mz; ++J) {
    U[J] = Ax * XW[J] + Bx;
    V[J] = Ay * WW[J] + By;
  }
  TPoly4 P;
  FitPolynomial(U, V, M, Degree, P.C);

  double UStar = 0.0;
  if (Degree == 2) {
    // A straight line (c2 = 0) has no extremum; the test below refuses it.
    if (!(P.D2(0.0) < 0.0)) return Failed(R, MaxNotFoundText);
    UStar = -0.5 * P.C[1] / P.C[2];
  } else {
    // Newton on p' = 0 from the highest fitted sample.
    size_t J0 = 0;
    for (size_t J = 1; J < Mz; ++J)
      if (V[J] > V[J0]) J0 = J;
    UStar = U[J0];
    const double Tol = std::fabs(U[1] - U[0]) * 1e-6;
    bool Converged = false;
    for (int Step = 0; Step < 20 && !Converged; ++Step) {
      const double Delta = P.D1(UStar) / P.D2(UStar);
      if (!std::isfinite(Delta)) break;
      UStar -= Delta;
      Converged = std::fabs(Delta) < Tol;
    }
    if (!Converged) return Failed(R, MaxNotFoundText);
  }
  if (!(P.D2(UStar) < 0.0)) return Failed(R, MaxNotFoundText);

  R.Location = (UStar - Bx) / Ax;
  const double WStar = (P.Value(UStar) - By) / Ay;
  R.Extremum = R.Sign * WStar;
  R.Fwhm = MaximumFwhm(X, W, K, 0.5 * WStar);

  R.Residuals.resize(Mz);
  double Sum2 = 0.0;
  for (size_t J = 0; J < Mz; ++J) {
    R.Residuals[J] = (P.Value(U[J]) - V[J]) / Ay;
    Sum2 += R.Residuals[J] * R.Residuals[J];
  }
  R.RmsResiduals = std::sqrt(Sum2 / M);
  return R;
}

TMaximumTexts MaximumClearedTexts() {
  TMaximumTexts T;
  T.Extrem = "Extremum";
  return T;
}

TMaximumTexts MaximumTexts(const TMaximumResult &R) {
  if (!R.Ok()) return MaximumClearedTexts();
  TMaximumTexts T;
  T.Extrem = R.Sign < 1 ? "Minimum" : "Maximum";
  T.Extremum = Format("%1.5f", R.Extremum);
  T.Location = Format("%1.5f", R.Location);
  if (R.FwhmOk()) T.Fwhm = Format("%1.5f", R.Fwhm);
  T.Memo = {"Residuals", "---------"};
  for (double Res : R.Residuals)
    T.Memo.push_back(Format("%1.3g", Res));
  T.Memo.push_back(Format("RMS residuals: %1.3g", R.RmsResiduals));
  return T;
}

#define ORVA_UNIT "UPlotGeometry"
#include "display/UPlotGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/UErrors.h"
#include "core/UFormat.h"

namespace {

// Pixel and index results stay far inside int32 so that the drawing code may add margins.
constexpr double kIntLimit = 1.0e9;

int32_t ClampToInt(double V) {
  if (!(V > -kIntLimit)) return static_cast<int32_t>(-kIntLimit);
  if (V > kIntLimit) return static_cast<int32_t>(kIntLimit);
  return static_cast<int32_t>(V);
}

int32_t FloorLog2(double V) { return ClampToInt(std::floor(std::log2(V))); }

// Extremes of Y[From ... To] folded into Mn and Mx with "V < Mn ? V : Mn" (and the mirror for Mx):
// a NaN sample is passed over, a NaN start stays. The fold is done in independent lanes, since a
// column of a long spectrum at fit zoom holds thousands of samples and the scan is what costs.
void FoldMinMax(const double *Y, int64_t From, int64_t To, double &Mn, double &Mx) {
  int64_t k = From;
#if defined(__SSE2__)
  if (To - From >= 16) {
    // minpd/maxpd pick their first operand only when it is strictly smaller/larger: the scalar rule.
    __m128d N[4], X[4];
    for (int j = 0; j < 4; ++j) {
      N[j] = _mm_set1_pd(Mn);
      X[j] = _mm_set1_pd(Mx);
    }
    for (; k + 7 <= To; k += 8) {
      for (int j = 0; j < 4; ++j) {
        const __m128d A = _mm_loadu_pd(Y + k + 2 * j);
        N[j] = _mm_min_pd(A, N[j]);
        X[j] = _mm_max_pd(A, X[j]);
      }
    }
    double L[16];
    for (int j = 0; j < 4; ++j) {
      _mm_storeu_pd(L + 2 * j, N[j]);
      _mm_storeu_pd(L + 8 + 2 * j, X[j]);
    }
    for (int j = 0; j < 8; ++j) {
      Mn = L[j] < Mn ? L[j] : Mn;
      Mx = L[8 + j] > Mx ? L[8 + j] : Mx;
    }
  }
#endif
  for (; k <= To; ++k) {
    const double V = Y[k];
    Mn = V < Mn ? V : Mn;
    Mx = V > Mx ? V : Mx;
  }
}

} // namespace

int32_t RoundEven(double V) {
  // nearbyint follows the default rounding mode, which is to nearest with halves to even.
  return ClampToInt(std::nearbyint(V));
}

TPlotMapping TPlotMapping::Make(double HZoom, double PlotMin, double PlotMax, int32_t PlotH) {
  TPlotMapping M;
  M.HZoom = HZoom;
  M.PlotMax = PlotMax;
  M.PlotH = PlotH;
  M.Slope = PlotH / (PlotMin - PlotMax);
  return M;
}

int32_t TPlotMapping::IndToScr(int64_t i) const { return ClampToInt(std::floor(i * HZoom + 1e-10)); }

int32_t TPlotMapping::ScrToInd(int64_t x) const { return ClampToInt(std::floor(x / HZoom + 1e-10)); }

int32_t TPlotMapping::VToScreen(double y) const {
  const double V = std::nearbyint((y - PlotMax) * Slope);
  if (!(V > 0)) return 0;
  if (V > PlotH) return PlotH;
  return static_cast<int32_t>(V);
}

TYExtent FiniteExtent(const double *Y, int64_t N) {
  TYExtent E;
  double Mn = std::numeric_limits<double>::infinity(), Mx = -Mn;
  int64_t Bad = 0;
  for (int64_t i = 0; i < N; ++i) {
    const double V = Y[i];
    if (!std::isfinite(V)) {
      ++Bad;
      continue;
    }
    Mn = V < Mn ? V : Mn;
    Mx = V > Mx ? V : Mx;
  }
  E.NonFinite = Bad;
  E.Any = Bad < N;
  if (E.Any) {
    E.Min = Mn;
    E.Max = Mx;
  }
  return E;
}

TYExtent ShownYExtent(double MinVal, double MaxVal, const double *Y, int64_t N) {
  TYExtent E = FiniteExtent(Y, N);
  if (std::isfinite(MinVal) && std::isfinite(MaxVal) && MaxVal >= MinVal) {
    E.Min = MinVal;
    E.Max = MaxVal;
    E.Any = true;
  }
  return E;
}

namespace {
// Below this a plot height divided by the range is no longer a finite slope.
constexpr double kMinYRange = 1e-290;
// Below this relative width the scale cannot tell its ends apart once they are scaled.
constexpr double kMinRelYRange = 1e-12;
} // namespace

bool UsableYRange(double PlotMin, double PlotMax) {
  if (!(std::isfinite(PlotMin) && std::isfinite(PlotMax) && PlotMax > PlotMin)) return false;
  const double R = PlotMax - PlotMin;
  if (!std::isfinite(R) || R < kMinYRange) return false;
  return R >= kMinRelYRange * std::max(std::fabs(PlotMin), std::fabs(PlotMax));
}

void InitialYRange(double MinVal, double MaxVal, double &PlotMin, double &PlotMax) {
  const double Range = MaxVal - MinVal;
  ORVA_ASSERT(Range >= 0);
  ORVA_ASSERT(std::isfinite(MinVal) && std::isfinite(MaxVal));
  constexpr double Big = std::numeric_limits<double>::max();
  double Mid = (MaxVal + MinVal) / 2;
  if (!std::isfinite(Mid)) Mid = MaxVal / 2 + MinVal / 2;
  if (Range == 0) {
    PlotMin = Mid - 0.5;
    PlotMax = Mid + 0.5;
  } else if (std::isfinite(Range)) {
    PlotMin = Mid - 0.55 * Range;
    PlotMax = Mid + 0.55 * Range;
  } else {
    // Values of both signs near the end of the double range: the widest range whose width is
    // still a number, the outermost values on the edges.
    const double Half = std::min(1.1 * (MaxVal / 2 - MinVal / 2), 0.4 * Big);
    PlotMin = Mid - Half;
    PlotMax = Mid + Half;
  }
  PlotMin = std::max(PlotMin, -Big);
  PlotMax = std::min(PlotMax, Big);
  if (!UsableYRange(PlotMin, PlotMax)) {
    // A constant far from 1, or a range below the resolution of its values: a margin that
    // grows with the values, so that the scale can tell its ends apart.
    const double W = std::max(std::fabs(Mid) * 1e-6, 1e6 * kMinYRange);
    PlotMin = std::max(Mid - W, -Big);
    PlotMax = std::min(Mid + W, Big);
  }
}

double InitialHZoom(int32_t AreaWidth, int32_t BorderL, int32_t BorderR, int32_t N) {
  ORVA_ASSERT(N > 0);
  const double Z = static_cast<double>(AreaWidth - BorderL - BorderR) / N;
  return Z > 0.5 ? 1.0 : Z;
}

double ZoomInValue(double Z, int32_t N) {
  ORVA_ASSERT(N > 0 && Z > 0);
  const int32_t E = std::min({ClampToInt(std::ceil(std::log2(Z + 1e-10))), FloorLog2(100000.0 / N), 2});
  return std::ldexp(1.0, E);
}

double ZoomOutValue(double Z, int32_t N, int32_t W) {
  ORVA_ASSERT(N > 0 && Z > 0);
  // A window narrower than the border leaves the -4 limit alone.
  const int32_t Fit = W > 0 ? FloorLog2(static_cast<double>(W) / N) : -4;
  const int32_t E = std::max(FloorLog2(Z - 1e-10), std::min(Fit, -4));
  return std::ldexp(1.0, E);
}

double FitZoomValue(int32_t W, int32_t N) {
  ORVA_ASSERT(N > 0);
  return static_cast<double>(W) / N;
}

double RubberBandZoomValue(double Z, int32_t N) {
  ORVA_ASSERT(N > 0 && Z > 0);
  const double L = std::log2(Z);
  int32_t E = ClampToInt(std::ceil(std::log2(Z + 1e-10)));
  // A band that would gain less than 1.5 times goes one step further.
  if (E - L < 0.585) ++E;
  E = std::min({E, FloorLog2(100000.0 / N), 2});
  return std::ldexp(1.0, E);
}

bool TypedZoomValue(std::string_view Text, int32_t N, double &Z) {
  ORVA_ASSERT(N > 0);
  double V;
  if (!TryStrToFloat(Text, V) || !std::isfinite(V)) return false;
  Z = std::clamp(std::fabs(V), 50.0 / N, 100000.0 / N);
  return true;
}

bool BoxesApply(bool BoxesChosen, double HZoom) {
  return BoxesChosen && HZoom >= 2 && HZoom == std::floor(HZoom);
}

double NiceStep(double D) {
  const double P = std::pow(10.0, std::floor(std::log10(D)));
  const double M = D / P;
  if (M < 1.5) return P;
  if (M < 3) return 2 * P;
  if (M < 7) return 5 * P;
  return 10 * P;
}

std::string TScaleTicks::Label(int32_t k) const {
  std::string S = Format("%*.*f", 1, Decimals, U(k));
  if (Factor != 1) S += Format("e%d", Exponent);
  return S;
}

TScaleTicks ScaleTicks(double Lo, double Hi, int32_t S, int32_t L) {
  ORVA_ASSERT(Hi > Lo);
  ORVA_ASSERT(S > 0);
  TScaleTicks T;
  if (!std::isfinite(Lo) || !std::isfinite(Hi)) return T;
  T.Exponent = ClampToInt(std::floor(std::log10(std::max(std::fabs(Lo), std::fabs(Hi)))));
  if (T.Exponent > 4 || T.Exponent < -1) T.Factor = std::pow(10.0, T.Exponent);
  const double ULo = Lo / T.Factor;
  const double UHi = Hi / T.Factor;
  // Ends closer than the rounding of the scaling: nothing to label between them.
  if (!(UHi > ULo) || !std::isfinite(UHi - ULo)) return T;
  int32_t N = RoundEven(static_cast<double>(L) / S);
  if (N < 3) N = 2;
  T.Step = NiceStep((UHi - ULo) / (N - 1));
  if (!(T.Step > 0) || !std::isfinite(T.Step)) return T;
  T.First = std::ceil(ULo / T.Step) * T.Step;
  const double Last = std::floor(UHi / T.Step) * T.Step;
  const double Count = (Last - T.First) / T.Step;
  // The step is at least two thirds of a tick interval, so a scale holds about N ticks; more
  // would only come from rounding at the end of the double range.
  T.Count = Last > T.First && Count < 4.0 * N ? RoundEven(Count) + 1 : 0;
  T.Decimals = std::max(0, -ClampToInt(std::floor(std::log10(T.Step))));
  return T;
}

TXScaleKind XScaleKind(const double *X, int32_t N, double &Lo, double &Hi) {
  if (N <= 0) return TXScaleKind::None;
  const double A = X[0], B = X[N - 1];
  if (!std::isfinite(A) || !std::isfinite(B)) return TXScaleKind::None;
  if (A != B) {
    Lo = std::min(A, B);
    Hi = std::max(A, B);
    return TXScaleKind::Ticks;
  }
  for (int32_t i = 1; i < N - 1; ++i)
    if (X[i] != A) return TXScaleKind::None;
  Lo = Hi = A;
  return TXScaleKind::Single;
}

int32_t XLabelLeft(int32_t Px, int32_t W, int32_t PlotW) {
  int32_t Lx = Px - W / 2;
  if (Lx < 2)
    Lx = 2;
  else if (Lx + W > PlotW - 3)
    Lx = PlotW - W - 3;
  return Lx;
}

int32_t YLabelCentre(int32_t Y, int32_t H, int32_t PlotH) {
  // Not std::clamp: a plot lower than two label heights keeps the top limit.
  if (Y > PlotH - H) Y = PlotH - H;
  if (Y < H) Y = H;
  return Y;
}

TXPositionFinder::TXPositionFinder(const double *X, int32_t N, bool Equidistant)
    : pX(X), pN(N), pEquidistant(Equidistant) {
  ORVA_ASSERT(N > 0);
  if (N > 1 && X[N - 1] < X[0]) pSign = -1;
}

double TXPositionFinder::Position(double XValue) {
  if (pN == 1) return 0;
  if (pEquidistant) {
    const double Dx = (pX[pN - 1] - pX[0]) / (pN - 1);
    return (XValue - pX[0]) / Dx;
  }
  // On a decreasing axis everything is done on -x, which increases.
  const double V = pSign * XValue;
  int32_t i;
  if (V < At(0))
    i = 0;
  else if (V >= At(pN - 1))
    i = pN - 1;
  else {
    // Hunt from the previous result; each step moves one sample, so a scale costs O(N) at most
    // and the search ends even on an axis that is not monotonic (or holds NaN).
    i = std::clamp(pLast, 0, pN - 2);
    if (At(i) <= V) {
      while (i + 1 < pN - 1 && At(i + 1) <= V)
        ++i;
    } else {
      while (i > 0 && At(i) > V)
        --i;
    }
  }
  i = std::clamp(i, 0, pN - 1);
  pLast = i;
  if (i < pN - 1) return i + (V - At(i)) / (At(i + 1) - At(i));
  return pN - 1;
}

void FindSampleRuns(const double *Y, int32_t N, std::vector<TSampleRun> &Out) {
  Out.clear();
  int32_t i = 0;
  while (i < N) {
    while (i < N && std::isnan(Y[i]))
      ++i;
    if (i >= N) break;
    const int32_t From = i;
    while (i < N && !std::isnan(Y[i]))
      ++i;
    Out.push_back({From, i - 1});
  }
}

void TSampleRuns::Build(const double *Y, int32_t N, uint64_t Version) {
  FindSampleRuns(Y, N, pRuns);
  pY = Y;
  pN = N;
  pVersion = Version;
  pBuilt = true;
}

void SampleStepVertices(const TPlotMapping &M, const double *Y, int32_t i, std::vector<TPixelPoint> &Out) {
  const int32_t X0 = M.IndToScr(i);
  const int32_t X1 = std::max(X0, M.IndToScr(static_cast<int64_t>(i) + 1) - 1);
  const int32_t V = M.VToScreen(Y[i]);
  Out.assign({{X0, V}, {X1, V}});
}

void LineVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                  std::vector<TPixelPoint> &Out) {
  Out.clear();
  if (To < From) return;
  Out.reserve(static_cast<size_t>(To - From) + 1);
  for (int32_t i = From; i <= To; ++i)
    Out.push_back({M.IndToScr(i), M.VToScreen(Y[i])});
}

void TBlockExtremes::Build(const double *Y, int64_t N, uint64_t Version) {
  const int64_t NB = N / Block; // whole blocks; the rest is always scanned
  pMn.resize(static_cast<size_t>(NB));
  pMx.resize(static_cast<size_t>(NB));
  for (int64_t b = 0; b < NB; ++b) {
    // From the infinities, so that a block of NaNs changes nothing when it is folded in.
    double Mn = std::numeric_limits<double>::infinity(), Mx = -Mn;
    FoldMinMax(Y, b * Block, b * Block + Block - 1, Mn, Mx);
    pMn[static_cast<size_t>(b)] = Mn;
    pMx[static_cast<size_t>(b)] = Mx;
  }
  pY = Y;
  pN = N;
  pVersion = Version;
  pBuilt = true;
}

void TBlockExtremes::Fold(const double *Y, int64_t From, int64_t To, double &Mn, double &Mx) const {
  if (To < From) return;
  ORVA_ASSERT(Y == pY && From >= 0 && To < pN);
  const int64_t B0 = (From + Block - 1) / Block; // first whole block inside the range
  const int64_t B1 = (To + 1) / Block;           // one past the last
  if (B1 <= B0) {
    FoldMinMax(Y, From, To, Mn, Mx);
    return;
  }
  FoldMinMax(Y, From, B0 * Block - 1, Mn, Mx);
  for (int64_t b = B0; b < B1; ++b) {
    const double A = pMn[static_cast<size_t>(b)], Z = pMx[static_cast<size_t>(b)];
    Mn = A < Mn ? A : Mn;
    Mx = Z > Mx ? Z : Mx;
  }
  FoldMinMax(Y, B1 * Block, To, Mn, Mx);
}

void DecimatedVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                       std::vector<TPixelPoint> &Out, const TBlockExtremes *Extremes) {
  Out.clear();
  if (To < From) return;
  int32_t i = From;
  while (i <= To) {
    const int32_t X = M.IndToScr(i);
    // The last sample of column X: a guess from the zoom, corrected with the mapping itself so
    // that the columns are exactly those IndToScr gives.
    int64_t J = static_cast<int64_t>(std::floor((X + 1) / M.HZoom));
    J = std::clamp<int64_t>(J, i, To);
    while (J > i && M.IndToScr(J) > X)
      --J;
    while (J < To && M.IndToScr(J + 1) == X)
      ++J;
    const double First = Y[i];
    double Mn = First, Mx = First;
    if (Extremes)
      Extremes->Fold(Y, i + 1, J, Mn, Mx);
    else
      FoldMinMax(Y, i + 1, J, Mn, Mx);
    const int32_t PFirst = M.VToScreen(First);
    Out.push_back({X, PFirst});
    if (J > i) {
      // VToScreen falls as y rises, so the extremes of the values are the extremes of the pixels.
      const int32_t PTop = M.VToScreen(Mx);
      const int32_t PBottom = M.VToScreen(Mn);
      const int32_t PLast = M.VToScreen(Y[J]);
      // Visit both extremes, the one the column ends on last, and drop repeated vertices.
      const int32_t Order[3] = {PLast == PTop ? PBottom : PTop, PLast == PTop ? PTop : PBottom, PLast};
      for (int32_t P : Order)
        if (Out.back().Y != P) Out.push_back({X, P});
    }
    i = static_cast<int32_t>(J + 1);
  }
}

void CurveVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                   std::vector<TPixelPoint> &Out, const TBlockExtremes *Extremes) {
  if (M.HZoom < 1)
    DecimatedVertices(M, Y, From, To, Out, Extremes);
  else
    LineVertices(M, Y, From, To, Out);
}

void BoxVertices(const TPlotMapping &M, const double *Y, int32_t N, std::vector<TPixelPoint> &Out) {
  BoxVertices(M, Y, 0, N - 1, Out);
}

void BoxVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                 std::vector<TPixelPoint> &Out) {
  Out.clear();
  if (To < From) return;
  Out.reserve(2 * (static_cast<size_t>(To - From) + 1));
  for (int32_t i = From; i <= To; ++i) {
    // The first sample starts where IndToScr puts it, the others on the rounded product.
    const int32_t X = i == 0 ? M.IndToScr(0) : RoundEven(i * M.HZoom);
    const int32_t V = M.VToScreen(Y[i]);
    Out.push_back({X, V});
    Out.push_back({RoundEven(X + M.HZoom), V});
  }
}

namespace {

void RasterSegment(uint32_t *Bits, int32_t Stride, int32_t W, int32_t H, TPixelPoint A, TPixelPoint B,
                   uint32_t Colour) {
  if (A.X == B.X) {
    // The common case of a reduced curve: a vertical run.
    if (A.X < 0 || A.X >= W) return;
    const int32_t Y0 = std::max(0, std::min(A.Y, B.Y));
    const int32_t Y1 = std::min(H - 1, std::max(A.Y, B.Y));
    uint32_t *P = Bits + static_cast<int64_t>(Y0) * Stride + A.X;
    for (int32_t y = Y0; y <= Y1; ++y, P += Stride)
      *P = Colour;
    return;
  }
  if ((A.X < 0 && B.X < 0) || (A.X >= W && B.X >= W) || (A.Y < 0 && B.Y < 0) || (A.Y >= H && B.Y >= H))
    return;
  const int64_t Dx = std::abs(static_cast<int64_t>(B.X) - A.X);
  const int64_t Dy = -std::abs(static_cast<int64_t>(B.Y) - A.Y);
  const int32_t Sx = A.X < B.X ? 1 : -1;
  const int32_t Sy = A.Y < B.Y ? 1 : -1;
  int64_t Err = Dx + Dy;
  int32_t X = A.X, Y = A.Y;
  for (;;) {
    if (X >= 0 && X < W && Y >= 0 && Y < H) Bits[static_cast<int64_t>(Y) * Stride + X] = Colour;
    if (X == B.X && Y == B.Y) break;
    const int64_t E2 = 2 * Err;
    if (E2 >= Dy) {
      Err += Dy;
      X += Sx;
    }
    if (E2 <= Dx) {
      Err += Dx;
      Y += Sy;
    }
  }
}

} // namespace

void RasterPolyline(uint32_t *Bits, int32_t Stride, int32_t W, int32_t H, const TPixelPoint *V, size_t N,
                    uint32_t Colour) {
  for (size_t k = 0; k + 1 < N; ++k)
    RasterSegment(Bits, Stride, W, H, V[k], V[k + 1], Colour);
}

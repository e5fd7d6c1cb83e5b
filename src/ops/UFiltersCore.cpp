#define ORVA_UNIT "UFiltersCore"
#include "ops/UFiltersCore.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/USpec32.h"

namespace {

uint64_t Magnitude(int64_t V) { return V < 0 ? 0 - static_cast<uint64_t>(V) : static_cast<uint64_t>(V); }

TOpOutcome Result(const TSpec32 &S, const char *History, TDblArr1D Y) {
  TOpResult R;
  R.History = History;
  R.Equidistant = S.Equidistant();
  R.X = S.DataX;
  R.Y = std::move(Y);
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

// The longest transform the Gauss filter makes: 2^30 complex values are 16 GiB already.
constexpr size_t MaxFftLength = size_t{1} << 30;

} // namespace

TDblArr1D MovingAverage(const TDblArr1D &Y, int64_t HWidth) {
  const size_t N = Y.size();
  TDblArr1D R(N, 0.0);
  const uint64_t H = Magnitude(HWidth);
  if (H >= N || 2 * H + 1 > N) return R; // no window fits: every point keeps the fill value
  const size_t W = 2 * H + 1;
  // A running sum, but taken afresh every W points, so that rounding cannot pile up along a long
  // spectrum while the cost stays about 2n additions whatever the width. An infinite value would
  // leave undefined values behind in the running sum after it leaves the window: such data are
  // summed window by window.
  bool Finite = true;
  for (double V : Y)
    Finite = Finite && std::isfinite(V);
  double Sum = 0;
  for (size_t j = H; j + H < N; ++j) {
    if (!Finite || (j - H) % W == 0) {
      Sum = 0;
      for (size_t i = j - H; i <= j + H; ++i)
        Sum += Y[i];
    } else {
      Sum += Y[j + H] - Y[j - H - 1];
    }
    R[j] = Sum / static_cast<double>(W);
  }
  return R;
}

TOpOutcome OpMovingAverage(const TSpec32 &S, int64_t HWidth) {
  return Result(S, "-fma", MovingAverage(S.DataY, HWidth));
}

TDblArr1D GaussFilter(const TDblArr1D &Y, double Dx, double FWHM, TFftExtension Ext) {
  const size_t N0 = Y.size();
  if (N0 == 0) return {};
  size_t N = 1;
  while (N < N0)
    N *= 2;
  if (N > MaxFftLength) OrvaRaise("Gauss filter: too many points");
  const double Sigma = std::fabs(FWHM) / std::sqrt(8.0 * std::log(2.0));

  // The sampled Gaussian in wrap-around order: k[i] and k[N - i] for the distance i. The sum
  // takes every distance twice, the middle one (i = N/2, stored once) included, so the kernel
  // sums to 1 less that element's weight, which is nothing for any Gaussian narrower than the
  // transform.
  std::vector<double> K(2 * N, 0.0);
  K[0] = 1.0;
  double Sum = 1.0;
  for (size_t i = 1; i <= N / 2; ++i) {
    double U = static_cast<double>(i) * Dx / Sigma;
    double G = Sigma > 0 ? std::exp(-0.5 * U * U) : 0.0; // a zero width leaves the data alone
    K[2 * i] = G;
    K[2 * (N - i)] = G;
    Sum += 2 * G;
  }
  for (size_t i = 0; i < N; ++i)
    K[2 * i] /= Sum;

  std::vector<double> D(2 * N, 0.0);
  for (size_t i = 0; i < N0; ++i)
    D[2 * i] = Y[i];
  if (N > N0) {
    const double Nd = static_cast<double>(N);
    // The line from y[n-1] (reached at i = n-1) to y[0] (reached at i = N), so that the padded
    // sequence closes on itself.
    const double Slope = (Y[0] - Y[N0 - 1]) / static_cast<double>(N - N0 + 1);
    for (size_t i = N0; i < N; ++i) {
      switch (Ext) {
      case TFftExtension::Zero:
        D[2 * i] = 0.0;
        break;
      case TFftExtension::One:
        D[2 * i] = 1.0;
        break;
      case TFftExtension::Linear:
        D[2 * i] = static_cast<double>(i) * Slope + (Y[0] - Nd * Slope);
        break;
      }
    }
  }

  const int Nn = static_cast<int>(N);
  Fourier1D(Nn, D, +1);
  Fourier1D(Nn, K, +1);
  for (size_t i = 0; i < N; ++i) {
    const double A = D[2 * i], B = D[2 * i + 1], C = K[2 * i], E = K[2 * i + 1];
    D[2 * i] = A * C - B * E;
    D[2 * i + 1] = A * E + B * C;
  }
  Fourier1D(Nn, D, -1);
  TDblArr1D R(N0);
  for (size_t i = 0; i < N0; ++i)
    R[i] = D[2 * i] / static_cast<double>(N);
  return R;
}

TOpOutcome OpGaussFilter(const TSpec32 &S, double FWHM, TFftExtension Ext) {
  if (!S.Equidistant()) return OpRefused(" not equidistant in x");
  const size_t N = S.DataX.size();
  const double Dx = N > 1 ? (S.DataX[N - 1] - S.DataX[0]) / static_cast<double>(N - 1) : 0.0;
  return Result(S, "-gauss", GaussFilter(S.DataY, Dx, FWHM, Ext));
}

TSavGolWeights SavGolWeights(int64_t Order, int64_t Left, int64_t Right) {
  const uint64_t M = Magnitude(Order), NL = Magnitude(Left), NR = Magnitude(Right);
  // Counts the routine's integers cannot hold are bad arguments to it like any other.
  if (M > INT_MAX || NL > INT_MAX / 2 || NR > INT_MAX / 2) OrvaRaise("dsavgol: bad arguments");
  TSavGolWeights W;
  W.NL = static_cast<int>(NL);
  W.NR = static_cast<int>(NR);
  const int Np = W.NL + W.NR + 1;
  W.C = SavGolKernel(Np, W.NL, W.NR, 0, static_cast<int>(M));
  return W;
}

namespace {

// The transform length for a circular correlation of N points with Np (<= N) weights: the data
// extended periodically by Np - 1 points, in a power of 2 so that nothing wraps.
size_t SavGolFftLength(size_t N, size_t Np) {
  size_t M = 1;
  while (M < N + Np - 1)
    M *= 2;
  return M;
}

constexpr size_t MaxSavGolFft = size_t{1} << 29; // Fourier1D's limit

} // namespace

bool SavGolUsesFft(size_t N, size_t Np) {
  if (N < 2) return false;
  const size_t M = SavGolFftLength(N, std::min(Np, N));
  if (M > MaxSavGolFft) return false;
  // Measured (bench/ops_filters): the direct sum costs about 0.45 ns per multiply-add, the
  // transform about 1.35 ns per M log2 M; the switch lies near Np = 3 (M/N) log2 M, about 120
  // weights at 2^19 points.
  double Log = 0;
  for (size_t K = M; K > 1; K /= 2)
    Log += 1;
  return 0.45 * static_cast<double>(N) * static_cast<double>(Np) > 1.35 * static_cast<double>(M) * Log;
}

TDblArr1D SavGolFilter(const TDblArr1D &Y, const TSavGolWeights &W) {
  const size_t Np = static_cast<size_t>(W.NL) + static_cast<size_t>(W.NR) + 1;
  if (SavGolUsesFft(Y.size(), Np)) {
    bool Finite = true;
    for (double V : Y)
      Finite = Finite && std::isfinite(V);
    if (Finite) return SavGolFilterFft(Y, W);
  }
  return SavGolFilterDirect(Y, W);
}

TDblArr1D SavGolFilterFft(const TDblArr1D &Y, const TSavGolWeights &W) {
  const size_t NpAll = static_cast<size_t>(W.NL) + static_cast<size_t>(W.NR) + 1;
  ORVA_ASSERT(W.C.size() == NpAll);
  const size_t N = Y.size();
  if (N == 0) return {};
  // The weights by offset from the first one they apply to. A window longer than the spectrum
  // meets the same points several times: those weights are added up first (offsets mod n).
  size_t Np = NpAll;
  size_t Left = static_cast<size_t>(W.NL) % N; // the window starts Left points before j
  TDblArr1D C = W.C;
  if (NpAll > N) {
    Np = N;
    C.assign(N, 0.0);
    // Weight i falls on y[j - nl + i]; counted from j - Left that is offset (i - nl + Left) mod n.
    for (size_t i = 0; i < NpAll; ++i) {
      const int64_t Off =
          (static_cast<int64_t>(i) - W.NL + static_cast<int64_t>(Left)) % static_cast<int64_t>(N);
      C[static_cast<size_t>(Off < 0 ? Off + static_cast<int64_t>(N) : Off)] += W.C[i];
    }
  }
  const size_t M = SavGolFftLength(N, Np);
  if (M > MaxSavGolFft) OrvaRaise("Savitzky-Golay filter: too many points");
  // The mean is taken out and put back with the weights' sum: the transform's rounding is
  // relative to the values it carries, so the smoothed variation keeps its digits on a large
  // continuum level.
  double Mean = 0;
  for (double V : Y)
    Mean += V;
  Mean /= static_cast<double>(N);
  double CSum = 0;
  for (double V : C)
    CSum += V;
  // One complex transform carries both real sequences: the periodically extended data
  // e[i] = y[(i - Left) mod n] - mean, i = 0 ... n + Np - 2, as the real part and the reversed
  // weights k[m] = c[Np - 1 - m] as the imaginary part. Then y'[j] = sum_m k[m] e[j + Np - 1 - m],
  // the convolution at j + Np - 1, which no wrap of length M reaches.
  // The transform's rounding is relative to the whole vector, so the weights are scaled (by a
  // power of 2, exactly) to the size of the data first: otherwise the data's rounding would
  // swamp the far smaller weights.
  std::vector<double> Z(2 * M, 0.0);
  double DataNorm = 0, WeightNorm = 0;
  for (size_t i = 0; i < N + Np - 1; ++i) {
    size_t Q = (i + N - Left) % N;
    Z[2 * i] = Y[Q] - Mean;
    DataNorm += Z[2 * i] * Z[2 * i];
  }
  for (double V : C)
    WeightNorm += V * V;
  const int Shift =
      DataNorm > 0 && WeightNorm > 0 && std::isfinite(DataNorm / WeightNorm)
          ? static_cast<int>(std::clamp(std::lround(0.5 * std::log2(DataNorm / WeightNorm)), -500L, 500L))
          : 0;
  for (size_t m = 0; m < Np; ++m)
    Z[2 * m + 1] = std::ldexp(C[Np - 1 - m], Shift);
  const int Mi = static_cast<int>(M);
  Fourier1D(Mi, Z, +1);
  // Split: E(k) = (Z(k) + conj Z(M-k))/2, K(k) = (Z(k) - conj Z(M-k))/(2i); the product E K
  // for k and M - k at once (both are needed before either is overwritten).
  for (size_t k = 0; k <= M / 2; ++k) {
    const size_t L = (M - k) % M;
    const double Ar = Z[2 * k], Ai = Z[2 * k + 1], Br = Z[2 * L], Bi = Z[2 * L + 1];
    // E(k) = ((Ar + Br) + i (Ai - Bi))/2; K(k) = ((Ai + Bi) - i (Ar - Br))/2.
    const double Er = 0.5 * (Ar + Br), Ei = 0.5 * (Ai - Bi);
    const double Kr = 0.5 * (Ai + Bi), Ki = -0.5 * (Ar - Br);
    const double Pr = Er * Kr - Ei * Ki, Pi = Er * Ki + Ei * Kr;
    // At M - k: E and K are the conjugates of their values at k, and so is their product.
    Z[2 * k] = Pr;
    Z[2 * k + 1] = Pi;
    Z[2 * L] = Pr;
    Z[2 * L + 1] = -Pi;
  }
  Fourier1D(Mi, Z, -1);
  TDblArr1D R(N);
  const double Scale = std::ldexp(1.0 / static_cast<double>(M), -Shift);
  for (size_t j = 0; j < N; ++j)
    R[j] = Z[2 * (j + Np - 1)] * Scale + Mean * CSum;
  return R;
}

TDblArr1D SavGolFilterDirect(const TDblArr1D &Y, const TSavGolWeights &W) {
  ORVA_ASSERT(W.C.size() == static_cast<size_t>(W.NL) + static_cast<size_t>(W.NR) + 1);
  const int64_t N = static_cast<int64_t>(Y.size());
  TDblArr1D R(Y.size(), 0.0);
  const int64_t NL = W.NL, NR = W.NR, Np = NL + NR + 1;
  const double *C = W.C.data();
  for (int64_t j = 0; j < N; ++j) {
    double Sum = 0;
    if (j >= NL && j + NR < N) {
      const double *P = Y.data() + (j - NL);
      for (int64_t i = 0; i < Np; ++i)
        Sum += C[i] * P[i];
    } else {
      // Past an end the spectrum continues from the other end; a true modulo, so that a window
      // longer than the spectrum wraps as often as it must instead of reading outside it.
      for (int64_t i = 0; i < Np; ++i) {
        int64_t Q = (j - NL + i) % N;
        if (Q < 0) Q += N;
        Sum += C[i] * Y[static_cast<size_t>(Q)];
      }
    }
    R[static_cast<size_t>(j)] = Sum;
  }
  return R;
}

TOpOutcome OpSavGolFilter(const TSpec32 &S, const TSavGolWeights &W) {
  if (!S.Equidistant()) return OpRefused(" is not equidistant", true);
  return Result(S, "-savgol", SavGolFilter(S.DataY, W));
}

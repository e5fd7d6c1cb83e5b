#include "ops/UOpUnaryCore.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Units/UNumRec.h"
#include "core/USpec32.h"
#include "ops/UGaussNoise.h"

namespace {

TOpResult Like(const TSpec32 &S, const char *History) {
  TOpResult R;
  R.History = History;
  R.Equidistant = S.Equidistant();
  return R;
}

TOpOutcome One(TOpResult R) {
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

TDblArr1D IndexAxis(int N) {
  TDblArr1D X(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    X[static_cast<size_t>(i)] = i;
  return X;
}

} // namespace

TOpOutcome OpNoise(const TSpec32 &S, double Sigma) {
  TOpResult R = Like(S, "-noise");
  R.X = S.DataX;
  R.Y.resize(S.DataY.size());
  for (size_t i = 0; i < S.DataY.size(); ++i)
    R.Y[i] = S.DataY[i] + GaussNoise(Sigma, 0);
  return One(std::move(R));
}

TOpOutcome OpFourier(const TSpec32 &S, const TFftOutputs &Out) {
  const int N = S.Size();
  if (!IsPowerOf2(N)) return OpRefused(": Size not a power of 2");
  if (!S.Equidistant()) return OpRefused(": x-values not equidistant");
  TOpOutcome O;
  if (!(Out.Modulus || Out.SqrModulus || Out.Real || Out.Imaginary || Out.Phase)) return O;
  std::vector<double> C(2 * static_cast<size_t>(N), 0.0);
  for (int k = 0; k < N; ++k)
    C[2 * static_cast<size_t>(k)] = S.DataY[static_cast<size_t>(k)];
  if (Out.Hann && N > 1)
    for (int k = 0; k < N; ++k)
      C[2 * static_cast<size_t>(k)] *= (1.0 - std::cos(2.0 * std::numbers::pi * k / (N - 1))) / 2.0;
  Fourier1D(N, C, +1); // once per spectrum, shared by all outputs
  const TDblArr1D X = IndexAxis(N);
  auto Make = [&](const char *History, auto Value) {
    TOpResult R = Like(S, History);
    R.X = X;
    R.Y.resize(static_cast<size_t>(N));
    for (int k = 0; k < N; ++k)
      R.Y[static_cast<size_t>(k)] = Value(C[2 * k], C[2 * k + 1]);
    O.Results.push_back(std::move(R));
  };
  if (Out.Modulus) Make("-fftmod", [](double Re, double Im) { return std::sqrt(Re * Re + Im * Im); });
  if (Out.SqrModulus) Make("-fftpower", [](double Re, double Im) { return Re * Re + Im * Im; });
  if (Out.Real) Make("-fftreal", [](double Re, double) { return Re; });
  if (Out.Imaginary) Make("-fftimag", [](double, double Im) { return Im; });
  if (Out.Phase)
    Make("-fftphase", [](double Re, double Im) { return std::atan2(Im, Re) * 180.0 / std::numbers::pi; });
  return O;
}

TDblArr1D StructureFunctionDirect(const TDblArr1D &Y) {
  const size_t N = Y.size();
  TDblArr1D D(N, 0.0);
  for (size_t Tau = 0; Tau < N; ++Tau) {
    double Sum = 0;
    for (size_t j = 0; j < N; ++j) {
      double Diff = Y[(j + Tau) % N] - Y[j];
      Sum += Diff * Diff;
    }
    D[Tau] = Sum / static_cast<double>(N);
  }
  return D;
}

namespace {

// The lags the structure function sums directly. Through the Fourier transform a value is the
// difference of two sums of the size of the variance, so it carries an error of about 1e-16 of
// the variance; at small lags the structure function of smooth data is far smaller than that
// (1e-7 of it at lag 1 for 2^16 points of a slow sine), and the FFT value keeps only a few
// digits. Summing these lags directly costs DirectLags passes over the data.
constexpr size_t DirectLags = 64;

// (1/n) sum_j (y[(j + tau) mod n] - y[j])^2: the squares summed in blocks of 256 in double
// (four running sums, so that the additions need not wait for each other), the blocks' sums in
// long double, so that the rounding does not grow with n.
double StructureLag(const TDblArr1D &Y, size_t Tau) {
  const size_t N = Y.size();
  const double *P = Y.data();
  long double Total = 0;
  // Terms j = 0 ... n - tau - 1 pair y[j + tau] with y[j]; the last tau pair y[j + tau - n].
  // Partner[j - From] is the point paired with y[j].
  auto Run = [&](size_t From, size_t To, const double *Partner) {
    constexpr size_t Block = 256;
    for (size_t B = From; B < To; B += Block) {
      const size_t E = std::min(B + Block, To);
      double S0 = 0, S1 = 0, S2 = 0, S3 = 0;
      size_t j = B;
      for (; j + 4 <= E; j += 4) {
        const double *A = Partner + (j - From);
        const double D0 = A[0] - P[j], D1 = A[1] - P[j + 1], D2 = A[2] - P[j + 2], D3 = A[3] - P[j + 3];
        S0 += D0 * D0;
        S1 += D1 * D1;
        S2 += D2 * D2;
        S3 += D3 * D3;
      }
      for (; j < E; ++j) {
        const double D = Partner[j - From] - P[j];
        S0 += D * D;
      }
      Total += (S0 + S1) + (S2 + S3);
    }
  };
  Run(0, N - Tau, P + Tau);
  Run(N - Tau, N, P);
  return static_cast<double>(Total / static_cast<long double>(N));
}

} // namespace

TDblArr1D StructureFunction(const TDblArr1D &Y) {
  const size_t N = Y.size();
  if (N <= 2 * DirectLags) return StructureFunctionDirect(Y);
  // D(tau) = (2 S - 2 R(tau)) / n with S = sum c^2 and R the circular autocorrelation of
  // c = y - mean (the structure function does not change with a constant, and centring keeps
  // the difference of the two large terms accurate). R comes from the linear autocorrelation
  // L of the zero-padded sequence: R(tau) = L(tau) + L(n - tau).
  double Mean = 0;
  for (double V : Y)
    Mean += V;
  Mean /= static_cast<double>(N);
  int M = 1;
  while (static_cast<size_t>(M) < 2 * N)
    M *= 2;
  std::vector<double> C(2 * static_cast<size_t>(M), 0.0);
  double S = 0;
  for (size_t j = 0; j < N; ++j) {
    double V = Y[j] - Mean;
    C[2 * j] = V;
    S += V * V;
  }
  Fourier1D(M, C, +1);
  for (int k = 0; k < M; ++k) {
    double Re = C[2 * k], Im = C[2 * k + 1];
    C[2 * k] = Re * Re + Im * Im;
    C[2 * k + 1] = 0;
  }
  Fourier1D(M, C, -1);
  auto L = [&](size_t K) { return C[2 * K] / M; };
  TDblArr1D D(N, 0.0);
  for (size_t Tau = 1; Tau < N; ++Tau) {
    double R = L(Tau) + L(N - Tau);
    double V = 2.0 * (S - R) / static_cast<double>(N);
    D[Tau] = V > 0 ? V : 0.0; // never negative; rounding could make it so
  }
  // The small lags directly; the function is symmetric, D(n - tau) = D(tau), so they serve
  // at both ends.
  for (size_t Tau = 1; Tau <= DirectLags; ++Tau) {
    D[Tau] = StructureLag(Y, Tau);
    D[N - Tau] = D[Tau];
  }
  return D;
}

TOpOutcome OpStructure(const TSpec32 &S) {
  if (!S.Equidistant()) return OpRefused(": x-values not equidistant");
  TOpResult R = Like(S, "-struct");
  R.X = S.DataX;
  R.Y = StructureFunction(S.DataY);
  return One(std::move(R));
}

#include "ops/UOpUnaryCore.h"

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

TDblArr1D StructureFunction(const TDblArr1D &Y) {
  const size_t N = Y.size();
  if (N <= 64) return StructureFunctionDirect(Y);
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
  return D;
}

TOpOutcome OpStructure(const TSpec32 &S) {
  if (!S.Equidistant()) return OpRefused(": x-values not equidistant");
  TOpResult R = Like(S, "-struct");
  R.X = S.DataX;
  R.Y = StructureFunction(S.DataY);
  return One(std::move(R));
}

// Operations on large spectra: the structure function through the FFT against the literal
// n^2 sum (same data, same run), and the times of cross-correlation and spline resampling
// of 2^20 points.
#include <benchmark/benchmark.h>
#include <cmath>

#include "core/USpec32.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpGridCore.h"
#include "ops/UOpUnaryCore.h"

namespace {

TDblArr1D Signal(int N) {
  TDblArr1D Y(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    Y[i] = 1.0 + 0.3 * std::sin(i * 0.01) + 0.05 * std::cos(i * 1.3);
  return Y;
}

void MakeSpec(TSpec32 &S, int N, double Shift) {
  S.NewSpec("b.dat", N, 0, nullptr);
  for (int i = 0; i < N; ++i) {
    S.DataX[i] = 4000 + 0.01 * i;
    S.DataY[i] = std::exp(-0.5 * std::pow((i - N / 2 - Shift) / 30.0, 2)) + 0.01 * std::sin(i * 0.7);
  }
  S.FinishFromArrays();
}

void BM_StructureFft(benchmark::State &St) {
  TDblArr1D Y = Signal(static_cast<int>(St.range(0)));
  for (auto _ : St)
    benchmark::DoNotOptimize(StructureFunction(Y).data());
}

void BM_StructureDirect(benchmark::State &St) {
  TDblArr1D Y = Signal(static_cast<int>(St.range(0)));
  for (auto _ : St)
    benchmark::DoNotOptimize(StructureFunctionDirect(Y).data());
}

void BM_CrossCorrelate(benchmark::State &St) {
  TSpec32 A, B;
  MakeSpec(A, 1 << 20, 3);
  MakeSpec(B, 1 << 20, 0);
  for (auto _ : St)
    benchmark::DoNotOptimize(OpPair(A, B, TPairOp::CrossCorrelate).Results[0].Y.data());
}

void BM_ResampleSpline(benchmark::State &St) {
  TSpec32 S;
  MakeSpec(S, 1 << 20, 0);
  const double Last = S.DataX.back();
  // A slightly finer grid of about 2^20 points inside the spectrum's range.
  TResampleGrid G = MakeResampleGrid(4000.005, Last - 0.02, 0.01 * 0.9999);
  if (!OpResampleSpline(S, G, true, 0, 0).Ok()) St.SkipWithError("grid refused");
  for (auto _ : St)
    benchmark::DoNotOptimize(OpResampleSpline(S, G, true, 0, 0).Results[0].Y.data());
  St.counters["points"] = G.Count;
}

BENCHMARK(BM_StructureFft)->Arg(1 << 16)->Arg(1 << 18)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StructureDirect)->Arg(1 << 16)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CrossCorrelate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleSpline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

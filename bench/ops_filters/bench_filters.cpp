// The Gauss filter (three transforms of 2^20 points) and the Savitzky-Golay filter (21 weights)
// of a 2^20-point spectrum, beside the plain 21-point moving average (the same number of
// multiply-adds per point as the Savitzky-Golay filter) as the peer measured in the same run;
// and the Savitzky-Golay filter's two ways (direct sum, transform) on 2^19 points across the
// window length where the program switches from one to the other.
#include <benchmark/benchmark.h>
#include <cmath>

#include "core/USpec32.h"
#include "ops/UFiltersCore.h"

namespace {

constexpr int N = 1 << 20;

void MakeSpec(TSpec32 &S) {
  S.NewSpec("b.dat", N, 0, nullptr);
  for (int i = 0; i < N; ++i) {
    S.DataX[i] = 4000 + 0.01 * i;
    S.DataY[i] = 1.0 + 0.3 * std::sin(i * 0.001) + 0.05 * std::cos(i * 1.3);
  }
  S.FinishFromArrays();
}

void BM_GaussFilter(benchmark::State &St) {
  TSpec32 S;
  MakeSpec(S);
  for (auto _ : St)
    benchmark::DoNotOptimize(OpGaussFilter(S, 0.05, TFftExtension::Linear).Results[0].Y.data());
  St.counters["points"] = N;
}

void BM_SavGol21(benchmark::State &St) {
  TSpec32 S;
  MakeSpec(S);
  for (auto _ : St) {
    // The weights are part of what Apply does, once per command.
    TSavGolWeights W = SavGolWeights(4, 10, 10);
    benchmark::DoNotOptimize(OpSavGolFilter(S, W).Results[0].Y.data());
  }
  St.counters["points"] = N;
}

// The peer: 21 multiply-adds per point in a plain loop.
void BM_Plain21PointSum(benchmark::State &St) {
  TSpec32 S;
  MakeSpec(S);
  const double C = 1.0 / 21;
  for (auto _ : St) {
    TDblArr1D R(N, 0.0);
    for (int j = 10; j < N - 10; ++j) {
      double Sum = 0;
      for (int i = -10; i <= 10; ++i)
        Sum += C * S.DataY[j + i];
      R[j] = Sum;
    }
    benchmark::DoNotOptimize(R.data());
  }
}

void BM_MovingAverage21(benchmark::State &St) {
  TSpec32 S;
  MakeSpec(S);
  for (auto _ : St)
    benchmark::DoNotOptimize(OpMovingAverage(S, 10).Results[0].Y.data());
}

// Savitzky-Golay of 2^19 points with a symmetric window of 2h + 1 weights (order 4), the direct
// sum against the transform, around the switch-over (the weights outside the loop: only the
// smoothing is timed).
constexpr int N19 = 1 << 19;

TDblArr1D Smooth19() {
  TDblArr1D Y(N19);
  for (int i = 0; i < N19; ++i)
    Y[i] = 1.0 + 0.3 * std::sin(i * 0.001) + 0.05 * std::cos(i * 1.3);
  return Y;
}

void BM_SavGolDirect19(benchmark::State &St) {
  const TDblArr1D Y = Smooth19();
  const TSavGolWeights W = SavGolWeights(4, St.range(0), St.range(0));
  for (auto _ : St)
    benchmark::DoNotOptimize(SavGolFilterDirect(Y, W).data());
  St.counters["weights"] = static_cast<double>(W.C.size());
}

void BM_SavGolFft19(benchmark::State &St) {
  const TDblArr1D Y = Smooth19();
  const TSavGolWeights W = SavGolWeights(4, St.range(0), St.range(0));
  for (auto _ : St)
    benchmark::DoNotOptimize(SavGolFilterFft(Y, W).data());
  St.counters["weights"] = static_cast<double>(W.C.size());
  St.counters["uses_fft"] = SavGolUsesFft(Y.size(), W.C.size());
}

// The whole Apply of the 4000/4000 case on 2^19 points (weights, then the filter the program
// chooses), beside its direct sum.
void BM_SavGol4000Apply(benchmark::State &St) {
  TSpec32 S;
  S.NewSpec("b.dat", N19, 0, nullptr);
  S.DataY = Smooth19();
  for (int i = 0; i < N19; ++i)
    S.DataX[i] = 4000 + 0.01 * i;
  S.FinishFromArrays();
  for (auto _ : St) {
    TSavGolWeights W = SavGolWeights(4, 4000, 4000);
    benchmark::DoNotOptimize(OpSavGolFilter(S, W).Results[0].Y.data());
  }
}

} // namespace

BENCHMARK(BM_SavGolDirect19)
    ->Arg(10)
    ->Arg(25)
    ->Arg(40)
    ->Arg(50)
    ->Arg(64)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavGolDirect19)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SavGolFft19)
    ->Arg(10)
    ->Arg(25)
    ->Arg(40)
    ->Arg(50)
    ->Arg(64)
    ->Arg(100)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavGol4000Apply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GaussFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavGol21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain21PointSum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingAverage21)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

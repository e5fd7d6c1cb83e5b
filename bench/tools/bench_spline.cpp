// The smoothing spline: the whole rho iteration through 10^5 and 10^6 knots (the time per knot
// should stay about the same: every step is linear in the number of knots), with the number of
// solves it took; one slider step of the smoothing spline tool on a spectrum of 10^5 samples
// (knots from the marks, the iteration, the spline at every sample; the panel needs it well
// under 50 ms). Peer in the same run: the natural cubic spline of the numeric unit (one
// tridiagonal solve) through the same knots.
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Units/UNumRec.h"
#include "core/USpec32.h"
#include "tools/USmoothSpline.h"
#include "tools/UToolSmoothSplineCore.h"

namespace {

// A continuum at 1e4 with a slow wave and pseudo-noise of about 1 %, x in steps of 0.01 A.
struct TData {
  std::vector<double> X, Y;
  explicit TData(int N) : X(static_cast<size_t>(N)), Y(static_cast<size_t>(N)) {
    uint64_t State = 1;
    for (int i = 0; i < N; ++i) {
      State = State * 6364136223846793005ULL + 1442695040888963407ULL;
      const double Noise = static_cast<double>(State >> 11) / 9007199254740992.0 - 0.5;
      X[static_cast<size_t>(i)] = 4000 + 0.01 * i;
      Y[static_cast<size_t>(i)] = 1e4 * (1 + 0.1 * std::sin(i * 1e-4) + 0.02 * Noise);
    }
  }
};

// S = the expected residual sum of the noise (variance of a uniform 2 % spread: 0.02^2/12).
void BM_SmoothSplineIteration(benchmark::State &St) {
  const TData D(static_cast<int>(St.range(0)));
  const double S = (200.0 * 200.0 / 12) * static_cast<double>(D.X.size());
  int Steps = 0;
  // With fresh work storage per call when range(1) is 0, with storage kept between calls
  // otherwise (as the tool keeps it): on this platform first touching the pages of fresh
  // storage costs about as much as the solves.
  TSmoothSplineWork Work;
  for (auto _ : St) {
    TSmoothSplineFit F = SmoothSpline(D.X, D.Y, {}, S, St.range(1) ? &Work : nullptr);
    Steps = F.Steps;
    benchmark::DoNotOptimize(F.A.data());
  }
  St.counters["solves"] = Steps;
  St.counters["ns_per_knot"] =
      benchmark::Counter(static_cast<double>(St.range(0)) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  St.counters["ns_per_knot_solve"] =
      benchmark::Counter(static_cast<double>(St.range(0) * Steps) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_NaturalSplinePeer(benchmark::State &St) {
  const TData D(static_cast<int>(St.range(0)));
  const int N = static_cast<int>(D.X.size());
  for (auto _ : St) {
    TDblArr1D Y2 = SplineSetup(D.X, D.Y, N, 1e35, 1e35);
    benchmark::DoNotOptimize(Y2.data());
  }
}

// One slider step: marks over two thirds of the spectrum in blocks (method 2 bridges the gaps),
// the maximum parameter guessed with "1%", the slider moving through 40 positions.
void BM_SliderStep(benchmark::State &St) {
  const int N = static_cast<int>(St.range(0));
  const TData D(N);
  TSpec32 S;
  S.NewSpec("bench", N, 0, nullptr);
  S.DataX = D.X;
  S.DataY = D.Y;
  TSmoothSplineData Tool(N);
  for (int i = 0; i + 2000 <= N; i += 3000)
    Tool.MarkInterval(i, i + 1999, true);
  Tool.Guess = GuessMaxParameter(S.DataY, *Tool.SelProf(), TSplineTolerance::One).Guess;
  int Pos = 0, Steps = 0;
  for (auto _ : St) {
    Pos = Pos % 320 + 8;
    TSplineOutcome O = Tool.Compute(S, TSplineMethod::Method2, SplineParam(Pos, Tool.Guess));
    Steps += O.Steps;
    benchmark::DoNotOptimize(Tool.SmoProf()->data());
  }
  St.counters["solves"] = benchmark::Counter(Steps, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_SmoothSplineIteration)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 1})
    ->MinTime(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaturalSplinePeer)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SliderStep)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

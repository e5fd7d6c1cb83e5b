// The statistics tool on a selection of 10^6 samples: the whole computation (every result and
// the panel's texts, which includes copying the selection for the median), against a peer in
// the same run: one plain pass that sums y and x*y over the same samples.
#include <benchmark/benchmark.h>
#include <cmath>
#include <span>
#include <vector>

#include "tools/UToolStatisticsCore.h"

namespace {

struct TData {
  std::vector<double> X, Y;
  explicit TData(int N) : X(static_cast<size_t>(N)), Y(static_cast<size_t>(N)) {
    for (int i = 0; i < N; ++i) {
      X[static_cast<size_t>(i)] = 4000 + 0.01 * i;
      Y[static_cast<size_t>(i)] = 1.0 + 0.3 * std::sin(i * 0.01) + 0.05 * std::cos(i * 1.3);
    }
  }
};

void BM_Statistics(benchmark::State &St) {
  const TData D(static_cast<int>(St.range(0)));
  for (auto _ : St) {
    TStatisticsResult R = ToolStatistics(D.X, D.Y, 0, true);
    TStatisticsTexts T = StatisticsTexts(R);
    benchmark::DoNotOptimize(T.Median.data());
  }
}

void BM_PlainSums(benchmark::State &St) {
  const TData D(static_cast<int>(St.range(0)));
  for (auto _ : St) {
    double S = 0, Sxy = 0;
    for (size_t i = 0; i < D.Y.size(); ++i) {
      S += D.Y[i];
      Sxy += D.X[i] * D.Y[i];
    }
    benchmark::DoNotOptimize(S);
    benchmark::DoNotOptimize(Sxy);
  }
}

} // namespace

BENCHMARK(BM_Statistics)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSums)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// The Gauss/Voigt profile fit on a noisy line of 200 samples: the Voigt fit (Levenberg-Marquardt
// with the Voigt function evaluated by integration) against the Gaussian fit of the same line
// in the same run, and both against the peer of one Voigt evaluation per sample (the cost of
// drawing the fitted profile once). The extremum tool on the same samples for scale.
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

#include "Units/UVoigt.h"
#include "ops/UGaussNoise.h"
#include "tools/UToolMaximumCore.h"
#include "tools/UToolProfileFitCore.h"

namespace {

struct TLine {
  std::vector<double> X, Y;
  TLine() {
    SeedShuffledUniform(5);
    const double H0 = Voigt(0.0, 0.5);
    for (int I = 0; I < 200; ++I) {
      const double X0 = 6500.0 + 0.1 * I;
      X.push_back(X0);
      Y.push_back(1.0 - 0.4 * Voigt((X0 - 6510.03) / 0.6, 0.5) / H0 + GaussNoise(0.005, 0.0));
    }
  }
};

void BM_ProfileFit(benchmark::State &St) {
  const TLine L;
  const TProfileShape Shape = St.range(0) ? TProfileShape::Voigt : TProfileShape::Gauss;
  for (auto _ : St) {
    TProfileFitResult R = ToolProfileFit(L.X, L.Y, Shape, TFitBaseline::Fixed(1.0));
    benchmark::DoNotOptimize(R.Centre);
  }
}

void BM_VoigtPerSample(benchmark::State &St) {
  const TLine L;
  for (auto _ : St) {
    double S = 0;
    for (double X : L.X)
      S += Voigt((X - 6510.03) / 0.6, 0.5);
    benchmark::DoNotOptimize(S);
  }
}

void BM_Extremum(benchmark::State &St) {
  const TLine L;
  for (auto _ : St) {
    TMaximumResult R = ToolMaximum(L.X, L.Y, 4, 5);
    benchmark::DoNotOptimize(R.Location);
  }
}

BENCHMARK(BM_ProfileFit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoigtPerSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extremum)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

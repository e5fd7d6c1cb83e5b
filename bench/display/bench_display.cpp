// Rendering a plot window: FillBitmap at fit zoom in a 1000-pixel plot for spectra of 1000 to
// 10^6 points, each reported as a ratio to the 1000-point case of the same run, and the reduced
// drawing against the plain polyline through every sample.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "core/USpec32.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"

namespace {

struct TScene {
  std::unique_ptr<QMainWindow> Frame;
  std::unique_ptr<TProfileWindows> Host;
  std::map<int, std::unique_ptr<TSpec32>> Specs;
};
TScene *Scene = nullptr;

// A noisy absorption-line spectrum of N points; one window per size, kept for the whole run.
TProfile32 &Window(int N) {
  auto &S = Scene->Specs[N];
  if (!S) {
    S = std::make_unique<TSpec32>();
    S->SetFileName("bench-" + std::to_string(N));
    S->SetSize(N);
    std::mt19937 Rng(N);
    std::normal_distribution<double> Noise(0, 0.02);
    for (int i = 0; i < N; ++i) {
      const double T = static_cast<double>(i) / N;
      S->DataX[i] = 6000 + 1000 * T;
      S->DataY[i] = 1 - 0.6 * std::exp(-std::pow((T - 0.5) / 0.01, 2)) + Noise(Rng);
    }
    S->FinishFromArrays();
    Scene->Host->ShowProfile(*S, 1100, 500);
  }
  TProfile32 &P = *Scene->Host->Profile(*S);
  // Fit zoom for a plot 1000 pixels wide.
  P.SetHZoom(1000.0 / N);
  return P;
}

void BM_FillBitmap(benchmark::State &St) {
  TProfile32 &P = Window(static_cast<int>(St.range(0)));
  P.SetDecimation(true);
  for (auto _ : St)
    P.FillBitmap();
  St.counters["plotW"] = P.PlotW();
}

void BM_FillBitmapPlain(benchmark::State &St) {
  TProfile32 &P = Window(static_cast<int>(St.range(0)));
  P.SetDecimation(false);
  for (auto _ : St)
    P.FillBitmap();
  P.SetDecimation(true);
}

BENCHMARK(BM_FillBitmap)
    ->Arg(1000)
    ->Arg(1 << 10)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1 << 20)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillBitmapPlain)->Arg(1000)->Arg(100000)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

// Prints the console table, then each case as a ratio to its 1000-point baseline.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &Runs) override {
    ConsoleReporter::ReportRuns(Runs);
    // With repetitions the median stands for the case (it is reported after the single runs).
    for (const Run &R : Runs)
      if (R.run_type == Run::RT_Iteration ||
          (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median"))
        pTimes[R.run_name.str()] = R.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double Base = pTimes["BM_FillBitmap/1000"];
    std::printf("\nRatios to BM_FillBitmap/1000 (%.1f us):\n", Base);
    for (const auto &[Name, T] : pTimes)
      std::printf("  %-28s %8.2f\n", Name.c_str(), T / Base);
    const double B10 = pTimes["BM_FillBitmap/1024"];
    if (B10 > 0)
      std::printf("FillBitmap 2^20 / 2^10: %.2f (goal <= 3)\n", pTimes["BM_FillBitmap/1048576"] / B10);
    const double Plain = pTimes["BM_FillBitmapPlain/1048576"];
    if (Plain > 0)
      std::printf("2^20 points: plain polyline / reduced: %.1f\n", Plain / pTimes["BM_FillBitmap/1048576"]);
  }

private:
  std::map<std::string, double> pTimes;
};

} // namespace

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication App(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  TScene S;
  S.Frame = std::make_unique<QMainWindow>();
  auto *Area = new QMdiArea;
  S.Frame->setCentralWidget(Area);
  S.Frame->resize(1300, 700);
  S.Frame->show();
  S.Host = std::make_unique<TProfileWindows>(Area, TProfileHooks{});
  Scene = &S;
  benchmark::Initialize(&argc, argv);
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  for (auto &[N, Spec] : S.Specs)
    S.Host->CloseProfile(*Spec);
  S.Host.reset();
  S.Frame.reset();
  Scene = nullptr;
  return 0;
}

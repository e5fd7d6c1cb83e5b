// Showing a tool while plot windows are open: the statistics tool and Tool 2 (which gives
// every window an overlay) shown and hidden with 1, 10 and 50 windows of 10^4 points each,
// reported as a ratio to the one-window case of the same run.
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
#include <string>
#include <vector>

#include "core/USpec32.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "tools/UToolHost.h"
#include "tools/UToolPanels.h"
#include "tools/UToolTemplate.h"

namespace {

struct TScene {
  std::unique_ptr<QMainWindow> Frame;
  QMdiArea *Area = nullptr;
  std::unique_ptr<TProfileWindows> Windows;
  std::unique_ptr<TToolHost> Host;
  std::vector<std::unique_ptr<TSpec32>> Specs;
};
TScene *Scene = nullptr;

// Opens windows until N are open, or closes the extra ones.
void OpenWindows(int N) {
  while (static_cast<int>(Scene->Specs.size()) > N) {
    Scene->Windows->CloseProfile(*Scene->Specs.back());
    Scene->Specs.pop_back();
  }
  while (static_cast<int>(Scene->Specs.size()) < N) {
    auto S = std::make_unique<TSpec32>();
    const int K = static_cast<int>(Scene->Specs.size());
    S->SetFileName("bench-" + std::to_string(K));
    const int Points = 10000;
    S->SetSize(Points);
    for (int i = 0; i < Points; ++i) {
      S->DataX[i] = 6000 + 0.1 * i;
      S->DataY[i] = 1 - 0.5 * std::exp(-std::pow((i - 5000.0) / 40.0, 2));
    }
    S->FinishFromArrays();
    Scene->Windows->ShowProfile(*S, 600, 400);
    Scene->Specs.push_back(std::move(S));
  }
}

void ShowAndHide(benchmark::State &St, TToolKind Kind) {
  OpenWindows(static_cast<int>(St.range(0)));
  TToolTemplate *T = Scene->Host->Tool(Kind);
  for (auto _ : St) {
    Scene->Host->ShowTool(T);
    Scene->Host->HideActiveTool();
  }
  St.counters["windows"] = static_cast<double>(St.range(0));
  // Every window is met on each show.
  Scene->Host->ShowTool(T);
  St.counters["connected"] = T->GetCount();
  Scene->Host->HideActiveTool();
}

void BM_ShowStatistics(benchmark::State &St) { ShowAndHide(St, TToolKind::Statistics); }
void BM_ShowTool2(benchmark::State &St) {
  // Tool 2 draws nothing until "Smooth"; shown, it connects and creates data per window.
  ShowAndHide(St, TToolKind::Tool2);
}
BENCHMARK(BM_ShowStatistics)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowTool2)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);

class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &Runs) override {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run &R : Runs)
      if (R.run_type == Run::RT_Iteration ||
          (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median"))
        pTimes[R.run_name.str()] = R.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double Base = pTimes["BM_ShowStatistics/1"];
    std::printf("\nRatios to BM_ShowStatistics/1 (%.1f us):\n", Base);
    for (const auto &[Name, T] : pTimes)
      std::printf("  %-24s %8.2f\n", Name.c_str(), T / Base);
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
  S.Area = new QMdiArea;
  S.Frame->setCentralWidget(S.Area);
  S.Frame->resize(1300, 800);
  S.Frame->show();
  TToolHostEnv E;
  E.Main = S.Frame.get();
  E.Area = S.Area;
  S.Host = std::make_unique<TToolHost>(E);
  InstallToolPanels(*S.Host, S.Frame.get());
  TProfileHooks H;
  H.ConnectTool = [&S](TProfile32 &W) { S.Host->ConnectTool(W); };
  H.DisconnectTool = [&S](TProfile32 &W) { S.Host->DisconnectTool(W); };
  S.Windows = std::make_unique<TProfileWindows>(S.Area, H);
  Scene = &S;
  benchmark::Initialize(&argc, argv);
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  S.Host->HideActiveTool();
  OpenWindows(0);
  S.Windows.reset();
  S.Host.reset();
  S.Frame.reset();
  Scene = nullptr;
  return 0;
}

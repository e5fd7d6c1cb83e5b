// The file list's cost: opening many small FITS files through AddFiles against reading the
// same files with ReadFits alone (BM_AddFiles / BM_ReadFitsOnly is the figure), and one
// evaluation of the idle-time command enabling with 10,000 open spectra.
#include <QApplication>
#include <QMdiArea>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/USpec32.h"
#include "gui/UFakeUiServices.h"
#include "shell/UFileList.h"
#include "shell/UMain.h"
#include "shell/UProfileHost.h"

namespace fs = std::filesystem;

namespace {

constexpr int NFiles = 1000;

// 1000 FITS files of 500 points, written once per run.
const std::vector<std::string> &FitsFiles() {
  static std::vector<std::string> Names;
  if (!Names.empty()) return Names;
  const fs::path Dir = fs::temp_directory_path() / ("orva-bench-shell-" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  TSpec32 S;
  S.NewSpec("b", 500, 0, nullptr);
  for (int i = 0; i < 500; ++i)
    S.DataY[i] = 1000 + (i % 37);
  S.FitsBess().SetCRVAL1(6500);
  S.FitsBess().SetCDELT1(0.1);
  for (int f = 0; f < NFiles; ++f) {
    const std::string N = (Dir / ("s" + std::to_string(f) + ".fits")).string();
    S.FitsBess().SaveToFile_32(N, S.DataY);
    Names.push_back(N);
  }
  return Names;
}

void BM_ReadFitsOnly(benchmark::State &State) {
  const auto &Names = FitsFiles();
  // The spectra stay alive until all are read, as they do in the list; they are freed with
  // the clock stopped, as the list is.
  for (auto _ : State) {
    std::vector<std::unique_ptr<TSpec32>> Kept;
    Kept.reserve(Names.size());
    for (const std::string &N : Names) {
      auto S = std::make_unique<TSpec32>();
      S->ReadFits(N);
      benchmark::DoNotOptimize(S->MaxVal());
      Kept.push_back(std::move(S));
    }
    State.PauseTiming();
    Kept.clear();
    State.ResumeTiming();
  }
  State.SetItemsProcessed(State.iterations() * NFiles);
}
BENCHMARK(BM_ReadFitsOnly)->Unit(benchmark::kMillisecond);

void BM_AddFiles(benchmark::State &State) {
  const auto &Names = FitsFiles();
  TScopedFakeUi Fake;
  QMdiArea Area;
  TPlaceholderProfiles Host(&Area);
  for (auto _ : State) {
    State.PauseTiming();
    auto List = std::make_unique<TFileList>(Host);
    State.ResumeTiming();
    List->AddFiles(Names, 1, 2, 0);
    benchmark::DoNotOptimize(List->Count());
    State.PauseTiming();
    List.reset();
    State.ResumeTiming();
  }
  State.SetItemsProcessed(State.iterations() * NFiles);
}
BENCHMARK(BM_AddFiles)->Unit(benchmark::kMillisecond);

// Arg: 0 = one row selected, 1 = all rows selected.
void BM_IdleEnabling10000(benchmark::State &State) {
  TScopedFakeUi Fake;
  const fs::path Dir = fs::temp_directory_path();
  TMainOptions O;
  O.ExeName = (Dir / "orvalumetrix-bench").string();
  O.IniFileName = (Dir / ("orvalumetrix-bench-" + std::to_string(::getpid()) + ".ini")).string();
  TMain Main(O);
  TFileList &L = Main.FileList();
  for (int i = 0; i < 10000; ++i)
    L.NewFile("", "", 10, i, nullptr);
  if (State.range(0) == 0)
    L.ListView->topLevelItem(5000)->setSelected(true);
  else
    L.ListView->selectAll();
  for (auto _ : State)
    Main.ActionList1Update();
  Fake->UnsavedAnswers.push_back(true);
  Main.close();
  std::error_code Ec;
  fs::remove(O.IniFileName, Ec);
}
BENCHMARK(BM_IdleEnabling10000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication App(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!FitsFiles().empty()) fs::remove_all(fs::path(FitsFiles().front()).parent_path());
  return 0;
}

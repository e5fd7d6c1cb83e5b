// Timings of the numerical routines, with peers measured in the same run:
//  - Fourier1D of 2^20 points against fftw_execute on a ready in-place plan of the same size
//    (the ratio is printed at the end; our goal is at most 1.5);
//  - FitPolynomial of degree 4 through 10^5 points and SavGolKernel for np = 101;
//  - IndexSort and SelectKth against std::sort and std::nth_element.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fftw3.h>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Units/UNumRec.h"
#include "Units/UVoigt.h"

namespace {

std::vector<double> RandomData(size_t N, unsigned Seed) {
  std::mt19937 Gen(Seed);
  std::uniform_real_distribution<double> U(-1.0, 1.0);
  std::vector<double> V(N);
  for (double &X : V)
    X = U(Gen);
  return V;
}

void BM_Fourier1D(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> Input = RandomData(2 * static_cast<size_t>(N), 1);
  std::vector<double> Data = Input;
  Fourier1D(N, Data, 1); // the plan is made on first use; keep that out of the timing
  for (auto _ : State) {
    State.PauseTiming();
    std::memcpy(Data.data(), Input.data(), Input.size() * sizeof(double));
    State.ResumeTiming();
    Fourier1D(N, Data, 1);
    benchmark::DoNotOptimize(Data.data());
  }
}

// The peer: one in-place plan on FFTW's own aligned storage, executed as it stands.
void FftwPeer(benchmark::State &State, unsigned Flags) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> Input = RandomData(2 * static_cast<size_t>(N), 1);
  auto *Buf = static_cast<fftw_complex *>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(N)));
  fftw_plan Plan = fftw_plan_dft_1d(N, Buf, Buf, FFTW_BACKWARD, Flags);
  for (auto _ : State) {
    State.PauseTiming();
    std::memcpy(Buf, Input.data(), Input.size() * sizeof(double));
    State.ResumeTiming();
    fftw_execute(Plan);
    benchmark::DoNotOptimize(Buf);
  }
  fftw_destroy_plan(Plan);
  fftw_free(Buf);
}

void BM_FftwEstimatePlan(benchmark::State &State) { FftwPeer(State, FFTW_ESTIMATE); }
void BM_FftwMeasurePlan(benchmark::State &State) { FftwPeer(State, FFTW_MEASURE); }

void BM_FitPolynomial(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  std::vector<double> X(static_cast<size_t>(N)), Y(static_cast<size_t>(N));
  std::mt19937 Gen(3);
  std::normal_distribution<double> Noise(0.0, 0.01);
  for (int I = 0; I < N; ++I) {
    X[I] = 6500.0 + 100.0 * I / (N - 1);
    double T = (X[I] - 6550.0) / 50.0;
    Y[I] = 1.0 + 0.2 * T - 0.3 * T * T + 0.05 * T * T * T + 0.01 * T * T * T * T + Noise(Gen);
  }
  double C[5];
  for (auto _ : State) {
    FitPolynomial(X, Y, N, 4, C);
    benchmark::DoNotOptimize(C);
  }
}

void BM_SavGolKernel(benchmark::State &State) {
  const int Np = static_cast<int>(State.range(0)), M = static_cast<int>(State.range(1));
  const int Nl = (Np - 1) / 2, Nr = Np - 1 - Nl;
  for (auto _ : State) {
    TDblArr1D C = SavGolKernel(Np, Nl, Nr, 0, M);
    benchmark::DoNotOptimize(C.data());
  }
}

void BM_IndexSort(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> V = RandomData(static_cast<size_t>(N), 5);
  for (auto _ : State) {
    std::vector<int> Idx = IndexSort(N, V);
    benchmark::DoNotOptimize(Idx.data());
  }
}

void BM_StdSortIndex(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> V = RandomData(static_cast<size_t>(N), 5);
  for (auto _ : State) {
    std::vector<int> Idx(static_cast<size_t>(N));
    std::iota(Idx.begin(), Idx.end(), 0);
    std::sort(Idx.begin(), Idx.end(), [&](int A, int B) { return V[A] < V[B]; });
    benchmark::DoNotOptimize(Idx.data());
  }
}

void BM_SelectKth(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> V = RandomData(static_cast<size_t>(N), 6);
  std::vector<double> W;
  for (auto _ : State) {
    State.PauseTiming();
    W = V;
    State.ResumeTiming();
    benchmark::DoNotOptimize(SelectKth(N / 2 + 1, N, W));
  }
}

void BM_StdNthElement(benchmark::State &State) {
  const int N = static_cast<int>(State.range(0));
  const std::vector<double> V = RandomData(static_cast<size_t>(N), 6);
  std::vector<double> W;
  for (auto _ : State) {
    State.PauseTiming();
    W = V;
    State.ResumeTiming();
    std::nth_element(W.begin(), W.begin() + N / 2, W.end());
    benchmark::DoNotOptimize(W[static_cast<size_t>(N / 2)]);
  }
}

void BM_Voigt(benchmark::State &State) {
  double A = State.range(0) / 10.0, X = 0.0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Voigt(X, A));
    X = X < 8.0 ? X + 0.37 : 0.1;
  }
}

constexpr int64_t kFftN = 1 << 20;

BENCHMARK(BM_Fourier1D)->Arg(1 << 10)->Arg(1 << 14)->Arg(kFftN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FftwEstimatePlan)->Arg(1 << 10)->Arg(1 << 14)->Arg(kFftN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FftwMeasurePlan)->Arg(kFftN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitPolynomial)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavGolKernel)->Args({101, 2})->Args({101, 4})->Args({101, 8})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexSort)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSortIndex)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectKth)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdNthElement)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Voigt)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// Console output as usual, plus the ratios of our routines to their peers at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  // With --benchmark_repetitions the medians are used, else the single run. CPU time is compared
  // (all of it is single-threaded work), which keeps other load on the machine out of the ratio.
  void ReportRuns(const std::vector<Run> &Runs) override {
    for (const Run &R : Runs) {
      if (R.error_occurred) continue;
      std::string Name = R.run_name.str();
      bool Median = R.run_type == Run::RT_Aggregate && R.aggregate_name == "median";
      if (Median || (R.run_type == Run::RT_Iteration && !pHasMedian.count(Name))) {
        pTimes[Name] = R.GetAdjustedCPUTime();
        if (Median) pHasMedian.insert(Name);
      }
    }
    ConsoleReporter::ReportRuns(Runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto Ratio = [&](const std::string &Ours, const std::string &Peer, const char *What) {
      auto A = pTimes.find(Ours), B = pTimes.find(Peer);
      if (A == pTimes.end() || B == pTimes.end() || B->second <= 0) return;
      std::printf("ratio (CPU time) %-58s %6.2f  (%s)\n", (Ours + " / " + Peer).c_str(),
                  A->second / B->second, What);
    };
    std::printf("\n");
    for (const char *N : {"1024", "16384", "1048576"})
      Ratio(std::string("BM_Fourier1D/") + N, std::string("BM_FftwEstimatePlan/") + N, "goal <= 1.5 at 2^20");
    Ratio("BM_Fourier1D/1048576", "BM_FftwMeasurePlan/1048576", "peer planned with FFTW_MEASURE");
    Ratio("BM_IndexSort/100000", "BM_StdSortIndex/100000", "index quicksort vs std::sort");
    Ratio("BM_SelectKth/100000", "BM_StdNthElement/100000", "quick-select vs std::nth_element");
  }

private:
  std::map<std::string, double> pTimes;
  std::set<std::string> pHasMedian;
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  return 0;
}

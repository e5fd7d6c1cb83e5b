// Concatenation of 16 segments of 10^5 points (step 0.01, 1000 points of overlap each, listed
// in a shuffled order), against its peer: appending the same 16 arrays one after the other,
// which is the least any joining of them costs.
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

#include "core/USpec32.h"
#include "ops/UOpConcatCore.h"

namespace {

constexpr int Segments = 16;
constexpr int Points = 100000;
constexpr int Overlap = 1000;

std::vector<std::unique_ptr<TSpec32>> MakeSegments() {
  std::vector<std::unique_ptr<TSpec32>> Specs;
  for (int k = 0; k < Segments; ++k) {
    auto S = std::make_unique<TSpec32>();
    S->NewSpec("seg.dat", Points, 0, nullptr);
    const int First = k * (Points - Overlap);
    for (int i = 0; i < Points; ++i) {
      const int G = First + i;
      S->DataX[static_cast<size_t>(i)] = 4000 + 0.01 * G;
      S->DataY[static_cast<size_t>(i)] = 1.0 + 0.2 * std::sin(G * 1e-3) + 0.01 * k;
    }
    S->FinishFromArrays();
    Specs.push_back(std::move(S));
  }
  return Specs;
}

// A fixed shuffle, so that the sort by last x has work to do.
std::vector<const TSpec32 *> Shuffled(const std::vector<std::unique_ptr<TSpec32>> &Specs) {
  std::vector<const TSpec32 *> P;
  for (int k = 0; k < Segments; ++k)
    P.push_back(Specs[static_cast<size_t>((k * 7 + 3) % Segments)].get());
  return P;
}

void BM_Concatenate(benchmark::State &St) {
  auto Specs = MakeSegments();
  std::vector<const TSpec32 *> P = Shuffled(Specs);
  if (!OpConcatenate(P, TConcatMethod::Weighted, 90).Ok()) St.SkipWithError("refused");
  size_t N = 0;
  for (auto _ : St) {
    TOpOutcome O = OpConcatenate(P, TConcatMethod::Weighted, 90);
    N = O.Results[0].X.size();
    benchmark::DoNotOptimize(O.Results[0].Y.data());
  }
  St.counters["points"] = static_cast<double>(N);
  St.SetItemsProcessed(St.iterations() * Segments * Points);
}

void BM_PlainAppend(benchmark::State &St) {
  auto Specs = MakeSegments();
  for (auto _ : St) {
    TDblArr1D X, Y;
    X.reserve(static_cast<size_t>(Segments) * Points);
    Y.reserve(static_cast<size_t>(Segments) * Points);
    for (const auto &S : Specs) {
      X.insert(X.end(), S->DataX.begin(), S->DataX.end());
      Y.insert(Y.end(), S->DataY.begin(), S->DataY.end());
    }
    benchmark::DoNotOptimize(Y.data());
  }
  St.SetItemsProcessed(St.iterations() * Segments * Points);
}

BENCHMARK(BM_Concatenate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainAppend)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Barycentric correction and ephemeris benchmarks.
//  - BM_CalculateOneNight: TBaryCorr::Calculate over 10^6 instants spread over one night (ten
//    hours): every call stays in one ephemeris record, so nothing is read from the file.
//  - BM_CalculateRandomDates (peer): the same over random dates of 1950 ... 2050, a record read
//    from the file on almost every call.
//  - BM_ErfaEpv00 (peer): the Earth's barycentric state from ERFA's series directly, what the
//    ephemeris file stands in for.
//  - BM_GenerateEphemeris: the generator's run time for the whole bundled file (in memory).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <erfa.h>

#include "UEphemGen.h"
#include "astro/UBaryCorr.h"

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";

void RunCalculate(benchmark::State &State, const std::vector<double> &MJDs) {
  TBaryCorr BC(EphFile);
  BC.SetObserver(37, 155.4783, 19.8283, 4160);
  size_t i = 0;
  for (auto _ : State) {
    double JD, MST, Dist, DistDot, DTime;
    BC.Calculate(MJDs[i], 213.9, 19.18, JD, MST, Dist, DistDot, DTime);
    benchmark::DoNotOptimize(DistDot);
    if (++i == MJDs.size()) i = 0;
  }
  State.SetItemsProcessed(State.iterations());
}

void BM_CalculateOneNight(benchmark::State &State) {
  std::vector<double> MJDs(1000000);
  const double Start = 60400.25; // a record boundary is days away
  for (size_t k = 0; k < MJDs.size(); ++k)
    MJDs[k] = Start + (10.0 / 24.0) * static_cast<double>(k) / 1e6;
  RunCalculate(State, MJDs);
}
BENCHMARK(BM_CalculateOneNight)->Iterations(1000000);

void BM_CalculateRandomDates(benchmark::State &State) {
  std::mt19937_64 Rng(1);
  std::uniform_real_distribution<double> U(33300.0, 69800.0);
  std::vector<double> MJDs(100000);
  for (double &M : MJDs)
    M = U(Rng);
  RunCalculate(State, MJDs);
}
BENCHMARK(BM_CalculateRandomDates);

void BM_ErfaEpv00(benchmark::State &State) {
  double T = 2460400.75;
  for (auto _ : State) {
    double PVH[2][3], PVB[2][3];
    eraEpv00(T, 0.0, PVH, PVB);
    benchmark::DoNotOptimize(PVB[1][0]);
    T += 1e-5;
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ErfaEpv00);

void BM_GenerateEphemeris(benchmark::State &State) {
  for (auto _ : State) {
    std::string Bytes = GenerateEphemeris();
    benchmark::DoNotOptimize(Bytes.data());
  }
  State.SetBytesProcessed(State.iterations() * 8218496);
}
BENCHMARK(BM_GenerateEphemeris)->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();

// Reading and writing spectrum files, each against a peer measured in the same run:
//  - ReadFits of a 2^20-point BITPIX -32 file vs cfitsio reading the same file into doubles;
//  - ReadDat (fast form) of a 10^6-line file as our writer makes it vs a loop that only
//    parses the same bytes from memory with std::from_chars;
//  - the .dat writer (bytes per second).
#include <benchmark/benchmark.h>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fitsio.h>
#include <fstream>
#include <malloc.h>
#include <sstream>

#include "core/UDatFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

namespace {

const std::string &Folder() {
  static const std::string F = [] {
    std::string P = (std::filesystem::temp_directory_path() / "orva-bench").string();
    std::filesystem::create_directories(P);
    return P;
  }();
  return F;
}

void FillSpectrum(TSpec32 &S, int N) {
  S.NewSpec("bench", N, 0, nullptr);
  for (int i = 0; i < N; ++i) {
    S.DataX[i] = 4000.0 + 0.01 * i;
    S.DataY[i] = 1.0 + 0.5 * std::sin(i * 0.001) + 1e-3 * std::cos(i * 1.7);
  }
  S.FinishFromArrays();
}

const std::string &FitsFile() {
  static const std::string F = [] {
    TSpec32 S;
    FillSpectrum(S, 1 << 20);
    std::string Name = Folder() + "/big.fits";
    SaveSpecAsFits(S, Name);
    return Name;
  }();
  return F;
}

const std::string &DatFile() {
  static const std::string F = [] {
    TSpec32 S;
    FillSpectrum(S, 1000000);
    std::string Name = Folder() + "/big.dat";
    WriteDat(S, Name);
    return Name;
  }();
  return F;
}

void BM_ReadFits(benchmark::State &St) {
  const std::string &F = FitsFile();
  for (auto _ : St) {
    TSpec32 S;
    S.ReadFits(F);
    benchmark::DoNotOptimize(S.DataY.data());
  }
  St.SetBytesProcessed(St.iterations() * (int64_t(1) << 22));
}

// The same work as the peer below: header and data into a fresh array of doubles (ReadFits
// also builds x, the minimum and maximum and the equidistance flag).
void BM_ReadHeaderAndSpectrum(benchmark::State &St) {
  const std::string &F = FitsFile();
  for (auto _ : St) {
    TFitsBess H;
    H.ReadHeader(F, true);
    TDblArr1D Y(static_cast<size_t>(H.NAXIS1()));
    H.ReadSpectrum(Y);
    benchmark::DoNotOptimize(Y.data());
  }
  St.SetBytesProcessed(St.iterations() * (int64_t(1) << 22));
}

void BM_CfitsioReadDoubles(benchmark::State &St) {
  const std::string &F = FitsFile();
  for (auto _ : St) {
    std::vector<double> Y;
    int Status = 0, AnyNull = 0;
    fitsfile *Fp = nullptr;
    fits_open_file(&Fp, F.c_str(), READONLY, &Status);
    long N = 0;
    fits_get_img_size(Fp, 1, &N, &Status);
    Y.resize(static_cast<size_t>(N)); // a fresh array, as our reader fills
    fits_read_img(Fp, TDOUBLE, 1, N, nullptr, Y.data(), &AnyNull, &Status);
    fits_close_file(Fp, &Status);
    if (Status) St.SkipWithError("cfitsio failed");
    benchmark::DoNotOptimize(Y.data());
  }
  St.SetBytesProcessed(St.iterations() * (int64_t(1) << 22));
}

void BM_ReadDatFast(benchmark::State &St) {
  const std::string &F = DatFile();
  int64_t Bytes = static_cast<int64_t>(std::filesystem::file_size(F));
  for (auto _ : St) {
    TSpec32 S;
    S.ReadDat(F, 1, 2, 0);
    benchmark::DoNotOptimize(S.DataY.data());
  }
  St.SetBytesProcessed(St.iterations() * Bytes);
}

// The peer: the same bytes, already in memory, parsed by from_chars and nothing else.
void BM_FromCharsLoop(benchmark::State &St) {
  std::ifstream In(DatFile(), std::ios::binary);
  std::stringstream Ss;
  Ss << In.rdbuf();
  const std::string Text = Ss.str();
  std::vector<double> X(1000000), Y(1000000);
  for (auto _ : St) {
    const char *P = Text.data(), *E = P + Text.size();
    size_t i = 0;
    while (P < E && i < X.size()) {
      while (P < E && static_cast<unsigned char>(*P) <= 32)
        ++P;
      P = std::from_chars(P, E, X[i]).ptr;
      while (P < E && static_cast<unsigned char>(*P) <= 32)
        ++P;
      P = std::from_chars(P, E, Y[i]).ptr;
      ++i;
    }
    benchmark::DoNotOptimize(Y.data());
  }
  St.SetBytesProcessed(St.iterations() * static_cast<int64_t>(Text.size()));
}

void BM_WriteDat(benchmark::State &St) {
  TSpec32 S;
  FillSpectrum(S, 1000000);
  std::string Name = Folder() + "/write.dat";
  int64_t Bytes = 0;
  for (auto _ : St) {
    WriteDat(S, Name);
    Bytes += 33 * 1000000;
  }
  St.SetBytesProcessed(Bytes);
}

BENCHMARK(BM_ReadFits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHeaderAndSpectrum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CfitsioReadDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDatFast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromCharsLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDat)->Unit(benchmark::kMillisecond);

} // namespace

// Both peers run with the same allocator settings: large blocks are kept by the process
// instead of being returned to the system after every iteration, so that the figures
// compare the readers and not the kernel's page-fault path (which glibc would otherwise
// charge to whichever reader frees the most memory at once).
int main(int argc, char **argv) {
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

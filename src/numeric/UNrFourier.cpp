#include "numeric/UNrFourier.h"

#include <cstdint>
#include <fftw3.h>
#include <map>
#include <mutex>
#include <tuple>

namespace {

// FFTW plans are made once per length, direction and memory alignment and kept for the run:
// planning costs far more than a transform, and the program transforms the same few lengths
// again and again (filters, correlation, the telluric model). A plan is applied to the caller's
// array with fftw_execute_dft, which requires the array to share the alignment of the array the
// plan was made on, hence the alignment in the key.
class TPlanCache {
public:
  ~TPlanCache() {
    for (auto &[Key, Plan] : pPlans)
      fftw_destroy_plan(Plan);
  }

  fftw_plan Get(int N, int Sign, int Align) {
    // Short transforms are called in long runs of one length (filters, correlation): the plan of
    // the last call is looked at first, without the lock and the search.
    auto Key = std::make_tuple(N, Sign, Align);
    thread_local std::tuple<int, int, int> LastKey{-1, 0, 0};
    thread_local fftw_plan LastPlan = nullptr;
    if (LastPlan && Key == LastKey) return LastPlan;
    std::lock_guard<std::mutex> Lock(pMutex);
    auto It = pPlans.find(Key);
    if (It != pPlans.end()) {
      LastKey = Key;
      LastPlan = It->second;
      return It->second;
    }
    // A scratch array with the same alignment as the caller's; FFTW_ESTIMATE leaves it untouched
    // and makes the plan at once (measuring would take seconds for long transforms).
    size_t Bytes = sizeof(fftw_complex) * static_cast<size_t>(N) + 64;
    auto *Raw = static_cast<char *>(fftw_malloc(Bytes));
    if (!Raw) nrerror("dfour1: out of memory");
    char *Buf = Raw;
    while (fftw_alignment_of(reinterpret_cast<double *>(Buf)) != Align && Buf < Raw + 64)
      Buf += sizeof(double);
    auto *Data = reinterpret_cast<fftw_complex *>(Buf);
    fftw_plan Plan = fftw_plan_dft_1d(N, Data, Data, Sign, FFTW_ESTIMATE);
    fftw_free(Raw);
    if (!Plan) nrerror("dfour1: no transform plan");
    pPlans.emplace(Key, Plan);
    LastKey = Key;
    LastPlan = Plan;
    return Plan;
  }

private:
  std::mutex pMutex;
  std::map<std::tuple<int, int, int>, fftw_plan> pPlans;
};

TPlanCache &Plans() {
  static TPlanCache Cache;
  return Cache;
}

bool PowerOf2(int N) { return N >= 1 && (static_cast<uint32_t>(N) & (static_cast<uint32_t>(N) - 1)) == 0; }

} // namespace

void dfour1(TNrVector data, int nn, int isign) {
  if (!PowerOf2(nn)) nrerror("dfour1: nn is not a power of 2");
  if (isign != 1 && isign != -1) nrerror("dfour1: isign must be +1 or -1");
  if (data.Size() / 2 < nn) nrerror("dfour1: data holds fewer than nn complex values");
  double *Data = data.Data();
  // exp(+2 pi i jk/n) is FFTW's backward direction, exp(-2 pi i jk/n) its forward one.
  int Sign = isign == 1 ? FFTW_BACKWARD : FFTW_FORWARD;
  fftw_plan Plan = Plans().Get(nn, Sign, fftw_alignment_of(Data));
  auto *C = reinterpret_cast<fftw_complex *>(Data);
  fftw_execute_dft(Plan, C, C);
}

#include "core/ULargeArray.h"

#include <cstdint>
#include <sys/mman.h>

void ReserveFresh(TDblArr1D &A, size_t N) {
  A.clear();
  if (A.capacity() < N) {
    TDblArr1D().swap(A); // release the old storage first: no copy, and no peak of both
    A.reserve(N);
  }
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t Huge = uintptr_t(2) << 20;
  if (N * sizeof(double) >= 2 * Huge) {
    // Only whole huge pages inside the array; the advice is a hint, its failure harmless.
    uintptr_t Begin = (reinterpret_cast<uintptr_t>(A.data()) + Huge - 1) & ~(Huge - 1);
    uintptr_t End = (reinterpret_cast<uintptr_t>(A.data() + N)) & ~(Huge - 1);
    if (End > Begin) ::madvise(reinterpret_cast<void *>(Begin), End - Begin, MADV_HUGEPAGE);
  }
#endif
}

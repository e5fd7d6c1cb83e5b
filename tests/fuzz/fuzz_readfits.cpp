// FITS reader on arbitrary bytes: errors are fine, crashes, hangs and huge allocations are not.
#include <exception>

#include "FuzzFile.h"
#include "core/USpec32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  std::string F = FuzzInputFile(Data, Size, ".fits");
  TSpec32 S;
  try {
    S.ReadFits(F);
    // What was read must fit in the file.
    if (static_cast<size_t>(S.Size()) > Size) __builtin_trap();
    if (S.Equidistant()) (void)S.FitsBess().Serialize_32(S.DataY);
  } catch (const std::exception &) {
  }
  return 0;
}

// Binary-table reader on arbitrary bytes: the input is everything after a fixed, empty
// primary header (so the fuzzer spends its time in the extension header and the table).
// Errors are fine; crashes, hangs and allocations beyond the file are not.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>

#include "core/USpec32.h"

namespace {
std::string PrimaryHeader() {
  std::string H;
  for (const char *C : {"SIMPLE  =                    T", "BITPIX  =                    8",
                        "NAXIS   =                    0", "EXTEND  =                    T", "END"}) {
    std::string Card = C;
    Card.resize(80, ' ');
    H += Card;
  }
  H.resize(2880, ' ');
  return H;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  static const std::string Primary = PrimaryHeader();
  std::string Bytes = Primary;
  Bytes.append(reinterpret_cast<const char *>(Data), Size);
  // In memory-backed /dev/shm where there is one: a million runs spend no time on a disk.
  static const std::string Name = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  std::string("/orva-fuzz-table-") + std::to_string(::getpid()) + ".fits";
  if (std::FILE *Out = std::fopen(Name.c_str(), "wb")) {
    std::fwrite(Bytes.data(), 1, Bytes.size(), Out);
    std::fclose(Out);
  }
  const std::string &F = Name;
  TSpec32 S;
  try {
    S.ReadFits(F);
    // A spectrum cannot hold more values than the file has bytes.
    if (static_cast<size_t>(S.Size()) > Bytes.size()) __builtin_trap();
    if (S.DataX.size() != static_cast<size_t>(S.Size()) || S.DataY.size() != S.DataX.size()) __builtin_trap();
    if (S.Equidistant()) (void)S.FitsBess().Serialize_32(S.DataY);
  } catch (const std::exception &) {
  }
  return 0;
}

// Text column reader: both forms, any header count, on arbitrary bytes.
#include <exception>

#include "FuzzFile.h"
#include "core/UDatFile.h"
#include "core/USpec32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  if (Size < 1) return 0;
  // The first byte picks the columns and the header count.
  int Mode = Data[0];
  int ColX = 1 + (Mode & 3), ColY = 1 + ((Mode >> 2) & 3), Header = (Mode >> 4) & 7;
  if (Mode & 0x80) ColX = 1, ColY = 2;
  std::string F = FuzzInputFile(Data + 1, Size - 1, ".dat");
  SetDatMessageSink([](const std::string &) {});
  TSpec32 S;
  try {
    if (S.ReadDat(F, ColX, ColY, Header)) {
      if (S.Size() <= 0 || S.DataX.size() != static_cast<size_t>(S.Size())) __builtin_trap();
      (void)DatText(S);
    }
  } catch (const std::exception &) {
  }
  return 0;
}

// Settings reader: arbitrary text must parse, and what we write must read back the same.
#include <string>

#include "core/UIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TIniFile I;
  I.LoadFromText(std::string(reinterpret_cast<const char *>(Data), Size));
  (void)I.ReadFloat("Observer", "TAI-UTC", 35);
  std::string Once = I.SaveToText();
  TIniFile J;
  J.LoadFromText(Once);
  if (J.SaveToText() != Once) __builtin_trap();
  return 0;
}

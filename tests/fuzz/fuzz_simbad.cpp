// Fuzz target of the SIMBAD reply reader and of the typed coordinates: the input is taken
// as a reply, its coordinates go through GetRa/GetDe as the dialog would, and the input's
// first line is also used as an object name and as typed coordinates.
#include <cstdint>
#include <exception>
#include <string>

#include "astro/UCoordParse.h"
#include "astro/USimbad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  const std::string Text(reinterpret_cast<const char *>(Data), Size);
  const TSimbadReply R = ParseSimbadReply(Text);
  if (R.HasCoordinates) {
    try {
      GetRa(R.Ra);
    } catch (const std::exception &) {
    }
    try {
      GetDe(R.De);
    } catch (const std::exception &) {
    }
  }
  const std::string First = Text.substr(0, Text.find('\n'));
  try {
    SimbadQueryUrl(First);
  } catch (const std::exception &) {
  }
  try {
    GetRa(First);
  } catch (const std::exception &) {
  }
  try {
    GetDe(First);
  } catch (const std::exception &) {
  }
  return 0;
}

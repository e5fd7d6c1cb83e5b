// Fuzz target of the header mode of the barycentric correction: the input, one card per line
// (cut or padded to 80 characters), is a FITS header whose instant, site and coordinates are
// read as for a night of spectra; only the program's own error may come out.
#include <cstdint>
#include <string>

#include "astro/UBaryHeader.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  const std::string Text(reinterpret_cast<const char *>(Data), Size);
  TFitsBess H;
  size_t Start = 0;
  while (Start < Text.size() && H.Count() < 200) {
    size_t End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    std::string Card = Text.substr(Start, End - Start);
    Card.resize(80, ' ');
    H.Add(Card);
    Start = End + 1;
  }
  try {
    const TBaryHeaderObs O = HeaderObservation(H, TBarySite{-7.5, 47.25, 600}, "1 2 3", "+4 5 6");
    UtcText(O.DayMJD, O.SecOfDay);
  } catch (const EOrvaError &) {
  }
  return 0;
}

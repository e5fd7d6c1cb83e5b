// Fuzz target of the ephemeris reader: the header checks of Create, then reads and
// interpolations at the edges and the middle of the date range, for every body, in both
// byte orders (a file whose first title byte is "U" is read byte-swapped). Any input must give a result or an
// error, never a crash or a read outside the buffers.
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "Units/UJplEph.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  if (Size == 0) return 0;
  const bool IsUnix = Data[0] == 'U';
  std::string Bytes(reinterpret_cast<const char *>(Data), Size);
  std::unique_ptr<TJplEph> E;
  try {
    E = TJplEph::FromMemory(std::move(Bytes), IsUnix);
  } catch (const std::exception &) {
    return 0;
  }
  const double *SS = E->Header().SS;
  const double Dates[] = {SS[0], SS[1], 0.5 * (SS[0] + SS[1]), SS[0] + 0.37 * SS[2], SS[1] - 1e-7};
  for (bool Km : {false, true}) {
    E->SetKm(Km);
    for (double ET : Dates)
      for (int T = 1; T <= 15; ++T) {
        double RRD[6];
        try {
          E->PLEPH(ET, T, T == 12 ? 3 : 12, RRD);
        } catch (const std::exception &) {
        }
      }
  }
  try {
    std::vector<std::array<double, 6>> PV(11);
    E->GetPosVel(SS[0], PV);
  } catch (const std::exception &) {
  }
  try {
    std::vector<double> GM(11);
    E->GetGM07(GM);
  } catch (const std::exception &) {
  }
  std::vector<double> Rec(TJplEph::BufDoubles);
  for (int R : {0, 1, 3, E->NumRecs(), E->NumRecs() + 1})
    E->GetRecord(R, Rec.data());
  return 0;
}

// orva-ephemgen OUTFILE [START_JD END_JD]: writes the bundled ephemeris (see UEphemGen.h).
// The build runs it to make jpl_1950_2050.405 beside the executables.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "UEphemGen.h"

int main(int argc, char **argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "Usage: orva-ephemgen OUTFILE [START_JD END_JD]\n");
    return 2;
  }
  TEphemGenOptions Opt;
  if (argc == 4) {
    Opt.JDStart = std::strtod(argv[2], nullptr);
    Opt.JDEnd = std::strtod(argv[3], nullptr);
  }
  try {
    auto T0 = std::chrono::steady_clock::now();
    WriteEphemerisFile(argv[1], Opt);
    double Sec = std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
    std::printf("orva-ephemgen: wrote %s (JED %.1f to %.1f) in %.2f s\n", argv[1], Opt.JDStart, Opt.JDEnd,
                Sec);
  } catch (const std::exception &E) {
    std::fprintf(stderr, "orva-ephemgen: %s\n", E.what());
    return 1;
  }
  return 0;
}

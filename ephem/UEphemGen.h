#pragma once
// The bundled ephemeris: a file in the JPL DE405 binary export layout (see Units/UJplEph.h) whose
// Chebyshev coefficients are fitted to the models of ERFA, the C version of the IAU SOFA
// library. No JPL file can be fetched when the program is built, so the build makes this one.
//
//   item                 source                                          DE405 triple
//   1 Mercury ... 8      eraPlan94 (heliocentric) + the Sun below         as DE405
//   Neptune (not 3)
//   3 Earth-Moon bary.   eraEpv00 (barycentric Earth) + Moon/(1 + EMRAT)  231 13 2
//   9 Pluto              none (ERFA has no Pluto)                         0 0 0
//   10 Moon (geocentric) eraMoon98                                        441 13 8
//   11 Sun (barycentric) eraEpv00: barycentric minus heliocentric Earth    753 11 2
//   12 nutations         eraNut80 (IAU 1980, as DE405's)                   819 10 4
//   13 librations        none (ERFA has no lunar librations)              0 0 0
//
// The items present keep DE405's places in the record; without librations the record is
// 898 doubles (7184 bytes) by the reader's record-size rule. Positions are in km with
// AU = 149597870.691 km and EMRAT = 81.30056 (DE405's); nutations in radians. The time
// argument is TDB. Each component of each sub-interval is a Chebyshev series; the reader's
// velocities are its derivative. The Earth-Moon barycentre and the Sun are fitted through
// their velocities (interpolated at the Chebyshev nodes and integrated, see FitItemByVelocity),
// the other items through their positions (interpolated at the Chebyshev nodes of the first
// kind, near-minimax), since ERFA's velocities of the Moon and the planets are not the rates
// of its positions.
#include <cstdint>
#include <string>

struct TEphemGenOptions {
  double JDStart = 2433264.5; // 1949 DEC 14, DE405's record boundary before 1950
  double JDEnd = 2469808.5;   // 2050 JAN 02
  double DaysPerRecord = 32;
};

// The whole file as bytes. Raises std::runtime_error on impossible options.
std::string GenerateEphemeris(const TEphemGenOptions &Opt = {});

// Writes it to FName through a temporary file renamed over FName when complete.
void WriteEphemerisFile(const std::string &FName, const TEphemGenOptions &Opt = {});

// The first title line of every generated file.
extern const char *const EphemGenTitle;

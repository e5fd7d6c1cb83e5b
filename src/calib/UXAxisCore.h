#pragma once
// The x-axis conversions of the "X-Axis Operators": vacuum and air wavelengths in standard air
// (Edlen), wavelength and wavenumber, wavelength and radial velocity. Each makes one new
// spectrum from one source; y is kept (reversed with x for the wavenumbers).
#include <string>

#include "ops/UOpResult.h"

class TSpec32;

// The speed of light as these conversions take it, km/s (rounded from 299792.458).
constexpr double XAxisLightSpeed = 299790.0;

// The text the user is told when a spectrum does not cover the centre wavelength.
extern const char *const CenterOutsideText;

// Vacuum wavelength [A] to air wavelength [A] (suffix "-air"), or back (suffix "-vac"),
// point by point.
TOpOutcome OpVacToAir(const TSpec32 &S);
TOpOutcome OpAirToVac(const TSpec32 &S);

// Wavelength [A] to wavenumber [1/cm] and back, 1e8 / x (suffix "-wnwl"). The order of the
// points is reversed so that x keeps increasing; y follows its x.
TOpOutcome OpWavenumber(const TSpec32 &S);

// Wavelength [A] to velocity [km/s] relative to the centre wavelength Center [A]:
// (x / Center - 1) * 299790 (suffix "-kms"). A centre of 0 is refused with the general error,
// before any spectrum is made.
void CheckCenterWavelength(double Center);
TOpOutcome OpVelocity(const TSpec32 &S, double Center);
// True when Center lies outside [x[0], x[n-1]]: the user is told, the conversion still runs.
bool CenterOutsideProfile(const TSpec32 &S, double Center);

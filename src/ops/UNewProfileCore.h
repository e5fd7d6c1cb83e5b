#pragma once
// The synthetic spectra of the "New Profile" dialog, made from parameters alone: a Gaussian or
// Voigt line on a sloped baseline, the sum of two sines, a Planck curve, an atmospheric
// transmission curve (Rayleigh scattering, ozone, aerosols) and the barycentric radial-velocity
// curve of a star over time. Each parameter struct holds the fields of one page with the
// dialog's defaults; each function returns the new spectrum's x and y (equidistant, History
// empty) or raises EOrvaError with the reason when the parameters cannot make one.
#include <cstdint>
#include <string>

#include "astro/UBaryCorr.h"
#include "core/UGlobalData.h"
#include "ops/UOpResult.h"

// No page makes more points than this: two arrays of 8 bytes each, 1.6 GB.
constexpr double NewProfileMaxPoints = 1e8;

struct TGaussParams {
  int32_t Points = 1536;
  double FromX = 0, ToX = 1535;
  double Ampl = 1.0, PosX = 768, SD = 5.0;
  double Bias = 0.0, Slope = 0.0;
  double Noise = 0.0;  // standard deviation of the added Gaussian noise, 0: none
  double VoigtA = 0.0; // damping ratio a; a > 0 makes a Voigt profile
};
// x[i] = from + i (to - from)/(N - 1); y = A p + s x + b (+ noise), p the Gaussian
// exp(-((x - x0)/sd)^2 / 2) or, for a > 0, the Voigt function H(a, |x - x0|/(|sd| sqrt 2)),
// whose peak is H(a, 0) = exp(a^2) erfc(a). At least 2 points; sd not 0; noise not negative.
TOpResult NewGaussVoigt(const TGaussParams &P);

struct TSinParams {
  int32_t Points = 1024;
  double Per1 = 1, Ampl1 = 1, Phase1 = 0; // periods over the N points, amplitude, degrees
  double Per2 = 2, Ampl2 = 0, Phase2 = 0;
  double Noise = 0;
};
// x[i] = i; y[i] = A1 sin(P1 2 pi i/N + phi1) + A2 sin(P2 2 pi i/N + phi2) (+ noise).
TOpResult NewSin(const TSinParams &P);

enum class TPlanckScaling {
  MeanOne,  // "Mean radiance = 1 in wavelength interval"
  Radiance, // "W m-2 sr-1 Å-1"
};
struct TPlanckParams {
  double From = 4000, To = 8000, Step = 5; // Å
  double Temp = 6000;                      // K
  TPlanckScaling Scaling = TPlanckScaling::MeanOne;
};
// Planck's law B(lambda, T) = 2 h c^2 / lambda^5 / (exp(h c/(lambda k T)) - 1) in
// W m-2 sr-1 Å-1 (CODATA 2010 constants), on x = From, From + Step, ... (Å) up to the first
// point at or beyond To; optionally scaled to a mean of 1. Named "Planck".
TOpResult NewPlanck(const TPlanckParams &P);
extern const char *const PlanckName;

enum class TAtmosphereMode { Rayleigh, Ozone, Aerosols };
struct TAtmosphereParams {
  double AOD = 0.13;                       // aerosol optical depth at 0.55 µm
  double From = 4000, To = 8000, Step = 5; // Å
  double Height = 0.2;                     // km above sea level (Rayleigh)
  TAtmosphereMode Mode = TAtmosphereMode::Rayleigh;
};
// The transmission y = 10^(-0.4 A) of one extinction component A (magnitudes), on the grid of
// NewPlanck:
//  Rayleigh: A = r^2 0.0094977 m^2 exp(-h/7.996 km), m = 1/lambda^2 (µm^-2), r the refractivity
//            of air times 1e4, 0.23465 + 107.6/(146 - m) + 0.93161/(41 - m);
//  Ozone:    the transmission exp(-0.0168 exp(-15 |lambda - 0.59 µm|)) of the Chappuis band;
//  Aerosols: A = 2.5 log10(exp(AOD (lambda/0.55 µm)^-1.3)), Angstrom exponent 1.3.
// Named after the mode: "Rayleigh", "Ozone", "Aerosols".
TOpResult NewAtmosphere(const TAtmosphereParams &P);
const char *AtmosphereName(TAtmosphereMode Mode);

struct TRVParams {
  TDateTimeInt Start; // UTC
  std::string RaText = "14 15 39.6720";
  std::string DeText = "+19 10 56.677";
  double Interval = 1.0; // days between points
  int32_t Points = 1000;
  // The observer (the settings): TAI - UTC in s, longitude positive west and latitude in
  // degrees, height in m.
  double TAImUTC = 35;
  double Lon = TGlobalData::DefaultLongitude;
  double Lat = TGlobalData::DefaultLatitude;
  double Height = 600;
};
// x[i] = MJD(UTC) of Start + i Interval; y[i] = the barycentric velocity of the observer
// towards the star at RA/Dec (J2000) at that instant, km/s, positive when approaching.
TOpResult NewRadialVelocity(TBaryCorr &BaryCorr, const TRVParams &P);

// The number of grid points from From to To in steps of Step, the last at or beyond To, as
// NewPlanck and NewAtmosphere lay them; raises for Step <= 0, To < From and more than
// NewProfileMaxPoints points. A range that is a whole number of steps ends exactly at To even
// when the division rounds a hair above the whole number.
int32_t GridPoints(double From, double To, double Step);

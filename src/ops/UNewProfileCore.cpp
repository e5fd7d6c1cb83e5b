#define ORVA_UNIT "UNewProfileCore"
#include "ops/UNewProfileCore.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Units/UVoigt.h"
#include "astro/UBaryCorr.h"
#include "astro/UCoordParse.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "ops/UGaussNoise.h"

const char *const PlanckName = "Planck";

namespace {

void CheckCount(double N) {
  if (N > NewProfileMaxPoints)
    OrvaRaise(Format("Too many points: %1.0f (at most %1.0f)", N, NewProfileMaxPoints));
}

void CheckNoise(double Noise) {
  if (!(Noise >= 0)) OrvaRaise("The noise must not be negative");
}

void AddNoise(TDblArr1D &Y, double Noise) {
  if (Noise > 0)
    for (double &V : Y)
      V += GaussNoise(Noise, 0);
}

TOpResult Sized(int32_t N) {
  TOpResult R;
  R.X.resize(static_cast<size_t>(N));
  R.Y.resize(static_cast<size_t>(N));
  R.Equidistant = true;
  return R;
}

} // namespace

int32_t GridPoints(double From, double To, double Step) {
  if (!(Step > 0)) OrvaRaise("The step must be positive");
  if (!(To >= From)) OrvaRaise("To must not be below From");
  const double Ratio = (To - From) / Step;
  CheckCount(Ratio + 1);
  // The plain ceiling: a division that comes out a hair above a whole number
  // ((8.489 - 4.998)/0.00005 = 69820.00000000001) adds a point just beyond To.
  const double K = std::ceil(Ratio);
  CheckCount(K + 1);
  return static_cast<int32_t>(K) + 1;
}

TOpResult NewGaussVoigt(const TGaussParams &P) {
  const int32_t N = P.Points;
  // A single point would put the whole range into a division by zero.
  if (N < 2) OrvaRaise("A Gaussian / Voigt profile needs at least 2 points");
  CheckCount(N);
  if (P.SD == 0) OrvaRaise("The standard deviation must not be 0");
  CheckNoise(P.Noise);
  TOpResult R = Sized(N);
  const double Range = P.ToX - P.FromX;
  const bool IsVoigt = P.VoigtA > 0;
  // sd enters the Gaussian squared; the Voigt profile takes its magnitude likewise, so that a
  // negative sd does not silently turn the asked-for Voigt profile into a Gaussian.
  const double DopplerWidth = std::fabs(P.SD) * std::numbers::sqrt2;
  for (int32_t i = 0; i < N; ++i) {
    const double X = P.FromX + static_cast<double>(i) / (N - 1) * Range;
    double Prof;
    if (IsVoigt) {
      Prof = Voigt(std::fabs(X - P.PosX) / DopplerWidth, P.VoigtA);
    } else {
      const double U = (X - P.PosX) / P.SD;
      Prof = std::exp(-0.5 * U * U);
    }
    R.X[i] = X;
    R.Y[i] = P.Ampl * Prof + P.Slope * X + P.Bias;
  }
  AddNoise(R.Y, P.Noise);
  return R;
}

TOpResult NewSin(const TSinParams &P) {
  const int32_t N = P.Points;
  if (N < 1) OrvaRaise("A Sin profile needs at least 1 point");
  CheckCount(N);
  CheckNoise(P.Noise);
  TOpResult R = Sized(N);
  constexpr double Pi = std::numbers::pi;
  const double W1 = P.Per1 * 2 * Pi / N, W2 = P.Per2 * 2 * Pi / N;
  const double Phi1 = P.Phase1 * Pi / 180, Phi2 = P.Phase2 * Pi / 180;
  for (int32_t i = 0; i < N; ++i) {
    R.X[i] = i;
    R.Y[i] = P.Ampl1 * std::sin(W1 * i + Phi1) + P.Ampl2 * std::sin(W2 * i + Phi2);
  }
  AddNoise(R.Y, P.Noise);
  return R;
}

TOpResult NewPlanck(const TPlanckParams &P) {
  if (!(P.From > 0)) OrvaRaise("The wavelengths must be positive");
  if (!(P.Temp > 0)) OrvaRaise("The temperature must be positive");
  // Wavelengths in units of 1000 Å keep lambda^5 well inside the range of doubles.
  const double From = P.From / 1000, To = P.To / 1000, Step = P.Step / 1000;
  const int32_t N = GridPoints(From, To, Step);
  constexpr double h = 6.62606957e-34, c = 299792458, k = 1.3806488e-23; // SI, CODATA 2010
  const double C1 = 2 * h * c * c * 1e25;                                // W m-2 sr-1 Å-1 (1000 Å)^5
  const double C2 = h * c / k / P.Temp * 1e7;                            // 1000 Å
  TOpResult R = Sized(N);
  double Sum = 0;
  for (int32_t i = 0; i < N; ++i) {
    const double L = From + i * Step;
    const double L2 = L * L;
    R.X[i] = L * 1000;
    // expm1 keeps the digits that exp(z) - 1 loses on the Rayleigh-Jeans side (small z).
    R.Y[i] = C1 / (L2 * L2 * L) / std::expm1(C2 / L);
    Sum += R.Y[i];
  }
  if (P.Scaling == TPlanckScaling::MeanOne) {
    // At a few kelvin the radiance underflows to 0 everywhere and has no mean to scale.
    if (!(Sum > 0 && std::isfinite(Sum)))
      OrvaRaise("The radiance is 0 over the whole interval: it cannot be scaled to a mean of 1");
    const double F = N / Sum;
    for (double &V : R.Y)
      V *= F;
  }
  return R;
}

const char *AtmosphereName(TAtmosphereMode Mode) {
  switch (Mode) {
  case TAtmosphereMode::Rayleigh:
    return "Rayleigh";
  case TAtmosphereMode::Ozone:
    return "Ozone";
  case TAtmosphereMode::Aerosols:
    return "Aerosols";
  }
  OrvaRaiseUE("AtmosphereName");
}

TOpResult NewAtmosphere(const TAtmosphereParams &P) {
  if (!(P.From > 0)) OrvaRaise("The wavelengths must be positive");
  const int32_t N = GridPoints(P.From, P.To, P.Step);
  TOpResult R = Sized(N);
  const double HeightFactor = std::exp(-P.Height / 7.996); // scale height of the air, km
  for (int32_t i = 0; i < N; ++i) {
    const double X = P.From + i * P.Step;
    const double L = X / 1e4; // µm
    double A = 0;             // magnitudes
    switch (P.Mode) {
    case TAtmosphereMode::Rayleigh: {
      const double M = 1 / (L * L);
      const double Refr = 0.23465 + 107.6 / (146 - M) + 0.93161 / (41 - M);
      A = Refr * Refr * 0.0094977 * M * M * HeightFactor;
      break;
    }
    case TAtmosphereMode::Ozone: {
      const double T = std::exp(-0.0168 * std::exp(-15 * std::fabs(L - 0.59)));
      A = -2.5 * std::log10(T);
      break;
    }
    case TAtmosphereMode::Aerosols:
      // 2.5 log10(exp(t)) written as 2.5 t log10(e), which cannot overflow for a large depth.
      A = 2.5 * P.AOD * std::pow(L / 0.55, -1.3) * std::numbers::log10e;
      break;
    }
    R.X[i] = X;
    R.Y[i] = std::pow(10.0, -0.4 * A);
  }
  return R;
}

TOpResult NewRadialVelocity(TBaryCorr &BaryCorr, const TRVParams &P) {
  const int32_t N = P.Points;
  if (N < 1) OrvaRaise("A radial velocity curve needs at least 1 point");
  CheckCount(N);
  const double Ra = GetRa(P.RaText);
  const double De = GetDe(P.DeText);
  BaryCorr.SetObserver(P.TAImUTC, P.Lon, P.Lat, P.Height);
  const double MJD0 = BaryCorr.UTCToMJD(P.Start);
  TOpResult R = Sized(N);
  for (int32_t i = 0; i < N; ++i) {
    const double MJD = MJD0 + i * P.Interval;
    double JD, MST, Dist, DistDot, DTime;
    BaryCorr.Calculate(MJD, Ra, De, JD, MST, Dist, DistDot, DTime);
    R.X[i] = MJD;
    R.Y[i] = DistDot;
  }
  return R;
}

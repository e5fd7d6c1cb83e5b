#include "Units/UCiddor.h"

#include <cmath>

#include "core/UErrors.h"

#define ORVA_UNIT "UCiddor"

namespace {

// Ciddor (1996), appendix A.
constexpr double w0 = 295.235, w1 = 2.6422, w2 = -0.03238, w3 = 0.004028;
constexpr double k0 = 238.0185, k1 = 5792105, k2 = 57.362, k3 = 167917;
constexpr double a0 = 1.58123e-6, a1 = -2.9331e-8, a2 = 1.1043e-10;
constexpr double b0 = 5.707e-6, b1 = -2.051e-8;
constexpr double c0 = 1.9898e-4, c1 = -2.376e-6;
constexpr double d = 1.83e-11, e = -7.65e-9;
constexpr double pR1 = 101325;       // Pa, pressure of standard air
constexpr double TR1 = 288.15;       // K, temperature of standard air
constexpr double Za = 0.9995922115;  // compressibility of dry air at 15 degrees C, 101325 Pa
constexpr double RhoVs = 0.00985938; // kg/m^3, density of standard water vapour
constexpr double R = 8.314472;       // J/(mol K), gas constant
constexpr double Mv = 0.018015;      // kg/mol, molar mass of water vapour

// IAPWS-IF97 saturation-pressure equation, coefficients n1 ... n10.
constexpr double K1 = 1167.05214528, K2 = -724213.167032, K3 = -17.0738469401, K4 = 12020.8247025,
                 K5 = -3232555.03223, K6 = 14.9151086135, K7 = -4823.26573616, K8 = 405113.405421,
                 K9 = -0.238555575678, K10 = 650.175348448;

} // namespace

double WaterVapourPressure(double t) {
  if (t >= 0.0) {
    double T = t + 273.15;
    double Om = T + K9 / (T - K10);
    double A = Om * Om + K1 * Om + K2;
    double B = K3 * Om * Om + K4 * Om + K5;
    double C = K6 * Om * Om + K7 * Om + K8;
    double X = -B + std::sqrt(B * B - 4.0 * A * C);
    return 1e6 * std::pow(2.0 * C / X, 4);
  }
  double Theta = (t + 273.15) / 273.16;
  return 611.657 *
         std::exp(-13.928169 * (1.0 - std::pow(Theta, -1.5)) + 34.7078238 * (1.0 - std::pow(Theta, -1.25)));
}

double WaterMoleFraction(double RH, double t, double p) {
  double F = 1.00062 + 3.14e-8 * p + 5.6e-7 * t * t;
  return (RH / 100.0) * F * WaterVapourPressure(t) / p;
}

double CiddorIndex(double lambda, double xc, double RH, double t, double p) {
  double Mu = lambda / 1e4; // micrometres
  double S2 = 1.0 / (Mu * Mu);
  double T = t + 273.15;
  double Xw = WaterMoleFraction(RH, t, p);
  double Ma = 0.0289635 + 1.2011e-8 * (xc - 400.0);
  double PT = p / T;
  double Z = 1.0 - PT * (a0 + a1 * t + a2 * t * t + (b0 + b1 * t) * Xw + (c0 + c1 * t) * Xw * Xw) +
             PT * PT * (d + e * Xw * Xw);
  double RhoAxs = pR1 * Ma / (Za * R * TR1);
  double RhoA = p * Ma * (1.0 - Xw) / (Z * R * T);
  double RhoV = p * Mv * Xw / (Z * R * T);
  double Raxs = (1.0 + 5.34e-7 * (xc - 450.0)) * 1e-8 * (k1 / (k0 - S2) + k3 / (k2 - S2));
  double Rvs = 1.022e-8 * (w0 + w1 * S2 + w2 * S2 * S2 + w3 * S2 * S2 * S2);
  return 1.0 + (RhoA / RhoAxs) * Raxs + (RhoV / RhoVs) * Rvs;
}

double EdlenIndex(double lambda) {
  double S = (1e4 / lambda) * (1e4 / lambda);
  return 1.0 + (8342.13 + 2406030.0 / (130.0 - S) + 15997.0 / (38.9 - S)) / 1e8;
}

double VacToAirEdlen(double lambdaVac) { return lambdaVac / EdlenIndex(lambdaVac); }

// The index belongs to the vacuum wavelength, which is what is sought: iterate n = n(lambdaAir n),
// which converges in two or three steps for optical wavelengths.
double AirToVacEdlen(double lambdaAir) {
  constexpr int MAXSTEPS = 10;
  double N = EdlenIndex(lambdaAir), NNew = N;
  int Step = 0;
  bool Done = false;
  while (!Done && Step < MAXSTEPS) {
    ++Step;
    NNew = EdlenIndex(lambdaAir * N);
    Done = std::fabs(NNew - N) < 1e-14;
    N = NNew;
  }
  ORVA_ASSERT(Done && Step < MAXSTEPS);
  return lambdaAir * NNew;
}

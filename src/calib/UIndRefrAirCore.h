#pragma once
// The calculator of the refractive index of air: air and vacuum wavelengths in moist air of
// given conditions (Ciddor 1996) and in standard air (Edlen 1966). Wavelengths in Angstrom.
#include <string>

// The ambient conditions as the calculator takes them: temperature in degrees C, pressure in
// Pa, relative humidity in %, CO2 content in ppm.
struct TAirConditions {
  double TempC = 15.0;
  double PressurePa = 101325.0;
  double RelHum = 50.0;
  double CO2 = 450.0;
};
// The conditions from the calculator's fields, the pressure typed in hPa.
TAirConditions AirConditionsHPa(double TempC, double PressureHPa, double RelHum, double CO2);

struct TAirResult {
  double Index = 1.0;      // refractive index of the air at the vacuum wavelength
  double Wavelength = 0.0; // the wavelength computed: in air (from vacuum) or in vacuum (from air)
};

// Air wavelength of the vacuum wavelength LambdaVac: n = CiddorIndex(LambdaVac), LambdaVac / n.
TAirResult CiddorVacToAir(double LambdaVac, const TAirConditions &C);
// Vacuum wavelength of the air wavelength LambdaAir: the index belongs to the vacuum
// wavelength sought, so n = CiddorIndex(n * LambdaAir) is iterated until it changes by less
// than 1e-14 (a few steps for optical wavelengths); n * LambdaAir. Failing to converge within
// 9 steps is an internal consistency failure.
TAirResult CiddorAirToVac(double LambdaAir, const TAirConditions &C);

// The calculator's fields: the index with "%1.9f", wavelengths with "%1.6f".
std::string FormatAirIndex(double N);
std::string FormatAirWavelength(double Lambda);

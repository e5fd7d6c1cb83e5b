#pragma once
// Refractive index of air. Wavelengths in Angstrom, temperature t in degrees Celsius, pressure p
// in Pa, relative humidity RH in %, CO2 content xc in ppm.

// Saturation vapour pressure in Pa: over water (IAPWS-IF97 saturation equation) for t >= 0,
// over ice below.
double WaterVapourPressure(double t);

// Mole fraction of water vapour in moist air (with the enhancement factor of Giacomo 1982).
double WaterMoleFraction(double RH, double t, double p);

// Index of moist air at the vacuum wavelength lambda (Ciddor 1996, Applied Optics 35, 1566).
double CiddorIndex(double lambda, double xc, double RH, double t, double p);

// Index of standard air, 15 degrees C and 101325 Pa (Edlen 1966, Metrologia 2, 71).
double EdlenIndex(double lambda);

// Air wavelength of a vacuum wavelength and back, with the Edlen index.
double VacToAirEdlen(double lambdaVac);
double AirToVacEdlen(double lambdaAir);

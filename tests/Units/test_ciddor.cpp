// Refractive index of air. References: the reference values quoted per case (Ciddor 1996 and
// Edlen 1966 evaluated at the stated conditions; the IAPWS-IF97 saturation-pressure verification
// values; tabulated vapour pressures of ice and water), hand-evaluated mole fractions.
#include <gtest/gtest.h>

#include <cmath>

#include "Units/UCiddor.h"
#include "core/UErrors.h"

TEST(Ciddor, ReferenceIndices) {
  EXPECT_NEAR(CiddorIndex(6330.0, 450.0, 50.0, 15.0, 101325.0), 1.000276213, 5e-10);
  EXPECT_NEAR(EdlenIndex(6563.0), 1.000276239, 5e-10);
}

TEST(Ciddor, DryStandardAirIsCloseToEdlen) {
  // Both describe dry air at 15 C and 101325 Pa; they differ by the CO2 content (450 against about
  // 300 ppm, some 2e-8) and by the refits of the dispersion, a few 1e-9.
  for (double L = 3500.0; L <= 10000.0; L += 500.0)
    EXPECT_NEAR(CiddorIndex(L, 450.0, 0.0, 15.0, 101325.0), EdlenIndex(L), 5e-8) << L;
}

TEST(Ciddor, VacuumAirRoundTrip) {
  double Worst = 0;
  for (double L = 3000.0; L <= 11000.0; L += 0.73) {
    double Air = VacToAirEdlen(L);
    EXPECT_LT(Air, L);
    Worst = std::max(Worst, std::fabs(AirToVacEdlen(Air) - L));
  }
  EXPECT_LT(Worst, 1e-9);
  EXPECT_NEAR(VacToAirEdlen(6564.614), 6564.614 / EdlenIndex(6564.614), 1e-12);
}

TEST(Ciddor, AirToVacuumThatCannotConvergeIsAnInternalFailure) {
  EXPECT_THROW(AirToVacEdlen(std::nan("")), EAssertFailure);
}

TEST(Ciddor, SaturationVapourPressure) {
  // IAPWS-IF97 verification values of the saturation-pressure equation: 300 K -> 3.53658941e-3
  // MPa, 500 K -> 2.63889776 MPa.
  EXPECT_NEAR(WaterVapourPressure(300.0 - 273.15), 3536.58941, 1e-5);
  EXPECT_NEAR(WaterVapourPressure(500.0 - 273.15), 2638897.76, 1e-2);
  // At the triple point (273.16 K) water and ice have 611.657 Pa. Over ice, from tables of the
  // vapour pressure of ice (CRC Handbook): -10 C -> 259.9 Pa, 0 C -> 611.15 Pa; over water at 0 C
  // 611.21 Pa: just below 0 C the ice value holds.
  EXPECT_NEAR(WaterVapourPressure(0.01), 611.657, 1e-3);
  EXPECT_NEAR(WaterVapourPressure(-10.0), 259.9, 0.05);
  EXPECT_NEAR(WaterVapourPressure(-1e-9), 611.15, 0.01);
  EXPECT_NEAR(WaterVapourPressure(0.0), 611.21, 0.01);
  // The ice formula keeps falling smoothly: halving roughly every 10 K between -10 and -40 C.
  double Prev = WaterVapourPressure(-10.0);
  for (double T = -20.0; T >= -40.0; T -= 10.0) {
    double P = WaterVapourPressure(T);
    EXPECT_GT(P / Prev, 0.3) << T;
    EXPECT_LT(P / Prev, 0.45) << T;
    Prev = P;
  }
}

TEST(Ciddor, WaterMoleFraction) {
  // 100 % at 20 C and 101325 Pa: f = 1.00062 + 3.14e-8 * 101325 + 5.6e-7 * 400 = 1.0040256...,
  // x = f * 2339.2 / 101325.
  double F = 1.00062 + 3.14e-8 * 101325.0 + 5.6e-7 * 400.0;
  EXPECT_NEAR(WaterMoleFraction(100.0, 20.0, 101325.0), F * WaterVapourPressure(20.0) / 101325.0, 1e-15);
  EXPECT_NEAR(WaterMoleFraction(100.0, 20.0, 101325.0), 0.023179, 2e-6);
  EXPECT_EQ(WaterMoleFraction(0.0, 20.0, 101325.0), 0.0);
}

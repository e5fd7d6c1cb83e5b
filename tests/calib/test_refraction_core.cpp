// The refractive-index calculator: Ciddor's index at given conditions and the iteration from
// air to vacuum wavelengths. Reference values: the NIST Engineering Metrology Toolbox, "Index
// of Refraction of Air" (J. A. Stone and J. H. Zimmerman), test data of the Ciddor equation
// for the vacuum wavelength 633 nm and 450 umol/mol CO2 in dry air, quoted to nine decimals;
// the index of Ciddor's equation at 15 C, 101325 Pa, 50 % RH, 6330 A, 1.000276213.
#include <gtest/gtest.h>

#include <cmath>

#include "Units/UCiddor.h"
#include "calib/UIndRefrAirCore.h"
#include "core/UErrors.h"

TEST(RefractionCore, CiddorIndexAgainstPublishedValues) {
  struct Row {
    double TempC, PressureHPa, RelHum, Index;
  } Rows[] = {
      {20.0, 1013.25, 0.0, 1.000271800}, // NIST
      {20.0, 600.0, 0.0, 1.000160924},   // NIST
      {20.0, 1200.0, 0.0, 1.000321916},  // NIST
      {15.0, 1013.25, 50.0, 1.000276213},
  };
  for (const Row &R : Rows) {
    TAirConditions C = AirConditionsHPa(R.TempC, R.PressureHPa, R.RelHum, 450.0);
    TAirResult A = CiddorVacToAir(6330.0, C);
    // Half a unit of the ninth decimal.
    EXPECT_NEAR(A.Index, R.Index, 5e-10)
        << R.TempC << " C, " << R.PressureHPa << " hPa, " << R.RelHum << " %";
    EXPECT_NEAR(A.Wavelength, 6330.0 / R.Index, 5e-6);
  }
}

TEST(RefractionCore, TheCalculatorsDefaultsShowNineAndSixDecimals) {
  TAirResult A = CiddorVacToAir(6330.0, AirConditionsHPa(15.0, 1013.25, 50.0, 450.0));
  EXPECT_EQ(FormatAirIndex(A.Index), "1.000276213");
  // 6330 / 1.000276213 = 6328.252 (by hand: 6330 * 2.76213e-4 / 1.000276 = 1.748 A less).
  EXPECT_NEAR(A.Wavelength, 6328.2520, 5e-4);
  const std::string Shown = FormatAirWavelength(A.Wavelength);
  EXPECT_EQ(Shown.substr(0, 7), "6328.25") << Shown;
  EXPECT_EQ(Shown.size(), 11u) << Shown; // six decimals
  EXPECT_EQ(FormatAirWavelength(6328.2520014), "6328.252001");
}

TEST(RefractionCore, AirToVacuumInvertsVacuumToAir) {
  struct Cond {
    double T, P, RH, CO2;
  } Conds[] = {{15, 1013.25, 50, 450}, {20, 600, 0, 450}, {-10, 800, 80, 400}, {35, 1050, 100, 600}};
  double Worst = 0;
  for (const Cond &K : Conds) {
    TAirConditions C = AirConditionsHPa(K.T, K.P, K.RH, K.CO2);
    for (double L = 3000.0; L <= 11000.0; L += 250.0) {
      TAirResult Air = CiddorVacToAir(L, C);
      TAirResult Vac = CiddorAirToVac(Air.Wavelength, C);
      Worst = std::max(Worst, std::fabs(Vac.Wavelength - L));
      // The index found belongs to the vacuum wavelength.
      EXPECT_NEAR(Vac.Index, Air.Index, 1e-13) << L;
      // A fixed point: the index of the vacuum wavelength found is the index used.
      EXPECT_NEAR(CiddorIndex(Vac.Wavelength, K.CO2, K.RH, K.T, K.P * 100), Vac.Index, 1e-14) << L;
    }
  }
  EXPECT_LT(Worst, 1e-9);
}

TEST(RefractionCore, AnIterationThatCannotConvergeIsAnInternalFailure) {
  TAirConditions C;
  try {
    CiddorAirToVac(std::nan(""), C);
    ADD_FAILURE() << "no failure";
  } catch (const EAssertFailure &E) {
    EXPECT_NE(std::string(E.what()).find("UIndRefrAir"), std::string::npos) << E.what();
  }
}

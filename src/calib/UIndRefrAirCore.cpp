#include "calib/UIndRefrAirCore.h"

#include <cmath>

#include "Units/UCiddor.h"
#include "core/UErrors.h"
#include "core/UFormat.h"

#define ORVA_UNIT "UIndRefrAirCore"

TAirConditions AirConditionsHPa(double TempC, double PressureHPa, double RelHum, double CO2) {
  TAirConditions C;
  C.TempC = TempC;
  C.PressurePa = PressureHPa * 100.0;
  C.RelHum = RelHum;
  C.CO2 = CO2;
  return C;
}

namespace {

double Index(double Lambda, const TAirConditions &C) {
  return CiddorIndex(Lambda, C.CO2, C.RelHum, C.TempC, C.PressurePa);
}

} // namespace

TAirResult CiddorVacToAir(double LambdaVac, const TAirConditions &C) {
  TAirResult R;
  R.Index = Index(LambdaVac, C);
  R.Wavelength = LambdaVac / R.Index;
  return R;
}

TAirResult CiddorAirToVac(double LambdaAir, const TAirConditions &C) {
  constexpr int MAXSTEPS = 10;
  double N = Index(LambdaAir, C), NNew = N;
  int Step = 0;
  bool Done = false;
  while (!Done && Step < MAXSTEPS) {
    ++Step;
    NNew = Index(N * LambdaAir, C);
    Done = std::fabs(NNew - N) < 1e-14;
    N = NNew;
  }
  ORVA_ASSERT(Done && Step < MAXSTEPS);
  TAirResult R;
  R.Index = NNew;
  R.Wavelength = NNew * LambdaAir;
  return R;
}

std::string FormatAirIndex(double N) { return Format("%1.9f", N); }

std::string FormatAirWavelength(double Lambda) { return Format("%1.6f", Lambda); }

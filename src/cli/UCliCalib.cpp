// The x-axis conversions and the dispersion function as operations of "op", and the
// calculator of the refractive index of air as the command "refraction".
#include <cstdio>
#include <string>
#include <vector>

#include "Units/UCiddor.h"
#include "calib/UDispersionCore.h"
#include "calib/UIndRefrAirCore.h"
#include "calib/UXAxisCore.h"
#include "cli/UCliCommon.h"
#include "cli/UCliOpShared.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

int RunXAxis(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"kms"}, {"vac-to-air", "air-to-vac", "wavenumber"}, C, O);
  const int K = OneOf(A, {"vac-to-air", "air-to-vac", "wavenumber", "kms"},
                      "of --vac-to-air --air-to-vac --wavenumber --kms");
  // The centre is read before the first spectrum, as in the dialog.
  const double Center = K == 3 ? StrToFloat(A.Value("kms", "")) : 0.0;
  if (K == 3) CheckCenterWavelength(Center);
  TCliSink Notices(C);
  RunOnFiles(C, ReadAll(A.Positional(), O), [&](const TSpec32 &S) {
    if (K == 0) return OpVacToAir(S);
    if (K == 1) return OpAirToVac(S);
    if (K == 2) return OpWavenumber(S);
    // Told, and converted all the same (not a failure).
    if (CenterOutsideProfile(S, Center)) Notices.Notice(S, CenterOutsideText);
    return OpVelocity(S, Center);
  });
  return C.Rc;
}

// "a0,a1,...": up to seven coefficients, the missing higher ones 0.
TDispersionCoeffs ParseCoeffs(const std::string &Text) {
  TDispersionCoeffs A{};
  size_t I = 0, Pos = 0;
  for (;;) {
    const size_t Comma = Text.find(',', Pos);
    if (I >= A.size()) throw ECliUsage{"--coef takes at most seven coefficients a0 ... a6"};
    A[I++] = StrToFloat(Text.substr(Pos, Comma == std::string::npos ? std::string::npos : Comma - Pos));
    if (Comma == std::string::npos) break;
    Pos = Comma + 1;
  }
  return A;
}

int RunDispersion(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"coef"}, {}, C, O);
  if (!A.Has("coef")) throw ECliUsage{"dispersion needs --coef a0,a1,...,a6"};
  const TDispersionCoeffs Coef = ParseCoeffs(A.Value("coef", ""));
  RunOnFiles(C, ReadAll(A.Positional(), O), [&Coef](const TSpec32 &S) { return OpDispersion(S, Coef); });
  return C.Rc;
}

const TCliOpRegistrar XAxisOp({"xaxis",
                               "  xaxis --vac-to-air|--air-to-vac|--wavenumber|--kms CENTER\n"
                               "                                         vacuum to air wavelengths and back "
                               "(standard\n"
                               "                                         air, -air -vac), wavenumbers "
                               "(-wnwl), km/s\n"
                               "                                         relative to CENTER (-kms)\n",
                               RunXAxis});
const TCliOpRegistrar DispersionOp({"dispersion",
                                    "  dispersion --coef a0,a1,...,a6         x' = a0 + a1 x + ... + a6 "
                                    "x^6, missing\n"
                                    "                                         coefficients 0 (-disp)\n",
                                    RunDispersion});

const char *const RefractionUsage =
    "Usage: orvalumetrix-cli refraction (--vacuum L | --air L) [--temp C] [--pressure HPA]\n"
    "                                   [--humidity RH] [--co2 PPM]\n"
    "       orvalumetrix-cli refraction (--edlen-vacuum L | --edlen-air L)\n\n"
    "The refractive index of air and the air or vacuum wavelength (in Angstrom) of L.\n"
    "--vacuum and --air use moist air after Ciddor (1996) at temperature C in degrees C\n"
    "(default 15.0), pressure HPA in hPa (1013.25), relative humidity RH in % (50.0) and\n"
    "CO2 content PPM in ppm (450.0); --edlen-vacuum and --edlen-air standard air after\n"
    "Edlen (1966).\n";

int RunRefraction(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"vacuum", "air", "edlen-vacuum", "edlen-air", "temp", "pressure", "humidity", "co2"});
  if (!A.Positional().empty()) throw ECliUsage{"unexpected argument '" + A.Positional().front() + "'"};
  const int K = OneOf(A, {"vacuum", "air", "edlen-vacuum", "edlen-air"},
                      "of --vacuum --air --edlen-vacuum --edlen-air");
  if (K >= 2) {
    for (const char *Cond : {"temp", "pressure", "humidity", "co2"})
      if (A.Has(Cond)) throw ECliUsage{std::string("--") + Cond + " is for --vacuum and --air only"};
    if (K == 2)
      std::printf("Air Wavelength [\u00c5]: %s\n",
                  FormatAirWavelength(VacToAirEdlen(A.FloatValue("edlen-vacuum", 0))).c_str());
    else
      std::printf("Vacuum Wavelength [\u00c5]: %s\n",
                  FormatAirWavelength(AirToVacEdlen(A.FloatValue("edlen-air", 0))).c_str());
    return 0;
  }
  const double Lambda = A.FloatValue(K == 0 ? "vacuum" : "air", 0);
  const TAirConditions C = AirConditionsHPa(A.FloatValue("temp", 15.0), A.FloatValue("pressure", 1013.25),
                                            A.FloatValue("humidity", 50.0), A.FloatValue("co2", 450.0));
  const TAirResult R = K == 0 ? CiddorVacToAir(Lambda, C) : CiddorAirToVac(Lambda, C);
  std::printf("Index of Refraction of Air: %s\n", FormatAirIndex(R.Index).c_str());
  std::printf("%s Wavelength [\u00c5]: %s\n", K == 0 ? "Air" : "Vacuum",
              FormatAirWavelength(R.Wavelength).c_str());
  std::printf("index: %s\n", Format("%1.15g", R.Index).c_str());
  return 0;
}

const TCliCommand CliRefractionCommand{"refraction", "refractive index of air, air and vacuum wavelengths",
                                       RefractionUsage, RunRefraction};
const TCliCommandRegistrar RefractionRegistrar(CliRefractionCommand);

} // namespace

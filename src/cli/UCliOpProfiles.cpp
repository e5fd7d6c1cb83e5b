// "op new": the synthetic spectra of the New Profile dialog, written as files.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "astro/UBaryCorr.h"
#include "cli/UCliCommon.h"
#include "cli/UCliOpShared.h"
#include "cli/UCliSite.h"
#include "core/UDatFile.h"
#include "core/UGlobalData.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "ops/UNewProfileCore.h"
#include "ops/UOpResult.h"
#include "shell/UFileListCore.h"

namespace fs = std::filesystem;

namespace {

const char *const NewUsage =
    "  new gauss [--points N] [--from X] [--to X] [--amplitude A] [--position X0] [--sd S]\n"
    "            [--baseline B] [--slope S] [--noise S] [--voigt A]\n"
    "                                         a Gaussian line of standard deviation S (a Voigt\n"
    "                                         line for --voigt a > 0) on the baseline B + S x;\n"
    "                                         defaults 1536 points, 0 ... 1535, 1 at 768, sd 5\n"
    "                                         (Untitled-N)\n"
    "  new sin [--points N] [--periods1 P] [--amplitude1 A] [--phase1 DEG]\n"
    "          [--periods2 P] [--amplitude2 A] [--phase2 DEG] [--noise S]\n"
    "                                         two sines of P periods over N points (default\n"
    "                                         1024 points, one period of amplitude 1) (Untitled-N)\n"
    "  new planck [--from A] [--to A] [--step A] [--temp K] [--si]\n"
    "                                         Planck curve, 4000 ... 8000 step 5 Angstrom, 6000 K,\n"
    "                                         mean 1, or W m-2 sr-1 A-1 with --si (Planck)\n"
    "  new atmosphere --rayleigh|--ozone|--aerosols [--aod T] [--from A] [--to A]\n"
    "                 [--step A] [--height KM]\n"
    "                                         transmission of one extinction component,\n"
    "                                         4000 ... 8000 step 5 Angstrom, AOD 0.13, height\n"
    "                                         0.2 km (Rayleigh, Ozone, Aerosols)\n"
    "  new rv --utc YYYY-MM-DDTHH:MM:SS [--ra \"h m s\"] [--dec \"d m s\"] [--interval D]\n"
    "         [--points N] [--lon DEG] [--lat DEG] [--height M] [--tai-utc S] [--ephemeris FILE]\n"
    "                                         barycentric radial velocity (km/s) against MJD,\n"
    "                                         1000 points one day apart, star 14 15 39.6720\n"
    "                                         +19 10 56.677; the site as for 'bary' (Untitled-N)\n";

// Names the result as the file list would (FName empty: the next Untitled-N) and writes it.
void WriteNew(TOpContext &C, const std::string &FName, const TOpResult &R) {
  RunWholeCli(C, TOpOutcome{{}, {R}, false}, {}, FName);
}

int RunNew(const std::vector<std::string> &Args) {
  if (Args.empty() || Args[0].starts_with("--"))
    throw ECliUsage{"new needs gauss, sin, planck, atmosphere or rv"};
  const std::string Page = Args[0];
  const std::vector<std::string> Rest(Args.begin() + 1, Args.end());
  TOpContext C;
  TReadOptions O;
  auto NoFiles = [](const TCliArgs &A) {
    if (!A.Positional().empty()) throw ECliUsage{"new reads no files: '" + A.Positional()[0] + "'"};
  };

  if (Page == "gauss") {
    TCliArgs A = OpArgs(
        Rest, {"points", "from", "to", "amplitude", "position", "sd", "baseline", "slope", "noise", "voigt"},
        {}, C, O);
    NoFiles(A);
    TGaussParams P;
    P.Points = A.IntValue("points", P.Points);
    P.FromX = A.FloatValue("from", P.FromX);
    P.ToX = A.FloatValue("to", P.ToX);
    P.Ampl = A.FloatValue("amplitude", P.Ampl);
    P.PosX = A.FloatValue("position", P.PosX);
    P.SD = A.FloatValue("sd", P.SD);
    P.Bias = A.FloatValue("baseline", P.Bias);
    P.Slope = A.FloatValue("slope", P.Slope);
    P.Noise = A.FloatValue("noise", P.Noise);
    P.VoigtA = A.FloatValue("voigt", P.VoigtA);
    WriteNew(C, "", NewGaussVoigt(P));
  } else if (Page == "sin") {
    TCliArgs A = OpArgs(
        Rest, {"points", "periods1", "amplitude1", "phase1", "periods2", "amplitude2", "phase2", "noise"}, {},
        C, O);
    NoFiles(A);
    TSinParams P;
    P.Points = A.IntValue("points", P.Points);
    P.Per1 = A.FloatValue("periods1", P.Per1);
    P.Ampl1 = A.FloatValue("amplitude1", P.Ampl1);
    P.Phase1 = A.FloatValue("phase1", P.Phase1);
    P.Per2 = A.FloatValue("periods2", P.Per2);
    P.Ampl2 = A.FloatValue("amplitude2", P.Ampl2);
    P.Phase2 = A.FloatValue("phase2", P.Phase2);
    P.Noise = A.FloatValue("noise", P.Noise);
    WriteNew(C, "", NewSin(P));
  } else if (Page == "planck") {
    TCliArgs A = OpArgs(Rest, {"from", "to", "step", "temp"}, {"si"}, C, O);
    NoFiles(A);
    TPlanckParams P;
    P.From = A.FloatValue("from", P.From);
    P.To = A.FloatValue("to", P.To);
    P.Step = A.FloatValue("step", P.Step);
    P.Temp = A.FloatValue("temp", P.Temp);
    P.Scaling = A.Has("si") ? TPlanckScaling::Radiance : TPlanckScaling::MeanOne;
    WriteNew(C, PlanckName, NewPlanck(P));
  } else if (Page == "atmosphere") {
    TCliArgs A =
        OpArgs(Rest, {"aod", "from", "to", "step", "height"}, {"rayleigh", "ozone", "aerosols"}, C, O);
    NoFiles(A);
    TAtmosphereParams P;
    P.Mode = static_cast<TAtmosphereMode>(
        OneOf(A, {"rayleigh", "ozone", "aerosols"}, "of --rayleigh --ozone --aerosols"));
    P.AOD = A.FloatValue("aod", P.AOD);
    P.From = A.FloatValue("from", P.From);
    P.To = A.FloatValue("to", P.To);
    P.Step = A.FloatValue("step", P.Step);
    P.Height = A.FloatValue("height", P.Height);
    WriteNew(C, AtmosphereName(P.Mode), NewAtmosphere(P));
  } else if (Page == "rv") {
    TCliArgs A = OpArgs(
        Rest, {"utc", "ra", "dec", "interval", "points", "lon", "lat", "height", "tai-utc", "ephemeris"}, {},
        C, O);
    NoFiles(A);
    if (!A.Has("utc")) throw ECliUsage{"new rv needs --utc"};
    TRVParams P;
    P.Start = ParseUtc(A.Value("utc", ""));
    P.RaText = A.Value("ra", P.RaText);
    P.DeText = A.Value("dec", P.DeText);
    P.Interval = A.FloatValue("interval", P.Interval);
    P.Points = A.IntValue("points", P.Points);
    // Options given override the settings; the settings file is read only when one is missing.
    if (!(A.Has("tai-utc") && A.Has("lon") && A.Has("lat") && A.Has("height")))
      SiteFromSettings(P.TAImUTC, P.Lon, P.Lat, P.Height);
    P.TAImUTC = A.FloatValue("tai-utc", P.TAImUTC);
    P.Lon = A.FloatValue("lon", P.Lon);
    P.Lat = A.FloatValue("lat", P.Lat);
    P.Height = A.FloatValue("height", P.Height);
    TBaryCorr BC(A.Value("ephemeris", ProgramDir() + "/" + BaryEphemerisName));
    WriteNew(C, "", NewRadialVelocity(BC, P));
  } else {
    throw ECliUsage{"unknown profile '" + Page + "' (gauss, sin, planck, atmosphere, rv)"};
  }
  return C.Rc;
}

const TCliOpRegistrar NewRegistrar{{"new", NewUsage, RunNew}};

} // namespace

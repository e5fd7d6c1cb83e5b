// The commands "bary" (the barycentric correction, optionally applied to spectrum files) and
// "ephemeris" (what the ephemeris file in use is).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "astro/UBaryCorr.h"
#include "cli/UCliCommon.h"
#include "cli/UCliRead.h"
#include "cli/UCliSite.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "shell/UFileListCore.h"

namespace fs = std::filesystem;

// Declared here too so that it has external linkage before main.cpp lists it.
extern const TCliCommand CliEphemerisCommand;

namespace {

std::string EphemerisFile(const TCliArgs &A) {
  return A.Value("ephemeris", ProgramDir() + "/" + BaryEphemerisName);
}

// The "-bary" spectrum of one file, written into OutDir: FITS sources as FITS with their own
// extension, text sources as ".dat". Returns the file written.
std::string ApplyToFile(const std::string &FName, double RVFac, const std::string &OutDir,
                        const TReadOptions &O) {
  std::unique_ptr<TSpec32> S = ReadForCli(FName, O);
  TSpec32 R;
  int Untitled = 0; // a source always has a name
  R.NewSpec(ResultName(S->FileName(), "-bary", Untitled), S->Size(), 0.0, S.get());
  ApplyBaryCorr(*S, RVFac, R);
  const bool Fits = SpecFileKind(FName) == TSpecFileKind::Fits;
  const std::string Out =
      (fs::path(OutDir) / (R.FileName() + (Fits ? ExtractFileExt(FName) : ".dat"))).string();
  if (Fits)
    SaveSpecAsFits(R, Out);
  else
    WriteDat(R, Out);
  return Out;
}

int RunBary(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"utc", "ra", "dec", "lon", "lat", "height", "tai-utc", "out", "ephemeris", "colx", "coly",
                    "header"});
  if (!A.Has("utc")) throw ECliUsage{"--utc is needed"};
  if (!A.Has("ra") || !A.Has("dec")) throw ECliUsage{"--ra and --dec are needed"};
  const TReadOptions O = ReadOptions(A);
  if (!A.Positional().empty() && !A.Has("out")) throw ECliUsage{"--out DIR is needed with files"};
  TBaryInput In;
  In.DateTime = ParseUtc(A.Value("utc", ""));
  In.RaText = A.Value("ra", "");
  In.DeText = A.Value("dec", "");
  // Options given override the settings; the settings file is read only when one is missing.
  if (!(A.Has("tai-utc") && A.Has("lon") && A.Has("lat") && A.Has("height")))
    SiteFromSettings(In.TAImUTC, In.Lon, In.Lat, In.Height);
  In.TAImUTC = A.FloatValue("tai-utc", In.TAImUTC);
  In.Lon = A.FloatValue("lon", In.Lon);
  In.Lat = A.FloatValue("lat", In.Lat);
  In.Height = A.FloatValue("height", In.Height);

  TBaryCorr BC(EphemerisFile(A));
  const TBaryResult R = CalculateCorrection(BC, In);
  std::string Out;
  Out += "JD: " + R.JDText + "\n";
  Out += "Mean Sid. Time: " + R.MSTText + "\n";
  Out += "Time Correction [s]: " + R.TimeCorrText + "\n";
  Out += "Radial Vel. [km/s]: " + R.RadVelText + "\n";
  Out += Format("distdot: %1.12g\ndtime: %1.12g\ndist: %1.12g\n", R.distdot, R.dtime, R.dist);
  std::fputs(Out.c_str(), stdout);

  int Rc = 0;
  for (const std::string &FName : A.Positional()) {
    try {
      const std::string Written = ApplyToFile(FName, R.RVFac, A.Value("out", "."), O);
      std::printf("wrote: %s\n", Written.c_str());
    } catch (const std::exception &E) {
      std::fflush(stdout);
      CliError(E.what());
      Rc = 1;
    }
  }
  return Rc;
}

int RunEphemeris(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"ephemeris"});
  if (!A.Positional().empty()) throw ECliUsage{"ephemeris takes no file arguments"};
  const std::string FName = EphemerisFile(A);
  TJplEph E(FName, false);
  std::string Out = "file: " + FName + "\n";
  for (int L = 1; L <= 3; ++L)
    Out += "title: " + E.Title(L) + "\n";
  const TEphHeader &H = E.Header();
  Out += Format("DE number: %d\n", H.NUMDE);
  Out += Format("first JED: %1.1f\nlast JED: %1.1f\ndays per record: %1.10g\n", H.SS[0], H.SS[1], H.SS[2]);
  Out += Format("record size [bytes]: %d\nrecords: %d\n", E.RecSize(), E.NumRecs());
  std::fputs(Out.c_str(), stdout);
  return 0;
}

} // namespace

const TCliCommand CliBaryCommand{
    "bary", "barycentric correction of an observation, optionally applied to spectra",
    "Usage: orvalumetrix-cli bary --utc YYYY-MM-DDTHH:MM:SS --ra \"h m s\" --dec \"d m s\"\n"
    "         [--lon DEG] [--lat DEG] [--height M] [--tai-utc S] [--ephemeris FILE]\n"
    "         [--out DIR] [--colx N] [--coly N] [--header N] [FILE...]\n\n"
    "Computes the barycentric correction for an observation at the UTC instant --utc of the\n"
    "star at J2000 right ascension --ra and declination --dec, as the Barycentric Correction\n"
    "dialog does, and prints JD, Mean Sid. Time, Time Correction [s], Radial Vel. [km/s],\n"
    "then distdot (km/s), dtime (s) and dist (AU).\n"
    "The site: --lon in degrees POSITIVE WEST of Greenwich, --lat in degrees, --height in\n"
    "metres, --tai-utc in seconds; those not given come from the settings file beside the\n"
    "program (orvalumetrix.ini; its defaults when there is none).\n"
    "The ephemeris is jpl_1950_2050.405 beside the program unless --ephemeris names another.\n"
    "Each FILE (read as 'info' does) gets its \"-bary\" spectrum, x' = (1 + distdot/299792.458) x,\n"
    "written into --out DIR as FITS (for FITS sources) or .dat; each file written is named.\n",
    RunBary};

const TCliCommand CliEphemerisCommand{
    "ephemeris", "title lines, date range and record size of the ephemeris file",
    "Usage: orvalumetrix-cli ephemeris [--ephemeris FILE]\n\n"
    "Prints the three title lines, the DE number, the first and last Julian ephemeris date,\n"
    "the days per record, the record size and the number of records of the ephemeris file in\n"
    "use: jpl_1950_2050.405 beside the program unless --ephemeris names another.\n",
    RunEphemeris};

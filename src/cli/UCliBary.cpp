// The commands "bary" (the barycentric correction, optionally applied to spectrum files) and
// "ephemeris" (what the ephemeris file in use is).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "astro/UBaryCorr.h"
#include "astro/UBaryHeader.h"
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

// What a "-bary" spectrum records about the correction applied to it.
struct TApplied {
  double RVFac = 1, Velocity = 0; // km/s
  std::string UtcText;
  double Ra = 0, De = 0; // degrees
};

// A source that records a correction already is refused unless Force.
void CheckNotCorrected(const TSpec32 &S, bool Force) {
  const double Applied = AppliedBaryCorr(S.FitsBess());
  if (Applied != 0 && !Force)
    OrvaRaise(S.FileName() + Format(": a barycentric correction of %.3f km/s is already applied (BSS_VHEL); "
                                    "--force applies another",
                                    Applied));
}

// The "-bary" spectrum of S, written into OutDir: FITS sources as FITS with their own
// extension, text sources as ".dat". Returns the file written.
std::string WriteBary(const TSpec32 &S, const std::string &FName, const TApplied &A,
                      const std::string &OutDir) {
  TSpec32 R;
  int Untitled = 0; // a source always has a name
  R.NewSpec(ResultName(S.FileName(), "-bary", Untitled), S.Size(), 0.0, &S);
  ApplyBaryCorr(S, A.RVFac, R);
  RecordBaryCorr(R.FitsBess(), A.Velocity, A.UtcText, A.Ra, A.De);
  const bool Fits = SpecFileKind(FName) == TSpecFileKind::Fits;
  const std::string Out =
      (fs::path(OutDir) / (R.FileName() + (Fits ? ExtractFileExt(FName) : ".dat"))).string();
  if (Fits)
    SaveSpecAsFits(R, Out);
  else
    WriteDat(R, Out);
  return Out;
}

// The observer's site: the options given, the settings for those missing.
TBaryInput SiteInput(const TCliArgs &A) {
  TBaryInput In;
  // Options given override the settings; the settings file is read only when one is missing.
  if (!(A.Has("tai-utc") && A.Has("lon") && A.Has("lat") && A.Has("height")))
    SiteFromSettings(In.TAImUTC, In.Lon, In.Lat, In.Height);
  In.TAImUTC = A.FloatValue("tai-utc", In.TAImUTC);
  In.Lon = A.FloatValue("lon", In.Lon);
  In.Lat = A.FloatValue("lat", In.Lat);
  In.Height = A.FloatValue("height", In.Height);
  return In;
}

// Each file its own correction from its header: one line per file on stdout, a refused file
// on stderr, the others go on.
int RunFromHeader(const TCliArgs &A, const TReadOptions &O) {
  if (A.Has("utc")) throw ECliUsage{"--utc and --from-header exclude each other"};
  if (A.Has("tai-utc"))
    throw ECliUsage{"--tai-utc does not apply with --from-header (the leap-second table gives it)"};
  if (A.Has("ra") != A.Has("dec")) throw ECliUsage{"--ra and --dec go together"};
  if (A.Positional().empty()) throw ECliUsage{"--from-header needs files"};
  const TBaryInput Site = SiteInput(A);
  const TBarySite Settings{Site.Lon, Site.Lat, Site.Height};
  TBaryCorr BC(EphemerisFile(A));
  const bool Write = A.Has("out"), Force = A.Has("force");
  int Rc = 0;
  for (const std::string &FName : A.Positional()) {
    try {
      std::unique_ptr<TSpec32> S = ReadForCli(FName, O);
      const TBaryHeaderResult R = CalculateFromHeader(
          BC, HeaderObservation(S->FitsBess(), Settings, A.Value("ra", ""), A.Value("dec", "")));
      if (Write) CheckNotCorrected(*S, Force);
      std::printf("%s\n", HeaderResultLine(S->FileName(), R).c_str());
      if (Write) {
        const std::string Written = WriteBary(
            *S, FName, TApplied{R.RVFac, R.distdot, R.Obs.UtcText, R.Obs.Ra, R.Obs.De}, A.Value("out", "."));
        std::printf("wrote: %s\n", Written.c_str());
      }
    } catch (const std::exception &E) {
      std::fflush(stdout);
      const std::string Msg = E.what();
      const std::string Name = fs::path(FName).filename().string();
      // Name the file unless the message does already.
      CliError(Msg.rfind(Name, 0) == 0 ? Msg : Name + ": " + Msg);
      Rc = 1;
    }
    std::fflush(stdout);
  }
  return Rc;
}

int RunBary(const std::vector<std::string> &Args) {
  TCliArgs A(
      Args,
      {"utc", "ra", "dec", "lon", "lat", "height", "tai-utc", "out", "ephemeris", "colx", "coly", "header"},
      {"from-header", "force"});
  const TReadOptions O = ReadOptions(A);
  if (A.Has("from-header")) return RunFromHeader(A, O);
  if (!A.Has("utc")) throw ECliUsage{"--utc is needed"};
  if (!A.Has("ra") || !A.Has("dec")) throw ECliUsage{"--ra and --dec are needed"};
  if (!A.Positional().empty() && !A.Has("out")) throw ECliUsage{"--out DIR is needed with files"};
  TBaryInput In = SiteInput(A);
  In.DateTime = ParseUtc(A.Value("utc", ""));
  In.RaText = A.Value("ra", "");
  In.DeText = A.Value("dec", "");

  TBaryCorr BC(EphemerisFile(A));
  const TBaryResult R = CalculateCorrection(BC, In);
  std::string Out;
  Out += "JD: " + R.JDText + "\n";
  Out += "Mean Sid. Time: " + R.MSTText + "\n";
  Out += "Time Correction [s]: " + R.TimeCorrText + "\n";
  Out += "Radial Vel. [km/s]: " + R.RadVelText + "\n";
  Out += Format("distdot: %1.12g\ndtime: %1.12g\ndist: %1.12g\n", R.distdot, R.dtime, R.dist);
  std::fputs(Out.c_str(), stdout);

  const TApplied Applied{R.RVFac, R.distdot, UtcText(In.DateTime), R.Ra, R.De};
  int Rc = 0;
  for (const std::string &FName : A.Positional()) {
    try {
      std::unique_ptr<TSpec32> S = ReadForCli(FName, O);
      CheckNotCorrected(*S, A.Has("force"));
      const std::string Written = WriteBary(*S, FName, Applied, A.Value("out", "."));
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
    "         [--out DIR] [--force] [--colx N] [--coly N] [--header N] [FILE...]\n"
    "       orvalumetrix-cli bary --from-header [--ra \"h m s\" --dec \"d m s\"]\n"
    "         [--lon DEG] [--lat DEG] [--height M] [--ephemeris FILE] [--out DIR] [--force] FILE...\n\n"
    "Computes the barycentric correction for an observation at the UTC instant --utc of the\n"
    "star at J2000 right ascension --ra and declination --dec, as the Barycentric Correction\n"
    "dialog does, and prints JD, Mean Sid. Time, Time Correction [s], Radial Vel. [km/s],\n"
    "then distdot (km/s), dtime (s) and dist (AU).\n"
    "The site: --lon in degrees POSITIVE WEST of Greenwich, --lat in degrees, --height in\n"
    "metres, --tai-utc in seconds; those not given come from the settings file beside the\n"
    "program (orvalumetrix.ini; its defaults when there is none).\n"
    "The ephemeris is jpl_1950_2050.405 beside the program unless --ephemeris names another.\n"
    "Each FILE (read as 'info' does) gets its \"-bary\" spectrum, x' = (1 + distdot/299792.458) x,\n"
    "written into --out DIR as FITS (for FITS sources) or .dat; each file written is named.\n"
    "The new header records the correction: BSS_VHEL (km/s, the total applied) and HISTORY\n"
    "cards with the velocity, the UTC instant and the coordinates. A FILE whose BSS_VHEL is\n"
    "not zero is corrected already and is refused unless --force is given.\n\n"
    "With --from-header each FILE gets its own correction at the middle of its exposure:\n"
    "DATE-OBS (or JD-OBS, MJD-OBS) plus EXPTIME/2, TAI-UTC from the leap-second table; the site\n"
    "from GEO_LONG (degrees EAST positive), GEO_LAT and GEO_ELEV when present, else as above;\n"
    "the star from RA/DEC (or OBJCTRA/OBJCTDEC), else --ra/--dec. One line per file:\n"
    "  NAME  utc: YYYY-MM-DDTHH:MM:SS.sss  velocity: V  site: header|settings  coordinates: header|given\n"
    "with V in km/s. A file whose header lacks what is needed is reported, the others go on.\n",
    RunBary};

const TCliCommand CliEphemerisCommand{
    "ephemeris", "title lines, date range and record size of the ephemeris file",
    "Usage: orvalumetrix-cli ephemeris [--ephemeris FILE]\n\n"
    "Prints the three title lines, the DE number, the first and last Julian ephemeris date,\n"
    "the days per record, the record size and the number of records of the ephemeris file in\n"
    "use: jpl_1950_2050.405 beside the program unless --ephemeris names another.\n",
    RunEphemeris};

// The commands "bary" (the barycentric correction, optionally applied to spectrum files) and
// "ephemeris" (what the ephemeris file in use is).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

#include "astro/UBaryCorr.h"
#include "cli/UCliCommon.h"
#include "cli/UCliRead.h"
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

// The folder of this executable, where the program keeps its settings and its ephemeris.
std::string ProgramDir() {
  char Buf[4096];
  const ssize_t N = ::readlink("/proc/self/exe", Buf, sizeof Buf - 1);
  if (N > 0) {
    Buf[N] = '\0';
    return fs::path(Buf).parent_path().string();
  }
  std::error_code Ec;
  return fs::current_path(Ec).string();
}

std::string EphemerisFile(const TCliArgs &A) {
  return A.Value("ephemeris", ProgramDir() + "/" + BaryEphemerisName);
}

// "YYYY-MM-DDTHH:MM:SS" (or with a blank for the "T").
TDateTimeInt ParseUtc(const std::string &Text) {
  const ECliUsage Bad{"--utc: '" + Text + "' is not a date and time YYYY-MM-DDTHH:MM:SS"};
  if (Text.size() != 19 || Text[4] != '-' || Text[7] != '-' || (Text[10] != 'T' && Text[10] != ' ') ||
      Text[13] != ':' || Text[16] != ':')
    throw Bad;
  auto Field = [&](size_t Pos, size_t Len) {
    int V = 0;
    for (size_t i = Pos; i < Pos + Len; ++i) {
      if (Text[i] < '0' || Text[i] > '9') throw Bad;
      V = V * 10 + (Text[i] - '0');
    }
    return V;
  };
  TDateTimeInt D{Field(0, 4), Field(5, 2), Field(8, 2), Field(11, 2), Field(14, 2), Field(17, 2)};
  if (D.Month < 1 || D.Month > 12 || D.Day < 1 || D.Day > 31 || D.Hour > 23 || D.Minute > 59 || D.Second > 60)
    throw Bad;
  return D;
}

// The observer's site as the settings file beside the program has it (the defaults when
// there is none). Reading the settings makes their remembered folder the current one, which a
// command line must not do to its relative file names: the current folder is kept.
void SiteFromSettings(double &TAImUTC, double &Lon, double &Lat, double &Height) {
  TGlobalData G(ProgramDir() + "/orvalumetrix");
  std::error_code Ec;
  const fs::path Cur = fs::current_path(Ec);
  G.ReadIniFile();
  if (!Ec) fs::current_path(Cur, Ec);
  TAImUTC = G.TAImUTC();
  Lon = G.ObsLong();
  Lat = G.ObsLat();
  Height = G.ObsHeight();
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

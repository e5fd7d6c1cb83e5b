// orvalumetrix-cli bary: the printed lines are the dialog's (the same core call), the
// "-bary" files carry x' = (1 + distdot/c) x, and bad usage or bad values fail as the CLI's
// conventions say.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "astro/UBaryCorr.h"
#include "common/TestUtil.h"
#include "core/UDatFile.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

namespace {

const std::string Cli = ORVA_BUILD_DIR "/orvalumetrix-cli";

struct TRun {
  int Rc = -1;
  std::string Out, Err;
};

TRun RunCli(const std::string &Args, const testutil::TTempDir &Dir) {
  const std::string O = Dir.File("stdout.txt"), E = Dir.File("stderr.txt");
  const int St = std::system((Cli + " " + Args + " >" + O + " 2>" + E).c_str());
  TRun R;
  R.Rc = WIFEXITED(St) ? WEXITSTATUS(St) : -1;
  R.Out = testutil::ReadFile(O);
  R.Err = testutil::ReadFile(E);
  return R;
}

const char *const KeckArgs =
    "bary --utc 2016-06-04T00:00:00 --ra '0 19 32.1' --dec '+35 2 37.1' --lon 155.4783 "
    "--lat 19.8283 --height 4160 --tai-utc 36";

TBaryInput KeckInput() {
  TBaryInput In;
  In.DateTime = {2016, 6, 4, 0, 0, 0};
  In.RaText = "0 19 32.1";
  In.DeText = "+35 2 37.1";
  In.TAImUTC = 36;
  In.Lon = 155.4783;
  In.Lat = 19.8283;
  In.Height = 4160;
  return In;
}

std::string ExpectedLines(const TBaryResult &R) {
  return "JD: " + R.JDText + "\nMean Sid. Time: " + R.MSTText + "\nTime Correction [s]: " + R.TimeCorrText +
         "\nRadial Vel. [km/s]: " + R.RadVelText + "\n" +
         Format("distdot: %1.12g\ndtime: %1.12g\ndist: %1.12g\n", R.distdot, R.dtime, R.dist);
}

} // namespace

TEST(CliBary, PrintsTheDialogsResults) {
  testutil::TTempDir Dir;
  TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
  const TBaryResult R = CalculateCorrection(BC, KeckInput());
  const TRun Run = RunCli(KeckArgs, Dir);
  EXPECT_EQ(Run.Rc, 0) << Run.Err;
  EXPECT_EQ(Run.Out, ExpectedLines(R));
  EXPECT_EQ(Run.Out.rfind("JD: 2457543.50000\n", 0), 0u) << Run.Out;
}

// Site options left out come from the settings file beside the program.
TEST(CliBary, MissingSiteOptionsComeFromTheSettings) {
  testutil::TTempDir Dir;
  TGlobalData G(ORVA_BUILD_DIR "/orvalumetrix");
  const std::filesystem::path Cur = std::filesystem::current_path();
  G.ReadIniFile();
  std::filesystem::current_path(Cur);
  TBaryInput In = KeckInput();
  In.TAImUTC = G.TAImUTC();
  In.Lon = G.ObsLong();
  In.Height = G.ObsHeight();
  TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
  const TRun Run =
      RunCli("bary --utc 2016-06-04T00:00:00 --ra '0 19 32.1' --dec '+35 2 37.1' --lat 19.8283", Dir);
  EXPECT_EQ(Run.Rc, 0) << Run.Err;
  EXPECT_EQ(Run.Out, ExpectedLines(CalculateCorrection(BC, In)));
}

TEST(CliBary, WritesTheBarySpectra) {
  testutil::TTempDir Dir;
  std::filesystem::create_directory(Dir.File("out"));
  testutil::WriteFile(Dir.File("star.dat"), "6560.0 1.0\n6560.5 0.5\n6561.0 0.25\n6561.5 2.0\n");
  TSpec32 F;
  F.NewSpec("m31", 4, 0.0, nullptr);
  for (size_t i = 0; i < 4; ++i) {
    F.DataX[i] = 4000 + 2.0 * static_cast<double>(i);
    F.DataY[i] = 10.0 + static_cast<double>(i);
  }
  F.FinishFromArrays();
  SaveSpecAsFits(F, Dir.File("m31.fits"));
  const TRun Run = RunCli(std::string(KeckArgs) + " --out " + Dir.File("out") + " " + Dir.File("star.dat") +
                              " " + Dir.File("m31.fits") + " " + Dir.File("missing.dat"),
                          Dir);
  EXPECT_EQ(Run.Rc, 1) << "the missing file fails, the others are written";
  EXPECT_NE(Run.Out.find("wrote: " + Dir.File("out/star-bary.dat") + "\n"), std::string::npos) << Run.Out;
  EXPECT_NE(Run.Out.find("wrote: " + Dir.File("out/m31-bary.fits") + "\n"), std::string::npos) << Run.Out;
  EXPECT_NE(Run.Err.find("orvalumetrix-cli: "), std::string::npos);

  TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
  const double Fac = CalculateCorrection(BC, KeckInput()).RVFac;
  ASSERT_GT(std::fabs(Fac - 1), 5e-5); // 20 km/s: a shift well above the files' precision
  std::unique_ptr<TSpec32> D = ReadSpecFile(Dir.File("out/star-bary.dat"), 1, 2, 0);
  ASSERT_TRUE(D);
  ASSERT_EQ(D->Size(), 4);
  const double X[4] = {6560.0, 6560.5, 6561.0, 6561.5}, Y[4] = {1.0, 0.5, 0.25, 2.0};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(D->DataX[i], Fac * X[i], 1e-6); // "%15.10g" keeps 10 digits
    EXPECT_EQ(D->DataY[i], Y[i]);
  }
  std::unique_ptr<TSpec32> Fi = ReadSpecFile(Dir.File("out/m31-bary.fits"), 1, 2, 0);
  ASSERT_TRUE(Fi);
  ASSERT_EQ(Fi->Size(), 4);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(Fi->DataX[i], Fac * F.DataX[i], 1e-5); // CRVAL1 and CDELT1 as the header writes them
    EXPECT_FLOAT_EQ(static_cast<float>(Fi->DataY[i]), static_cast<float>(F.DataY[i]));
  }
}

TEST(CliBary, BadUsageAndBadValues) {
  testutil::TTempDir Dir;
  struct {
    std::string Args;
    int Rc;
    std::string Err;
  } Rows[] = {
      {"bary --ra '1 2 3' --dec '4 5 6'", 2, "orvalumetrix-cli: --utc is needed\n"},
      {"bary --utc 2016-06-04T00:00:00 --dec '4 5 6'", 2, "orvalumetrix-cli: --ra and --dec are needed\n"},
      {"bary --utc 2016-13-04T00:00:00 --ra 1 --dec 1", 2,
       "orvalumetrix-cli: --utc: '2016-13-04T00:00:00' is not a date and time YYYY-MM-DDTHH:MM:SS\n"},
      {"bary --utc 2016-06-04 --ra 1 --dec 1", 2,
       "orvalumetrix-cli: --utc: '2016-06-04' is not a date and time YYYY-MM-DDTHH:MM:SS\n"},
      {"bary --utc 2016-06-04T00:00:00 --ra 1 --dec 1 --lon 7,5", 2,
       "orvalumetrix-cli: --lon: '7,5' is not a valid floating point value\n"},
      {"bary --utc 2016-06-04T00:00:00 --ra 1 --dec 1 x.dat", 2,
       "orvalumetrix-cli: --out DIR is needed with files\n"},
      {"bary --utc 2016-06-04T00:00:00 --ra '24 0 0' --dec 1 --lon 0 --lat 0 --height 0 --tai-utc 36", 1,
       "orvalumetrix-cli: Unknown RA format\n"},
      {"bary --utc 2016-06-04T00:00:00 --ra 1 --dec '+90 0 1' --lon 0 --lat 0 --height 0 --tai-utc 36", 1,
       "orvalumetrix-cli: Unknown Dec format\n"},
      {"bary --utc 1582-10-10T00:00:00 --ra 1 --dec 1 --lon 0 --lat 0 --height 0 --tai-utc 36", 1,
       "orvalumetrix-cli: Illegal Date in UTToJD\n"},
      {"bary --utc 2051-01-01T00:00:00 --ra 1 --dec 1 --lon 0 --lat 0 --height 0 --tai-utc 36", 1,
       "orvalumetrix-cli: Requested JED not within ephemeris limits\n"},
  };
  for (const auto &R : Rows) {
    const TRun Run = RunCli(R.Args, Dir);
    EXPECT_EQ(Run.Rc, R.Rc) << R.Args;
    EXPECT_EQ(Run.Err.substr(0, R.Err.size()), R.Err) << R.Args;
    if (R.Rc == 1) {
      EXPECT_EQ(Run.Out, "") << R.Args;
    }
  }
  // Another ephemeris file: its errors are the reader's.
  testutil::WriteFile(Dir.File("bad.405"), std::string(3000, 'x'));
  const TRun Run = RunCli(std::string(KeckArgs) + " --ephemeris " + Dir.File("bad.405"), Dir);
  EXPECT_EQ(Run.Rc, 1);
  EXPECT_EQ(Run.Err, "orvalumetrix-cli: No JPL ephemeris file\n");
}

namespace {

// A FITS spectrum of four points at 4000, 4002, ... A with the given extra cards.
void WriteFitsWith(const std::string &FName, const std::vector<std::pair<std::string, std::string>> &Cards) {
  TSpec32 F;
  F.NewSpec("s", 4, 0.0, nullptr);
  for (size_t i = 0; i < 4; ++i) {
    F.DataX[i] = 4000 + 2.0 * static_cast<double>(i);
    F.DataY[i] = 10.0 + static_cast<double>(i);
  }
  F.FinishFromArrays();
  for (const auto &[K, V] : Cards) {
    std::string Key = K;
    Key.resize(8, ' ');
    F.FitsBess().Add(TFitsBess::ComposeLine(Key, V, V[0] == '\'' ? 2 : 1, ""));
  }
  SaveSpecAsFits(F, FName);
}

const std::vector<std::pair<std::string, std::string>> KeckCards = {{"DATE-OBS", "'2016-06-03T23:55:00'"},
                                                                    {"EXPTIME", "600."},
                                                                    {"GEO_LONG", "-155.4783"},
                                                                    {"GEO_LAT", "19.8283"},
                                                                    {"GEO_ELEV", "4160."},
                                                                    {"RA", "'00 19 32.1'"},
                                                                    {"DEC", "'+35 02 37.1'"}};

} // namespace

// One line per file; each file's numbers are those of the typed correction at the middle of
// its exposure (00:00:00 here, worked out by hand), so both modes agree to the last digit.
TEST(CliBary, FromHeaderOneLinePerFile) {
  testutil::TTempDir Dir;
  WriteFitsWith(Dir.File("keck.fits"), KeckCards);
  // No site and no star: the options' site and the given coordinates.
  WriteFitsWith(Dir.File("bare.fits"), {{"MJD-OBS", "57543."}});
  WriteFitsWith(Dir.File("nodate.fits"), {{"RA", "1."}, {"DEC", "1."}});
  const TRun Run =
      RunCli("bary --from-header --ra '0 19 32.1' --dec '+35 2 37.1' --lon 155.4783 --lat 19.8283 "
             "--height 4160 " +
                 Dir.File("keck.fits") + " " + Dir.File("nodate.fits") + " " + Dir.File("bare.fits"),
             Dir);
  TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
  const std::string V = Format("%.6f", CalculateCorrection(BC, KeckInput()).distdot);
  EXPECT_EQ(Run.Rc, 1) << "the file without a date fails, the others are computed";
  EXPECT_EQ(Run.Out, "keck.fits  utc: 2016-06-04T00:00:00.000  velocity: " + V +
                         "  site: header  coordinates: header\n"
                         "bare.fits  utc: 2016-06-04T00:00:00.000  velocity: " +
                         V + "  site: settings  coordinates: given\n");
  EXPECT_EQ(Run.Err, "orvalumetrix-cli: nodate.fits: no DATE-OBS, JD-OBS or MJD-OBS\n");
}

// --out writes the "-bary" spectra with their record; a corrected one is refused unless
// --force, which then records the composed total.
TEST(CliBary, FromHeaderWritesAndRefusesCorrectedFiles) {
  testutil::TTempDir Dir;
  std::filesystem::create_directory(Dir.File("out"));
  WriteFitsWith(Dir.File("keck.fits"), KeckCards);
  std::vector<std::pair<std::string, std::string>> Done = KeckCards;
  Done.push_back({"BSS_VHEL", "-5.5"});
  WriteFitsWith(Dir.File("done.fits"), Done);
  const std::string Files = " " + Dir.File("keck.fits") + " " + Dir.File("done.fits");
  TRun Run = RunCli("bary --from-header --out " + Dir.File("out") + Files, Dir);
  EXPECT_EQ(Run.Rc, 1);
  EXPECT_EQ(Run.Err,
            "orvalumetrix-cli: done.fits: a barycentric correction of -5.500 km/s is already applied "
            "(BSS_VHEL); --force applies another\n");
  EXPECT_NE(Run.Out.find("wrote: " + Dir.File("out/keck-bary.fits") + "\n"), std::string::npos) << Run.Out;
  EXPECT_FALSE(std::filesystem::exists(Dir.File("out/done-bary.fits")));

  TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
  const TBaryResult T = CalculateCorrection(BC, KeckInput());
  std::unique_ptr<TSpec32> K = ReadSpecFile(Dir.File("out/keck-bary.fits"), 1, 2, 0);
  ASSERT_TRUE(K);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_NEAR(K->DataX[i], T.RVFac * (4000 + 2.0 * static_cast<double>(i)), 1e-5);
  EXPECT_NEAR(K->FitsBess().BSS_VHEL(), T.distdot, 1e-8); // "%20.10g" keeps 10 digits
  bool History = false;
  for (const std::string &C : K->FitsBess().Cards())
    History = History || C.find("at 2016-06-04T00:00:00.000 UTC") != std::string::npos;
  EXPECT_TRUE(History);

  Run = RunCli("bary --from-header --force --out " + Dir.File("out") + Files, Dir);
  EXPECT_EQ(Run.Rc, 0) << Run.Err;
  std::unique_ptr<TSpec32> D = ReadSpecFile(Dir.File("out/done-bary.fits"), 1, 2, 0);
  ASSERT_TRUE(D);
  const double c = 299792.458;
  EXPECT_NEAR(D->FitsBess().BSS_VHEL(), ((1 - 5.5 / c) * (1 + T.distdot / c) - 1) * c, 1e-8);

  // The typed mode refuses it as well.
  Run = RunCli(std::string(KeckArgs) + " --out " + Dir.File("out") + " " + Dir.File("done.fits"), Dir);
  EXPECT_EQ(Run.Rc, 1);
  EXPECT_NE(Run.Err.find("done.fits: a barycentric correction of -5.500 km/s"), std::string::npos) << Run.Err;
}

TEST(CliBary, FromHeaderUsage) {
  testutil::TTempDir Dir;
  struct {
    std::string Args, Err;
  } Rows[] = {
      {"bary --from-header", "orvalumetrix-cli: --from-header needs files\n"},
      {"bary --from-header --utc 2016-06-04T00:00:00 x.fits",
       "orvalumetrix-cli: --utc and --from-header exclude"},
      {"bary --from-header --ra '1 2 3' x.fits", "orvalumetrix-cli: --ra and --dec go together\n"},
      {"bary --from-header --tai-utc 36 x.fits",
       "orvalumetrix-cli: --tai-utc does not apply with --from-header"},
  };
  for (const auto &R : Rows) {
    const TRun Run = RunCli(R.Args, Dir);
    EXPECT_EQ(Run.Rc, 2) << R.Args;
    EXPECT_EQ(Run.Err.substr(0, R.Err.size()), R.Err) << R.Args;
  }
}

// orvalumetrix-cli op new: every page's spectrum is the core's (the written file is the text
// the core's result gives), named as the file list names it; bad usage and refusals fail with
// the CLI's exit codes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "astro/UBaryCorr.h"
#include "cli/CliRun.h"
#include "core/UDatFile.h"
#include "core/USpec32.h"
#include "ops/UNewProfileCore.h"
#include "ops/UOpResult.h"

namespace {

std::string ExpectedDat(const std::string &Name, const TOpResult &R) {
  return DatText(*BuildResultSpec(Name, R, nullptr));
}

} // namespace

TEST(NewProfileCli, EveryPageWritesTheCoresSpectrum) {
  struct Row {
    const char *Args;
    const char *Name;
    std::function<TOpResult()> Core;
  } Rows[] = {
      {"gauss --points 101 --from 700 --to 800 --amplitude 2 --position 760 --sd 3 --baseline 1 "
       "--slope 0.01 --voigt 0.7",
       "Untitled-1",
       [] {
         TGaussParams P;
         P.Points = 101;
         P.FromX = 700;
         P.ToX = 800;
         P.Ampl = 2;
         P.PosX = 760;
         P.SD = 3;
         P.Bias = 1;
         P.Slope = 0.01;
         P.VoigtA = 0.7;
         return NewGaussVoigt(P);
       }},
      {"sin --points 64 --periods1 3 --amplitude1 2 --phase1 30 --periods2 5 --amplitude2 0.5 --phase2 -45",
       "Untitled-1",
       [] {
         TSinParams P;
         P.Points = 64;
         P.Per1 = 3;
         P.Ampl1 = 2;
         P.Phase1 = 30;
         P.Per2 = 5;
         P.Ampl2 = 0.5;
         P.Phase2 = -45;
         return NewSin(P);
       }},
      {"planck --from 3000 --to 9000 --step 20 --temp 9500 --si", "Planck",
       [] {
         TPlanckParams P;
         P.From = 3000;
         P.To = 9000;
         P.Step = 20;
         P.Temp = 9500;
         P.Scaling = TPlanckScaling::Radiance;
         return NewPlanck(P);
       }},
      {"atmosphere --aerosols --aod 0.3", "Aerosols",
       [] {
         TAtmosphereParams P;
         P.Mode = TAtmosphereMode::Aerosols;
         P.AOD = 0.3;
         return NewAtmosphere(P);
       }},
      {"rv --utc 2016-06-04T00:00:00 --ra '0 19 32.1' --dec '+35 2 37.1' --interval 0.5 --points 20 "
       "--lon 155.4783 --lat 19.8283 --height 4160 --tai-utc 36",
       "Untitled-1",
       [] {
         TBaryCorr BC(ORVA_BUILD_DIR "/jpl_1950_2050.405");
         TRVParams P;
         P.Start = {2016, 6, 4, 0, 0, 0};
         P.RaText = "0 19 32.1";
         P.DeText = "+35 2 37.1";
         P.Interval = 0.5;
         P.Points = 20;
         P.Lon = 155.4783;
         P.Lat = 19.8283;
         P.Height = 4160;
         P.TAImUTC = 36;
         return NewRadialVelocity(BC, P);
       }},
  };
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Args);
    testutil::TTempDir Dir;
    const TCliResult R = RunCli(std::string("op new ") + W.Args + " --out '" + Dir.Path() + "'", Dir);
    ASSERT_EQ(R.Code, 0) << R.Err;
    const std::string File = Dir.File(std::string(W.Name) + ".dat");
    EXPECT_EQ(R.Out, File + "\n");
    EXPECT_EQ(testutil::ReadFile(File), ExpectedDat(W.Name, W.Core()));
  }
}

TEST(NewProfileCli, FitsOutputReadsBack) {
  testutil::TTempDir Dir;
  const TCliResult R = RunCli("op new atmosphere --aerosols --fits --out '" + Dir.Path() + "'", Dir);
  ASSERT_EQ(R.Code, 0) << R.Err;
  TSpec32 S;
  S.ReadFits(Dir.File("Aerosols.fits"));
  ASSERT_EQ(S.Size(), 801);
  EXPECT_NEAR(S.DataX[300], 5500, 1e-6);
  EXPECT_NEAR(S.DataY[300], 0.878095, 1e-6); // single precision data
}

TEST(NewProfileCli, RefusalsAndBadUsage) {
  struct Row {
    const char *Args;
    int Code;
    const char *ErrPart;
  } Rows[] = {
      {"gauss --points 1", 1, "A Gaussian / Voigt profile needs at least 2 points"},
      {"gauss --sd five", 2, "five"},
      {"sin --noise -1", 1, "The noise must not be negative"},
      {"planck --step 0", 1, "The step must be positive"},
      {"atmosphere --ozone --step 0.00001", 1, "Too many points"},
      {"atmosphere", 2, "give one of --rayleigh --ozone --aerosols"},
      {"planck star.dat", 2, "new reads no files"},
      {"rv", 2, "new rv needs --utc"},
      {"rv --utc 2016-06-04", 2, "is not a date and time"},
      {"rv --utc 2016-06-04T00:00:00 --ephemeris /nonexistent/eph.405", 1, "Cannot open file"},
      {"", 2, "new needs gauss, sin, planck, atmosphere or rv"},
  };
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Args);
    testutil::TTempDir Dir;
    const TCliResult R = RunCli(std::string("op new ") + W.Args + " --out '" + Dir.Path() + "'", Dir);
    EXPECT_EQ(R.Code, W.Code);
    EXPECT_NE(R.Err.find(W.ErrPart), std::string::npos) << R.Err;
    EXPECT_EQ(R.Out, "") << "nothing is written";
  }
}

TEST(NewProfileCli, HelpListsTheProfiles) {
  testutil::TTempDir Dir;
  const TCliResult R = RunCli("op --help", Dir);
  EXPECT_EQ(R.Code, 0);
  for (const char *P : {"new gauss", "new sin", "new planck", "new atmosphere", "new rv"})
    EXPECT_NE(R.Out.find(P), std::string::npos) << P;
}

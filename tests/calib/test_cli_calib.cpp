// The calibration commands of orvalumetrix-cli: "op xaxis", "op dispersion" and "refraction",
// run as a user would. Their values are the core's (tested on their own); here: names, files,
// messages, exit codes and the printed formats.
#include <gtest/gtest.h>

#include <string>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/UDatFile.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

class CliCalib : public ::testing::Test {
protected:
  testutil::TTempDir Tmp;
  std::string Src(const std::string &Name, const std::string &Content) {
    std::string F = Tmp.File(Name);
    testutil::WriteFile(F, Content);
    return "'" + F + "'";
  }
  void Read(const std::string &Name, TSpec32 &S) { EXPECT_TRUE(S.ReadDat(Tmp.File(Name), 1, 2, 0)) << Name; }
  std::string Out() { return "--out '" + Tmp.Path() + "' "; }
};

} // namespace

TEST_F(CliCalib, XAxisConversionsNameTheirResults) {
  const std::string F = Src("star.dat", "4000 1\n5000 2\n");
  struct Row {
    const char *Flag, *Name;
  } Rows[] = {{"--vac-to-air", "star-air.dat"},
              {"--air-to-vac", "star-vac.dat"},
              {"--wavenumber", "star-wnwl.dat"},
              {"--kms 4500", "star-kms.dat"}};
  for (const Row &R : Rows) {
    TCliResult C = RunCli("op xaxis " + std::string(R.Flag) + " " + Out() + F, Tmp);
    EXPECT_EQ(C.Code, 0) << R.Flag << ": " << C.Err;
    EXPECT_NE(C.Out.find(R.Name), std::string::npos) << C.Out;
    EXPECT_EQ(C.Err, "") << R.Flag;
  }
  TSpec32 W;
  Read("star-wnwl.dat", W);
  ASSERT_EQ(W.Size(), 2);
  EXPECT_NEAR(W.DataX[0], 20000, 1e-6);
  EXPECT_NEAR(W.DataX[1], 25000, 1e-6);
  EXPECT_EQ(W.DataY[0], 2.0);
  EXPECT_EQ(W.DataY[1], 1.0);
  TSpec32 K;
  Read("star-kms.dat", K);
  EXPECT_NEAR(K.DataX[0], -500.0 / 4500 * 299790, 1e-3);
}

TEST_F(CliCalib, CenterOutsideIsToldForEachSpectrumAndStillConverted) {
  const std::string A = Src("a.dat", "6000 1\n7000 2\n"), B = Src("b.dat", "6000 1\n6500 2\n");
  TCliResult C = RunCli("op xaxis --kms 5000 " + Out() + A + " " + B, Tmp);
  EXPECT_EQ(C.Code, 0) << C.Err;
  EXPECT_EQ(C.Err, "orvalumetrix-cli: a.dat: Center Wavelength outside of Profile\n"
                   "orvalumetrix-cli: b.dat: Center Wavelength outside of Profile\n");
  EXPECT_NE(C.Out.find("a-kms.dat"), std::string::npos);
  EXPECT_NE(C.Out.find("b-kms.dat"), std::string::npos);
}

TEST_F(CliCalib, XAxisUsageErrors) {
  const std::string F = Src("s.dat", "6000 1\n7000 2\n");
  for (const char *Args : {"op xaxis ", "op xaxis --wavenumber --vac-to-air "}) {
    TCliResult C = RunCli(Args + Out() + F, Tmp);
    EXPECT_EQ(C.Code, 2) << Args;
  }
  TCliResult Bad = RunCli("op xaxis --kms 6,5 " + Out() + F, Tmp);
  EXPECT_EQ(Bad.Code, 1);
  EXPECT_NE(Bad.Err.find("'6,5' is not a valid floating point value"), std::string::npos) << Bad.Err;
  TCliResult Zero = RunCli("op xaxis --kms 0 " + Out() + F, Tmp);
  EXPECT_EQ(Zero.Code, 1);
  EXPECT_NE(Zero.Err.find("Center Wavelength must not be 0"), std::string::npos) << Zero.Err;
  EXPECT_EQ(Zero.Out, "") << "nothing is made";
}

TEST_F(CliCalib, DispersionAppliesThePolynomial) {
  const std::string F = Src("arc.dat", "0 5\n10 6\n100 7\n");
  TCliResult C = RunCli("op dispersion --coef 6000,0.5,1e-4 " + Out() + F, Tmp);
  ASSERT_EQ(C.Code, 0) << C.Err;
  EXPECT_NE(C.Out.find("arc-disp.dat"), std::string::npos);
  TSpec32 D;
  Read("arc-disp.dat", D);
  ASSERT_EQ(D.Size(), 3);
  // The text file keeps the values to its own precision.
  EXPECT_NEAR(D.DataX[0], 6000, 1e-6);
  EXPECT_NEAR(D.DataX[1], 6005.01, 1e-6);
  EXPECT_NEAR(D.DataX[2], 6051, 1e-6);
  EXPECT_EQ(D.DataY[2], 7.0);

  EXPECT_EQ(RunCli("op dispersion --coef 0,1,0,0,0,0,0,0 " + Out() + F, Tmp).Code, 2) << "eight coefficients";
  EXPECT_EQ(RunCli("op dispersion " + Out() + F, Tmp).Code, 2);
  TCliResult Bad = RunCli("op dispersion --coef 0,x " + Out() + F, Tmp);
  EXPECT_EQ(Bad.Code, 1);
  EXPECT_NE(Bad.Err.find("'x' is not a valid floating point value"), std::string::npos) << Bad.Err;
}

TEST_F(CliCalib, DispersionRefusesWhereItIsNotMonotonicAndGoesOn) {
  // x' = (x - 5)^2: falls over 1 ... 3, turns back inside 0 ... 10.
  const std::string A = Src("a.dat", "0 1\n4 2\n6 3\n10 4\n"), B = Src("b.dat", "1 1\n2 2\n3 3\n");
  TCliResult C = RunCli("op dispersion --coef 25,-10,1 " + Out() + A + " " + B, Tmp);
  EXPECT_EQ(C.Code, 1);
  EXPECT_EQ(C.Err,
            "orvalumetrix-cli: a.dat: the dispersion function is not strictly monotonic over the x-values "
            "of this spectrum\n");
  EXPECT_EQ(C.Out.find("a-disp"), std::string::npos) << C.Out;
  TSpec32 D;
  Read("b-disp.dat", D);
  EXPECT_EQ(D.DataX, (std::vector<double>{16, 9, 4}));
  // All coefficients 0 would put every point at x = 0.
  EXPECT_EQ(RunCli("op dispersion --coef 0 " + Out() + B, Tmp).Code, 1);
}

TEST_F(CliCalib, RefractionPrintsTheCalculatorsFields) {
  TCliResult C = RunCli("refraction --vacuum 6330.0", Tmp);
  ASSERT_EQ(C.Code, 0) << C.Err;
  // The calculator's defaults: 15 C, 1013.25 hPa, 50 %, 450 ppm; n = 1.000276213 (Ciddor).
  EXPECT_EQ(C.Out.substr(0, C.Out.find('\n')), "Index of Refraction of Air: 1.000276213");
  EXPECT_NE(C.Out.find("\nAir Wavelength [\u00c5]: 6328.25"), std::string::npos) << C.Out;
  EXPECT_NE(C.Out.find("\nindex: 1.00027621"), std::string::npos) << C.Out;

  // NIST toolbox, dry air at 20 C and 101.325 kPa, 633 nm: 1.000271800.
  TCliResult D = RunCli("refraction --vacuum 6330 --temp 20 --humidity 0 --pressure 1013.25 --co2 450", Tmp);
  EXPECT_EQ(D.Out.substr(0, D.Out.find('\n')), "Index of Refraction of Air: 1.000271800") << D.Out;

  // Back from the air wavelength printed (six decimals, so within 1e-6 A of 6330).
  const std::string AirLabel = "\nAir Wavelength [\u00c5]: ";
  const size_t At = C.Out.find(AirLabel) + AirLabel.size();
  const std::string Air = C.Out.substr(At, C.Out.find('\n', At) - At);
  TCliResult A = RunCli("refraction --air " + Air, Tmp);
  ASSERT_EQ(A.Code, 0) << A.Err;
  const std::string VacLabel = "\nVacuum Wavelength [\u00c5]: ";
  const size_t V = A.Out.find(VacLabel);
  ASSERT_NE(V, std::string::npos) << A.Out;
  const size_t From = V + VacLabel.size();
  EXPECT_NEAR(StrToFloat(A.Out.substr(From, A.Out.find('\n', From) - From)), 6330.0, 1.5e-6) << A.Out;
}

TEST_F(CliCalib, RefractionInStandardAir) {
  // Na I D2, NIST ASD: vacuum 5891.5833 A, air 5889.9510 A.
  TCliResult V = RunCli("refraction --edlen-vacuum 5891.5833", Tmp);
  ASSERT_EQ(V.Code, 0) << V.Err;
  EXPECT_EQ(V.Out.substr(0, 28), "Air Wavelength [\u00c5]: 5889.95") << V.Out;
  TCliResult A = RunCli("refraction --edlen-air 5889.9510", Tmp);
  ASSERT_EQ(A.Code, 0) << A.Err;
  EXPECT_EQ(A.Out.substr(0, 31), "Vacuum Wavelength [\u00c5]: 5891.58") << A.Out;
  // Six decimals, nothing more on the line.
  EXPECT_EQ(A.Out.size(), std::string("Vacuum Wavelength [\u00c5]: 5891.583300\n").size()) << A.Out;
}

TEST_F(CliCalib, RefractionUsageErrors) {
  for (const char *Args :
       {"refraction", "refraction --vacuum 6330 --air 6328", "refraction --edlen-air 5000 --temp 20",
        "refraction --vacuum abc", "refraction 6330"}) {
    TCliResult C = RunCli(Args, Tmp);
    EXPECT_EQ(C.Code, 2) << Args;
    EXPECT_EQ(C.Out, "") << Args;
  }
}

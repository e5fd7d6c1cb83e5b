// "measure extremum" and "measure profile" run as a process: the printed blocks, the selection
// rule, the messages on stderr and the exit codes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/UFormat.h"

namespace {

using testutil::TTempDir;

std::vector<std::string> Lines(const std::string &Text) {
  std::vector<std::string> L;
  std::istringstream In(Text);
  for (std::string S; std::getline(In, S);)
    L.push_back(S);
  return L;
}

std::string Q(const std::string &S) { return "'" + S + "'"; }

// The value of "Key: value" in Out (the first such line), or "<none>".
std::string Value(const std::string &Out, const std::string &Key) {
  for (const std::string &L : Lines(Out))
    if (L.rfind(Key + ":", 0) == 0) return L.size() > Key.size() + 1 ? L.substr(Key.size() + 2) : "";
  return "<none>";
}

// y = 5 - (x - 2)^2 at x = 0, 0.5, ... 4, then one more sample that the selections leave out.
void WriteParabola(const std::string &Name) {
  std::string S;
  for (int I = 0; I <= 8; ++I) {
    const double X = 0.5 * I;
    S += Format("%g %g\n", X, 5.0 - (X - 2.0) * (X - 2.0));
  }
  S += "4.5 -99\n";
  testutil::WriteFile(Name, S);
}

TEST(CliMeasureExtremum, ParabolaLineByLine) {
  TTempDir D;
  WriteParabola(D.File("p.dat"));
  // Index 0 ... 9 selects samples 0 ... 8; wavelengths 0 and 4.4 are samples 0 and 9: the same.
  for (const char *Args : {"--index --from 0 --to 9", "--from 0 --to 4.4"}) {
    SCOPED_TRACE(Args);
    const TCliResult R =
        RunCli(std::string("measure extremum --degree 2 --points 5 ") + Args + " " + Q(D.File("p.dat")), D);
    ASSERT_EQ(R.Code, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    const std::vector<std::string> L = Lines(R.Out);
    ASSERT_EQ(L.size(), 14u) << R.Out;
    const std::vector<std::string> Head(L.begin(), L.begin() + 8);
    const std::vector<std::string> Expected = {"file: " + D.File("p.dat"),
                                               "points: 9",
                                               "degree: 2",
                                               "fit-points: 5",
                                               "type: Maximum",
                                               "extremum: 5",
                                               "location: 2",
                                               "fwhm: 3.142857143"}; // 22/7, worked out by hand
    EXPECT_EQ(Head, Expected);
    for (size_t I = 8; I < 13; ++I) {
      ASSERT_EQ(L[I].rfind("residual: ", 0), 0u) << L[I];
      EXPECT_LT(std::fabs(StrToFloat(L[I].substr(10))), 1e-12) << L[I];
    }
    ASSERT_EQ(L[13].rfind("rms-residuals: ", 0), 0u);
    EXPECT_LT(StrToFloat(L[13].substr(15)), 1e-12);
  }
  // The default degree 4 and 3 points: raised to 5.
  const TCliResult R = RunCli("measure extremum --points 3 --index --from 0 --to 9 " + Q(D.File("p.dat")), D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(Value(R.Out, "degree"), "4");
  EXPECT_EQ(Value(R.Out, "fit-points"), "5");
  EXPECT_EQ(Value(R.Out, "location"), "2");
}

TEST(CliMeasureExtremum, MessagesAndExitCodes) {
  TTempDir D;
  WriteParabola(D.File("p.dat"));
  // A dip on a zero baseline (Minimum, negative), and a normalised dip whose width fails.
  std::string Dip, Norm;
  for (int I = 0; I <= 40; ++I) {
    const double X = 0.25 * I, G = std::exp(-0.5 * (X - 5.0) * (X - 5.0));
    Dip += Format("%g %.12g\n", X, -3.0 * G);
    Norm += Format("%g %.12g\n", X, 1.0 - 0.5 * G);
  }
  testutil::WriteFile(D.File("dip.dat"), Dip);
  testutil::WriteFile(D.File("norm.dat"), Norm);
  TCliResult R = RunCli(
      "measure extremum --index --from 0 --to 40 " + Q(D.File("dip.dat")) + " " + Q(D.File("norm.dat")), D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: norm.dat: Calculation of FWHM failed\n");
  const size_t Gap = R.Out.find("\n\n");
  ASSERT_NE(Gap, std::string::npos);
  const std::string First = R.Out.substr(0, Gap + 1), Second = R.Out.substr(Gap + 2);
  EXPECT_EQ(Value(First, "type"), "Minimum");
  EXPECT_NEAR(StrToFloat(Value(First, "extremum")), -3.0, 1e-3);
  EXPECT_NEAR(StrToFloat(Value(First, "location")), 5.0, 1e-9);
  EXPECT_EQ(Value(Second, "type"), "Minimum");
  EXPECT_EQ(Value(Second, "fwhm"), "");
  EXPECT_NE(Value(Second, "extremum"), "");

  // Peak within two samples of the selection's end; too few samples; limits refused.
  struct Row {
    const char *Args, *Message;
  } Rows[] = {{"--index --from 3 --to 9", "Extremum not found"},
              {"--index --from 2 --to 6", "Select at least 5 points!"},
              {"--index --from 0 --to 10", "Index values out of bound"}};
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Args);
    R = RunCli(std::string("measure extremum ") + W.Args + " " + Q(D.File("p.dat")), D);
    EXPECT_EQ(R.Code, 1);
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err, "orvalumetrix-cli: p.dat: " + std::string(W.Message) + "\n");
  }
  // Bad usage.
  for (const char *Args : {"--degree 3 --from 0 --to 4", "--from 0", "--points x --from 0 --to 4"}) {
    SCOPED_TRACE(Args);
    EXPECT_EQ(RunCli(std::string("measure extremum ") + Args + " " + Q(D.File("p.dat")), D).Code, 2);
  }
  EXPECT_EQ(RunCli("measure bogus " + Q(D.File("p.dat")), D).Code, 2);
  R = RunCli("measure --help", D);
  EXPECT_EQ(R.Code, 0);
  EXPECT_NE(R.Out.find("measure extremum"), std::string::npos);
  EXPECT_NE(R.Out.find("measure profile"), std::string::npos);
}

TEST(CliMeasureProfile, GaussAndVoigtBlocks) {
  TTempDir D;
  // An exact Gaussian dip of depth 0.4, sigma 0.8 at 6510.03 on the sloped continuum through
  // (6500, 1) and (6520, 1.2).
  std::string S;
  for (int I = 0; I < 200; ++I) {
    const double X = 6500.0 + 0.1 * I, U = (X - 6510.03) / 0.8;
    S += Format("%.10g %.15g\n", X, 1.0 + 0.01 * (X - 6500.0) - 0.4 * std::exp(-0.5 * U * U));
  }
  testutil::WriteFile(D.File("g.dat"), S);
  const std::string G = Q(D.File("g.dat"));
  TCliResult R = RunCli("measure profile --baseline 6500:1,6520:1.2 --index --from 0 --to 199 " + G, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  const std::vector<std::string> Keys = {
      "file", "points",     "shape", "type",        "centre",       "centre-error",
      "fwhm", "fwhm-error", "depth", "depth-error", "area",         "area-error",
      "ew",   "ew-error",   "sigma", "sigma-error", "rms-residuals"};
  const std::vector<std::string> L = Lines(R.Out);
  ASSERT_EQ(L.size(), Keys.size()) << R.Out;
  for (size_t I = 0; I < Keys.size(); ++I)
    EXPECT_EQ(L[I].rfind(Keys[I] + ":", 0), 0u) << L[I];
  EXPECT_EQ(Value(R.Out, "points"), "199");
  EXPECT_EQ(Value(R.Out, "shape"), "Gauss");
  EXPECT_EQ(Value(R.Out, "type"), "Absorption");
  EXPECT_NEAR(StrToFloat(Value(R.Out, "centre")), 6510.03, 1e-6);
  EXPECT_NEAR(StrToFloat(Value(R.Out, "sigma")), 0.8, 1e-6);
  EXPECT_NEAR(StrToFloat(Value(R.Out, "depth")), 0.4, 1e-6);
  // Area -0.4 * 0.8 * sqrt(2 pi); EW relative to the continuum 1.1003 at the centre.
  const double Area = -0.4 * 0.8 * std::sqrt(2.0 * std::numbers::pi);
  EXPECT_NEAR(StrToFloat(Value(R.Out, "area")), Area, 1e-6);
  EXPECT_NEAR(StrToFloat(Value(R.Out, "ew")), -Area / 1.1003, 1e-6);

  // A Voigt profile fitted to the Gaussian: no damping, the Gaussian's FWHM.
  R = RunCli("measure profile --voigt --baseline 6500:1,6520:1.2 --from 6500 --to 6519.9 " + G, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(Value(R.Out, "shape"), "Voigt");
  EXPECT_NEAR(StrToFloat(Value(R.Out, "damping")), 0.0, 0.01);
  EXPECT_NEAR(StrToFloat(Value(R.Out, "fwhm")), 0.8 * 2.3548200450309493, 1e-3);
  EXPECT_NE(Value(R.Out, "doppler-width-error"), "<none>");

  // Bad baselines are usage errors; a selection on the continuum is a message.
  for (const char *B : {"one", "6500:1", "6500:1,6500:2", "a:1,2:3"}) {
    SCOPED_TRACE(B);
    EXPECT_EQ(RunCli(std::string("measure profile --baseline ") + B + " --from 6500 --to 6519 " + G, D).Code,
              2);
  }
  EXPECT_EQ(RunCli("measure profile --from 6500 --to 6519 " + G, D).Code, 2);
  R = RunCli("measure profile --baseline 0 --index --from 0 --to 3 " + G, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: g.dat: Select at least 5 points!\n");
}

} // namespace

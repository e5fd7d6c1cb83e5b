// "op filter", "op evaluate", "op polroot" and "op fft --hann" run as a user runs them: the
// files written, what is printed, the messages and the exit codes.
#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UFiltersCore.h"

namespace {

using testutil::TTempDir;

std::string Lines(int N, double X0, double Step, double (*Y)(int)) {
  std::string T;
  for (int i = 0; i < N; ++i)
    T += Format("%.10g %.10g\n", X0 + i * Step, Y(i));
  return T;
}

std::string Q(const std::string &S) { return "'" + S + "'"; }

// The y-values of a written text file.
TDblArr1D Read(const std::string &F) {
  TSpec32 S;
  EXPECT_TRUE(S.ReadDat(F, 1, 2, 0)) << F;
  return S.DataY;
}

TEST(CliFilters, Filters) {
  TTempDir D;
  const std::string Out = " --out " + Q(D.Path());
  testutil::WriteFile(D.File("a.dat"), Lines(6, 4000, 1, [](int i) { return i + 1.0; }));
  testutil::WriteFile(D.File("u.dat"), "1 1\n2 2\n4 3\n");

  TCliResult R = RunCli("op filter --moving 2 " + Q(D.File("a.dat")) + Out, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, D.File("a-fma.dat") + "\n");
  EXPECT_EQ(Read(D.File("a-fma.dat")), (TDblArr1D{0, 0, 3, 4, 0, 0}));

  // Gauss: the spectrum that is not equidistant is told and the others go on.
  R = RunCli("op filter --gauss 1.5 --ext linear " + Q(D.File("u.dat")) + " " + Q(D.File("a.dat")) + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, D.File("a-gauss.dat") + "\n");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: u.dat not equidistant in x\n");
  TDblArr1D Want = GaussFilter({1, 2, 3, 4, 5, 6}, 1.0, 1.5, TFftExtension::Linear);
  TDblArr1D G = Read(D.File("a-gauss.dat"));
  ASSERT_EQ(G.size(), Want.size());
  for (size_t i = 0; i < Want.size(); ++i)
    EXPECT_NEAR(G[i], Want[i], 1e-8 * std::fabs(Want[i])) << i; // as far as the text keeps it
  EXPECT_EQ(RunCli("op filter --gauss 1 --ext 2 " + Q(D.File("a.dat")) + Out, D).Code, 2);

  // Savitzky-Golay: a refusal ends the loop; bad parameters make nothing.
  R = RunCli("op filter --savgol 2 --left 2 --right 2 " + Q(D.File("u.dat")) + " " + Q(D.File("a.dat")) + Out,
             D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: u.dat is not equidistant\n");
  R = RunCli("op filter --savgol 2 --left 2 --right 2 " + Q(D.File("a.dat")) + Out, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  TDblArr1D S = Read(D.File("a-savgol.dat"));
  EXPECT_NEAR(S[2], 3, 1e-9);
  EXPECT_NEAR(S[0], (-3 * 5 + 12 * 6 + 17 * 1 + 12 * 2 - 3 * 3) / 35.0, 1e-9); // wraps around
  R = RunCli("op filter --savgol 5 --left 2 --right 2 " + Q(D.File("a.dat")) + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_NE(R.Err.find("dsavgol: bad arguments"), std::string::npos) << R.Err;
  EXPECT_EQ(RunCli("op filter --savgol 2 --left 2 " + Q(D.File("a.dat")) + Out, D).Code, 2);
  EXPECT_EQ(RunCli("op filter --moving 1 --gauss 1 " + Q(D.File("a.dat")) + Out, D).Code, 2);
}

TEST(CliFilters, EvaluateAndRoot) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), Lines(5, 4000, 1, [](int i) { return i + 1.0; }));
  testutil::WriteFile(D.File("b.txt"), Lines(5, 4000, 1, [](int i) { return 10.0 * i * i; }));
  TCliResult R = RunCli("op evaluate --x 4001 " + Q(D.File("a.dat")) + " " + Q(D.File("b.txt")), D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, "a.dat\t2\nb.txt\t10\n");
  EXPECT_EQ(RunCli("op evaluate " + Q(D.File("a.dat")), D).Code, 2);

  R = RunCli("op polroot --a2 1 --y 2 --guess 1", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, "1.414213562\n");
  R = RunCli("op polroot --a0 -5 --a1 -2 --a3 1 --y 0 --guess 2 --acc 1e-12", D);
  EXPECT_EQ(R.Out, "2.094551482\n");
  R = RunCli("op polroot --a2 1 --y -1 --guess 0.5", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: Too many iterations\n");
  R = RunCli("op polroot --a2 1 --y 2 --guess 0", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(
      R.Err,
      "orvalumetrix-cli: The derivative of the polynomial is 0 at x = 0: choose another x-value (guess)\n");
  EXPECT_EQ(RunCli("op polroot --a2 1 --guess 1", D).Code, 2);
}

TEST(CliFilters, FftWithHannWindow) {
  TTempDir D;
  testutil::WriteFile(D.File("c.dat"), Lines(16, 4000, 1, [](int) { return 3.0; }));
  TCliResult R = RunCli("op fft --modulus --hann " + Q(D.File("c.dat")) + " --out " + Q(D.Path()), D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, D.File("c-fftmod.dat") + "\n");
  EXPECT_NEAR(Read(D.File("c-fftmod.dat"))[0], 3 * 7.5, 1e-8); // c (n - 1)/2
  R = RunCli("op fft --modulus " + Q(D.File("c.dat")) + " --out " + Q(D.Path()), D);
  EXPECT_NEAR(Read(D.File("c-fftmod.dat"))[0], 3 * 16, 1e-8);
}

} // namespace

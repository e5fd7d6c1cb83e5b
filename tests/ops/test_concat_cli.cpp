// "op concat" and "op multiple" run as a process: names, contents, refusals and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

using testutil::TTempDir;

std::string Column(int N, double X0, double Step, double Y) {
  std::string T;
  for (int i = 0; i < N; ++i)
    T += Format("%.10g %.10g\n", X0 + i * Step, Y);
  return T;
}

TDblArr1D ReadY(const std::string &File) {
  TSpec32 S;
  EXPECT_TRUE(S.ReadDat(File, 1, 2, 0)) << File;
  return S.DataY;
}

TEST(CliConcat, JoinsWithTheDialogsDefaultsAndTheGivenOptions) {
  TTempDir D;
  // x 0 ... 8 with y 1 and x 4 ... 12 with y 3: five shared points.
  testutil::WriteFile(D.File("a.dat"), Column(9, 0, 1, 1));
  testutil::WriteFile(D.File("b.dat"), Column(9, 4, 1, 3));
  const std::string Files = " '" + D.File("b.dat") + "' '" + D.File("a.dat") + "' --out '" + D.Path() + "'";
  struct Row {
    std::string Options;
    TDblArr1D Y;
  } Rows[] = {
      // 90 %: lo = round(0.1 * 4 * 0.5) = 0, the weighted ramp over all five.
      {"", {1, 1, 1, 1, 1, 1.5, 2, 2.5, 3, 3, 3, 3, 3}},
      {"--simple", {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3}},
      {"--size 0", {1, 1, 1, 1, 1, 1, 2, 3, 3, 3, 3, 3, 3}},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Options);
    TCliResult Res = RunCli("op concat " + R.Options + Files, D);
    ASSERT_EQ(Res.Code, 0) << Res.Err;
    // Each run counts its own untitled results (taking the first number whose file is not
    // there: the one of the previous run is removed).
    EXPECT_EQ(Res.Out, D.File("Untitled-1.dat") + "\n");
    EXPECT_EQ(ReadY(D.File("Untitled-1.dat")), R.Y);
    std::filesystem::remove(D.File("Untitled-1.dat"));
  }
}

TEST(CliConcat, RefusalsAndUsage) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), Column(5, 0, 1, 1));
  testutil::WriteFile(D.File("b.dat"), Column(4, 5, 1, 3));
  testutil::WriteFile(D.File("u.dat"), "0 1\n1 1\n3 1\n");
  const std::string Out = " --out '" + D.Path() + "'";
  TCliResult R = RunCli("op concat '" + D.File("a.dat") + "' '" + D.File("b.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: Spectra do not overlap\n");
  R = RunCli("op concat '" + D.File("a.dat") + "' '" + D.File("u.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: u.dat: x-values not equidistant\n");
  EXPECT_EQ(RunCli("op concat '" + D.File("a.dat") + "'" + Out, D).Code, 2);
  EXPECT_EQ(RunCli("op concat --size abc '" + D.File("a.dat") + "' '" + D.File("b.dat") + "'" + Out, D).Code,
            2);
  EXPECT_FALSE(std::filesystem::exists(D.File("Untitled-1.dat")));
}

TEST(CliMultiple, OperationsAndRefusal) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), "1 1\n2 2\n");
  testutil::WriteFile(D.File("b.dat"), "1 3\n2 6\n");
  testutil::WriteFile(D.File("c.dat"), Column(100, 4000, 1, 1));
  testutil::WriteFile(D.File("d.dat"), Column(101, 4000, 1, 1));
  const std::string Out = " --out '" + D.Path() + "'";
  const std::string AB = " '" + D.File("a.dat") + "' '" + D.File("b.dat") + "'" + Out;
  struct Row {
    const char *Flag;
    TDblArr1D Y;
  } Rows[] = {{"--add", {4, 8}}, {"--average", {2, 4}}, {"--multiply", {3, 12}}};
  for (const Row &Rw : Rows) {
    SCOPED_TRACE(Rw.Flag);
    TCliResult R = RunCli(std::string("op multiple ") + Rw.Flag + AB, D);
    ASSERT_EQ(R.Code, 0) << R.Err;
    EXPECT_EQ(R.Out, D.File("Untitled-1.dat") + "\n");
    EXPECT_EQ(ReadY(D.File("Untitled-1.dat")), Rw.Y);
    std::filesystem::remove(D.File("Untitled-1.dat"));
  }
  TCliResult R = RunCli("op multiple --add '" + D.File("c.dat") + "' '" + D.File("d.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: c.dat, d.dat: Number of data points differ\n");
  EXPECT_EQ(RunCli("op multiple" + AB, D).Code, 2);
  EXPECT_EQ(RunCli("op multiple --add --multiply" + AB, D).Code, 2);
  EXPECT_EQ(RunCli("op multiple --add '" + D.File("a.dat") + "'" + Out, D).Code, 2);
  // The help of "op" lists both.
  R = RunCli("op --help", D);
  EXPECT_NE(R.Out.find("concat [--simple] [--size P] FILE..."), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("multiple --add|--average|--multiply FILE..."), std::string::npos) << R.Out;
}

} // namespace

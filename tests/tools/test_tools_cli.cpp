// "stats" and "op normalize" run as a process: the printed block line by line, the selection
// rule in both modes, refusals and exit codes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/USpec32.h"

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

TEST(CliStats, OneFileLineByLine) {
  TTempDir D;
  // y = 1, 2, 3, 4 (then 5, 9) at x = 1 ... 6; the selection is the first four samples.
  testutil::WriteFile(D.File("a.dat"), "1 1\n2 2\n3 3\n4 4\n5 5\n6 9\n");
  const std::vector<std::string> Expected = {
      "file: " + D.File("a.dat"),
      "points: 4",
      "range: 3",
      "sum: 10",
      "integral: 10",
      "average: 2.5",
      "cog: 3",
      "sd: 1.290994449", // sqrt(5/3)
      "sn: 1.936491673", // 2.5 / sqrt(5/3)
      "sn-trend:",       // a straight line has no residual scatter
      "ew: -6",
      "min: 1",
      "min-at: 0",
      "max: 4",
      "max-at: 3",
      "median: 3",
      "runs-average: -1.224744871", // -1 / sqrt(2/3)
      "runs-median: -1.224744871",
  };
  // Index 0 ... 4 selects samples 0 ... 3; wavelengths 1 and 5 are samples 0 and 4: the same.
  // 1.4 and 5.4 lie nearest to them too.
  for (const char *Args : {"--index --from 0 --to 4", "--from 1 --to 5", "--from 1.4 --to 5.4"}) {
    SCOPED_TRACE(Args);
    TCliResult R = RunCli(std::string("stats ") + Args + " " + Q(D.File("a.dat")), D);
    ASSERT_EQ(R.Code, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    EXPECT_EQ(Lines(R.Out), Expected);
  }
}

TEST(CliStats, EmptySelectionRefusalsAndUsage) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), "1 1\n2 2\n3 3\n4 4\n");
  const std::string A = Q(D.File("a.dat"));
  // From = To selects nothing: every value but the count is empty.
  TCliResult R = RunCli("stats --index --from 2 --to 2 " + A, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  std::vector<std::string> L = Lines(R.Out);
  ASSERT_EQ(L.size(), 18u);
  EXPECT_EQ(L[1], "points: 0");
  EXPECT_EQ(L[2], "range:");
  EXPECT_EQ(L[17], "runs-median:");
  // A single sample: no spread; the runs tests are empty, never "nan".
  R = RunCli("stats --index --from 2 --to 3 " + A, D);
  EXPECT_EQ(R.Out.find("nan"), std::string::npos);
  EXPECT_NE(R.Out.find("\nsd:\n"), std::string::npos);
  EXPECT_NE(R.Out.find("\nmin: 3\nmin-at: 0\n"), std::string::npos);
  // Refused limits are told per file and the next file is read.
  struct Row {
    const char *Args, *Message;
  } Rows[] = {{"--index --from 0 --to 4", "Index values out of bound"},
              {"--index --from 3 --to 2", "To < From"},
              {"--from 0.5 --to 3", "Wavelength values out of bound"},
              {"--from 3 --to 2", "To < From"}};
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Args);
    R = RunCli(std::string("stats ") + W.Args + " " + A + " " + A, D);
    EXPECT_EQ(R.Code, 1);
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err, "orvalumetrix-cli: a.dat: " + std::string(W.Message) +
                         "\norvalumetrix-cli: a.dat: " + W.Message + "\n");
  }
  // A limit that is no number is told once, whatever the number of files.
  R = RunCli("stats --index --from x --to 2 " + A + " " + A, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: 'x' is not a valid integer value\n");
  R = RunCli("stats --from 1 --to 2.5.1 " + A, D);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: '2.5.1' is not a valid floating point value\n");
  EXPECT_EQ(RunCli("stats --from 1 " + A, D).Code, 2);
  EXPECT_EQ(RunCli("stats --from 1 --to 2", D).Code, 2);
}

TEST(CliNormalize, WritesTheNormSpectraAndTellsRefusals) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), "1 1\n2 2\n3 3\n4 4\n5 5\n6 9\n");
  testutil::WriteFile(D.File("z.dat"), "1 2\n2 -1\n3 1\n4 7\n5 0\n6 0\n");
  const std::string Files = Q(D.File("a.dat")) + " " + Q(D.File("z.dat")) + " --out " + Q(D.Path());
  // Index 1 ... 2, both included: a's mean is 2.5, z's is 0.
  TCliResult R = RunCli("op normalize --index --from 1 --to 2 " + Files, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, D.File("a-norm.dat") + "\n");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: z.dat: Mean value in selected area equals zero\n");
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(D.File("a-norm.dat"), 1, 2, 0));
  EXPECT_EQ(S.DataX, (TDblArr1D{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(S.DataY, (TDblArr1D{0.4, 0.8, 1.2, 1.6, 2, 3.6}));
  // By wavelength: 2.6 and 4.4 are nearest to samples 2 and 3 (means 3.5 and 4).
  R = RunCli("op normalize --from 2.6 --to 4.4 " + Files, D);
  EXPECT_EQ(R.Code, 0) << R.Err;
  ASSERT_TRUE(S.ReadDat(D.File("z-norm.dat"), 1, 2, 0));
  EXPECT_EQ(S.DataY, (TDblArr1D{0.5, -0.25, 0.25, 1.75, 0, 0}));
  R = RunCli("op normalize --from 0 --to 4.4 " + Files, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: a.dat: Wavelength values out of bound\n"
                   "orvalumetrix-cli: z.dat: Wavelength values out of bound\n");
  EXPECT_EQ(RunCli("op normalize --index --from 1 " + Files, D).Code, 2);
}

} // namespace

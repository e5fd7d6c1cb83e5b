// Where "op" puts its results: a folder given with --out that does not exist yet is made, and
// an "Untitled-N" result never replaces a file that is already there. And "op resample --union"
// takes the range the dialog's "Range of Union" proposes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/USpec32.h"

namespace {

using testutil::TTempDir;
namespace fs = std::filesystem;

const char *const Segment = "1 1\n2 1\n3 1\n";

std::string Quoted(const std::string &S) { return "'" + S + "'"; }

TEST(CliOpOut, MakesTheOutputFolder) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), Segment);
  // Two levels that do not exist, for a named and for an Untitled result.
  const std::string Out = D.File("new/deeper");
  TCliResult C = RunCli("op number --add 1 --out " + Quoted(Out) + " " + Quoted(D.File("a.dat")), D);
  ASSERT_EQ(C.Code, 0) << C.Err;
  EXPECT_TRUE(fs::exists(Out + "/a-add.dat")) << C.Out;
  TCliResult P = RunCli("op new sin --out " + Quoted(D.File("other")) + " --fits", D);
  ASSERT_EQ(P.Code, 0) << P.Err;
  EXPECT_TRUE(fs::exists(D.File("other") + "/Untitled-1.fits")) << P.Out;
  // A file where the folder should be: the general error, nothing written.
  testutil::WriteFile(D.File("plain"), "x");
  TCliResult F =
      RunCli("op number --add 1 --out " + Quoted(D.File("plain")) + " " + Quoted(D.File("a.dat")), D);
  EXPECT_EQ(F.Code, 1);
  EXPECT_NE(F.Err.find("Cannot create the folder '" + D.File("plain") + "'"), std::string::npos) << F.Err;
  EXPECT_EQ(F.Out, "");
}

TEST(CliOpOut, UntitledResultsTakeTheNextFreeNumber) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), Segment);
  testutil::WriteFile(D.File("b.dat"), "1 2\n2 2\n3 2\n");
  const std::string Out = D.File("out");
  fs::create_directories(Out);
  // Untitled-1 and Untitled-3 are there (one of them not a spectrum at all); a .fits
  // Untitled-2 does not stand in the way of a .dat one.
  testutil::WriteFile(Out + "/Untitled-1.dat", "keep me\n");
  testutil::WriteFile(Out + "/Untitled-3.dat", "7 7\n");
  testutil::WriteFile(Out + "/Untitled-2.fits", "");
  const std::string Pair =
      "op pair --add --out " + Quoted(Out) + " " + Quoted(D.File("a.dat")) + " " + Quoted(D.File("b.dat"));
  TCliResult C1 = RunCli(Pair, D);
  ASSERT_EQ(C1.Code, 0) << C1.Err;
  EXPECT_EQ(C1.Out, Out + "/Untitled-2.dat\n");
  TCliResult C2 = RunCli(Pair, D);
  ASSERT_EQ(C2.Code, 0) << C2.Err;
  EXPECT_EQ(C2.Out, Out + "/Untitled-4.dat\n");
  EXPECT_EQ(testutil::ReadFile(Out + "/Untitled-1.dat"), "keep me\n");
  EXPECT_EQ(testutil::ReadFile(Out + "/Untitled-3.dat"), "7 7\n");
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(Out + "/Untitled-4.dat", 1, 2, 0));
  EXPECT_EQ(S.DataY, (TDblArr1D{3, 3, 3}));
  // A named result is the same spectrum saved again: it replaces its file.
  const std::string Named = "op number --add 1 --out " + Quoted(Out) + " " + Quoted(D.File("a.dat"));
  ASSERT_EQ(RunCli(Named, D).Code, 0);
  TCliResult Again = RunCli(Named, D);
  EXPECT_EQ(Again.Out, Out + "/a-add.dat\n");
}

TEST(CliOpResample, UnionIsAlwaysAccepted) {
  TTempDir D;
  // -0.0004 ... 0.9996 in steps of 0.1 and 0.25 ... 1.5 in steps of 0.25: From 0.250, To 0.999
  // (the nearest "%1.3f", 1.000, lies past 0.9996), step 0.25: floor(2.996) = 2 steps.
  std::string A;
  for (int i = 0; i <= 10; ++i)
    A += std::to_string(-0.0004 + 0.1 * i) + " " + std::to_string(i) + "\n";
  testutil::WriteFile(D.File("a.dat"), A);
  testutil::WriteFile(D.File("b.dat"), "0.25 1\n0.5 1\n0.75 1\n1 1\n1.25 1\n1.5 1\n");
  TCliResult C = RunCli("op resample --union --linear --out " + Quoted(D.Path()) + " " +
                            Quoted(D.File("a.dat")) + " " + Quoted(D.File("b.dat")),
                        D);
  ASSERT_EQ(C.Code, 0) << C.Err;
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(D.File("a-lin.dat"), 1, 2, 0));
  EXPECT_EQ(S.DataX, (TDblArr1D{0.25, 0.5, 0.75}));
  // y = i at x = -0.0004 + 0.1 i, so y(x) = 10 (x + 0.0004).
  ASSERT_EQ(S.Size(), 3);
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(S.DataY[static_cast<size_t>(k)], 10 * (S.DataX[static_cast<size_t>(k)] + 0.0004), 1e-9) << k;
  // Without a range in common there is nothing to propose.
  testutil::WriteFile(D.File("c.dat"), "5 1\n6 1\n");
  TCliResult N = RunCli("op resample --union --out " + Quoted(D.Path()) + " " + Quoted(D.File("a.dat")) +
                            " " + Quoted(D.File("c.dat")),
                        D);
  EXPECT_EQ(N.Code, 1);
  EXPECT_NE(N.Err.find("The selected spectra have no x-range in common"), std::string::npos) << N.Err;
}

} // namespace

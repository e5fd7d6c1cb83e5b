// The command-line front end, run as a process: output format, errors and exit codes.
#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "core/USpec32.h"

namespace {

using testutil::TTempDir;

TEST(CliInfo, BlocksAndHeader) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), "4000 1\r\n4001 2.5\r\n4002 -3\r\n");
  testutil::WriteFile(D.File("b.txt"), "# two header lines\n# here\nx 1 10\ny 2 20\nz 4 30\n");
  TCliResult R = RunCli("info '" + D.File("a.dat") + "'", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out.substr(0, R.Out.find("header:\n") + 8),
            "file: " + D.File("a.dat") +
                "\npoints: 3\nequidistant: Y\nmin: -3\nmax: 2.5\nx-first: 4000\nx-last: 4002\nheader:\n");
  EXPECT_NE(R.Out.find("\nCRVAL1  =               4000.0\n"), std::string::npos)
      << R.Out; // trailing blanks removed
  EXPECT_NE(R.Out.find("\nCUNIT1  = 'Angstrom'\n"), std::string::npos) << R.Out;

  testutil::WriteFile(D.File("c.dat"), "h\nh\n0 4000 1\n0 4001 2\n");
  R = RunCli("info --header 2 --colx 2 --coly 3 '" + D.File("b.txt") + "' '" + D.File("c.dat") + "'", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out.rfind("file: " + D.File("b.txt") + "\npoints: 3\nequidistant: N\nmin: 10\nmax: 30\n", 0),
            0u)
      << R.Out;
  // Blocks are separated by one empty line.
  EXPECT_NE(R.Out.find("\n\nfile: " + D.File("c.dat") + "\npoints: 2\n"), std::string::npos) << R.Out;
}

TEST(CliInfo, FailuresGoOn) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), "1 2\n2 3\n");
  testutil::WriteFile(D.File("bad.fits"), "not fits at all");
  testutil::WriteFile(D.File("c.fts"), "x");
  TCliResult R =
      RunCli("info '" + D.File("bad.fits") + "' '" + D.File("a.dat") + "' '" + D.File("c.fts") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_NE(R.Out.find("file: " + D.File("a.dat")), std::string::npos);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: " + D.File("bad.fits") + ": not a valid FITS file\n" +
                       "orvalumetrix-cli: File type .fts is not supported\n");
  R = RunCli("info --colx 2 --coly 3 '" + D.File("a.dat") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: Too few columns in " + D.File("a.dat") + "\n");
}

TEST(Cli, Usage) {
  TTempDir D;
  EXPECT_EQ(RunCli("", D).Code, 2);
  EXPECT_EQ(RunCli("frobnicate", D).Code, 2);
  TCliResult R = RunCli("info", D);
  EXPECT_EQ(R.Code, 2);
  EXPECT_EQ(R.Err.rfind("orvalumetrix-cli: no file given\n", 0), 0u);
  EXPECT_EQ(RunCli("info --colx 0 x.dat", D).Code, 2);
  EXPECT_EQ(RunCli("info --colx abc x.dat", D).Code, 2);
  EXPECT_EQ(RunCli("info --bogus x.dat", D).Code, 2);
  R = RunCli("--help", D);
  EXPECT_EQ(R.Code, 0);
  EXPECT_NE(R.Out.find("info"), std::string::npos);
  EXPECT_NE(R.Out.find("convert"), std::string::npos);
  R = RunCli("convert --help", D);
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out.rfind("Usage: orvalumetrix-cli convert", 0), 0u);
}

TEST(CliConvert, DatToFitsAndBack) {
  TTempDir D;
  std::string Text;
  for (int i = 0; i < 50; ++i)
    Text += std::to_string(6500 + 0.5 * i) + " " + std::to_string(1 + i * i) + "\n";
  testutil::WriteFile(D.File("s.dat"), Text);
  TCliResult R = RunCli("convert '" + D.File("s.dat") + "' '" + D.File("s.fits") + "'", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  TSpec32 F;
  F.ReadFits(D.File("s.fits"));
  ASSERT_EQ(F.Size(), 50);
  EXPECT_DOUBLE_EQ(F.FitsBess().CDELT1(), 0.5);
  EXPECT_DOUBLE_EQ(F.DataX[49], 6524.5);
  EXPECT_EQ(F.DataY[49], 2402);
  R = RunCli("convert '" + D.File("s.fits") + "' '" + D.File("t.dat") + "'", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  std::string Out = testutil::ReadFile(D.File("t.dat"));
  EXPECT_EQ(Out.substr(0, 33), "           6500               1\r\n");

  testutil::WriteFile(D.File("u.dat"), "1 1\n2 1\n4 1\n");
  R = RunCli("convert '" + D.File("u.dat") + "' '" + D.File("u.fits") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: x-values not equidistant; resample spectrum\n");
  EXPECT_FALSE(std::filesystem::exists(D.File("u.fits")));
  EXPECT_EQ(RunCli("convert '" + D.File("u.dat") + "'", D).Code, 2);
}

} // namespace

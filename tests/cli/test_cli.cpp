// The command-line front end, run as a process: output format, errors and exit codes.
#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "core/UFormat.h"
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
                       "orvalumetrix-cli: File type .fts is not supported: " + D.File("c.fts") + "\n");
  R = RunCli("info --colx 2 --coly 3 '" + D.File("a.dat") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: Too few columns in " + D.File("a.dat") + ", line 1\n");
}

// Where each FITS spectrum came from and what kind of axis it has; the files are the reader's
// fuzz seeds of each layout (written with cfitsio).
TEST(CliInfo, SourceAndAxisOfEachLayout) {
  TTempDir D;
  const std::string Seeds = std::string(ORVA_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_readfits/";
  const struct {
    const char *File, *Source, *Axis;
  } Rows[] = {
      {"ext_image.fits", "extension 1 image", "linear"},
      {"naxis3_wavelog.fits", "primary image", "log"},
      {"table_rows_EE.fits", "extension 1 table columns WAVE/FLUX", "table"},
      {"table_arrays_DD.fits", "extension 1 table columns WAVELENGTH/FLUX_REDUCED", "table"},
      {"table_loglam_EI.fits", "extension 1 table columns loglam/flux", "table"},
  };
  for (const auto &Row : Rows) {
    SCOPED_TRACE(Row.File);
    TCliResult R = RunCli("info '" + Seeds + Row.File + "'", D);
    ASSERT_EQ(R.Code, 0) << R.Err;
    EXPECT_NE(R.Out.find(std::string("\nsource: ") + Row.Source + "\naxis: " + Row.Axis + "\nx-unit: Angstrom\n"),
              std::string::npos)
        << R.Out;
  }
}

// Each failing file is named in its message (with the line for text files), and the files
// after it are still read.
TEST(CliInfo, MessagesNameFileAndLine) {
  TTempDir D;
  testutil::WriteFile(D.File("num.dat"), "# measured\n4000 1\n4001 1,5\n");
  testutil::WriteFile(D.File("ok.dat"), "# two points\n4000 1\n4001 2\n");
  testutil::WriteFile(D.File("unit.fits"), std::string(2880, ' ')); // no END: not FITS
  TCliResult R =
      RunCli("info '" + D.File("num.dat") + "' '" + D.File("unit.fits") + "' '" + D.File("ok.dat") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: Invalid numeric input in " + D.File("num.dat") + ", line 3: '1,5'\n" +
                       "orvalumetrix-cli: " + D.File("unit.fits") + ": not a valid FITS file\n");
  EXPECT_NE(R.Out.find("file: " + D.File("ok.dat") + "\npoints: 2\nequidistant: Y\nmin: 1\nmax: 2\n"),
            std::string::npos)
      << R.Out;
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

namespace {

using testutil::TTempDir;

std::string Lines(int N, double X0, double Step, double (*Y)(int)) {
  std::string T;
  for (int i = 0; i < N; ++i)
    T += Format("%.10g %.10g\n", X0 + i * Step, Y(i));
  return T;
}

TEST(CliOp, NamesContentsAndMessages) {
  TTempDir D;
  testutil::WriteFile(D.File("a.dat"), Lines(20, 6500, 0.5, [](int i) { return 1.0 * i; }));
  testutil::WriteFile(D.File("u.dat"), "1 1\n2 2\n4 3\n");
  std::string Out = " --out '" + D.Path() + "'";
  TCliResult R = RunCli(
      "op crop --from 6500.74 --to 6502.1 '" + D.File("a.dat") + "' '" + D.File("u.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, D.File("a-crop.dat") + "\n");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: u.dat: Wavelength values out of bound\n");
  TSpec32 C;
  ASSERT_TRUE(C.ReadDat(D.File("a-crop.dat"), 1, 2, 0));
  EXPECT_EQ(C.DataX, (TDblArr1D{6500.5, 6501, 6501.5, 6502}));
  EXPECT_EQ(C.DataY, (TDblArr1D{1, 2, 3, 4}));

  // Results without a single source take Untitled-N, counted within the run.
  R = RunCli("op pair --sub --swap '" + D.File("a.dat") + "' '" + D.File("a.dat") + "'" + Out, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, D.File("Untitled-1.dat") + "\n");

  // Zero padding stops at the first spectrum that is not equidistant, as the dialog does.
  R = RunCli("op zeros --count 4 '" + D.File("u.dat") + "' '" + D.File("a.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: u.dat is not equidistant\n");

  // A grid outside one spectrum: nothing is written.
  testutil::WriteFile(D.File("b.dat"), Lines(10, 6501, 0.5, [](int i) { return 2.0 * i; }));
  R = RunCli("op resample --from 6500 --to 6505 --step 1 '" + D.File("a.dat") + "' '" + D.File("b.dat") +
                 "'" + Out,
             D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  R = RunCli("op resample --union --linear --fits '" + D.File("a.dat") + "' '" + D.File("b.dat") + "'" + Out,
             D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, D.File("a-lin.fits") + "\n" + D.File("b-lin.fits") + "\n");
  TSpec32 F;
  F.ReadFits(D.File("b-lin.fits"));
  EXPECT_EQ(F.Size(), 10);
  EXPECT_DOUBLE_EQ(F.DataY[3], 6.0);

  // Division by zero is reported and the result still written.
  R = RunCli("op number --div 0 '" + D.File("a.dat") + "'" + Out, D);
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err.rfind("orvalumetrix-cli: a-div: the result holds infinite", 0), 0u) << R.Err;

  EXPECT_EQ(RunCli("op number --add 1 --mul 2 '" + D.File("a.dat") + "'", D).Code, 2);
  EXPECT_EQ(RunCli("op frobnicate '" + D.File("a.dat") + "'", D).Code, 2);
  EXPECT_EQ(RunCli("op crop --from 1 '" + D.File("a.dat") + "'", D).Code, 2);
}

TEST(CliOp, EachMakesNothingWhenOneOperandDiffers) {
  TTempDir D;
  testutil::WriteFile(D.File("a1.dat"), "1 1\n2 2\n3 3\n");
  testutil::WriteFile(D.File("a2.dat"), "1 5\n2 5\n3.5 5\n");
  testutil::WriteFile(D.File("b.dat"), "1 1\n2 1\n3 1\n");
  std::string Out = " --out '" + D.Path() + "'";
  TCliResult R = RunCli("op each --add --operand '" + D.File("b.dat") + "' '" + D.File("a1.dat") + "' '" +
                            D.File("a2.dat") + "'" + Out,
                        D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "orvalumetrix-cli: a2.dat, b.dat: X-values differ at index 2\n");
  R = RunCli("op each --add --operand '" + D.File("b.dat") + "' '" + D.File("a1.dat") + "'" + Out, D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, D.File("a1-add.dat") + "\n");
  EXPECT_EQ(testutil::ReadFile(D.File("a1-add.dat")).substr(0, 33), "              1               2\r\n");
}

} // namespace

namespace {

TEST(CliEphemeris, DescribesTheBundledFile) {
  testutil::TTempDir D;
  TCliResult R = RunCli("ephemeris", D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  // The generated file says plainly what it is, and keeps the DE405 layout and span.
  EXPECT_NE(R.Out.find("title: Generated from the IAU SOFA/ERFA models in the DE405 layout"), std::string::npos)
      << R.Out;
  EXPECT_NE(R.Out.find("DE number: 405\n"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("first JED: 2433264.5\n"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("last JED: 2469808.5\n"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("days per record: 32\n"), std::string::npos) << R.Out;
  // Two header records and (2469808.5 - 2433264.5) / 32 = 1142 records of coefficients.
  EXPECT_NE(R.Out.find("records: 1144\n"), std::string::npos) << R.Out;
  testutil::WriteFile(D.File("junk.405"), std::string(3000, 'x'));
  R = RunCli("ephemeris --ephemeris '" + D.File("junk.405") + "'", D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err.rfind("orvalumetrix-cli: ", 0), 0u);
}

} // namespace

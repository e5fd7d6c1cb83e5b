// Text column files: the line splitter, both reading forms with their messages, the writer.
#include <gtest/gtest.h>

#include "common/TestUtil.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/USpec32.h"

namespace {

using testutil::TTempDir;
using testutil::WriteFile;

// Collects what the reader would show in its message boxes.
class DatFile : public ::testing::Test {
protected:
  void SetUp() override {
    SetDatMessageSink([this](const std::string &M) { pShown.push_back(M); });
  }
  void TearDown() override { SetDatMessageSink(nullptr); }
  std::vector<std::string> pShown;
  TTempDir pDir;
};

TEST(SimpleParser, SplitsAtBlanks) {
  TSimpleParser P;
  P.ParseBlank("  1.5   2.5  ");
  EXPECT_EQ(P.Fields(), (std::vector<std::string>{"1.5", "2.5"}));
  P.ParseBlank("\t1\t2 3\r");
  EXPECT_EQ(P.Fields(), (std::vector<std::string>{"1\t2", "3"})); // a tab inside is no separator
  P.ParseBlank("   ");
  EXPECT_EQ(P.Count(), 0);
  P.ParseBlank("one");
  EXPECT_EQ(P.Count(), 1);
}

TEST_F(DatFile, HeaderLinesAndCount) {
  std::string Text;
  for (int i = 0; i < 100; ++i)
    Text += std::to_string(4000 + i) + " " + std::to_string(i) + "\r\n";
  std::string F = pDir.File("a.dat");
  WriteFile(F, Text);
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(F, 1, 2, 2));
  EXPECT_EQ(S.Size(), 98);
  EXPECT_EQ(S.DataX[0], 4002);
  EXPECT_EQ(S.DataY[97], 99);
  EXPECT_EQ(S.FilePath(), pDir.Path() + "/");
  EXPECT_EQ(S.FileName(), "a.dat");
  EXPECT_TRUE(S.Equidistant());
  EXPECT_DOUBLE_EQ(S.FitsBess().CRVAL1(), 4002);
  EXPECT_DOUBLE_EQ(S.FitsBess().CDELT1(), 1);
  EXPECT_EQ(S.FitsBess().NAXIS1(), 98);
}

TEST_F(DatFile, FastForm) {
  std::string F = pDir.File("b.txt");
  // Three columns: the third is ignored. A line with one number takes y from the next line.
  // The extra empty line at the end is a last point (0, 0).
  WriteFile(F, "1 2 3\n4\n5 6\n7 8\n\n");
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(F, 1, 2, 0));
  ASSERT_EQ(S.Size(), 5);
  EXPECT_EQ(S.DataX, (TDblArr1D{1, 4, 7, 0, 0}));
  EXPECT_EQ(S.DataY, (TDblArr1D{2, 5, 8, 0, 0}));
  EXPECT_TRUE(pShown.empty());
}

TEST_F(DatFile, FastFormBadToken) {
  std::string F = pDir.File("c.dat");
  WriteFile(F, "1 2\n3 x\n");
  TSpec32 S;
  try {
    S.ReadDat(F, 1, 2, 0);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_EQ(std::string(E.what()), "Invalid numeric input in " + F + ", line 2: 'x'");
  }
  WriteFile(F, "1 2\n3,5 4\n");
  EXPECT_THROW(S.ReadDat(F, 1, 2, 0), EOrvaError);
}

TEST_F(DatFile, GeneralForm) {
  std::string F = pDir.File("d.dat");
  WriteFile(F, "a 4000 1\r\nb 4001 2\r\nc 4003 3\r\n");
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(F, 2, 3, 0));
  EXPECT_EQ(S.DataX, (TDblArr1D{4000, 4001, 4003}));
  EXPECT_EQ(S.DataY, (TDblArr1D{1, 2, 3}));
  EXPECT_FALSE(S.Equidistant());
  // Uneven x: CRVAL1 and CDELT1 stay as the new header has them.
  EXPECT_DOUBLE_EQ(S.FitsBess().CRVAL1(), 0);
  EXPECT_DOUBLE_EQ(S.FitsBess().CDELT1(), 1);

  // y before x in the columns.
  TSpec32 R;
  ASSERT_TRUE(R.ReadDat(F, 3, 2, 0));
  EXPECT_EQ(R.DataX, (TDblArr1D{1, 2, 3}));
}

TEST_F(DatFile, GeneralFormMessages) {
  struct Row {
    const char *Text;
    const char *Msg;
  } Rows[] = {{"1 2 3\n4 5\n", "Too few columns in "},
              {"1 2 3\n\n", "Too few columns in "}, // an empty line
              {"1 2 3\n4 5 x\n", "Illegal numbers in "},
              {"1 2 3\n4 5\t6 7\n", "Illegal numbers in "}}; // a tab only in a later line
  for (const Row &R : Rows) {
    pShown.clear();
    std::string F = pDir.File("e.dat");
    WriteFile(F, R.Text);
    TSpec32 S;
    EXPECT_FALSE(S.ReadDat(F, 2, 3, 0)) << R.Text;
    ASSERT_EQ(pShown.size(), 1u) << R.Text;
    EXPECT_EQ(pShown[0], std::string(R.Msg) + F + ", line 2");
  }
  // A tab in the first data line makes every tab a blank.
  pShown.clear();
  std::string F = pDir.File("t.dat");
  WriteFile(F, "1\t2\t3\n4\t5\t6\n");
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(F, 2, 3, 0));
  EXPECT_EQ(S.DataX, (TDblArr1D{2, 5}));
  EXPECT_EQ(S.DataY, (TDblArr1D{3, 6}));
}

// Lines whose first character other than blanks and tabs is "#" are comments: skipped and
// not counted as points. Line numbers in messages count every line of the file.
TEST_F(DatFile, CommentLines) {
  struct Row {
    const char *Text;
    int ColX, ColY, Header;
    TDblArr1D X, Y;
  } Rows[] = {
      {"# c\n4000 1\n#\n4001 2\n \t# indented\n4002 3\n", 1, 2, 0, {4000, 4001, 4002}, {1, 2, 3}},
      {"1 2 # after the numbers\n3 4\n", 1, 2, 0, {1, 3}, {2, 4}},
      {"4\n# between x and y\n5 6\n", 1, 2, 0, {4, 0}, {5, 0}}, // y from the next data line, as without it
      {"title\n# c\na 4000 1\n#\nb 4001 2\n", 2, 3, 1, {4000, 4001}, {1, 2}},
      {"# header line counted as header\n1 2\n", 1, 2, 1, {1}, {2}},
      {"a#b 1 2\n", 2, 3, 0, {1}, {2}}, // "#" inside a line is no comment
  };
  for (const Row &R : Rows) {
    pShown.clear();
    std::string F = pDir.File("k.dat");
    WriteFile(F, R.Text);
    TSpec32 S;
    ASSERT_TRUE(S.ReadDat(F, R.ColX, R.ColY, R.Header)) << R.Text;
    EXPECT_EQ(S.Size(), static_cast<int32_t>(R.X.size())) << R.Text;
    EXPECT_EQ(S.DataX, R.X) << R.Text;
    EXPECT_EQ(S.DataY, R.Y) << R.Text;
    EXPECT_TRUE(pShown.empty()) << R.Text;
  }
  TSpec32 S;
  std::string F = pDir.File("k.dat");
  WriteFile(F, "# only\n# comments\n");
  EXPECT_FALSE(S.ReadDat(F, 1, 2, 0));
  EXPECT_EQ(pShown.back(), "No data lines in " + F);
  WriteFile(F, "# c\n1 2 3\n4 5\n");
  EXPECT_FALSE(S.ReadDat(F, 2, 3, 0));
  EXPECT_EQ(pShown.back(), "Too few columns in " + F + ", line 3");
  WriteFile(F, "# c\n1 2\n\n3 x\n");
  try {
    S.ReadDat(F, 1, 2, 0);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_EQ(std::string(E.what()), "Invalid numeric input in " + F + ", line 4: 'x'");
  }
}

TEST_F(DatFile, EmptyDataPartIsRefused) {
  for (const char *Text : {"", "1 2\n2 3\n"}) {
    pShown.clear();
    std::string F = pDir.File("f.dat");
    WriteFile(F, Text);
    TSpec32 S;
    EXPECT_FALSE(S.ReadDat(F, 1, 2, 2));
    ASSERT_EQ(pShown.size(), 1u);
    EXPECT_EQ(pShown[0], "No data lines in " + F);
  }
}

TEST_F(DatFile, MissingFile) {
  TSpec32 S;
  try {
    S.ReadDat(pDir.File("none.dat"), 1, 2, 0);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_NE(std::string(E.what()).find("No such file or directory"), std::string::npos) << E.what();
  }
}

TEST_F(DatFile, Writer) {
  TSpec32 S;
  S.NewSpec("x", 1, 1, nullptr);
  S.DataX[0] = 6562.8;
  EXPECT_EQ(DatText(S), std::string(9, ' ') + "6562.8" + std::string(15, ' ') + "1\r\n");
  EXPECT_EQ(DatText(S).size(), 33u); // 31 characters and CR LF

  // Round trip through the file keeps ten significant digits.
  TSpec32 W;
  W.NewSpec("w", 4, 0, nullptr);
  W.DataX = {1.0, 1e-7, -123456.789012345, 6.02214076e23};
  W.DataY = {0.5, -2.25, 1e300, 3.14159265358979};
  std::string F = pDir.File("w.dat");
  WriteDat(W, F);
  TSpec32 R;
  ASSERT_TRUE(R.ReadDat(F, 1, 2, 0));
  ASSERT_EQ(R.Size(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(R.DataX[i], W.DataX[i], std::abs(W.DataX[i]) * 5e-10);
    EXPECT_NEAR(R.DataY[i], W.DataY[i], std::abs(W.DataY[i]) * 5e-10);
  }
  EXPECT_EQ(testutil::ReadFile(F), DatText(W));
}

} // namespace

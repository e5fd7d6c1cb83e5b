// Number formatting and parsing must ignore the process locale: under de_DE the C library
// writes "1234,5" and reads "2,5"; the program always uses ".".
#include <clocale>
#include <gtest/gtest.h>

#include "core/UErrors.h"
#include "core/UFormat.h"

namespace {

// Switches the process to a decimal-comma locale for the test's duration (when installed).
class GermanLocale : public ::testing::Test {
protected:
  void SetUp() override {
    pHave = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (!pHave) GTEST_SKIP() << "de_DE.UTF-8 locale not installed (scripts/setup-deps generates it)";
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%.1f", 2.5);
    ASSERT_STREQ(Buf, "2,5") << "the locale should use a decimal comma";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
  bool pHave = false;
};

TEST_F(GermanLocale, FormatUsesPoint) {
  EXPECT_EQ(Format("%1.3f", 1234.5), "1234.500");
  EXPECT_EQ(Format("%15.10g", 6562.8), "         6562.8");
  EXPECT_EQ(Format("%1.10g", 0.000123), "0.000123");
  EXPECT_EQ(Format("%e", 1.5), "1.500000e+00");
  EXPECT_EQ(Format("Untitled-%1d", 3), "Untitled-3");
  EXPECT_EQ(Format("%s=%g", "TAI-UTC", 37.0), "TAI-UTC=37");
}

TEST_F(GermanLocale, ParseUsesPoint) {
  EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
  EXPECT_THROW(StrToFloat("2,5"), EOrvaError);
  EXPECT_DOUBLE_EQ(StrToFloat("1e-3"), 1e-3);
}

TEST_F(GermanLocale, FormatGMatchesPrintf) {
  // The fast writer must give what "%15.10g" gives in the C locale.
  std::setlocale(LC_ALL, "C");
  const double Values[] = {0.0,   -0.0,   1.0, 6562.8, 1e-5,         123456789012.0, -3.14159265358979,
                           1e300, 5e-324, 0.1, 2.5e-7, 99999.999995, 1234567890.5};
  for (double V : Values) {
    char Buf[64], Ref[64];
    int N = FormatG(Buf, 15, 10, V);
    Buf[N] = 0;
    std::snprintf(Ref, sizeof Ref, "%15.10g", V);
    EXPECT_STREQ(Buf, Ref) << "value " << V;
  }
}

} // namespace

TEST(NumberParse, AcceptsWhatUsersType) {
  struct Row {
    const char *Text;
    double Value;
  } Rows[] = {{"1.5", 1.5}, {"-2", -2},           {"1e-3", 1e-3}, {" 7 ", 7},   {"+4.25", 4.25},
              {".5", 0.5},  {"6.02E23", 6.02e23}, {"-0", 0},      {"1e-400", 0}};
  for (const Row &R : Rows) {
    double V = -99;
    EXPECT_TRUE(TryStrToFloat(R.Text, V)) << R.Text;
    EXPECT_DOUBLE_EQ(V, R.Value) << R.Text;
  }
}

TEST(NumberParse, RefusesWithTheProgramsMessage) {
  for (const char *Bad : {"", " ", "abc", "1.5x", "1,5", "--1", "inf", "nan", "1e999", "0x10", "1 2"}) {
    double V;
    EXPECT_FALSE(TryStrToFloat(Bad, V)) << "'" << Bad << "'";
  }
  try {
    StrToFloat("7,5");
    FAIL() << "no error";
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "'7,5' is not a valid floating point value");
  }
  try {
    StrToInt("2.5");
    FAIL() << "no error";
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "'2.5' is not a valid integer value");
  }
}

TEST(NumberParse, Integers) {
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("+3"), 3);
  int32_t V;
  EXPECT_FALSE(TryStrToInt("2147483648", V)); // one past the 32-bit range
  EXPECT_TRUE(TryStrToInt("-2147483648", V));
  EXPECT_EQ(V, INT32_MIN);
  EXPECT_EQ(StrToInt64("9007199254740993"), 9007199254740993LL);
}

TEST(ErrorModel, AssertionNamesUnitAndLine) {
#define ORVA_UNIT "UTestUnit"
  int Line = 0;
  try {
    // clang-format off
    Line = __LINE__; ORVA_ASSERT(1 + 1 == 3);
    // clang-format on
    FAIL();
  } catch (const EAssertFailure &E) {
    EXPECT_EQ(std::string(E.what()), "Assertion failure (UTestUnit, line " + std::to_string(Line) + ")");
  }
#undef ORVA_UNIT
  try {
    OrvaRaiseUE("TOpXAxis.FormShow");
  } catch (const EAssertFailure &E) {
    EXPECT_STREQ(E.what(), "TOpXAxis.FormShow: UE");
  }
}

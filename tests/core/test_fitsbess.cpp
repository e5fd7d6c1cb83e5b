// Header cards: layout of written cards, typed reads, accessors and the editor operations.
// Expected cards are written out column by column from the FITS card layout.
#include <gtest/gtest.h>

#include "core/UErrors.h"
#include "core/UFitsBess.h"

namespace {

std::string Pad80(const std::string &S) {
  std::string R = S;
  R.resize(80, ' ');
  return R;
}

TEST(FitsCards, WrittenLayout) {
  TFitsBess H;
  H.WriteInt("NAXIS1  ", 1024, "number of horizontal pixels");
  EXPECT_EQ(H.Strings(0), Pad80("NAXIS1  =                 1024 / number of horizontal pixels"));
  EXPECT_EQ(H.Strings(0).size(), 80u);

  struct Row {
    double Value;
    const char *Text; // columns 11-30
  } Rows[] = {{1.0, "                 1.0"},           {2.5, "                 2.5"},
              {0.000123, "            0.000123"},      {-5.0, "                -5.0"},
              {6562.8, "              6562.8"},        {1e-12, "               1e-12"},
              {123456789012.0, "      1.23456789e+11"}};
  for (const Row &R : Rows) {
    TFitsBess D;
    D.WriteDbl("CRVAL1  ", R.Value, "");
    EXPECT_EQ(D.Strings(0), Pad80(std::string("CRVAL1  = ") + R.Text)) << R.Value;
  }

  TFitsBess S;
  S.WriteStr("CUNIT1  ", "Angstrom", "");
  EXPECT_EQ(S.Strings(0), Pad80("CUNIT1  = 'Angstrom'"));
  S.WriteBoo("SIMPLE  ", true, "c");
  EXPECT_EQ(S.Strings(1), Pad80("SIMPLE  =                    T / c"));
  EXPECT_EQ(S.Strings(1)[29], 'T'); // column 30

  // A long comment is cut at column 80.
  TFitsBess L;
  L.WriteStr("OBJNAME ", "x", std::string(100, 'c'));
  EXPECT_EQ(L.Strings(0).size(), 80u);
  EXPECT_THROW(L.WriteInt("NAXIS", 1, ""), EAssertFailure);
}

TEST(FitsCards, WritesReplaceInPlaceOrAppend) {
  TFitsBess H;
  H.NewHeader(10);
  H.WriteDbl("CRVAL1  ", 0.0, "start");
  int Pos = H.IndexOfKey("CRVAL1  ");
  H.SetCRVAL1(4000.5);
  EXPECT_EQ(H.IndexOfKey("CRVAL1  "), Pos);
  EXPECT_EQ(H.Strings(Pos), Pad80("CRVAL1  =               4000.5 / start"));
  EXPECT_EQ(H.Count(), 11);
  H.SetOBJNAME("Vega");
  EXPECT_EQ(H.Count(), 12);
  EXPECT_EQ(H.Strings(11), Pad80("OBJNAME = 'Vega'"));
  // The setters of BITPIX, NAXIS, NAXIS1 give their default comment to a card without one.
  TFitsBess B;
  B.WriteInt("BITPIX  ", 16, "");
  B.SetBITPIX(-32);
  EXPECT_EQ(B.Strings(0), Pad80("BITPIX  =                  -32 / number of bits per data pixel"));
}

TEST(FitsCards, TypedReads) {
  TFitsBess H;
  H.Add(Pad80("NAXIS1  =                  2.5 / odd"));
  H.Add(Pad80("CRVAL1  =                1.0D3"));
  H.Add(Pad80("OBJNAME = 'O''Brien '         / the star"));
  H.Add(Pad80("BADSTR  = 'no end"));
  H.Add(Pad80("NOEQ      42"));
  H.Add(Pad80("FLAG    =                    F"));
  H.Add(Pad80("EXPTIME =                 300. / seconds"));
  int32_t I;
  double D;
  bool B;
  std::string S, C;
  ASSERT_TRUE(H.ReadInt("NAXIS1  ", I, S, C));
  EXPECT_EQ(I, 0);
  EXPECT_EQ(S, "2.5");
  EXPECT_EQ(C, "odd");
  EXPECT_FALSE(H.ReadDbl("CRVAL1  ", D, S, C));
  ASSERT_TRUE(H.ReadStr("OBJNAME ", S, C));
  EXPECT_EQ(S, "O''Brien ");
  EXPECT_EQ(C, "the star");
  EXPECT_FALSE(H.ReadStr("BADSTR  ", S, C));
  EXPECT_FALSE(H.ReadInt("NOEQ    ", I, S, C));
  EXPECT_FALSE(H.ReadInt("MISSING ", I, S, C));
  ASSERT_TRUE(H.ReadBoo("FLAG    ", B, S, C));
  EXPECT_FALSE(B);
  EXPECT_EQ(S, "F");
  ASSERT_TRUE(H.ReadDbl("EXPTIME ", D, S, C));
  EXPECT_DOUBLE_EQ(D, 300.0);
  EXPECT_EQ(S, "300."); // shown to the user as written
  EXPECT_FALSE(H.ReadBoo("NAXIS1  ", B, S, C));
}

TEST(FitsCards, AccessorDefaultsAndErrors) {
  TFitsBess H;
  EXPECT_EQ(H.OBJNAME(), " ");
  EXPECT_EQ(H.DATE_OBS(), " ");
  EXPECT_DOUBLE_EQ(H.BSCALE(), 1.0);
  EXPECT_DOUBLE_EQ(H.BZERO(), 0.0);
  EXPECT_DOUBLE_EQ(H.CRPIX1(), 0.0);
  for (auto Get : {&TFitsBess::BITPIX, &TFitsBess::NAXIS, &TFitsBess::NAXIS1}) {
    EXPECT_THROW((H.*Get)(), EOrvaError);
  }
  try {
    H.BITPIX();
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "Keyword BITPIX not defined");
  }
  try {
    H.NAXIS1();
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "Keyword NAXIS1 not defined");
  }
  H.Add(Pad80("CRPIX1  = '1.0'"));
  EXPECT_DOUBLE_EQ(H.CRPIX1(), 1.0);
  H.SetStrings(0, Pad80("CRPIX1  = 'one'"));
  EXPECT_THROW(H.CRPIX1(), EOrvaError);
  H.SetDATE_OBS("2026-12-08T20:00:00");
  EXPECT_EQ(H.IndexOfKey("DATE-OBS"), 1);
  EXPECT_EQ(H.DATE_OBS(), "2026-12-08T20:00:00");
}

TEST(FitsCards, NewHeader) {
  TFitsBess H;
  H.Add(Pad80("JUNK    = 1"));
  H.NewHeader(3);
  const char *Keys[] = {"SIMPLE  ", "BITPIX  ", "NAXIS   ", "NAXIS1  ", "BSCALE  ", "BZERO   ",
                        "CRVAL1  ", "CDELT1  ", "CRPIX1  ", "CUNIT1  ", "CTYPE1  "};
  ASSERT_EQ(H.Count(), 11);
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(H.Strings(i).substr(0, 8), Keys[i]);
  EXPECT_EQ(H.Strings(0), Pad80("SIMPLE  =                    T / this file conforms to the FITS standard"));
  EXPECT_EQ(H.BITPIX(), -32);
  EXPECT_EQ(H.NAXIS(), 1);
  EXPECT_EQ(H.NAXIS1(), 3);
  EXPECT_DOUBLE_EQ(H.CDELT1(), 1.0);
  EXPECT_DOUBLE_EQ(H.CRPIX1(), 1.0);
  EXPECT_EQ(H.CUNIT1(), "Angstrom");
  EXPECT_EQ(H.CTYPE1(), "Wavelength");
}

TEST(FitsCards, IsNumber) {
  struct Row {
    const char *V;
    int Typ;
  } Rows[] = {{"T", 3},   {"F", 3},      {"42", 0},   {"-7", 0}, {"2.5", 1},
              {"1e5", 1}, {"1.0D3", -1}, {"abc", -1}, {"", -1},  {"TRUE", -1}};
  for (const Row &R : Rows)
    EXPECT_EQ(TFitsBess::IsNumber(R.V), R.Typ) << R.V;
}

TEST(FitsCards, ReadLineAndComposeLine) {
  TFitsBess H;
  H.Add(Pad80("HISTORY   made by hand  "));
  H.Add(Pad80("OBJNAME = 'alf Lyr' / the target"));
  H.Add(Pad80("EXPTIME =                 1200 / s"));
  H.Add(Pad80("ODD     =                 ab/c"));
  H.Add(Pad80("NOVALUE   no equals"));
  std::string K, V, C;
  int T;
  H.ReadLine(0, K, V, C, T);
  EXPECT_EQ(K, "HISTORY ");
  EXPECT_EQ(V, "made by hand");
  EXPECT_EQ(C, "");
  EXPECT_EQ(T, -1);
  EXPECT_EQ(TFitsBess::ComposeLine(K, V, T, C), Pad80("HISTORY  made by hand"));
  EXPECT_EQ(TFitsBess::ComposeLine(K, V, T, C).substr(9, 4), "made"); // from column 10
  H.ReadLine(1, K, V, C, T);
  EXPECT_EQ(V, "'alf Lyr'");
  EXPECT_EQ(C, "the target");
  EXPECT_EQ(T, 2);
  H.ReadLine(2, K, V, C, T);
  EXPECT_EQ(V, "1200");
  EXPECT_EQ(T, 0);
  EXPECT_EQ(C, "s");
  try {
    H.ReadLine(3, K, V, C, T);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "illegal FITS value:ab/c");
  }
  EXPECT_THROW(H.ReadLine(4, K, V, C, T), EAssertFailure);

  EXPECT_EQ(TFitsBess::ComposeLine("EXPTIME ", "1200", 0, "s"), Pad80("EXPTIME =                 1200 / s"));
  EXPECT_EQ(TFitsBess::ComposeLine("OBJNAME ", "Vega", 2, ""), Pad80("OBJNAME = 'Vega'"));
  EXPECT_EQ(TFitsBess::ComposeLine("OBJNAME ", "", 2, ""), Pad80("OBJNAME = ''"));
  EXPECT_THROW(TFitsBess::ComposeLine("EXPTIME ", std::string(21, '1'), 0, ""), EAssertFailure);
  EXPECT_THROW(TFitsBess::ComposeLine("OBJNAME ", std::string(71, 'a'), 2, ""), EAssertFailure);
  EXPECT_NO_THROW(TFitsBess::ComposeLine("OBJNAME ", std::string(68, 'a'), 2, ""));
  EXPECT_THROW(TFitsBess::ComposeLine("KEY", "1", 0, ""), EAssertFailure);
}

TEST(FitsCards, CopyIsCardByCard) {
  TFitsBess A;
  A.NewHeader(5);
  A.SetOBJNAME("x");
  TFitsBess B(A);
  EXPECT_EQ(B.Cards(), A.Cards());
  B.SetOBJNAME("y");
  EXPECT_EQ(A.OBJNAME(), "x");
}

} // namespace

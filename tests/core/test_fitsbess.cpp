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
  EXPECT_EQ(S, "O'Brien "); // a doubled quote in a card is one quote of the string
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
  H.Add(Pad80("CONTINUE  'of a long string&' / more"));
  H.Add(Pad80("TIGHT   ='no blank after the equals sign'"));
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
  // Cards without "= " are shown as commentary and stay as they are.
  struct NoValue {
    int N;
    const char *Key, *Value;
  } Rows[] = {{4, "NOVALUE ", "no equals"},
              {5, "CONTINUE", "'of a long string&' / more"},
              {6, "TIGHT   ", "='no blank after the equals sign'"}};
  for (const NoValue &R : Rows) {
    const std::string Before = H.Strings(R.N);
    ASSERT_NO_THROW(H.ReadLine(R.N, K, V, C, T)) << R.Key;
    EXPECT_EQ(K, R.Key);
    EXPECT_EQ(V, R.Value);
    EXPECT_EQ(C, "");
    EXPECT_EQ(T, -1);
    EXPECT_EQ(H.Strings(R.N), Before);
  }

  EXPECT_EQ(TFitsBess::ComposeLine("EXPTIME ", "1200", 0, "s"), Pad80("EXPTIME =                 1200 / s"));
  EXPECT_EQ(TFitsBess::ComposeLine("OBJNAME ", "Vega", 2, ""), Pad80("OBJNAME = 'Vega'"));
  EXPECT_EQ(TFitsBess::ComposeLine("OBJNAME ", "", 2, ""), Pad80("OBJNAME = ''"));
  EXPECT_THROW(TFitsBess::ComposeLine("EXPTIME ", std::string(21, '1'), 0, ""), EAssertFailure);
  EXPECT_THROW(TFitsBess::ComposeLine("OBJNAME ", std::string(71, 'a'), 2, ""), EAssertFailure);
  EXPECT_THROW(TFitsBess::ComposeLine("OBJNAME ", std::string(69, 'a'), 2, ""), EAssertFailure);
  EXPECT_EQ(TFitsBess::ComposeLine("OBJNAME ", std::string(68, 'a'), 2, ""),
            "OBJNAME = '" + std::string(68, 'a') + "'"); // the closing quote in column 80
  EXPECT_THROW(TFitsBess::ComposeLine("KEY", "1", 0, ""), EAssertFailure);
}

// Quotes inside string values are doubled in the card and single in the string, whichever
// way the card is made or read (the FITS standard's rule for string values).
TEST(FitsCards, QuotesInStrings) {
  TFitsBess H;
  H.SetOBJNAME("O'Brien's star");
  EXPECT_EQ(H.Strings(0), Pad80("OBJNAME = 'O''Brien''s star'"));
  EXPECT_EQ(H.OBJNAME(), "O'Brien's star");
  std::string K, V, C;
  int T;
  H.ReadLine(0, K, V, C, T);
  EXPECT_EQ(T, 2);
  EXPECT_EQ(V, "'O'Brien's star'");
  // What the editor shows comes back as the same card; so does the text typed without quotes.
  EXPECT_EQ(TFitsBess::ComposeLine(K, V, T, C), H.Strings(0));
  EXPECT_EQ(TFitsBess::ComposeLine(K, "O'Brien's star", T, C), H.Strings(0));
  // A comment after a string with doubled quotes is found after the real closing quote.
  H.Add(Pad80("OBSERVER= 'd''Artagnan' / the / observer"));
  H.ReadLine(1, K, V, C, T);
  EXPECT_EQ(V, "'d'Artagnan'");
  EXPECT_EQ(C, "the / observer");
  ASSERT_TRUE(H.ReadStr("OBSERVER", V, C));
  EXPECT_EQ(V, "d'Artagnan");
}

// One limit for every way a value reaches a card: 68 characters between the quotes (quotes
// counted doubled), 20 for numbers and logicals, 71 for commentary text.
TEST(FitsCards, ValueLimits) {
  const std::string Q34(34, '\'');
  struct Row {
    std::string Value;
    int Typ;
    bool Fits;
  } Rows[] = {{std::string(20, '1'), 0, true},
              {std::string(21, '1'), 0, false},
              {std::string(21, '1'), 1, false},
              {std::string(68, 'a'), 2, true},
              {std::string(69, 'a'), 2, false},
              {"'" + std::string(68, 'a') + "'", 2, true},  // the editor's outer quotes are no part of it
              {"a" + std::string(33, '\'') + "b", 2, true}, // 33 quotes are 66 in the card
              {"a" + Q34 + "b", 2, false},
              {std::string(67, 'a') + "'b", 2, false},
              {std::string(71, 'h'), -1, true},
              {std::string(72, 'h'), -1, false}};
  for (const Row &R : Rows) {
    EXPECT_EQ(TFitsBess::ValueFits(R.Value, R.Typ), R.Fits) << R.Value << " type " << R.Typ;
    if (R.Fits) {
      EXPECT_EQ(TFitsBess::ComposeLine("KEY     ", R.Value, R.Typ, "").size(), 80u) << R.Value;
    } else {
      EXPECT_THROW(TFitsBess::ComposeLine("KEY     ", R.Value, R.Typ, ""), EAssertFailure) << R.Value;
    }
  }

  // The typed write refuses a string that does not fit, naming the keyword; the header stays.
  TFitsBess H;
  H.SetBSS_INST("short");
  const std::string Before = H.Strings(0);
  const std::string Long =
      "Celestron C11 + LHIRES III spectrograph with 2400 l/mm grating + ATIK 314L+ camera";
  ASSERT_GT(Long.size(), 68u);
  try {
    H.SetBSS_INST(Long);
    FAIL() << "an 83-character value was written";
  } catch (const EOrvaError &E) {
    EXPECT_NE(std::string(E.what()).find("BSS_INST"), std::string::npos) << E.what();
  }
  EXPECT_EQ(H.Count(), 1);
  EXPECT_EQ(H.Strings(0), Before);
  EXPECT_THROW(H.SetOBJNAME(Q34 + "x"), EOrvaError); // typed writes take the string itself: 69
  H.SetOBJNAME(std::string(68, 'x'));
  EXPECT_EQ(H.Strings(1), "OBJNAME = '" + std::string(68, 'x') + "'");
  EXPECT_EQ(H.OBJNAME(), std::string(68, 'x'));
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

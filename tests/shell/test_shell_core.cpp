// The shell's window-free rules: result names, list row texts, the x-axis line fit, the
// strictly-increasing check, the editor's card checks and the BeSS keyword set.
#include <cmath>
#include <gtest/gtest.h>

#include "numeric/UStraightLine.h"

#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "shell/UFileListCore.h"
#include "shell/UFitsEditorCore.h"

TEST(ResultNameTest, Table) {
  struct Row {
    const char *FName, *History, *Expected;
  } Rows[] = {
      {"m31.fits", "-xres", "m31-xres"},
      {"m31", "-copy", "m31-copy"},
      {"star-copy", "-copy", "star-copy-copy"},
      {"a.b.dat", "-norm", "a.b-norm"},
      {"dir.v2/star", "-crop", "dir.v2/star-crop"},
      {".hidden", "-x", "-x"},
  };
  for (const Row &R : Rows) {
    int Counter = 7;
    EXPECT_EQ(ResultName(R.FName, R.History, Counter), R.Expected) << R.FName;
    EXPECT_EQ(Counter, 7) << "a named result must not use the untitled counter";
  }
}

TEST(ResultNameTest, UntitledCounterCountsUp) {
  int Counter = 0;
  EXPECT_EQ(ResultName("", "-copy", Counter), "Untitled-1");
  EXPECT_EQ(ResultName("", "", Counter), "Untitled-2");
  EXPECT_EQ(Counter, 2);
}

TEST(FitStraightLineTest, HandWorkedValues) {
  // x = 0, 1, 3 over i = 0, 1, 2: b = 1.5, a = -1/6; residuals -1/6, 1/3, -1/6 (sum of
  // squares 1/6, s = sqrt(1/6)); slope error s / sqrt(2), intercept error s sqrt(1/2 + 1/3).
  const double i[] = {0, 1, 2}, x[] = {0, 1, 3};
  const TStraightLineFit F = FitStraightLine(3, i, x);
  EXPECT_NEAR(F.b, 1.5, 1e-15);
  EXPECT_NEAR(F.a, -1.0 / 6, 1e-15);
  EXPECT_NEAR(F.s, std::sqrt(1.0 / 6), 1e-15);
  EXPECT_NEAR(F.sb, std::sqrt(1.0 / 6) / std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(F.sa, std::sqrt(1.0 / 6) * std::sqrt(0.5 + 1.0 / 3), 1e-15);
  const TStraightLineFit Two = FitStraightLine(2, i, x);
  EXPECT_DOUBLE_EQ(Two.b, 1.0);
  EXPECT_EQ(Two.s, 0.0);
  EXPECT_EQ(Two.sb, 0.0);
  EXPECT_EQ(Two.sa, 0.0);
}

TEST(XAxisResidualsTest, LinearAndBentAxes) {
  const TDblArr1D Lin = XAxisResiduals({0, 2, 4, 6}, 4);
  for (double r : Lin)
    EXPECT_NEAR(r, 0, 1e-14);
  const TDblArr1D Bent = XAxisResiduals({0, 1, 3}, 3);
  ASSERT_EQ(Bent.size(), 3u);
  // Residual = fitted - x.
  EXPECT_NEAR(Bent[0], -1.0 / 6, 1e-14);
  EXPECT_NEAR(Bent[1], 1.0 / 3, 1e-14);
  EXPECT_NEAR(Bent[2], -1.0 / 6, 1e-14);
}

TEST(CheckSpectrumLinesTest, Table) {
  const std::string Ok = "x-vlaues are strictly increasing with index";
  auto Line = [](int i) {
    return "x-values are not strictly increasing with index (line " + std::to_string(i) + ")";
  };
  struct Row {
    TDblArr1D X;
    std::vector<std::string> Expected;
  } Rows[] = {
      {{1, 2, 2, 3}, {Line(2)}},       {{1, 5, 2, 3, 6}, {Line(2), Line(3)}}, {{1, 2, 3}, {Ok}}, {{7}, {Ok}},
      {{3, 2, 1}, {Line(1), Line(2)}},
  };
  for (const Row &R : Rows)
    EXPECT_EQ(CheckSpectrumLines(R.X, static_cast<int32_t>(R.X.size())), R.Expected) << R.X.size();
}

TEST(ShellTextsTest, UnsavedAndWidthAndLimit) {
  EXPECT_EQ(UnsavedText(1), "1 unsaved spectrum");
  EXPECT_EQ(UnsavedText(3), "3 unsaved spectra");
  EXPECT_EQ(ProfileWidth(1000), 792);
  EXPECT_EQ(ProfileWidth(600), 500);
  EXPECT_EQ(ProfileWidth(636), 501); // (636 - 10) * 0.8 = 500.8 rounds up
  EXPECT_EQ(TextWindowLimitText(12000), "Only 5000 lines out of 12000 lines are shown");
}

TEST(ListRowTextsTest, ColumnsAsWritten) {
  TSpec32 S;
  S.NewSpec("star.fits", 3, 0, nullptr);
  S.DataY = {0.000123456, 2, 12345.6};
  S.UpdateSpec();
  std::string Card = "EXPTIME =               300.00 / seconds";
  Card.resize(80, ' ');
  S.FitsBess().Add(Card);
  TListRow R = ListRowTexts(S);
  EXPECT_EQ(R[lcFileName], "star.fits");
  EXPECT_EQ(R[lcDataPoints], "3");
  EXPECT_EQ(R[lcEqu], "Y");
  EXPECT_EQ(R[lcDateObs], " ");
  EXPECT_EQ(R[lcExposure], "300.00");
  // Six significant digits.
  EXPECT_EQ(R[lcMin], "0.000123456");
  EXPECT_EQ(R[lcMax], "12345.6");
  EXPECT_EQ(R[lcPath], "");
  S.FitsBess().SetDATE_OBS("2023-08-14T21:30:00");
  S.SetEquidistant(false);
  R = ListRowTexts(S);
  EXPECT_EQ(R[lcDateObs], "2023-08-14T21:30:00");
  EXPECT_EQ(R[lcEqu], "N");
}

TEST(FileFilterTest, QtForm) {
  EXPECT_EQ(QtFileFilter("*.dat|*.dat|*.*|*.*"), "*.dat (*.dat);;*.* (*)");
  EXPECT_EQ(QtFileFilter("*.fit, *.fits, *.fts|*.fit;*.fits;*.fts|*.*|*.*"),
            "*.fit, *.fits, *.fts (*.fit *.fits *.fts);;*.* (*)");
}

TEST(FitsEditorRulesTest, ForbiddenKeywords) {
  for (const char *K :
       {"SIMPLE", "bitpix", "NAXIS   ", " NAXIS1", "BZERO", "BSCALE", "CRVAL1", "CDELT1", "CRPIX1"})
    EXPECT_TRUE(IsForbiddenKeyword(K)) << K;
  for (const char *K : {"NAXIS2", "OBJNAME", "CUNIT1", "", "HISTORY"})
    EXPECT_FALSE(IsForbiddenKeyword(K)) << K;
}

TEST(FitsEditorRulesTest, ValidationMessages) {
  struct Row {
    const char *Key, *Value;
    int Typ;
    const char *Error;
  } Rows[] = {
      {"obs-site", "x", ctString, "Illegal Keyword: obs-site"},
      {"TOOLONGKEY", "1", ctInteger, "Illegal Keyword: TOOLONGKEY"},
      {"A B", "1", ctInteger, "Illegal Keyword: A B"},
      {"NCOMBINE", "2.5", ctInteger, "Not an integer number: 2.5"},
      {"AIRMASS", "1,5", ctFloating, "Not a floating point number: 1,5"},
      {"FLAG", "yes", ctLogical, "Not a boolean (must be T or F): yes"},
      {"FLAG", "T", ctNone, "Type is \"None\": allowed keywords are COMMENT, HISTORY and 8 blanks"},
  };
  for (const Row &R : Rows) {
    try {
      ComposeEditedCard(R.Key, R.Value, "", R.Typ);
      ADD_FAILURE() << R.Key << " was accepted";
    } catch (const EOrvaError &E) {
      EXPECT_EQ(std::string(E.what()), R.Error) << R.Key;
    }
  }
}

TEST(FitsEditorRulesTest, ComposedCards) {
  TEditedCard C = ComposeEditedCard(" OBS-SITE ", " La Palma ", "", ctString);
  EXPECT_EQ(C.Card.substr(0, 21), "OBS-SITE= 'La Palma' ");
  EXPECT_EQ(C.Card.size(), 80u);
  EXPECT_FALSE(C.CommentDiscarded);

  C = ComposeEditedCard("HISTORY", "reduced by hand", "my note", ctString);
  EXPECT_TRUE(C.CommentDiscarded);
  EXPECT_TRUE(C.TypeForced);
  // The commentary text starts in column 10.
  EXPECT_EQ(C.Card.substr(0, 24), "HISTORY  reduced by hand");
  EXPECT_EQ(C.Card.find('/'), std::string::npos);

  C = ComposeEditedCard("COMMENT", "plain", "", ctNone);
  EXPECT_FALSE(C.CommentDiscarded);
  EXPECT_FALSE(C.TypeForced);

  C = ComposeEditedCard("NCOMBINE", "12", "frames", ctInteger);
  // Columns 11-30 hold the number right-aligned, the comment follows from column 31.
  EXPECT_EQ(C.Card.substr(0, 10), "NCOMBINE= ");
  EXPECT_EQ(C.Card.substr(10, 20), std::string(18, ' ') + "12");
  EXPECT_EQ(C.Card.substr(30, 9), " / frames");
}

TEST(FitsEditorRulesTest, BessKeywordsKeepExistingCards) {
  TFitsBess H;
  H.NewHeader(10);
  H.SetOBSERVER("Someone Else");
  const int Before = H.Count();
  AddBessKeywords(H, "k-ternwald", "Instrument", "Site");
  EXPECT_EQ(H.Count(), Before + 9);
  EXPECT_EQ(H.OBSERVER(), "Someone Else");
  EXPECT_EQ(H.BSS_INST(), "Instrument");
  EXPECT_EQ(H.BSS_SITE(), "Site");
  // Appended in the order OBJNAME, DATE-OBS, EXPTIME, BSS_INST, BSS_SITE, BSS_VHEL, ...
  const char *Order[] = {"OBJNAME ", "DATE-OBS", "EXPTIME ", "BSS_INST", "BSS_SITE",
                         "BSS_VHEL", "BSS_TELL", "BSS_COSM", "BSS_NORM"};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(H.Strings(Before + i).substr(0, 8), Order[i]);
  AddBessKeywords(H, "a", "b", "c");
  EXPECT_EQ(H.Count(), Before + 9) << "a second call adds nothing";
}

TEST(FitsEditorRulesTest, WorkingCopyOfUnevenSpectrum) {
  TSpec32 S;
  S.NewSpec("u", 3, 0, nullptr);
  S.DataX = {1, 2, 4};
  S.SetEquidistant(S.IsEquidistant());
  TFitsBess Work;
  PrepareEditorHeader(S, Work);
  EXPECT_EQ(Work.CDELT1(), -1.0);
  EXPECT_EQ(Work.CRVAL1(), 1.0);
  EXPECT_EQ(S.FitsBess().CDELT1(), 1.0) << "the spectrum's own header is untouched";
  S.DataX = {10, 12, 14};
  S.SetEquidistant(true);
  PrepareEditorHeader(S, Work);
  EXPECT_EQ(Work.CDELT1(), 2.0);
  EXPECT_EQ(Work.CRVAL1(), 10.0);
}

TEST(ListRowTextsTest, MinMaxWithSixDigitsAndNaN) {
  const std::pair<double, const char *> Rows[] = {
      {1234567.0, "1.23457e+06"}, {-0.5, "-0.5"}, {6562.817, "6562.82"}, {1e-7, "1e-07"}, {0, "0"},
      {std::nan(""), "NaN"},
  };
  for (const auto &[V, Want] : Rows)
    EXPECT_EQ(MinMaxText(V), Want) << V;
}

// Rows sorted by each column, as the list does it: the expected order is worked out by hand
// from the values below (text order would put "10" before "9" and "B" before "a").
TEST(CompareListCellsTest, EveryColumnInItsOwnOrder) {
  struct TRowData {
    const char *Name;
    int N;
    bool Equ;
    const char *Date; // nullptr: no card
    const char *Exp;  // nullptr: no card
    double Y0, Y1;    // the values; NaN for a spectrum without finite values
    const char *Path;
  };
  const double NaN = std::nan("");
  const TRowData Data[] = {
      {"beta.fits", 10, true, "2023-08-14", "300.0", 2, 5, "/data/B/"},
      {"Alpha.dat", 9, false, nullptr, nullptr, -1, 20, "/data/a/"},
      {"gamma", 100, true, "2021-01-02", "45", NaN, NaN, ""},
      {"alpha2", 20, true, "2023-08-14T01:00:00", "1200", 0.5, 0.75, "/Data/c/"},
  };
  std::vector<std::unique_ptr<TSpec32>> Specs;
  for (const TRowData &D : Data) {
    auto S = std::make_unique<TSpec32>();
    S->NewSpec(D.Name, D.N, 0, nullptr);
    for (int i = 0; i < D.N; ++i)
      S->DataY[i] = i % 2 ? D.Y1 : D.Y0;
    S->UpdateSpec();
    S->SetEquidistant(D.Equ);
    S->SetFilePath(D.Path);
    if (D.Date) S->FitsBess().SetDATE_OBS(D.Date);
    if (D.Exp) {
      std::string Card = std::string("EXPTIME =              ") + D.Exp;
      Card.resize(80, ' ');
      S->FitsBess().Add(Card);
    }
    Specs.push_back(std::move(S));
  }
  // Ascending order of the four rows (indexes into Data) per column; ties keep their order.
  const std::pair<int, std::vector<int>> Orders[] = {
      {lcFileName, {1, 3, 0, 2}}, {lcDataPoints, {1, 0, 3, 2}}, {lcEqu, {1, 0, 2, 3}},
      {lcDateObs, {2, 0, 3, 1}},  {lcExposure, {2, 0, 3, 1}},   {lcMin, {1, 3, 0, 2}},
      {lcMax, {3, 0, 1, 2}},      {lcPath, {2, 1, 0, 3}},
  };
  for (const auto &[Col, Want] : Orders) {
    std::vector<int> Got = {0, 1, 2, 3};
    std::stable_sort(Got.begin(), Got.end(),
                     [&](int a, int b) { return CompareListCells(Col, *Specs[a], *Specs[b]) < 0; });
    EXPECT_EQ(Got, Want) << "column " << Col;
    // A strict order: nothing is less than itself, and no pair is less both ways.
    for (int a = 0; a < 4; ++a)
      for (int b = 0; b < 4; ++b)
        EXPECT_FALSE(CompareListCells(Col, *Specs[a], *Specs[b]) < 0 &&
                     CompareListCells(Col, *Specs[b], *Specs[a]) < 0)
            << Col << " " << a << " " << b;
  }
}

TEST(ShellTextsTest, MessagesNameTheirFile) {
  const struct {
    const char *Msg, *FName, *Want;
  } Rows[] = {
      {"Invalid numeric input", "/d/a.dat", "/d/a.dat: Invalid numeric input"},
      {"Too few columns in /d/a.dat", "/d/a.dat", "Too few columns in /d/a.dat"},
      {"a.dat, line 3: Invalid numeric input", "/d/a.dat", "a.dat, line 3: Invalid numeric input"},
      {"not a valid FITS file", "rel.fits", "rel.fits: not a valid FITS file"},
      {"Out of memory", "", "Out of memory"},
  };
  for (const auto &R : Rows)
    EXPECT_EQ(MessageNamingFile(R.Msg, R.FName), R.Want) << R.Msg;
  EXPECT_EQ(CloseUnsavedText(1), "1 unsaved spectrum will be lost. Close anyway?");
  EXPECT_EQ(CloseUnsavedText(2), "2 unsaved spectra will be lost. Close anyway?");
}

// The spectrum record: new spectra, the min/max scan, equidistance and x-axis comparison.
#include <gtest/gtest.h>

#include "core/USpec32.h"

namespace {

void SetX(TSpec32 &S, std::initializer_list<double> X) {
  S.DataX.assign(X);
  S.DataY.assign(X.size(), 0.0);
  S.FinishFromArrays();
}

TEST(Spec32, NewSpec) {
  TSpec32 S;
  S.NewSpec("a", 3, 0.5, nullptr);
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.DataX, (TDblArr1D{0, 1, 2}));
  EXPECT_EQ(S.DataY, (TDblArr1D{0.5, 0.5, 0.5}));
  EXPECT_EQ(S.MinVal(), 0.5);
  EXPECT_EQ(S.MaxVal(), 0.5);
  EXPECT_TRUE(S.Equidistant());
  EXPECT_TRUE(S.Unsaved());
  EXPECT_EQ(S.FileName(), "a");
  TFitsBess Ref;
  Ref.NewHeader(3);
  EXPECT_EQ(S.FitsBess().Cards(), Ref.Cards());

  // From a source: its cards stay, BITPIX and NAXIS1 follow the new spectrum.
  S.FitsBess().SetOBJNAME("Vega");
  S.FitsBess().SetBITPIX(16);
  TSpec32 C;
  C.NewSpec("b", 7, 0, &S);
  EXPECT_EQ(C.FitsBess().OBJNAME(), "Vega");
  EXPECT_EQ(C.FitsBess().BITPIX(), -32);
  EXPECT_EQ(C.FitsBess().NAXIS1(), 7);
  EXPECT_EQ(S.FitsBess().NAXIS1(), 3);
}

TEST(Spec32, MinMax) {
  TSpec32 S;
  S.NewSpec("a", 5, 0, nullptr);
  S.DataY = {5, 3, 9, 9, 1};
  S.UpdateSpec();
  EXPECT_EQ(S.MinVal(), 1);
  EXPECT_EQ(S.MaxVal(), 9);
  // UpdateSpec leaves the equidistance flag alone.
  S.DataX = {0, 1, 5, 6, 7};
  S.UpdateSpec();
  EXPECT_TRUE(S.Equidistant());
  EXPECT_FALSE(S.IsEquidistant());
}

TEST(Spec32, Equidistance) {
  struct Row {
    std::initializer_list<double> X;
    bool Equi;
  } Rows[] = {{{1, 2, 3.00001}, true}, // second step off by 5e-6 < tol 1.000005e-5
              {{1, 2, 3.0001}, false}, // off by 5e-5
              {{3, 2, 1}, false},      // decreasing: tolerance negative
              {{42}, true},            // one point
              {{4000, 4001, 4002}, true},
              {{1, 1.5, 3}, false}};
  for (const Row &R : Rows) {
    TSpec32 S;
    SetX(S, R.X);
    EXPECT_EQ(S.IsEquidistant(), R.Equi) << "first x " << *R.X.begin();
  }
}

TEST(Spec32, CompareXValues) {
  TSpec32 A, B;
  A.NewSpec("a", 10, 0, nullptr);
  B.NewSpec("b", 11, 0, nullptr);
  std::string Msg;
  EXPECT_FALSE(A.CompareXValues(B, Msg));
  EXPECT_EQ(Msg, "Number of data points differ");

  SetX(A, {1, 2, 3});
  SetX(B, {1, 2, 3.5});
  EXPECT_FALSE(A.CompareXValues(B, Msg));
  EXPECT_EQ(Msg, "X-values differ at index 2");
  SetX(B, {1, 2, 3.000001});
  EXPECT_TRUE(A.CompareXValues(B, Msg));
  EXPECT_EQ(Msg, "");

  // Relative to the step of the spectrum it is called on.
  TSpec32 Fine, Coarse;
  SetX(Fine, {0, 0.001, 0.002});
  SetX(Coarse, {0, 0.001, 0.00200005});
  EXPECT_FALSE(Fine.CompareXValues(Coarse, Msg));

  TSpec32 P, Q;
  SetX(P, {5});
  SetX(Q, {5});
  EXPECT_TRUE(P.CompareXValues(Q, Msg));
  SetX(Q, {5.0000000001});
  EXPECT_FALSE(P.CompareXValues(Q, Msg));
  EXPECT_EQ(Msg, "X-values differ at index 0");
}

TEST(Spec32, FullName) {
  TSpec32 S;
  S.SetFromFullName("/data/night1/star.fits");
  EXPECT_EQ(S.FilePath(), "/data/night1/");
  EXPECT_EQ(S.FileName(), "star.fits");
  EXPECT_FALSE(S.Unsaved());
}

} // namespace

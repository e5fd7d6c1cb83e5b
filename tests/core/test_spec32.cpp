// The spectrum record: new spectra, the min/max scan, equidistance and x-axis comparison.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

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

// Only finite values count; without any, both extremes are NaN. For finite data the scan is
// the plain one (first value, then lower or higher), down to the sign of a zero extreme.
TEST(Spec32, MinMaxOfFiniteValues) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const double Inf = std::numeric_limits<double>::infinity();
  struct Row {
    TDblArr1D Y;
    double Min, Max;
  } Rows[] = {{{NaN, 2, 7, NaN, -1}, -1, 7},
              {{Inf, 3, -Inf, 4}, 3, 4},
              {{NaN, NaN, 5}, 5, 5},
              {{1, 2, 3, 4, 5, 6, 7, 8, 9, NaN, -Inf}, 1, 9}, // beyond the first four lanes
              {{-2.5}, -2.5, -2.5},
              {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0.5, 100, -3, 4}, -3, 100}};
  for (const Row &R : Rows) {
    TSpec32 S;
    S.NewSpec("n", static_cast<int32_t>(R.Y.size()), 0, nullptr);
    S.DataY = R.Y;
    S.UpdateSpec();
    EXPECT_EQ(S.MinVal(), R.Min) << "first y " << R.Y[0];
    EXPECT_EQ(S.MaxVal(), R.Max) << "first y " << R.Y[0];
  }
  for (TDblArr1D Y : {TDblArr1D{NaN}, TDblArr1D{NaN, Inf, -Inf, NaN, NaN}}) {
    TSpec32 S;
    S.NewSpec("n", static_cast<int32_t>(Y.size()), 0, nullptr);
    S.DataY = Y;
    S.UpdateSpec();
    EXPECT_TRUE(std::isnan(S.MinVal()));
    EXPECT_TRUE(std::isnan(S.MaxVal()));
  }
  // The first of equal zeros is kept, as the plain scan does: 0.0 here, -0.0 below.
  TSpec32 Z;
  Z.NewSpec("z", 9, 0, nullptr);
  Z.DataY = {5, 0.0, 3, 4, 5, -0.0, 1, 2, 3};
  Z.UpdateSpec();
  EXPECT_FALSE(std::signbit(Z.MinVal()));
  Z.DataY = {5, -0.0, 3, 4, 5, 0.0, 1, 2, 3};
  Z.UpdateSpec();
  EXPECT_TRUE(std::signbit(Z.MinVal()));
  Z.DataY = {-5, -1, -3, -4, -0.0, -7, -1, 0.0, -3};
  Z.UpdateSpec();
  EXPECT_TRUE(std::signbit(Z.MaxVal()));
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

// Decreasing axes are compared with the magnitude of the step; a step of zero is refused.
TEST(Spec32, CompareXValuesDecreasingAndFlat) {
  struct Row {
    std::initializer_list<double> A, B;
    bool Same;
    const char *Msg;
  } Rows[] = {
      {{3, 2, 1}, {3, 2, 1}, true, ""},
      {{3, 2, 1}, {3, 2, 0.5}, false, "X-values differ at index 2"},
      {{3, 2, 1}, {3, 2.000001, 1}, true, ""}, // 1e-6 of the step
      {{3, 2, 1}, {3, 2.0001, 1}, false, "X-values differ at index 1"},
      {{3, 2, 1}, {1, 2, 3}, false, "X-values differ at index 0"},
      {{1, 2, 3}, {3, 2, 1}, false, "X-values differ at index 0"},
      {{7000, 6000, 5000}, {-7000, -6000, -5000}, false, "X-values differ at index 0"},
      {{2, 2, 2}, {2, 2, 2}, false, "First and last x-values are equal"},
      {{1, 5, 1}, {1, 5, 1}, false, "First and last x-values are equal"},
  };
  for (const Row &R : Rows) {
    TSpec32 A, B;
    SetX(A, R.A);
    SetX(B, R.B);
    std::string Msg = "unchanged";
    EXPECT_EQ(A.CompareXValues(B, Msg), R.Same) << *R.A.begin() << " vs " << *R.B.begin();
    EXPECT_EQ(Msg, R.Msg) << *R.A.begin() << " vs " << *R.B.begin();
  }
}

TEST(Spec32, FullName) {
  TSpec32 S;
  S.SetFromFullName("/data/night1/star.fits");
  EXPECT_EQ(S.FilePath(), "/data/night1/");
  EXPECT_EQ(S.FileName(), "star.fits");
  EXPECT_FALSE(S.Unsaved());
}

} // namespace

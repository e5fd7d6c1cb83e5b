// Line detection and peak width. Expected values are worked out by hand from the sample values
// in each case.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/UErrors.h"
#include "numeric/UFitUnit.h"

namespace {

struct TDetect {
  bool Found;
  int NExtrema;
  bool Absorption;
};

TDetect Detect(const std::vector<double> &Y, bool RemoveSlope) {
  TDetect R{false, -99, false};
  R.Found = DetectLine(Y, static_cast<int>(Y.size()), RemoveSlope, R.NExtrema, R.Absorption);
  return R;
}

} // namespace

TEST(DetectLine, ConstantStretchHasNoLine) {
  for (bool Slope : {false, true}) {
    int NExt = -99;
    bool Abs = true;
    std::vector<double> Y(9, 3.5);
    EXPECT_FALSE(DetectLine(Y, 9, Slope, NExt, Abs));
    EXPECT_FALSE(Abs) << "S = 0 counts as emission";
    EXPECT_EQ(NExt, -99) << "nExtrema is not written without a line";
  }
}

TEST(DetectLine, Table) {
  struct TRow {
    const char *Name;
    std::vector<double> Y;
    bool Slope;
    TDetect Want;
  };
  const std::vector<TRow> Rows = {
      {"emission on flat baseline", {1, 1, 1.2, 2, 1.2, 1, 1}, false, {true, 1, false}},
      {"emission, slope removed", {1, 1, 1.2, 2, 1.2, 1, 1}, true, {true, 1, false}},
      // The minima of y are the maxima of -w.
      {"absorption", {1, 1, 0.8, 0.2, 0.8, 1, 1}, false, {true, 1, true}},
      {"absorption with two minima", {1, 0.3, 1, 1, 0.5, 1, 1}, true, {true, 2, true}},
      {"two emission lines", {0, 5, 0, 0, 0, 2, 0}, false, {true, 2, false}},
      // The second bump (0.4) stays below a tenth of the first (5 - 0) ... 0.5.
      {"weak second bump ignored", {0, 5, 0, 0, 0.4, 0, 0}, false, {true, 1, false}},
      // An end sample never counts as an extremum.
      {"maximum at the edge", {5, 1, 0, 0, 0, 0, 0}, false, {true, 0, false}},
      // Rising line y = i: the slope removal leaves zeros only.
      {"pure slope removed", {0, 1, 2, 3, 4, 5}, true, {false, -99, false}},
  };
  for (const auto &R : Rows) {
    TDetect Got = Detect(R.Y, R.Slope);
    EXPECT_EQ(Got.Found, R.Want.Found) << R.Name;
    EXPECT_EQ(Got.NExtrema, R.Want.NExtrema) << R.Name;
    EXPECT_EQ(Got.Absorption, R.Want.Absorption) << R.Name;
  }
}

TEST(DetectLine, BaselineChoiceWithoutSlope) {
  // Largest |y| at index 3 (value 10). |10 - y0| = 9 > |10 - y[n-1]| = 6, so the base is y0 = 1:
  // w = (0, 0, 1, 9, 1, 3, 3), all positive: emission, one maximum (9 > 0.9; 3 at the end is no
  // extremum; 1 at index 2 is not a local maximum).
  TDetect G = Detect({1, 1, 2, 10, 2, 4, 4}, false);
  EXPECT_TRUE(G.Found);
  EXPECT_FALSE(G.Absorption);
  EXPECT_EQ(G.NExtrema, 1);
  // The largest |y| sits in the first sample (of equal magnitudes the first wins), so
  // |y[k] - y0| = 0 is not above |y[k] - y[n-1]| and the base is the last sample, -2:
  // w = (4, 3, 2, 3, 0), emission, M = 4 at the edge; the only inner maximum is index 3.
  G = Detect({2, 1, 0, 1, -2}, false);
  EXPECT_TRUE(G.Found);
  EXPECT_FALSE(G.Absorption);
  EXPECT_EQ(G.NExtrema, 1);
}

TEST(DetectLine, TooFewSamplesIsAnInternalFailure) {
  std::vector<double> Y = {1, 2, 3, 2};
  int N = 0;
  bool A = false;
  EXPECT_THROW(DetectLine(Y, 4, true, N, A), EAssertFailure);
}

TEST(MeasurePeak, SymmetricTriangle) {
  // y = 0, 1, 2, 3, 2, 1, 0 on x = 0 ... 6: the parabola through (2,2), (3,3), (4,2) has its top
  // at x = 3 with height 3, so half = 1.5; the first samples below half are index 1 and 5, and the
  // crossings interpolate to 1.5 and 4.5: fwhm = 3.
  std::vector<double> X = {0, 1, 2, 3, 4, 5, 6}, Y = {0, 1, 2, 3, 2, 1, 0};
  double Fwhm = -1;
  bool Clean = false;
  int P = -1, L = -1, R = -1;
  ASSERT_TRUE(MeasurePeak(X, Y, 7, Fwhm, Clean, P, L, R));
  EXPECT_DOUBLE_EQ(Fwhm, 3.0);
  EXPECT_TRUE(Clean);
  EXPECT_EQ(P, 3);
  EXPECT_EQ(L, 1);
  EXPECT_EQ(R, 5);
}

TEST(MeasurePeak, ParabolaRefinesTheTop) {
  // Samples of 4 - (x - 0.25)^2 at x = -1, 0, 1: the parabola is exact, top 4 at x = 0.25.
  // Half = 2; samples further out at x = -2 (4 - 5.0625 < 2) and x = 2 (4 - 3.0625 = 0.9375).
  // Left crossing between x = -2 (y = -1.0625) and -1 (y = 2.4375): slope 3.5,
  // xL = -2 + (2 + 1.0625)/3.5 = -1.125. Right between x = 1 (y = 3.4375) and 2 (0.9375): slope
  // -2.5, xR = 1 + (2 - 3.4375)/(-2.5) = 1.575. fwhm = 2.7.
  auto F = [](double X) { return 4.0 - (X - 0.25) * (X - 0.25); };
  std::vector<double> X = {-2, -1, 0, 1, 2}, Y;
  for (double V : X)
    Y.push_back(F(V));
  double Fwhm = 0;
  bool Clean = false;
  int P = -1, L = -1, R = -1;
  ASSERT_TRUE(MeasurePeak(X, Y, 5, Fwhm, Clean, P, L, R));
  EXPECT_NEAR(Fwhm, 2.7, 1e-12);
  EXPECT_TRUE(Clean);
  EXPECT_EQ(P, 2);
  EXPECT_EQ(L, 0);
  EXPECT_EQ(R, 4);
}

TEST(MeasurePeak, EdgePeaksFail) {
  std::vector<double> X = {0, 1, 2, 3, 4};
  for (const std::vector<double> &Y :
       {std::vector<double>{5, 4, 3, 2, 1}, std::vector<double>{1, 2, 3, 4, 5}}) {
    double Fwhm = -7;
    bool Clean = true;
    int P = -1, L = -1, R = -1;
    EXPECT_FALSE(MeasurePeak(X, Y, 5, Fwhm, Clean, P, L, R));
    EXPECT_FALSE(Clean) << "cleared at entry";
    EXPECT_EQ(P, -1) << "iPeak is written only for an inner maximum";
    EXPECT_EQ(Fwhm, -7);
  }
}

TEST(MeasurePeak, MissingCrossingFailsButReportsWhatWasFound) {
  std::vector<double> X = {0, 1, 2, 3, 4, 5};
  double Fwhm = -7;
  bool Clean = true;
  int P = -1, L = -1, R = -1;
  // Right side stays above half maximum (3 vs half 2.x).
  std::vector<double> Y = {0, 1, 4, 3.5, 3, 3};
  EXPECT_FALSE(MeasurePeak(X, Y, 6, Fwhm, Clean, P, L, R));
  EXPECT_EQ(P, 2);
  EXPECT_EQ(L, 1) << "the left crossing was found before the right one failed";
  EXPECT_EQ(R, -1);
  // Left side stays above half maximum: iLeft is not written, nor iRight.
  P = L = R = -1;
  Y = {3, 3, 4, 1, 0, 0};
  EXPECT_FALSE(MeasurePeak(X, Y, 6, Fwhm, Clean, P, L, R));
  EXPECT_EQ(P, 2);
  EXPECT_EQ(L, -1);
  EXPECT_EQ(R, -1);
  EXPECT_EQ(Fwhm, -7);
}

TEST(MeasurePeak, FlatTopTakesTheFirstSample) {
  // y = 0, 0, 2, 2, 0, 0: the first 2 (index 2) is the peak; the parabola through (1,0), (2,2),
  // (3,2): A = ((2-2)/1 - (0-2)/(-1))/2 = -1, B = (0-2)/(-1) - dl A = 2 - 1 = 1, u0 = 0.5,
  // top = 2 + 0.5 (1 - 0.5) = 2.25. half = 1.125; left crossing from index 1: xL = 1 + 1.125/2 =
  // 1.5625; right crossing from index 4: xR = 3 + (1.125 - 2)/(-2) = 3.4375; fwhm = 1.875.
  std::vector<double> X = {0, 1, 2, 3, 4, 5}, Y = {0, 0, 2, 2, 0, 0};
  double Fwhm = 0;
  bool Clean = false;
  int P = -1, L = -1, R = -1;
  ASSERT_TRUE(MeasurePeak(X, Y, 6, Fwhm, Clean, P, L, R));
  EXPECT_EQ(P, 2);
  EXPECT_NEAR(Fwhm, 1.875, 1e-12);
  EXPECT_TRUE(Clean);
  // Three equal highest samples: the same parabola from index 2; the right walk now ends at index
  // 5: xR = 4 + (1.125 - 2)/(-2) = 4.4375, fwhm = 2.875.
  Y = {0, 0, 2, 2, 2, 0, 0};
  X = {0, 1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(MeasurePeak(X, Y, 7, Fwhm, Clean, P, L, R));
  EXPECT_EQ(P, 2);
  EXPECT_EQ(R, 5);
  EXPECT_NEAR(Fwhm, 2.875, 1e-12);
}

TEST(MeasurePeak, StepLikePeakAndNegativeTop) {
  // y = 1, 1, 1, 4, 1, 1: parabola A = -3, B = 0, top 4, half 2; left from index 2 with slope 3:
  // xL = 2 + 1/3; right from index 4 with slope -3: xR = 3 + 2/3; fwhm = 4/3.
  std::vector<double> X = {0, 1, 2, 3, 4, 5}, Y = {1, 1, 1, 4, 1, 1};
  double Fwhm = 0;
  bool Clean = false;
  int P, L, R;
  ASSERT_TRUE(MeasurePeak(X, Y, 6, Fwhm, Clean, P, L, R));
  EXPECT_NEAR(Fwhm, 4.0 / 3.0, 1e-12);
  EXPECT_TRUE(Clean);
  // A top below zero (all values negative) puts half above the peak: both walks stop at the peak
  // itself, neither slope can be interpolated, fwhm = 0 and not clean.
  Y = {-5, -4, -1, -4, -5, -6};
  ASSERT_TRUE(MeasurePeak(X, Y, 6, Fwhm, Clean, P, L, R));
  EXPECT_EQ(L, 2);
  EXPECT_EQ(R, 2);
  EXPECT_DOUBLE_EQ(Fwhm, 0.0);
  EXPECT_FALSE(Clean);
}

TEST(MeasurePeak, DecreasingXAtThePeakIsAnInternalFailure) {
  std::vector<double> X = {0, 1, 3, 2, 4}, Y = {0, 1, 5, 1, 0};
  double Fwhm;
  bool Clean;
  int P, L, R;
  EXPECT_THROW(MeasurePeak(X, Y, 5, Fwhm, Clean, P, L, R), EAssertFailure);
}

// The plot window's arithmetic without a window: mapping, zoom steps, ticks and the curve
// vertex lists. Expected values are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/UErrors.h"
#include "display/UPlotGeometry.h"

namespace {

TEST(PlotMapping, IndexAndPixel) {
  TPlotMapping M;
  struct Row {
    double Zoom;
    int64_t I;
    int32_t Px;
  };
  // floor(i*z + 1e-10): 0.23*100 = 22.999999999999996 would floor to 22 without the 1e-10.
  const Row Rows[] = {{1, 0, 0},       {1, 999, 999},     {2, 5, 10},   {0.5, 5, 2},
                      {0.23, 100, 23}, {0.23, 3000, 690}, {0.1, 30, 3}, {4, 1000, 4000}};
  for (const Row &R : Rows) {
    M.HZoom = R.Zoom;
    EXPECT_EQ(M.IndToScr(R.I), R.Px) << "zoom " << R.Zoom << " i " << R.I;
  }
  struct Back {
    double Zoom;
    int64_t X;
    int32_t I;
  };
  // floor(x/z + 1e-10): at zoom 0.1, pixel 3 is 29.999999999999996 before the 1e-10.
  const Back Backs[] = {{1, 17, 17}, {2, 17, 8}, {0.5, 3, 6}, {0.1, 3, 30}, {4, 3, 0}, {4, 4, 1}};
  for (const Back &B : Backs) {
    M.HZoom = B.Zoom;
    EXPECT_EQ(M.ScrToInd(B.X), B.I) << "zoom " << B.Zoom << " x " << B.X;
  }
}

TEST(PlotMapping, VerticalRoundsHalfToEvenAndClamps) {
  // PlotMax 0, slope -1, 10 pixels high: pixel = -y.
  const TPlotMapping M = TPlotMapping::Make(1, -10, 0, 10);
  EXPECT_DOUBLE_EQ(M.Slope, -1);
  const std::pair<double, int32_t> Rows[] = {{-0.5, 0},  {-1.5, 2}, {-2.5, 2}, {-3.5, 4}, {-3.49, 3},
                                             {-9.5, 10}, {5, 0},    {-20, 10}, {-10, 10}, {0, 0}};
  for (auto [Y, Px] : Rows)
    EXPECT_EQ(M.VToScreen(Y), Px) << "y " << Y;
  EXPECT_EQ(M.VToScreen(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(M.VToScreen(-std::numeric_limits<double>::infinity()), 10);
  // Not clamped on the way back.
  EXPECT_DOUBLE_EQ(M.ScreenToV(4), -4);
  EXPECT_DOUBLE_EQ(M.ScreenToV(-3), 3);
  EXPECT_DOUBLE_EQ(M.ScreenToV(25), -25);
}

TEST(PlotMapping, ScreenToVInvertsVToScreen) {
  const TPlotMapping M = TPlotMapping::Make(1, 0.05, 1.05, 300);
  for (int k = 0; k <= 300; ++k)
    EXPECT_EQ(M.VToScreen(M.ScreenToV(k)), k) << k;
}

TEST(PlotDefine, InitialYRange) {
  double Lo, Hi;
  // 0.05 ... 1.05: mid 0.55, range 1, margins 0.55 each way.
  InitialYRange(0.05, 1.05, Lo, Hi);
  EXPECT_NEAR(Lo, 0, 1e-15);
  EXPECT_DOUBLE_EQ(Hi, 1.1);
  InitialYRange(3, 3, Lo, Hi);
  EXPECT_DOUBLE_EQ(Lo, 2.5);
  EXPECT_DOUBLE_EQ(Hi, 3.5);
  InitialYRange(-4, 6, Lo, Hi);
  EXPECT_DOUBLE_EQ(Lo, -4.5);
  EXPECT_DOUBLE_EQ(Hi, 6.5);
  EXPECT_THROW(InitialYRange(2, 1, Lo, Hi), EAssertFailure);
}

TEST(PlotDefine, RangesOfOddValues) {
  const double NaN = std::nan(""), Inf = std::numeric_limits<double>::infinity();
  const double Big = std::numeric_limits<double>::max();
  struct TRow {
    double Lo, Hi;
    bool Usable;
  };
  // Usable: finite, ordered, a width that is a number, above 1e-290 and above 1e-12 of the values.
  const TRow Rows[] = {{0, 1, true},          {1, 1, false},          {2, 1, false},
                       {NaN, 1, false},       {0, Inf, false},        {-1e308, 1e308, false},
                       {1, 1 + 1e-13, false}, {1, 1 + 1e-11, true},   {0, 1e-300, false},
                       {0, 1e-280, true},     {-Big, -Big / 2, true}, {1e20, 1e20 + 1e9, true}};
  for (const TRow &R : Rows)
    EXPECT_EQ(UsableYRange(R.Lo, R.Hi), R.Usable) << R.Lo << " " << R.Hi;

  // Extents that the plain rule cannot show get a usable range around them.
  const std::pair<double, double> Odd[] = {
      {1e20, 1e20}, {-Big, Big}, {1, 1 + 2.2e-16}, {Big, Big}, {-Big, -Big}};
  for (auto [Mn, Mx] : Odd) {
    double Lo, Hi;
    InitialYRange(Mn, Mx, Lo, Hi);
    EXPECT_TRUE(UsableYRange(Lo, Hi)) << Mn << " " << Mx << ": " << Lo << " " << Hi;
    // The values lie inside the range, unless their spread itself is beyond the double range.
    if (std::isfinite(Mx - Mn)) {
      EXPECT_LE(Lo, Mn);
      EXPECT_GE(Hi, Mx);
    }
  }
  double Lo, Hi;
  InitialYRange(1e20, 1e20, Lo, Hi);
  EXPECT_DOUBLE_EQ(Hi - 1e20, 1e14);
  EXPECT_THROW(InitialYRange(NaN, 1, Lo, Hi), EAssertFailure);
  EXPECT_THROW(InitialYRange(1, Inf, Lo, Hi), EAssertFailure);

  // Extremes over the finite values only; NaN first (where a plain scan would stop) included.
  const std::vector<double> Y = {NaN, 3, -Inf, 1, Inf, 7, NaN};
  const TYExtent E = FiniteExtent(Y.data(), 7);
  EXPECT_TRUE(E.Any);
  EXPECT_EQ(E.Min, 1);
  EXPECT_EQ(E.Max, 7);
  EXPECT_EQ(E.NonFinite, 4);
  EXPECT_FALSE(FiniteExtent(Y.data(), 1).Any);
  // The spectrum's own extremes when they can be used, the scan otherwise.
  EXPECT_EQ(ShownYExtent(2, 5, Y.data(), 7).Max, 5);
  EXPECT_EQ(ShownYExtent(NaN, NaN, Y.data(), 7).Max, 7);
  EXPECT_EQ(ShownYExtent(1, Inf, Y.data(), 7).Max, 7);
  EXPECT_EQ(ShownYExtent(NaN, NaN, Y.data(), 7).NonFinite, 4);
}

TEST(PlotDefine, InitialZoomIn700PixelArea) {
  // 690 usable pixels: 0.69 per sample for 1000 samples opens at 1, 3000 samples at 0.23.
  EXPECT_DOUBLE_EQ(InitialHZoom(700, 0, 10, 1000), 1.0);
  EXPECT_DOUBLE_EQ(InitialHZoom(700, 0, 10, 3000), 0.23);
  EXPECT_DOUBLE_EQ(InitialHZoom(700, 0, 10, 1380), 0.5);
  EXPECT_DOUBLE_EQ(InitialHZoom(700, 0, 10, 10), 1.0);
}

TEST(PlotZoom, ZoomInSequenceAndLimits) {
  double Z = 1;
  const double Expected[] = {2, 4, 4};
  for (double E : Expected) {
    Z = ZoomInValue(Z, 1000);
    EXPECT_DOUBLE_EQ(Z, E);
  }
  EXPECT_DOUBLE_EQ(ZoomInValue(10, 1000), 4);
  EXPECT_DOUBLE_EQ(ZoomInValue(0.23, 3000), 0.25);
  // 100000/60000 = 1.67: never beyond 2^0.
  EXPECT_DOUBLE_EQ(ZoomInValue(1, 60000), 1);
  EXPECT_DOUBLE_EQ(ZoomInValue(0.3, 60000), 0.5);
  // 2^20 samples: 100000/N = 0.095, so 2^-4 at most.
  EXPECT_DOUBLE_EQ(ZoomInValue(0.001, 1 << 20), 1.0 / 512);
  EXPECT_DOUBLE_EQ(ZoomInValue(0.05, 1 << 20), 0.0625);
  EXPECT_DOUBLE_EQ(ZoomInValue(0.0625, 1 << 20), 0.0625);
}

TEST(PlotZoom, ZoomOutSequenceAndLimits) {
  // 1000 samples in 690 pixels fit at 0.69 > 1/16: the limit is 1/16.
  double Z = 1;
  const double Expected[] = {0.5, 0.25, 0.125, 0.0625, 0.0625};
  for (double E : Expected) {
    Z = ZoomOutValue(Z, 1000, 690);
    EXPECT_DOUBLE_EQ(Z, E);
  }
  // 100000 samples need 690/100000 = 0.0069: down to 2^-8 = 0.0039, no further.
  Z = 1.0 / 16;
  for (int k = 0; k < 6; ++k)
    Z = ZoomOutValue(Z, 100000, 690);
  EXPECT_DOUBLE_EQ(Z, 1.0 / 256);
  EXPECT_DOUBLE_EQ(ZoomOutValue(0.23, 3000, 690), 0.125);
  EXPECT_DOUBLE_EQ(FitZoomValue(690, 3000), 0.23);
}

TEST(PlotZoom, TypedZoom) {
  double Z = 0;
  ASSERT_TRUE(TypedZoomValue("10", 1000, Z));
  EXPECT_DOUBLE_EQ(Z, 10);
  ASSERT_TRUE(TypedZoomValue(" -2.5 ", 1000, Z));
  EXPECT_DOUBLE_EQ(Z, 2.5);
  ASSERT_TRUE(TypedZoomValue("1e6", 1000, Z));
  EXPECT_DOUBLE_EQ(Z, 100);
  ASSERT_TRUE(TypedZoomValue("0.001", 1000, Z));
  EXPECT_DOUBLE_EQ(Z, 0.05);
  Z = 7;
  EXPECT_FALSE(TypedZoomValue("abc", 1000, Z));
  EXPECT_FALSE(TypedZoomValue("1,5", 1000, Z));
  EXPECT_FALSE(TypedZoomValue("", 1000, Z));
  EXPECT_DOUBLE_EQ(Z, 7);
}

TEST(PlotZoom, RubberBand) {
  // z = 1: e = 1, a whole step above log2 1 = 0 -> 2.
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(1, 1000), 2);
  // z = 1.6: log2 = 0.678, e = 1 is only 0.32 above -> e = 2 -> 4.
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(1.6, 1000), 4);
  // z = 0.3: log2 = -1.737, e = -1 is 0.737 above -> 0.5.
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(0.3, 1000), 0.5);
  // z = 0.4: log2 = -1.32, e = -1 only 0.32 above -> e = 0 -> 1.
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(0.4, 1000), 1);
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(4, 1000), 4);
  EXPECT_DOUBLE_EQ(RubberBandZoomValue(1, 60000), 1);
}

TEST(PlotZoom, BoxesOnlyAtWholeZoomsFromTwo) {
  const std::pair<double, bool> Rows[] = {{2, true},    {4, true},    {3, true},  {1, false},
                                          {2.5, false}, {0.5, false}, {100, true}};
  for (auto [Z, B] : Rows) {
    EXPECT_EQ(BoxesApply(true, Z), B) << Z;
    EXPECT_FALSE(BoxesApply(false, Z)) << Z;
  }
}

TEST(PlotTicks, NiceStep) {
  const std::pair<double, double> Rows[] = {{0.275, 0.2}, {1.0 / 3, 0.5}, {1, 1},        {1.49, 1},
                                            {1.5, 2},     {2.99, 2},      {3, 5},        {6.99, 5},
                                            {7, 10},      {7.0 / 9, 1},   {0.0944, 0.1}, {33333, 50000}};
  for (auto [D, S] : Rows)
    EXPECT_NEAR(NiceStep(D), S, S * 1e-12) << D;
}

struct TickCase {
  const char *Name;
  double Lo, Hi;
  int S, L;
  std::vector<std::string> Labels;
};

TEST(PlotTicks, WorkedCases) {
  const TickCase Cases[] = {
      // n = 5, step NiceStep(1.1/4 = 0.275) = 0.2, one decimal.
      {"y 0..1.1 on 250 px", 0, 1.1, 50, 250, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      // e = 5, u 4 ... 7, n = 10, step NiceStep(3/9) = 0.5.
      {"x 4e5..7e5 on 1000 px",
       400000,
       700000,
       100,
       1000,
       {"4.0e5", "4.5e5", "5.0e5", "5.5e5", "6.0e5", "6.5e5", "7.0e5"}},
      // e = -3, u 2 ... 9, step NiceStep(7/9) = 1.
      {"x 0.002..0.009",
       0.002,
       0.009,
       100,
       1000,
       {"2e-3", "3e-3", "4e-3", "5e-3", "6e-3", "7e-3", "8e-3", "9e-3"}},
      // e = -1: no factor; step NiceStep(0.85/9) = 0.1.
      {"x 0.05..0.9", 0.05, 0.9, 100, 1000, {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"}},
      // step NiceStep(7.6/4) = 2; last = floor(-2.7/2)*2 = -4, below hi.
      {"negative upper end", -10.3, -2.7, 100, 500, {"-10", "-8", "-6", "-4"}},
      // e = 6; step 0.1 of the factor.
      {"1e6..2e6",
       1.0e6,
       2.0e6,
       100,
       1000,
       {"1.0e6", "1.1e6", "1.2e6", "1.3e6", "1.4e6", "1.5e6", "1.6e6", "1.7e6", "1.8e6", "1.9e6", "2.0e6"}},
      // n = 2, step NiceStep(0.9) = 1: only the multiple 1 lies inside.
      {"one multiple", 0.5, 1.4, 100, 100, {}},
      // e = 4 keeps no factor: 4000 ... 12000 with step 1000 (NiceStep(8000/9) = 1000).
      {"e = 4",
       4000,
       12000,
       100,
       1000,
       {"4000", "5000", "6000", "7000", "8000", "9000", "10000", "11000", "12000"}},
  };
  for (const TickCase &C : Cases) {
    const TScaleTicks T = ScaleTicks(C.Lo, C.Hi, C.S, C.L);
    std::vector<std::string> Got;
    for (int k = 0; k < T.Count; ++k)
      Got.push_back(T.Label(k));
    EXPECT_EQ(Got, C.Labels) << C.Name;
    for (int k = 0; k < T.Count; ++k) {
      EXPECT_GE(T.Value(k), C.Lo - 1e-9 * std::fabs(C.Lo)) << C.Name;
      EXPECT_LE(T.Value(k), C.Hi + 1e-9 * std::fabs(C.Hi)) << C.Name;
    }
  }
}

TEST(PlotTicks, ScaleFactorAndEmptyRange) {
  const TScaleTicks T = ScaleTicks(400000, 700000, 100, 1000);
  EXPECT_EQ(T.Exponent, 5);
  EXPECT_DOUBLE_EQ(T.Factor, 1e5);
  EXPECT_DOUBLE_EQ(T.Step, 0.5);
  EXPECT_DOUBLE_EQ(T.Value(1), 450000);
  EXPECT_EQ(ScaleTicks(0.05, 0.9, 100, 1000).Factor, 1);
  EXPECT_THROW(ScaleTicks(1, 1, 100, 1000), EAssertFailure);
  EXPECT_THROW(ScaleTicks(2, 1, 100, 1000), EAssertFailure);
}

TEST(PlotTicks, LabelPlacement) {
  EXPECT_EQ(XLabelLeft(50, 20, 1000), 40);
  EXPECT_EQ(XLabelLeft(5, 20, 1000), 2);
  EXPECT_EQ(XLabelLeft(995, 20, 1000), 977);
  EXPECT_EQ(XLabelLeft(987, 21, 1000), 976);
  EXPECT_EQ(YLabelCentre(0, 6, 200), 6);
  EXPECT_EQ(YLabelCentre(100, 6, 200), 100);
  EXPECT_EQ(YLabelCentre(200, 6, 200), 194);
}

TEST(PlotTicks, PositionsOnEquidistantAndUnevenAxes) {
  std::vector<double> X(11);
  for (int i = 0; i <= 10; ++i)
    X[i] = 100 + 2 * i;
  TXPositionFinder E(X.data(), 11, true);
  EXPECT_DOUBLE_EQ(E.Position(105), 2.5);
  EXPECT_DOUBLE_EQ(E.Position(120), 10);

  for (int i = 0; i <= 10; ++i)
    X[i] = i * i;
  TXPositionFinder U(X.data(), 11, false);
  // 50 lies between 49 (i = 7) and 64: 7 + 1/15.
  const std::pair<double, double> Rows[] = {
      {0, 0}, {1, 1},  {2.5, 1 + 1.5 / 3}, {50, 7 + 1.0 / 15}, {99, 9 + 18.0 / 19}, {100, 10}, {120, 10},
      {4, 2}, {-1, -1}};
  // The last rows go backwards and below the axis: the search starts where it ended before.
  for (auto [V, Q] : Rows)
    EXPECT_NEAR(U.Position(V), Q, 1e-12) << V;
}

TEST(PlotTicks, DegenerateScalesGiveNoTicks) {
  const double Inf = std::numeric_limits<double>::infinity();
  // Ends one unit in the last place apart: once scaled by 1e5 they may fall together (no ticks)
  // or stay apart (a few ticks with many decimals); never an internal failure or a flood.
  double Lo = 123456;
  for (int k = 0; k < 200; ++k, Lo = std::nextafter(Lo, 2e5)) {
    const double Hi = std::nextafter(Lo, 2e5);
    TScaleTicks T;
    ASSERT_NO_THROW(T = ScaleTicks(Lo, Hi, 100, 1000)) << k;
    EXPECT_LE(T.Count, 2 * 10 + 1) << k;
  }
  EXPECT_EQ(ScaleTicks(0, Inf, 100, 1000).Count, 0);
  EXPECT_EQ(ScaleTicks(-Inf, 0, 100, 1000).Count, 0);
  // The whole double range: factor 1e308, -1.0e308 ... 1.0e308 in steps of 0.2.
  const TScaleTicks T = ScaleTicks(-1e308, 1e308, 100, 1000);
  EXPECT_EQ(T.Count, 11);
  EXPECT_NEAR(T.Value(0) / 1e308, -1, 1e-12);
  EXPECT_NEAR(T.Value(10) / 1e308, 1, 1e-12);
}

TEST(PlotTicks, XScaleKinds) {
  const double NaN = std::nan(""), Inf = std::numeric_limits<double>::infinity();
  struct TRow {
    std::vector<double> X;
    TXScaleKind Kind;
    double Lo, Hi;
  };
  const TRow Rows[] = {{{1, 2, 3}, TXScaleKind::Ticks, 1, 3},  {{3, 2, 1}, TXScaleKind::Ticks, 1, 3},
                       {{5, 5, 5}, TXScaleKind::Single, 5, 5}, {{5}, TXScaleKind::Single, 5, 5},
                       {{5, 6, 5}, TXScaleKind::None, 0, 0},   {{NaN, 1, 2}, TXScaleKind::None, 0, 0},
                       {{1, 2, Inf}, TXScaleKind::None, 0, 0}, {{1, NaN, 2}, TXScaleKind::Ticks, 1, 2}};
  for (const TRow &R : Rows) {
    double Lo = 0, Hi = 0;
    const TXScaleKind K = XScaleKind(R.X.data(), static_cast<int32_t>(R.X.size()), Lo, Hi);
    EXPECT_EQ(K, R.Kind) << R.X.size() << " values from " << R.X[0];
    if (K != TXScaleKind::None) {
      EXPECT_EQ(Lo, R.Lo);
      EXPECT_EQ(Hi, R.Hi);
    }
  }
}

TEST(PlotTicks, PositionsOnDecreasingAxesAndAxesWithNaN) {
  // The mirror image of the uneven axis above: x = 100 - i^2 holds 50 between i = 7 (51) and 8 (36).
  std::vector<double> X(11);
  for (int i = 0; i <= 10; ++i)
    X[i] = 100 - i * i;
  TXPositionFinder U(X.data(), 11, false);
  // Ticks come in increasing x, so here from the end of the axis towards its start; beyond the
  // first x the first interval is extended, as on an increasing axis.
  const std::pair<double, double> Rows[] = {
      {0, 10}, {1, 9 + 18.0 / 19}, {50, 7 + 1.0 / 15}, {97.5, 1 + 1.5 / 3}, {99, 1}, {100, 0}, {120, -20}};
  for (auto [V, Q] : Rows)
    EXPECT_NEAR(U.Position(V), Q, 1e-12) << V;
  // An equidistant decreasing axis is interpolated from its ends.
  for (int i = 0; i <= 10; ++i)
    X[i] = 120 - 2 * i;
  TXPositionFinder E(X.data(), 11, true);
  EXPECT_DOUBLE_EQ(E.Position(115), 2.5);
  // A NaN stops the search: no position there, and the search goes on from where it stopped.
  const std::vector<double> N = {0, 1, 2, std::nan(""), 4, 5};
  TXPositionFinder F(N.data(), 6, false);
  EXPECT_FALSE(std::isfinite(F.Position(4.5)));
  EXPECT_DOUBLE_EQ(F.Position(1.5), 1.5);
}

TEST(PlotCurve, SampleRunsAndSingleSamples) {
  const double NaN = std::nan(""), Inf = std::numeric_limits<double>::infinity();
  struct TRow {
    std::vector<double> Y;
    std::vector<TSampleRun> Runs;
  };
  // NaN separates runs; infinities belong to them (they are drawn on the edge).
  const TRow Rows[] = {{{NaN, 1, 2, NaN, NaN, 3, Inf, NaN, 4}, {{1, 2}, {5, 6}, {8, 8}}},
                       {{NaN, NaN}, {}},
                       {{1, 2, 3}, {{0, 2}}},
                       {{}, {}},
                       {{-Inf}, {{0, 0}}}};
  for (const TRow &R : Rows) {
    std::vector<TSampleRun> Runs = {{7, 7}};
    FindSampleRuns(R.Y.data(), static_cast<int32_t>(R.Y.size()), Runs);
    EXPECT_EQ(Runs, R.Runs) << R.Y.size();
  }
  // A sample alone: a step over its own columns, at least one pixel. Pixel = 10 - y.
  const std::vector<double> Y = {0, 1, 2, 3, 4, 5, 6};
  TPlotMapping M = TPlotMapping::Make(4, 0, 10, 10);
  std::vector<TPixelPoint> V;
  SampleStepVertices(M, Y.data(), 2, V);
  EXPECT_EQ(V, (std::vector<TPixelPoint>{{8, 8}, {11, 8}}));
  M.HZoom = 0.3; // sample 5 starts at pixel 1.5 -> 1, sample 6 at 1.8 -> 1: one pixel
  SampleStepVertices(M, Y.data(), 5, V);
  EXPECT_EQ(V, (std::vector<TPixelPoint>{{1, 5}, {1, 5}}));
  // Steps of a stretch are those of the whole curve.
  M.HZoom = 2;
  std::vector<TPixelPoint> All, Part;
  BoxVertices(M, Y.data(), 7, All);
  BoxVertices(M, Y.data(), 3, 5, Part);
  EXPECT_EQ(Part, std::vector<TPixelPoint>(All.begin() + 6, All.begin() + 12));
}

// What a width-1 line rasteriser draws from a vertex list, as far as the reduction is concerned:
// per pixel column the rows covered by vertical runs, and the segments that join two columns.
struct TCoverage {
  std::map<int, std::set<int>> Rows;
  std::set<std::array<int, 4>> Joins;
};

TCoverage Cover(const std::vector<TPixelPoint> &V) {
  TCoverage C;
  for (size_t k = 0; k < V.size(); ++k)
    C.Rows[V[k].X].insert(V[k].Y);
  for (size_t k = 0; k + 1 < V.size(); ++k) {
    if (V[k].X == V[k + 1].X) {
      for (int y = std::min(V[k].Y, V[k + 1].Y); y <= std::max(V[k].Y, V[k + 1].Y); ++y)
        C.Rows[V[k].X].insert(y);
    } else {
      C.Joins.insert({V[k].X, V[k].Y, V[k + 1].X, V[k + 1].Y});
    }
  }
  return C;
}

TEST(PlotCurve, DecimationKeepsEveryColumnOfThePlainPolyline) {
  std::mt19937 Rng(12345);
  std::normal_distribution<double> Noise(0, 1);
  const double Zooms[] = {0.9, 0.5, 0.23, 1.0 / 16, 0.01, 1000.0 / (1 << 14)};
  for (int Trial = 0; Trial < 6; ++Trial) {
    const int N = 2000 + 2500 * Trial;
    std::vector<double> Y(N);
    double Walk = 0;
    for (double &V : Y)
      V = (Walk += Noise(Rng)) + (Trial % 2 ? 3 * Noise(Rng) : 0);
    // A range that clips the extremes, so the clamping is part of the comparison.
    const TPlotMapping Base = TPlotMapping::Make(1, -15, 15, 300);
    for (double Z : Zooms) {
      TPlotMapping M = Base;
      M.HZoom = Z;
      std::vector<TPixelPoint> Plain, Reduced;
      LineVertices(M, Y.data(), 0, N - 1, Plain);
      DecimatedVertices(M, Y.data(), 0, N - 1, Reduced);
      const TCoverage A = Cover(Plain), B = Cover(Reduced);
      EXPECT_TRUE(A.Rows == B.Rows) << "N " << N << " zoom " << Z;
      EXPECT_TRUE(A.Joins == B.Joins) << "N " << N << " zoom " << Z;
      EXPECT_EQ(Plain.front(), Reduced.front());
      EXPECT_EQ(Plain.back(), Reduced.back());
      const int Columns = M.IndToScr(N - 1) + 1;
      EXPECT_LE(Reduced.size(), 4u * Columns) << "N " << N << " zoom " << Z;
    }
  }
}

TEST(PlotCurve, BlockExtremesFoldAsTheSamplesDo) {
  // Random data with NaN and infinite samples, whole NaN blocks and a NaN start; every range
  // folded through the blocks must give what the plain scan "V < Mn ? V : Mn" gives.
  std::mt19937 Rng(99);
  std::uniform_real_distribution<double> U(-1, 1);
  const int N = 64 * 40 + 17;
  std::vector<double> Y(N);
  const double Inf = std::numeric_limits<double>::infinity(), NaN = std::nan("");
  for (int i = 0; i < N; ++i)
    Y[i] = i % 97 == 5 ? NaN : i % 131 == 7 ? Inf : i % 151 == 9 ? -Inf : U(Rng);
  for (int i = 64 * 3; i < 64 * 4; ++i)
    Y[i] = NaN;
  TBlockExtremes E;
  EXPECT_FALSE(E.Matches(Y.data(), N, 0));
  E.Build(Y.data(), N, 7);
  EXPECT_TRUE(E.Matches(Y.data(), N, 7));
  EXPECT_FALSE(E.Matches(Y.data(), N, 8)) << "a new version of the data";
  EXPECT_FALSE(E.Matches(Y.data(), N - 1, 7));
  std::uniform_int_distribution<int> Pick(0, N - 1);
  int Bad = 0;
  for (int t = 0; t < 3000; ++t) {
    int A = Pick(Rng), B = Pick(Rng);
    if (A > B) std::swap(A, B);
    const double Start = t % 10 == 0 ? NaN : U(Rng);
    double Mn = Start, Mx = Start, WantMn = Start, WantMx = Start;
    E.Fold(Y.data(), A, B, Mn, Mx);
    for (int k = A; k <= B; ++k) {
      WantMn = Y[k] < WantMn ? Y[k] : WantMn;
      WantMx = Y[k] > WantMx ? Y[k] : WantMx;
    }
    auto Same = [](double P, double Q) { return (std::isnan(P) && std::isnan(Q)) || P == Q; };
    if (!Same(Mn, WantMn) || !Same(Mx, WantMx)) ++Bad;
  }
  EXPECT_EQ(Bad, 0);
  // Decimated with and without the blocks: the same vertices.
  for (double Z : {0.5, 0.1, 1.0 / 64, 0.003}) {
    TPlotMapping M = TPlotMapping::Make(Z, -1.5, 1.5, 200);
    std::vector<TPixelPoint> Scan, Blocks;
    DecimatedVertices(M, Y.data(), 0, N - 1, Scan);
    DecimatedVertices(M, Y.data(), 0, N - 1, Blocks, &E);
    EXPECT_EQ(Scan, Blocks) << "zoom " << Z;
  }
}

TEST(PlotCurve, SubRangeAndWholeZooms) {
  std::vector<double> Y = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  TPlotMapping M = TPlotMapping::Make(0.5, 0, 10, 10);
  std::vector<TPixelPoint> V;
  // Samples 3 ... 6 at half a pixel each: columns 1 (3), 2 (4, 5), 3 (6); pixel = 10 - y.
  // Column 2 starts on its bottom (y 4) and ends on its top (y 5): two vertices, as plain.
  DecimatedVertices(M, Y.data(), 3, 6, V);
  const std::vector<TPixelPoint> Want = {{1, 7}, {2, 6}, {2, 5}, {3, 4}};
  EXPECT_EQ(V, Want);
  M.HZoom = 2;
  CurveVertices(M, Y.data(), 0, 9, V);
  std::vector<TPixelPoint> Plain;
  LineVertices(M, Y.data(), 0, 9, Plain);
  EXPECT_EQ(V, Plain);
  ASSERT_EQ(V.size(), 10u);
  EXPECT_EQ(V[4], (TPixelPoint{8, 6}));
}

TEST(PlotCurve, BoxVertices) {
  const std::vector<double> Y = {1, 3, 2};
  // 10 pixels for 0 ... 10: pixel = 10 - y; zoom 2.
  const TPlotMapping M = TPlotMapping::Make(2, 0, 10, 10);
  std::vector<TPixelPoint> V;
  BoxVertices(M, Y.data(), 3, V);
  const std::vector<TPixelPoint> Want = {{0, 9}, {2, 9}, {2, 7}, {4, 7}, {4, 8}, {6, 8}};
  EXPECT_EQ(V, Want);
}

} // namespace

// The smoothing spline tool's model (marks, knots of the three methods, the guess of the maximum
// parameter, the slider, the two stored results) and "op continuum" run as a process.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "common/TestUtil.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "tools/UToolSmoothSplineCore.h"

namespace {

using testutil::TTempDir;

// x = 100 + 2 i, y = i^2 (so straight lines between samples are easy to work out by hand).
std::unique_ptr<TSpec32> Parabola(int N) {
  auto S = std::make_unique<TSpec32>();
  S->NewSpec("p.dat", N, 0, nullptr);
  for (int i = 0; i < N; ++i) {
    S->DataX[static_cast<size_t>(i)] = 100 + 2 * i;
    S->DataY[static_cast<size_t>(i)] = static_cast<double>(i) * i;
  }
  S->UpdateSpec();
  return S;
}

std::vector<bool> Marks(int N, std::vector<std::pair<int, int>> Ranges) {
  std::vector<bool> Sel(static_cast<size_t>(N), false);
  for (auto [A, B] : Ranges)
    for (int i = A; i <= B; ++i)
      Sel[static_cast<size_t>(i)] = true;
  return Sel;
}

TEST(SplineToolMarks, AddRemoveSelectAllClearAll) {
  TSmoothSplineData D(20);
  EXPECT_EQ(*D.SelProf(), std::vector<bool>(20, false));
  EXPECT_EQ(*D.SmoProf(), TDblArr1D(20, 0.0));
  D.MarkInterval(3, 7, true);
  const std::vector<bool> Once = *D.SelProf();
  EXPECT_EQ(Once, Marks(20, {{3, 7}}));
  D.MarkInterval(3, 7, true); // the same interval again changes nothing
  EXPECT_EQ(*D.SelProf(), Once);
  D.MarkInterval(5, 9, false); // removing unmarks, also where nothing was marked
  EXPECT_EQ(*D.SelProf(), Marks(20, {{3, 4}}));
  D.MarkInterval(19, 19, true);
  EXPECT_EQ(*D.SelProf(), Marks(20, {{3, 4}, {19, 19}}));
  D.SelectAll();
  EXPECT_EQ(*D.SelProf(), std::vector<bool>(20, true));
  D.ClearAll();
  EXPECT_EQ(*D.SelProf(), std::vector<bool>(20, false));
  EXPECT_THROW(D.MarkInterval(5, 20, true), EAssertFailure);
}

TEST(SplineToolKnots, ThreeMethods) {
  const auto S = Parabola(50);
  struct Row {
    const char *Name;
    TSplineMethod Method;
    std::vector<std::pair<int, int>> Ranges;
    TDblArr1D X, Y; // expected knots
  };
  // Method 2, marks 0 ... 9 and 20 ... 29: samples 10 ... 19 lie on the line from (x 118, y 81)
  // to (x 140, y 400), so knot k has y = 81 + 319 (k - 9) / 11.
  TDblArr1D X2, Y2;
  for (int k = 0; k <= 29; ++k) {
    X2.push_back(100 + 2 * k);
    Y2.push_back(k >= 10 && k <= 19 ? 81 + 319.0 * (k - 9) / 11 : k * k);
  }
  // Leading and trailing unmarked samples are not filled: marks 5 ... 7 and 11 ... 12.
  TDblArr1D X2b = {110, 112, 114}, Y2b = {25, 36, 49};
  for (int k = 8; k <= 10; ++k) {
    X2b.push_back(100 + 2 * k);
    Y2b.push_back(49 + (121.0 - 49) * (k - 7) / 4);
  }
  X2b.insert(X2b.end(), {122, 124});
  Y2b.insert(Y2b.end(), {121, 144});
  const Row Rows[] = {
      {"method 1", TSplineMethod::Method1, {{3, 5}, {8, 8}}, {106, 108, 110, 116}, {9, 16, 25, 64}},
      {"method 2 bridged", TSplineMethod::Method2, {{0, 9}, {20, 29}}, X2, Y2},
      {"method 2 ends", TSplineMethod::Method2, {{5, 7}, {11, 12}}, X2b, Y2b},
      // A gap after a lone mark at sample 0 is not bridged.
      {"method 2 from sample 0", TSplineMethod::Method2, {{0, 0}, {3, 4}}, {100, 106, 108}, {0, 9, 16}},
      // Runs 10 ... 19 and 40 ... 49 (the last sample): means of x and of y (sums of squares
      // 2185 and 19885).
      {"method 3", TSplineMethod::Method3, {{10, 19}, {40, 49}}, {129, 189}, {218.5, 1988.5}},
      {"method 3 single samples", TSplineMethod::Method3, {{0, 0}, {2, 3}}, {100, 105}, {0, 6.5}},
      {"no marks", TSplineMethod::Method2, {}, {}, {}},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Name);
    const TSplineKnots K = SplineKnots(R.Method, S->DataX, S->DataY, Marks(50, R.Ranges));
    EXPECT_EQ(K.X, R.X);
    ASSERT_EQ(K.Y.size(), R.Y.size());
    for (size_t i = 0; i < K.Y.size(); ++i)
      EXPECT_NEAR(K.Y[i], R.Y[i], 1e-12 * (1 + std::fabs(R.Y[i]))) << i;
  }
}

TEST(SplineToolCompute, RefusalsAndTheTwoLimits) {
  const auto S = Parabola(50);
  TSmoothSplineData D(50);
  // Nothing marked; then too few knots (method 3 with two runs, method 1 with four samples).
  TSplineOutcome O = D.Compute(*S, TSplineMethod::Method1, 1);
  EXPECT_EQ(O.Error, "Select points");
  D.MarkInterval(10, 19, true);
  D.MarkInterval(40, 49, true);
  O = D.Compute(*S, TSplineMethod::Method3, 1);
  EXPECT_EQ(O.Error, "Select more points");
  EXPECT_EQ(O.Knots, 2);
  EXPECT_FALSE(D.HasSpline());
  EXPECT_EQ(*D.SmoProf(), TDblArr1D(50, 0.0));

  // Slider at 0: parameter 0, the spline interpolates every knot.
  D.Guess = 1e6;
  D.TbPos = 0;
  O = D.Compute(*S, TSplineMethod::Method1, SplineParam(D.TbPos, D.Guess));
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Param, 0);
  EXPECT_EQ(O.P, 1);
  EXPECT_EQ(O.Knots, 20);
  EXPECT_TRUE(D.HasSpline());
  for (int i : {10, 15, 19, 40, 49})
    EXPECT_NEAR((*D.SmoProf())[static_cast<size_t>(i)], S->DataY[static_cast<size_t>(i)], 1e-9) << i;

  // A huge maximum parameter with the slider at 320: the least-squares line through the knots
  // (x 120 ... 138 and 180 ... 198, y = i^2), at every sample of the spectrum.
  D.Guess = 1e20;
  D.TbPos = 320;
  O = D.Compute(*S, TSplineMethod::Method1, SplineParam(D.TbPos, D.Guess));
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.P, 0);
  double Sx = 0, Sy = 0, Sxx = 0, Sxy = 0;
  int K = 0;
  for (int i = 0; i < 50; ++i)
    if ((*D.SelProf())[static_cast<size_t>(i)]) {
      const double x = 100 + 2 * i, y = i * i;
      Sx += x, Sy += y, Sxx += x * x, Sxy += x * y, ++K;
    }
  const double B = (K * Sxy - Sx * Sy) / (K * Sxx - Sx * Sx), A = (Sy - B * Sx) / K;
  for (int i = 0; i < 50; ++i)
    EXPECT_NEAR((*D.SmoProf())[static_cast<size_t>(i)], A + B * (100 + 2 * i), 1e-9 * 2500) << i;
}

TEST(SplineToolGuess, MedianToleranceAndTooFewMarks) {
  // Marked y: 5, 1, 4, 2, 3, 6; the median of six values is the upper middle one, 4.
  const TDblArr1D Y = {5, 9, 1, 4, 9, 2, 3, 6, 9};
  const std::vector<bool> Sel = {true, false, true, true, false, true, true, true, false};
  struct Row {
    TSplineTolerance T;
    double Expected; // (t 4)^2 6
  } Rows[] = {{TSplineTolerance::Tenth, 0.004 * 0.004 * 6},
              {TSplineTolerance::One, 0.04 * 0.04 * 6},
              {TSplineTolerance::Ten, 0.4 * 0.4 * 6}};
  for (const Row &R : Rows) {
    const TSplineGuess G = GuessMaxParameter(Y, Sel, R.T);
    ASSERT_TRUE(G.Ok());
    EXPECT_DOUBLE_EQ(G.Guess, R.Expected);
  }
  // Five marks are enough, four are not.
  std::vector<bool> Four = Sel;
  Four[0] = false;
  EXPECT_TRUE(GuessMaxParameter(Y, std::vector<bool>{true, false, true, true, false, true, true},
                                TSplineTolerance::One)
                  .Ok());
  Four[2] = false;
  const TSplineGuess G = GuessMaxParameter(Y, Four, TSplineTolerance::One);
  EXPECT_EQ(G.Info, "select more points");
}

TEST(SplineToolSlider, ScaleAndReaction) {
  EXPECT_EQ(SplineParam(0, 5), 0);
  EXPECT_EQ(SplineParam(160, 2), 1);
  EXPECT_EQ(SplineParam(320, 7.25), 7.25);
  EXPECT_DOUBLE_EQ(SplineParam(32, 1.5), 0.15);
  struct Row {
    int Pos, Last;
    double Guess;
    TSliderAction Action;
    int LastAfter;
  } Rows[] = {{10, 10, 1, TSliderAction::Ignore, 10},
              {10, 10, 0, TSliderAction::Ignore, 10},
              {11, 10, 2.5, TSliderAction::Compute, 11},
              {0, 320, 0, TSliderAction::NeedGuess, 0}};
  for (const Row &R : Rows) {
    int Last = R.Last;
    EXPECT_EQ(SliderChanged(R.Pos, Last, R.Guess), R.Action) << R.Pos << " " << R.Last;
    EXPECT_EQ(Last, R.LastAfter);
  }
  EXPECT_EQ(std::string(SplineMsgChooseGuess), "Choose a \"Max. Parameter\" Value");
}

TEST(SplineToolStore, SplineAndContinuum) {
  auto S = Parabola(30);
  for (size_t i = 0; i < 30; ++i)
    S->DataY[i] += 10;      // no zero in y
  S->SetEquidistant(false); // the results take the equidistance test, not the source's flag
  TSmoothSplineData D(30);
  // Before any spline: the division by zero, no result; the spline itself is all zeros.
  TToolOutcome O = D.StoreContinuum(*S);
  EXPECT_EQ(O.Error, "Division by zero, spectrum can not be normalized");
  EXPECT_TRUE(O.Result.Y.empty());
  O = D.StoreSpline(*S);
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Result.History, "-smooth");
  EXPECT_EQ(O.Result.Y, TDblArr1D(30, 0.0));

  D.SelectAll();
  ASSERT_TRUE(D.Compute(*S, TSplineMethod::Method2, 50).Ok());
  O = D.StoreSpline(*S);
  EXPECT_EQ(O.Result.X, S->DataX);
  EXPECT_EQ(O.Result.Y, *D.SmoProf());
  EXPECT_TRUE(O.Result.Equidistant);
  O = D.StoreContinuum(*S);
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Result.History, "-cont");
  EXPECT_EQ(O.Result.X, S->DataX);
  EXPECT_TRUE(O.Result.Equidistant);
  for (size_t i = 0; i < 30; ++i)
    EXPECT_EQ(O.Result.Y[i], S->DataY[i] / (*D.SmoProf())[i]);
  // A spline that is 0 at one sample refuses the whole result.
  (*D.SmoProf())[7] = 0;
  EXPECT_EQ(D.StoreContinuum(*S).Error, "Division by zero, spectrum can not be normalized");

  TFitsBess H;
  SetContinuumNormKey(H);
  EXPECT_EQ(H.BSS_NORM().rfind("Orvalumetrix ", 0), 0u);
  EXPECT_GT(H.BSS_NORM().size(), std::string("Orvalumetrix ").size());
}

std::vector<std::string> Lines(const std::string &Text) {
  std::vector<std::string> L;
  std::istringstream In(Text);
  for (std::string S; std::getline(In, S);)
    L.push_back(S);
  return L;
}

std::string Q(const std::string &S) { return "'" + S + "'"; }

// A continuum with pseudo-noise: x = 5000 + 0.5 i, y = 1000 (1 + 0.05 sin(0.2 i)) + noise.
std::string SpectrumText(int N) {
  std::string T;
  for (int i = 0; i < N; ++i)
    T += Format("%.3f %.6f\n", 5000 + 0.5 * i, 1000 * (1 + 0.05 * std::sin(0.2 * i)) + 7 * std::sin(i * 2.3));
  return T;
}

TEST(CliContinuum, PrintsTheFitAndWritesBothResults) {
  TTempDir D;
  testutil::WriteFile(D.File("s.dat"), SpectrumText(60));
  TSpec32 S;
  ASSERT_TRUE(S.ReadDat(D.File("s.dat"), 1, 2, 0));
  // The same computation in the model: guess with 1 %, slider at 100.
  TSmoothSplineData M(60);
  M.MarkInterval(0, 19, true);
  M.MarkInterval(30, 59, true);
  const TSplineGuess G = GuessMaxParameter(S.DataY, *M.SelProf(), TSplineTolerance::One);
  ASSERT_TRUE(G.Ok());
  const TSplineOutcome O = M.Compute(S, TSplineMethod::Method2, SplineParam(100, G.Guess));
  ASSERT_TRUE(O.Ok());
  ASSERT_GT(O.P, 0);
  ASSERT_LT(O.P, 1);

  TCliResult R = RunCli("op continuum --marks 0-19,30-59 --method 2 --guess 1 --slider 100 " +
                            Q(D.File("s.dat")) + " --out " + Q(D.Path()),
                        D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Err, "");
  EXPECT_EQ(Lines(R.Out),
            (std::vector<std::string>{"file: s.dat", "knots: 60", "param: " + Format("%.17g", O.Param),
                                      "p: " + Format("%.17g", O.P), "sfq: " + Format("%.17g", O.Sfq),
                                      D.File("s-smooth.dat"), D.File("s-cont.dat")}));
  TSpec32 Smooth, Cont;
  ASSERT_TRUE(Smooth.ReadDat(D.File("s-smooth.dat"), 1, 2, 0));
  ASSERT_TRUE(Cont.ReadDat(D.File("s-cont.dat"), 1, 2, 0));
  ASSERT_EQ(Smooth.Size(), 60);
  ASSERT_EQ(Cont.Size(), 60);
  for (size_t i = 0; i < 60; ++i) {
    EXPECT_NEAR(Smooth.DataY[i], (*M.SmoProf())[i], 1e-6 * 1000);
    EXPECT_NEAR(Cont.DataY[i], S.DataY[i] / (*M.SmoProf())[i], 1e-6);
  }

  // --param directly, FITS output: the "-cont" header carries BSS_NORM; the slider at 0
  // (interpolation) gives p = 1 and sfq = 0.
  R = RunCli("op continuum --marks 0-59 --method 1 --param 0 --fits " + Q(D.File("s.dat")) + " --out " +
                 Q(D.Path()),
             D);
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_NE(R.Out.find("knots: 60\nparam: 0\np: 1\nsfq: 0\n"), std::string::npos) << R.Out;
  TSpec32 F;
  F.ReadFits(D.File("s-cont.fits"));
  EXPECT_EQ(F.FitsBess().BSS_NORM().rfind("Orvalumetrix ", 0), 0u);
  for (size_t i = 0; i < 60; ++i)
    EXPECT_NEAR(F.DataY[i], 1, 1e-6);
  R = RunCli("op continuum --marks 0-59 --method 3 --guess 10 --slider 0 " + Q(D.File("s.dat")) + " --out " +
                 Q(D.Path()),
             D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: s.dat: Select more points\n");
}

TEST(CliContinuum, RefusalsAndUsage) {
  TTempDir D;
  testutil::WriteFile(D.File("s.dat"), SpectrumText(40));
  testutil::WriteFile(D.File("z.dat"), "1 0\n2 0\n3 0\n4 0\n5 0\n6 0\n7 0\n");
  const std::string S = Q(D.File("s.dat")) + " --out " + Q(D.Path());
  struct Row {
    const char *Args;
    const char *Err;
  } Refusals[] = {
      {"--marks 30-40 --method 1 --param 1 ", "orvalumetrix-cli: s.dat: Index values out of bound\n"},
      {"--marks 1-3 --method 1 --param 1 ", "orvalumetrix-cli: s.dat: Select more points\n"},
      {"--marks 1-4 --method 1 --guess 1 ", "orvalumetrix-cli: s.dat: select more points\n"},
  };
  for (const Row &W : Refusals) {
    SCOPED_TRACE(W.Args);
    TCliResult R = RunCli(std::string("op continuum ") + W.Args + S, D);
    EXPECT_EQ(R.Code, 1);
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err, W.Err);
  }
  // A spline that is 0 everywhere: "-smooth" is written, "-cont" refused.
  TCliResult R = RunCli(
      "op continuum --marks 0-6 --method 1 --param 0 " + Q(D.File("z.dat")) + " --out " + Q(D.Path()), D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_NE(R.Out.find(D.File("z-smooth.dat")), std::string::npos);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: z.dat: Division by zero, spectrum can not be normalized\n");
  EXPECT_FALSE(std::filesystem::exists(D.File("z-cont.dat")));

  for (const char *Bad : {"--method 1 --param 1", "--marks 1-9 --param 1", "--marks 1-9 --method 4 --param 1",
                          "--marks 1-9 --method 1", "--marks 1-9 --method 1 --param 1 --guess 1",
                          "--marks 1-9 --method 1 --guess 5", "--marks 1-9 --method 1 --guess 1 --slider 321",
                          "--marks 1-9 --method 1 --param 1 --slider 3", "--marks 9-1 --method 1 --param 1",
                          "--marks 1-9,,12-15 --method 1 --param 1"}) {
    SCOPED_TRACE(Bad);
    EXPECT_EQ(RunCli(std::string("op continuum ") + Bad + " " + S, D).Code, 2);
  }
  R = RunCli("op continuum --marks 1-x --method 1 --param 1 " + S, D);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "orvalumetrix-cli: 'x' is not a valid integer value\n");
}

} // namespace

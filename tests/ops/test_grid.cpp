// Crop, resample and zero padding. The spline reference is a natural cubic spline set up here
// from its defining equations (continuity of the first derivative at every knot, zero second
// derivative at both ends) and solved as a dense system: another way than the program's.
#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "ops/OpsTestUtil.h"
#include "ops/UOpGridCore.h"

namespace {

TEST(NearestIndex, TiesGoUp) {
  TDblArr1D X = Ramp(10, 6500.0, 0.5);
  EXPECT_EQ(NearestIndex(X, 10, 6500.74), 1); // f = 0.48
  EXPECT_EQ(NearestIndex(X, 10, 6500.75), 2); // f = 0.5
  EXPECT_EQ(NearestIndex(X, 10, 6500.0), 0);
  EXPECT_EQ(NearestIndex(X, 10, 6504.5), 9);
  EXPECT_EQ(NearestIndex(X, 10, 6499.9), -1);
  EXPECT_EQ(NearestIndex(X, 10, 6504.6), -1);
}

TEST(OpCrop, WavelengthAndIndex) {
  TSpec32 S;
  TDblArr1D Y = Ramp(10, 0, 1);
  MakeSpec(S, Ramp(10, 6500.0, 0.5), Y);
  TOpOutcome O = OpCropWavelength(S, 6500.74, 6502.1);
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Results[0].History, "-crop");
  EXPECT_EQ(O.Results[0].X, (TDblArr1D{6500.5, 6501.0, 6501.5, 6502.0}));
  EXPECT_EQ(O.Results[0].Y, (TDblArr1D{1, 2, 3, 4}));
  EXPECT_EQ(OpCropWavelength(S, 6501, 6501).Condition, ": From >= To");
  EXPECT_EQ(OpCropWavelength(S, 6501.0, 6501.1).Condition, ": From >= To"); // same nearest point
  EXPECT_EQ(OpCropWavelength(S, 6499, 6501).Condition, ": Wavelength values out of bound");
  EXPECT_EQ(OpCropWavelength(S, 6501, 6505).Condition, ": Wavelength values out of bound");
  TOpOutcome Full = OpCropIndex(S, 0, 9);
  EXPECT_EQ(Full.Results[0].Y, Y);
  EXPECT_EQ(Full.Results[0].X, S.DataX);
  EXPECT_EQ(OpCropIndex(S, -1, 5).Condition, ": Index values out of bound");
  EXPECT_EQ(OpCropIndex(S, 0, 10).Condition, ": Index values out of bound");
  EXPECT_EQ(OpCropIndex(S, 5, 5).Condition, ": From >= To");
}

TEST(Resample, GridSizeAndUnion) {
  TResampleGrid G = MakeResampleGrid(6500, 6510, 0.5);
  EXPECT_EQ(G.Count, 21);
  TResampleGrid H = MakeResampleGrid(6500, 6510, 3);
  EXPECT_EQ(H.Count, 4); // round(3.33) + 1
  EXPECT_EQ(H.At(3), 6509);
  EXPECT_THROW(MakeResampleGrid(6500, 6510, 0), EOrvaError);
  EXPECT_THROW(MakeResampleGrid(6510, 6500, 1), EOrvaError);
  EXPECT_THROW(MakeResampleGrid(0, 1, 1e-12), EOrvaError);

  TSpec32 A, B;
  MakeSpec(A, Ramp(3001, 4000, 1), TDblArr1D(3001, 1), "a.dat");
  MakeSpec(B, Ramp(6001, 4500, 0.5), TDblArr1D(6001, 1), "b.dat");
  double From, To, Step;
  RangeOfUnion({&A, &B}, From, To, Step);
  EXPECT_EQ(From, 4500);
  EXPECT_EQ(To, 7000);
  EXPECT_EQ(Step, 0.5);
}

TEST(Resample, TheGridNeverPassesTo) {
  // Quotients by hand: (1 - 0)/0.6 = 1.67 -> 1 step; (6510 - 6500)/0.1 = 100 (computed as
  // 99.99999999999... or 100.00000000001): 100 steps either way; 10/3 -> 3 steps;
  // 2499.998/0.00999 = 250250.05 -> 250250 steps; (0.3 - 0.1)/0.1 = 1.9999999999999998 -> 2.
  struct Row {
    double From, To, Step;
    int Count;
  } Rows[] = {{0, 1, 0.6, 2},
              {6500, 6510, 0.1, 101},
              {6500, 6510, 3, 4},
              {6500, 6500, 1, 1},
              {4500.001, 6999.999, 0.00999, 250251},
              {0.1, 0.3, 0.1, 3},
              {1, 1 + 1e-10, 1e-11, 11}};
  for (const Row &R : Rows) {
    const TResampleGrid G = MakeResampleGrid(R.From, R.To, R.Step);
    EXPECT_EQ(G.Count, R.Count) << R.From << " " << R.To << " " << R.Step;
    EXPECT_LE(G.At(G.Count - 1), R.To + G.EndTolerance(R.To)) << R.Step;
  }
}

TEST(Resample, GridEndsWithinTheToleranceCountAsInside) {
  // x = 6500 + 0.1 i as a reader builds it; the grid 6500 ... 6510 step 0.1 computes its points
  // as k 0.1 + 6500, which may differ from the data's own ends in the last place.
  TSpec32 S;
  TDblArr1D X = Ramp(101, 6500, 0.1), Y(101);
  for (int i = 0; i < 101; ++i)
    Y[i] = 3 + 0.5 * i;
  MakeSpec(S, X, Y);
  const TResampleGrid G = MakeResampleGrid(6500, 6510, 0.1);
  ASSERT_EQ(G.Count, 101);
  EXPECT_EQ(ResampleGridCheck(S, G), "");
  for (bool Linear : {true, false}) {
    TOpOutcome O = Linear ? OpResampleLinear(S, G) : OpResampleSpline(S, G, true, 0, 0);
    ASSERT_TRUE(O.Ok());
    EXPECT_NEAR(O.Results[0].Y.back(), 53, 1e-9) << "the end is the data's end";
    EXPECT_NEAR(O.Results[0].Y.front(), 3, 1e-9);
  }
  // A grid end 1e-9 of the grid's extent (10) outside: inside; 1e-7 outside: refused.
  TResampleGrid In = G, Out = G;
  In.From = 6500 - 0.5e-8;
  Out.From = 6500 - 1e-6;
  EXPECT_EQ(ResampleGridCheck(S, In), "");
  EXPECT_TRUE(OpResampleLinear(S, In).Ok());
  EXPECT_NE(ResampleGridCheck(S, Out), "");
  EXPECT_FALSE(OpResampleSpline(S, MakeResampleGrid(6500, 6510.000001, 0.1 + 1e-8), true, 0, 0).Ok());
}

// "Range of Union" read back as the resampler reads its fields: From, To, Step as numbers,
// then the grid, which every selected spectrum must accept.
void ExpectProposalAccepted(const std::vector<const TSpec32 *> &Specs, const TResampleProposal &P,
                            const std::string &What) {
  const TResampleGrid G = MakeResampleGrid(StrToFloat(P.From), StrToFloat(P.To), StrToFloat(P.Step));
  for (const TSpec32 *S : Specs)
    EXPECT_EQ(ResampleGridCheck(*S, G), "") << What << ": " << P.From << " " << P.To << " " << P.Step;
}

TEST(Resample, RangeOfUnionHandMadeEdges) {
  struct Row {
    const char *What;
    double X0a, Ha;
    int Na;
    double X0b, Hb;
    int Nb;
    const char *From, *To, *Step;
  } Rows[] = {
      {"the example: 4000-7000 and 4500-7500", 4000, 1, 3001, 4500, 0.5, 6001, "4500.000", "7000.000",
       "0.50000"},
      {"ends off the shown digits", 4500.0004, 0.1, 25001, 4000, 0.25, 11999, "4500.001", "6999.500",
       "0.25000"},
      {"last x just below a shown value", 3999.9999999, 0.1, 30001, 4000.5, 0.2, 15000, "4000.500",
       "6999.999", "0.20000"},
      {"a step below the shown digits", 1, 2e-6, 101, 1, 2e-6, 101, "1.0000", "1.0002", "0.000002"},
      // 1 + k/8192 for k = 1 ... 5: 1.0001220703125 ... 1.0006103515625, exact in binary.
      {"a range narrower than 0.001", 1 + 1.0 / 8192, 1.0 / 8192, 5, 1 + 1.0 / 8192, 1.0 / 8192, 5, "1.0002",
       "1.0006", "0.000122"},
      {"negative x", -0.5, 0.125, 9, -0.5, 0.125, 9, "-0.500", "0.500", "0.12500"},
      {"no minus in front of 0.000", -0.0004, 0.0001, 9, -0.0004, 0.0001, 9, "0.000", "0.000", "0.00010"},
  };
  for (const Row &R : Rows) {
    TSpec32 A, B;
    MakeSpec(A, Ramp(R.Na, R.X0a, R.Ha), TDblArr1D(R.Na, 1), "a.dat");
    MakeSpec(B, Ramp(R.Nb, R.X0b, R.Hb), TDblArr1D(R.Nb, 1), "b.dat");
    const TResampleProposal P = ProposeRangeOfUnion({&A, &B});
    EXPECT_EQ(P.From, R.From) << R.What;
    EXPECT_EQ(P.To, R.To) << R.What;
    EXPECT_EQ(P.Step, R.Step) << R.What;
    ExpectProposalAccepted({&A, &B}, P, R.What);
  }
}

TEST(Resample, RangeOfUnionRefusesWhatHasNoRange) {
  TSpec32 A, B, Down, One;
  MakeSpec(A, Ramp(301, 4000, 10), TDblArr1D(301, 1), "a.dat");
  MakeSpec(B, Ramp(11, 3000, 0.1), TDblArr1D(11, 1), "b.dat");
  MakeSpec(Down, Ramp(11, 5000, -1), TDblArr1D(11, 1), "down.dat");
  MakeSpec(One, {4500}, {1}, "one.dat");
  auto Message = [](std::vector<const TSpec32 *> Specs) {
    try {
      ProposeRangeOfUnion(Specs);
    } catch (const EOrvaError &E) {
      return std::string(E.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(Message({&A, &B}), "The selected spectra have no x-range in common");
  EXPECT_EQ(Message({&A, &Down}), "down.dat: x-values do not increase");
  EXPECT_EQ(Message({&One, &A}), "one.dat: at least two points are needed to resample");
}

TEST(Resample, RangeOfUnionIsAlwaysAccepted) {
  // Random overlapping spectra (seeded): first x anywhere in 1000 ... 9000 with up to nine
  // decimals, steps 0.001 ... 3 with up to eight, 2 ... 4000 points; two to four spectra that
  // share a range. Before, the shown rounding moved From below a first x (or To past a last x)
  // or rounded the point count up, and the grid was refused about three times in four.
  std::mt19937_64 Rng(20261209);
  std::uniform_real_distribution<double> U(0, 1);
  int Tried = 0;
  for (int Case = 0; Case < 3000; ++Case) {
    const int NSpec = 2 + static_cast<int>(U(Rng) * 3);
    const double Centre = 1000 + 8000 * U(Rng);
    std::vector<TSpec32> Specs(static_cast<size_t>(NSpec));
    std::vector<const TSpec32 *> Ptr;
    for (int s = 0; s < NSpec; ++s) {
      const double Step = std::round((0.001 + 3 * U(Rng)) * 1e8) / 1e8;
      const int N = 2 + static_cast<int>(U(Rng) * 3999);
      // Each spectrum holds Centre somewhere inside, so they all share a range.
      const double X0 = std::round((Centre - Step * (N - 1) * (0.05 + 0.9 * U(Rng))) * 1e9) / 1e9;
      MakeSpec(Specs[static_cast<size_t>(s)], Ramp(N, X0, Step), TDblArr1D(static_cast<size_t>(N), 1.0));
      Ptr.push_back(&Specs[static_cast<size_t>(s)]);
    }
    double Lo, Hi, H;
    RangeOfUnion(Ptr, Lo, Hi, H);
    if (!(Lo <= Hi)) continue;
    ++Tried;
    const TResampleProposal P = ProposeRangeOfUnion(Ptr);
    ExpectProposalAccepted(Ptr, P, "case " + std::to_string(Case));
    const TResampleGrid G = MakeResampleGrid(StrToFloat(P.From), StrToFloat(P.To), StrToFloat(P.Step));
    if (Case % 50 == 0 && G.Count < 100000)
      for (const TSpec32 *S : Ptr) {
        EXPECT_TRUE(OpResampleSpline(*S, G, true, 0, 0).Ok()) << Case;
        EXPECT_TRUE(OpResampleLinear(*S, G).Ok()) << Case;
      }
  }
  EXPECT_GT(Tried, 2900);
}

TEST(Resample, GridOutsideIsRefused) {
  TSpec32 S;
  MakeSpec(S, Ramp(11, 6500, 1), TDblArr1D(11, 1));
  EXPECT_FALSE(OpResampleLinear(S, MakeResampleGrid(6499, 6505, 1)).Ok());
  EXPECT_FALSE(OpResampleSpline(S, MakeResampleGrid(6500, 6511, 1), true, 0, 0).Ok());
  EXPECT_TRUE(OpResampleLinear(S, MakeResampleGrid(6500, 6510, 1)).Ok());
}

TEST(Resample, LinearOntoOwnGridAndBetween) {
  TSpec32 S;
  MakeSpec(S, Ramp(21, 6500, 0.5), {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3, 2, 3, 8, 4, 6});
  TOpOutcome O = OpResampleLinear(S, MakeResampleGrid(6500, 6510, 0.5));
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Results[0].History, "-lin");
  for (int k = 0; k < 21; ++k)
    EXPECT_NEAR(O.Results[0].Y[k], S.DataY[k], 1e-12) << k;
  EXPECT_TRUE(O.Results[0].Equidistant);
  TOpOutcome M = OpResampleLinear(S, MakeResampleGrid(6500.25, 6509.75, 0.5));
  for (int k = 0; k < 20; ++k)
    EXPECT_NEAR(M.Results[0].Y[k], 0.5 * (S.DataY[k] + S.DataY[k + 1]), 1e-12) << k;
}

TEST(Resample, SplineOnALine) {
  TSpec32 S;
  TDblArr1D X = {1, 2, 3.5, 4, 6, 7.25, 9};
  TDblArr1D Y(X.size());
  for (size_t i = 0; i < X.size(); ++i)
    Y[i] = 2.5 * X[i] - 7;
  MakeSpec(S, X, Y);
  TResampleGrid G = MakeResampleGrid(1, 9, 0.1);
  for (bool Natural : {true, false}) {
    TOpOutcome O = OpResampleSpline(S, G, Natural, 2.5, 2.5);
    ASSERT_TRUE(O.Ok());
    EXPECT_EQ(O.Results[0].History, "-spline");
    for (int k = 0; k < G.Count; ++k)
      EXPECT_NEAR(O.Results[0].Y[k], 2.5 * G.At(k) - 7, 1e-11) << k;
  }
}

TEST(Resample, NaturalSplineAgainstDenseSolve) {
  TDblArr1D X = {0, 0.7, 1.5, 2.0, 3.1, 4.0, 5.2, 6.0};
  TDblArr1D Y = {1.0, -0.5, 2.0, 2.5, 0.0, -1.0, 0.5, 3.0};
  const int n = static_cast<int>(X.size());
  // Unknowns: second derivatives M0 ... M(n-1); M0 = M(n-1) = 0; inner rows from the
  // continuity of the first derivative.
  Eigen::MatrixXd A = Eigen::MatrixXd::Zero(n, n);
  Eigen::VectorXd B = Eigen::VectorXd::Zero(n);
  A(0, 0) = 1;
  A(n - 1, n - 1) = 1;
  for (int i = 1; i < n - 1; ++i) {
    double h0 = X[i] - X[i - 1], h1 = X[i + 1] - X[i];
    A(i, i - 1) = h0 / 6;
    A(i, i) = (h0 + h1) / 3;
    A(i, i + 1) = h1 / 6;
    B(i) = (Y[i + 1] - Y[i]) / h1 - (Y[i] - Y[i - 1]) / h0;
  }
  Eigen::VectorXd M = A.fullPivLu().solve(B);
  auto Ref = [&](double V) {
    int i = 0;
    while (i < n - 2 && V > X[i + 1])
      ++i;
    double h = X[i + 1] - X[i], a = (X[i + 1] - V) / h, b = (V - X[i]) / h;
    return a * Y[i] + b * Y[i + 1] + ((a * a * a - a) * M(i) + (b * b * b - b) * M(i + 1)) * h * h / 6;
  };
  TSpec32 S;
  MakeSpec(S, X, Y);
  TResampleGrid G = MakeResampleGrid(0, 6, 0.05);
  TOpOutcome O = OpResampleSpline(S, G, true, 0, 0);
  for (int k = 0; k < G.Count; ++k)
    EXPECT_NEAR(O.Results[0].Y[k], Ref(G.At(k)), 1e-12) << G.At(k);
}

TEST(OpAddZeros, PadsWithTheMeanStep) {
  TSpec32 S;
  MakeSpec(S, Ramp(1000, 4000, 0.25), TDblArr1D(1000, 7));
  TOpOutcome O = OpAddZeros(S, -24); // a negative count counts as its absolute value
  ASSERT_TRUE(O.Ok());
  const TOpResult &R = O.Results[0];
  EXPECT_EQ(R.History, "-zeros");
  ASSERT_EQ(R.X.size(), 1024u);
  for (int k = 1000; k < 1024; ++k) {
    EXPECT_EQ(R.Y[k], 0.0);
    EXPECT_NEAR(R.X[k], 4000 + 0.25 * k, 1e-9);
  }
  EXPECT_EQ(R.Y[999], 7);
  EXPECT_TRUE(R.Equidistant);
  TSpec32 U;
  MakeSpec(U, {1, 2, 4}, {0, 0, 0});
  EXPECT_EQ(OpAddZeros(U, 3).Condition, " is not equidistant");
  TSpec32 One;
  MakeSpec(One, {5}, {1});
  EXPECT_FALSE(OpAddZeros(One, 3).Ok());
}

} // namespace

TEST(OpAddZeros, ExtremeCountAndLoopEnd) {
  TSpec32 S;
  MakeSpec(S, Ramp(4, 0, 1), TDblArr1D(4, 1));
  EXPECT_THROW(OpAddZeros(S, INT32_MIN), EOrvaError);
  TSpec32 U;
  MakeSpec(U, {1, 2, 4}, {0, 0, 0});
  EXPECT_TRUE(OpAddZeros(U, 1).EndsLoop);
  TSpec32 One;
  MakeSpec(One, {5}, {1});
  EXPECT_FALSE(OpAddZeros(One, 1).EndsLoop); // refused, but the others go on
}

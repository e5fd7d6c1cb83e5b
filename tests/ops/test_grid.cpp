// Crop, resample and zero padding. The spline reference is a natural cubic spline set up here
// from its defining equations (continuity of the first derivative at every knot, zero second
// derivative at both ends) and solved as a dense system: another way than the program's.
#include <Eigen/Dense>
#include <gtest/gtest.h>

#include "core/UErrors.h"
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

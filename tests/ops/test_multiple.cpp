// Several spectra combined point by point: sum, average and product on the first one's
// x-axis, and the refusal of axes that differ. Expected values are worked out by hand.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/USpec32.h"
#include "ops/OpsTestUtil.h"
#include "ops/UOpMultipleCore.h"

TEST(Multiple, SumAverageProduct) {
  std::deque<TSpec32> S(3);
  MakeSpec(S[0], {1, 2, 3}, {1, 2, -4}, "a.dat");
  MakeSpec(S[1], {1, 2, 3}, {3, 6, 0.5}, "b.dat");
  MakeSpec(S[2], {1, 2, 3}, {2, -1, 10}, "c.dat");
  const std::vector<const TSpec32 *> Two = {&S[0], &S[1]}, Three = {&S[0], &S[1], &S[2]};
  struct Row {
    const std::vector<const TSpec32 *> *Specs;
    TMultipleOp Op;
    TDblArr1D Y;
  } Rows[] = {
      {&Two, TMultipleOp::Average, {2, 4, -1.75}}, // (1, 2) and (3, 6) average to (2, 4)
      {&Two, TMultipleOp::Add, {4, 8, -3.5}},         {&Two, TMultipleOp::Multiply, {3, 12, -2}},
      {&Three, TMultipleOp::Add, {6, 7, 6.5}},        {&Three, TMultipleOp::Average, {2, 7.0 / 3, 6.5 / 3}},
      {&Three, TMultipleOp::Multiply, {6, -12, -20}},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(testing::Message() << R.Specs->size() << " spectra, op " << static_cast<int>(R.Op));
    TOpOutcome O = OpMultiple(*R.Specs, R.Op);
    ASSERT_TRUE(O.Ok()) << O.Condition;
    ASSERT_EQ(O.Results.size(), 1u);
    const TOpResult &Res = O.Results[0];
    EXPECT_EQ(Res.History, "");
    EXPECT_EQ(Res.X, (TDblArr1D{1, 2, 3}));
    ASSERT_EQ(Res.Y.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
      EXPECT_DOUBLE_EQ(Res.Y[i], R.Y[i]) << i;
  }
}

TEST(Multiple, ProductWithAZeroAndTheFirstAxis) {
  // Three ramps of 10 points; the second holds a zero at index 5. The x-values of the others
  // differ from the first's by less than the tolerance: the result keeps the first's.
  std::deque<TSpec32> S(3);
  TDblArr1D Y0(10, 2.0), Y1(10, 3.0), Y2(10, 0.5);
  Y1[5] = 0;
  MakeSpec(S[0], Ramp(10, 4000, 1), Y0, "a.dat");
  MakeSpec(S[1], Ramp(10, 4000 + 1e-7, 1), Y1, "b.dat");
  MakeSpec(S[2], Ramp(10, 4000, 1), Y2, "c.dat");
  S[0].SetEquidistant(false); // the flag of the first is copied, whatever the others say
  TOpOutcome O = OpMultiple({&S[0], &S[1], &S[2]}, TMultipleOp::Multiply);
  ASSERT_TRUE(O.Ok()) << O.Condition;
  const TOpResult &R = O.Results[0];
  EXPECT_EQ(R.X, S[0].DataX);
  EXPECT_FALSE(R.Equidistant);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(R.Y[i], i == 5 ? 0.0 : 3.0) << i;
}

TEST(Multiple, DifferingAxesAreToldForEverySpectrum) {
  std::deque<TSpec32> S(4);
  MakeSpec(S[0], Ramp(100, 4000, 1), TDblArr1D(100, 1), "a.dat");
  MakeSpec(S[1], Ramp(101, 4000, 1), TDblArr1D(101, 1), "b.dat");
  MakeSpec(S[2], Ramp(100, 4000, 1), TDblArr1D(100, 1), "c.dat");
  TDblArr1D X = Ramp(100, 4000, 1);
  X[2] += 0.5;
  MakeSpec(S[3], X, TDblArr1D(100, 1), "d.dat");
  const std::vector<const TSpec32 *> All = {&S[0], &S[1], &S[2], &S[3]};
  EXPECT_EQ(MultipleCheck(All), (std::vector<std::string>{"a.dat, b.dat: Number of data points differ",
                                                          "a.dat, d.dat: X-values differ at index 2"}));
  EXPECT_TRUE(MultipleCheck({&S[0], &S[2]}).empty());
  for (TMultipleOp Op : {TMultipleOp::Add, TMultipleOp::Average, TMultipleOp::Multiply}) {
    TOpOutcome O = OpMultiple(All, Op);
    EXPECT_EQ(O.Condition, "a.dat, b.dat: Number of data points differ");
    EXPECT_TRUE(O.Results.empty());
  }
  // 101 points first and 100 second is refused the same way.
  EXPECT_EQ(OpMultiple({&S[1], &S[0]}, TMultipleOp::Add).Condition,
            "b.dat, a.dat: Number of data points differ");
}

// Concatenation: the tolerance test, the checks and their messages, the sort by last x and
// the blending. Expected values are worked out by hand from the blending rule: over c blended
// points the weight of the later segment is j/(c - 1); before the stretch the earlier
// segment's data stays, after it the later one's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/USpec32.h"
#include "ops/OpsTestUtil.h"
#include "ops/UOpConcatCore.h"

namespace {

// Holds the spectra of one case (TSpec32 is not copyable, so a deque keeps them in place).
struct TSegments {
  std::deque<TSpec32> Specs;
  // N points x = X0 + i*Step with y = Y(i).
  const TSpec32 &Add(const char *Name, double X0, double Step, int N, std::function<double(int)> Y) {
    TSpec32 &S = Specs.emplace_back();
    TDblArr1D Yv(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i)
      Yv[static_cast<size_t>(i)] = Y(i);
    MakeSpec(S, Ramp(N, X0, Step), Yv, Name);
    return S;
  }
  const TSpec32 &Const(const char *Name, double X0, double Step, int N, double Y) {
    return Add(Name, X0, Step, N, [Y](int) { return Y; });
  }
};

std::vector<const TSpec32 *> Ptrs(std::initializer_list<const TSpec32 *> L) { return L; }

} // namespace

TEST(ConcatStepsDiffer, RelativeToTheLeadingDecade) {
  struct Row {
    double Eps, A, B;
    bool Differ;
  } Rows[] = {
      {1e-6, 0.1, 0.10000005, false}, // 5e-7 in units of 0.1
      {1e-6, 0.1, 0.10001, true},
      {1e-6, 0.1, 0.1, false},
      {1e-6, 0, 5e-7, false}, // absolute when one is zero
      {1e-6, 2e-6, 0, true},
      {1e-6, 6600, 6600.0005, false}, // 5e-7 in units of 1000
      {1e-6, 6600, 6600.002, true},
      {1e-6, 9.9999, 10.00001, true}, // the larger one's decade is 10: 1.1e-5
      {1e-6, 1e-3, 1.0000005e-3, false},
      {1e-6, 1e-3, 1.000002e-3, true},
  };
  for (const Row &R : Rows)
    EXPECT_EQ(StepsDiffer(R.Eps, R.A, R.B), R.Differ) << R.A << " vs " << R.B;
}

// 6500 - 6600 and 6590 - 6700 with step 0.1, y = 1 and y = 3: 101 shared grid points
// (indices 900 ... 1000 of the result), lo = round((1 - p)*100/2) points kept on either side.
TEST(Concatenate, TwoSegmentsAtSeveralSizes) {
  TSegments G;
  const TSpec32 &A = G.Const("a.dat", 6500, 0.1, 1001, 1.0);
  const TSpec32 &B = G.Const("b.dat", 6590, 0.1, 1101, 3.0);
  struct Row {
    double Percent;
    TConcatMethod Method;
    int Lo;
  } Rows[] = {
      {90, TConcatMethod::Weighted, 5}, {100, TConcatMethod::Weighted, 0}, {0, TConcatMethod::Weighted, 50},
      {90, TConcatMethod::Simple, 5},   {50, TConcatMethod::Weighted, 25},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(testing::Message() << R.Percent << " %, method " << static_cast<int>(R.Method));
    TOpOutcome O = OpConcatenate(Ptrs({&A, &B}), R.Method, R.Percent);
    ASSERT_TRUE(O.Ok()) << O.Condition;
    ASSERT_EQ(O.Results.size(), 1u);
    const TOpResult &Res = O.Results[0];
    EXPECT_EQ(Res.History, "");
    EXPECT_TRUE(Res.Equidistant);
    ASSERT_EQ(Res.X.size(), 2001u);
    ASSERT_EQ(Res.Y.size(), 2001u);
    const int C = 101 - 2 * R.Lo, Start = 900 + R.Lo, End = 1000 - R.Lo;
    int Bad = 0;
    for (int i = 0; i < 2001 && Bad < 5; ++i) {
      double Want;
      if (i < Start)
        Want = 1;
      else if (i > End)
        Want = 3;
      else if (R.Method == TConcatMethod::Simple || C < 2)
        Want = 2;
      else
        Want = 1 + 2.0 * (i - Start) / (C - 1);
      if (std::fabs(Res.Y[i] - Want) > 1e-12 || std::fabs(Res.X[i] - (6500 + 0.1 * i)) > 1e-9) {
        ADD_FAILURE() << "point " << i << ": x " << Res.X[i] << " y " << Res.Y[i] << ", want y " << Want;
        ++Bad;
      }
    }
    EXPECT_DOUBLE_EQ(Res.X.front(), 6500);
    EXPECT_NEAR(Res.X.back(), 6700, 1e-9);
  }
}

TEST(Concatenate, SmallCasesByHand) {
  struct Row {
    const char *What;
    double X0b; // start of the second segment (both step 1, first one 0 ... 8)
    int Nb;     // its points
    double Percent;
    TConcatMethod Method;
    TDblArr1D Y; // whole result (first y = 1, second y = 3)
  } Rows[] = {
      {"weighted ramp over 5 points",
       4,
       9,
       100,
       TConcatMethod::Weighted,
       {1, 1, 1, 1, 1, 1.5, 2, 2.5, 3, 3, 3, 3, 3}},
      {"simple average over 5 points",
       4,
       9,
       100,
       TConcatMethod::Simple,
       {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3}},
      // lo = round(0.4 * 4 * 0.5) = round(0.8) = 1: three blended points.
      {"60 % of 5 points", 4, 9, 60, TConcatMethod::Weighted, {1, 1, 1, 1, 1, 1, 2, 3, 3, 3, 3, 3, 3}},
      // lo = round(0.25 * 4 * 0.5) = round(0.5), a tie: to the even 0, so all five points are blended.
      {"75 % of 5 points, tie to even",
       4,
       9,
       75,
       TConcatMethod::Weighted,
       {1, 1, 1, 1, 1, 1.5, 2, 2.5, 3, 3, 3, 3, 3}},
      {"touching ends", 8, 5, 90, TConcatMethod::Weighted, {1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 3, 3, 3}},
      {"identical range", 0, 9, 100, TConcatMethod::Weighted, {1, 1.25, 1.5, 1.75, 2, 2.25, 2.5, 2.75, 3}},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.What);
    TSegments G;
    const TSpec32 &A = G.Const("a.dat", 0, 1, 9, 1.0);
    const TSpec32 &B = G.Const("b.dat", R.X0b, 1, R.Nb, 3.0);
    TOpOutcome O = OpConcatenate(Ptrs({&A, &B}), R.Method, R.Percent);
    ASSERT_TRUE(O.Ok()) << O.Condition;
    const TOpResult &Res = O.Results.at(0);
    EXPECT_EQ(Res.Y, R.Y);
    ASSERT_EQ(Res.X.size(), R.Y.size());
    for (size_t i = 0; i < Res.X.size(); ++i)
      EXPECT_EQ(Res.X[i], static_cast<double>(i)) << i;
  }
}

TEST(Concatenate, Refusals) {
  // Two segments (first, second) of constant y, or a one-off first one where noted.
  struct TSeg {
    const char *Name;
    double X0, Step;
    int N;
  };
  struct Row {
    TSeg S1, S2;
    double Percent;
    std::string Message;
  } Rows[] = {
      {{"a.dat", 0, 1, 5}, {"b.dat", 5, 1, 4}, 90, "Spectra do not overlap"}, // a gap of one step
      {{"a.dat", 6500, 0.1, 101}, {"b.dat", 6509, 0.10001, 101}, 90, "Unequal sampling interval"},
      {{"a.dat", 6500, 0.1, 101},
       {"b.dat", 6509.03, 0.1, 101},
       90,
       "Unequal sampling phase"}, // 0.3 steps off
      {{"a.dat", 0, 1, 5}, {"p.dat", 2, 1, 1}, 90, "p.dat: a single point has no sampling interval"},
      {{"a.dat", 0, 1, 5}, {"k.dat", 2, 0, 3}, 90, "k.dat: x-values do not increase"},
      // A wide segment covering a narrow one, in either selection order.
      {{"n.dat", 6550, 0.1, 501},
       {"w.dat", 6500, 0.1, 2001},
       90,
       "One spectrum covers another entirely: its points before the others would be lost"},
      {{"w.dat", 6500, 0.1, 2001},
       {"n.dat", 6550, 0.1, 501},
       90,
       "One spectrum covers another entirely: its points before the others would be lost"},
      // Passes the phase test (5e-5 of a step) but pairs 6590.5 with 6590.500005.
      {{"a.dat", 6500, 0.1, 1001},
       {"b.dat", 6590.000005, 0.1, 1101},
       90,
       "Unequal sampling phase: x-values 6590.5 and 6590.500005 of the overlap differ by more than 1e-6"},
      // Steps accepted (3e-7 in units of 0.1), but the grids drift apart by 3e-8 per point:
      // shared point 34 pairs 6593.4 with 6590 + 34 * 0.10000003.
      {{"a.dat", 6500, 0.1, 1001},
       {"b.dat", 6590, 0.10000003, 1101},
       90,
       "Unequal sampling phase: x-values 6593.4 and 6593.40000102 of the overlap differ by more than 1e-6"},
      {{"a.dat", 0, 1, 9},
       {"b.dat", 4, 1, 9},
       150,
       "Relative size of overlapping region must lie within 0 - 100%"},
      {{"a.dat", 0, 1, 9},
       {"b.dat", 4, 1, 9},
       -5,
       "Relative size of overlapping region must lie within 0 - 100%"},
      {{"a.dat", 0, 1, 9},
       {"b.dat", 4, 1, 9},
       std::nan(""),
       "Relative size of overlapping region must lie within 0 - 100%"},
  };
  for (const Row &R : Rows) {
    TSegments G;
    const TSpec32 &A = G.Const(R.S1.Name, R.S1.X0, R.S1.Step, R.S1.N, 1);
    const TSpec32 &B = G.Const(R.S2.Name, R.S2.X0, R.S2.Step, R.S2.N, 3);
    TOpOutcome O = OpConcatenate(Ptrs({&A, &B}), TConcatMethod::Weighted, R.Percent);
    EXPECT_EQ(O.Condition, R.Message) << R.S2.Name << " from " << R.S2.X0;
    EXPECT_TRUE(O.Results.empty());
  }
  // The first spectrum that is not equidistant, in selection order, is named.
  TSegments G;
  TSpec32 &U = G.Specs.emplace_back();
  MakeSpec(U, {0, 1, 3, 4}, {1, 1, 1, 1}, "u.dat");
  TSpec32 &V = G.Specs.emplace_back();
  MakeSpec(V, {0, 2, 3, 4}, {1, 1, 1, 1}, "v.dat");
  EXPECT_EQ(
      OpConcatenate(Ptrs({&G.Const("a.dat", 0, 1, 5, 1), &V, &U}), TConcatMethod::Weighted, 90).Condition,
      "v.dat: x-values not equidistant");
}

TEST(Concatenate, NearlyEqualStepsOverAShortOverlapAreJoined) {
  // 0.1 and 0.10000005 over 11 shared points: the pairs stay within 5e-7 of each other.
  TSegments G;
  const TSpec32 &A = G.Const("a.dat", 6500, 0.1, 101, 1);
  const TSpec32 &B = G.Const("b.dat", 6509, 0.10000005, 101, 3);
  TOpOutcome O = OpConcatenate(Ptrs({&A, &B}), TConcatMethod::Weighted, 100);
  ASSERT_TRUE(O.Ok()) << O.Condition;
  const TOpResult &R = O.Results[0];
  ASSERT_EQ(R.X.size(), 101u + 101u - 11u);
  EXPECT_EQ(R.Y[89], 1);
  EXPECT_DOUBLE_EQ(R.Y[95], 2); // the middle of the 11 blended points
  EXPECT_EQ(R.Y[101], 3);
  EXPECT_DOUBLE_EQ(R.X.back(), B.DataX.back());
}

TEST(Concatenate, SelectionOrderDoesNotMatter) {
  // Three segments on one grid; every selection order gives the same result, bit for bit.
  TSegments G;
  const TSpec32 &A = G.Add("a.dat", 0, 0.5, 21, [](int i) { return 1 + 0.1 * i; });
  const TSpec32 &B = G.Add("b.dat", 8, 0.5, 25, [](int i) { return 5 - 0.05 * i; });
  const TSpec32 &C = G.Add("c.dat", 18, 0.5, 30, [](int i) { return 2 + std::sin(i); });
  std::vector<const TSpec32 *> Order = {&A, &B, &C};
  const TOpOutcome Ref = OpConcatenate(Order, TConcatMethod::Weighted, 90);
  ASSERT_TRUE(Ref.Ok()) << Ref.Condition;
  // 0 ... 32.5 in steps of 0.5.
  ASSERT_EQ(Ref.Results[0].X.size(), 66u);
  EXPECT_EQ(Ref.Results[0].X.back(), 32.5);
  std::sort(Order.begin(), Order.end());
  do {
    TOpOutcome O = OpConcatenate(Order, TConcatMethod::Weighted, 90);
    ASSERT_TRUE(O.Ok()) << O.Condition;
    EXPECT_EQ(O.Results[0].X, Ref.Results[0].X);
    EXPECT_EQ(O.Results[0].Y, Ref.Results[0].Y);
  } while (std::next_permutation(Order.begin(), Order.end()));
}

TEST(Concatenate, EqualEndsJoinTheEarlierStartFirst) {
  // Same last x: the wide segment is joined first whatever the selection order, and the
  // narrow one is blended into its end.
  TSegments G;
  const TSpec32 &W = G.Const("w.dat", 0, 1, 11, 1);
  const TSpec32 &N = G.Const("n.dat", 6, 1, 5, 3);
  for (auto Sel : {Ptrs({&W, &N}), Ptrs({&N, &W})}) {
    EXPECT_EQ(ConcatOrder(Sel)[0], Sel[0] == &W ? 0 : 1);
    TOpOutcome O = OpConcatenate(Sel, TConcatMethod::Weighted, 100);
    ASSERT_TRUE(O.Ok()) << O.Condition;
    EXPECT_EQ(O.Results[0].Y, (TDblArr1D{1, 1, 1, 1, 1, 1, 1, 1.5, 2, 2.5, 3}));
  }
}

TEST(Concatenate, PhaseIsTestedInSelectionOrder) {
  // x0 = 0, 6e-5 and 1.2e-4 steps: neighbours a-b and b-c are each within 1e-4 of the grid,
  // a and c are not. Selected a, b, c the phase test passes (and the blending finds x-values
  // 6e-5 apart); selected a, c, b it refuses.
  TSegments G;
  const TSpec32 &A = G.Const("a.dat", 0, 1, 10, 1);
  const TSpec32 &B = G.Const("b.dat", 5.00006, 1, 10, 2);
  const TSpec32 &C = G.Const("c.dat", 10.00012, 1, 10, 3);
  EXPECT_EQ(OpConcatenate(Ptrs({&A, &C, &B}), TConcatMethod::Weighted, 90).Condition,
            "Unequal sampling phase");
  EXPECT_EQ(OpConcatenate(Ptrs({&A, &B, &C}), TConcatMethod::Weighted, 90)
                .Condition.rfind("Unequal sampling phase: x-values ", 0),
            0u);
}

TEST(Concatenate, LongSegmentsWhoseStepsDriftApartAreRefusedByTheBlend) {
  // Steps 0.1 and 0.1 (1 + 9e-7) pass the interval test (9e-7 in units of the leading decade),
  // but over 10^6 points they drift apart by 0.9 of a step. With the later segment selected first
  // its step is the grid's: the earlier segment's end then lies 10^6 (1 - 9e-7) = 999999.1 of
  // those steps on, so the overlap counts one point less on one grid than on the other. That is
  // the blend's refusal, not an internal failure.
  const int Len = 1000001, Over = 1000;
  const double H = 0.1 * (1 + 9e-7);
  TSegments T;
  const TSpec32 &A = T.Const("a.dat", 4000, 0.1, Len, 1.0);
  // On the later segment's own grid, counted from the earlier one's first x.
  const TSpec32 &B = T.Const("b.dat", 4000 + (Len - 1 - Over) * H, H, 5000, 2.0);
  for (bool LaterFirst : {true, false}) {
    const TOpOutcome O =
        OpConcatenate(LaterFirst ? Ptrs({&B, &A}) : Ptrs({&A, &B}), TConcatMethod::Weighted, 90);
    EXPECT_FALSE(O.Ok()) << LaterFirst;
    EXPECT_EQ(O.Condition.rfind("Unequal sampling phase", 0), 0u) << O.Condition;
    if (LaterFirst) {
      EXPECT_NE(O.Condition.find("differ by more than 1e-6"), std::string::npos) << O.Condition;
    }
  }
}

// The typed limits of the selection tools (every message), the selection SelectRange makes,
// and what normalize and crop make.
#include <gtest/gtest.h>

#include <string>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "tools/UToolNormalizeCore.h"
#include "tools/UToolRangeCore.h"

namespace {

TDblArr1D Ramp(int N, double X0, double Step) {
  TDblArr1D X(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    X[static_cast<size_t>(i)] = X0 + i * Step;
  return X;
}

void MakeSpec(TSpec32 &S, const TDblArr1D &X, const TDblArr1D &Y) {
  S.NewSpec("star.fits", static_cast<int>(X.size()), 0, nullptr);
  S.DataX = X;
  S.DataY = Y;
  S.FinishFromArrays();
}

TEST(TypedLimits, EveryRuleAndMessage) {
  // x = 6500, 6500.5, ... 6504.5 (10 points).
  const TDblArr1D X = Ramp(10, 6500, 0.5);
  using R = TLimitRule;
  using M = TLimitMode;
  const std::string Out = "Wavelength values out of bound", IdxOut = "Index values out of bound";
  struct Row {
    R Rule;
    M Mode;
    const char *From, *To;
    int I0, I1;
    std::string Error;
  } Rows[] = {
      {R::Select, M::Wavelength, "6500", "6504.5", 0, 9, ""}, // both ends exactly
      {R::Select, M::Wavelength, "6500.74", "6502.1", 1, 4, ""},
      {R::Select, M::Wavelength, "6499.99", "6501", 0, 0, Out},
      {R::Select, M::Wavelength, "6501", "6504.6", 0, 0, Out},
      {R::Select, M::Wavelength, "6502", "6501", 0, 0, "To < From"},
      {R::Select, M::Wavelength, " 6501.0", "6501.2 ", 2, 2, ""}, // same nearest point: allowed
      {R::Select, M::Index, "0", "9", 0, 9, ""},
      {R::Select, M::Index, "-1", "3", 0, 0, IdxOut},
      {R::Select, M::Index, "0", "10", 0, 0, IdxOut},
      {R::Select, M::Index, "5", "4", 0, 0, "To < From"},
      {R::Select, M::Index, "7", "7", 7, 7, ""},
      {R::Normalize, M::Wavelength, "6500.74", "6502.1", 1, 4, ""},
      {R::Normalize, M::Wavelength, "6501.2", "6501.1", 0, 0, "To < From"},
      {R::Normalize, M::Wavelength, "6504.5", "6505", 0, 0, Out},
      {R::Normalize, M::Index, "3", "3", 3, 3, ""},
      {R::Normalize, M::Index, "4", "3", 0, 0, "To < From"},
      {R::Normalize, M::Index, "0", "10", 0, 0, IdxOut},
      {R::Crop, M::Wavelength, "6500.74", "6502.1", 1, 4, ""},
      {R::Crop, M::Wavelength, "6501", "6501", 0, 0, "From >= To"},
      {R::Crop, M::Wavelength, "6501.0", "6501.1", 0, 0, "From >= To"}, // same nearest point
      {R::Crop, M::Wavelength, "6499", "6501", 0, 0, Out},
      {R::Crop, M::Index, "0", "9", 0, 9, ""},
      {R::Crop, M::Index, "7", "7", 0, 0, "From >= To"},
      {R::Crop, M::Index, "3", "2", 0, 0, "From >= To"},
      {R::Crop, M::Index, "-1", "2", 0, 0, IdxOut},
  };
  for (const Row &W : Rows) {
    SCOPED_TRACE(std::string(W.From) + " .. " + W.To + " rule " + std::to_string(static_cast<int>(W.Rule)));
    const TTypedLimits L = TypedLimits(W.Rule, W.Mode, X, 10, W.From, W.To);
    EXPECT_EQ(L.Error, W.Error);
    if (W.Error.empty()) {
      EXPECT_EQ(L.I0, W.I0);
      EXPECT_EQ(L.I1, W.I1);
    }
  }
  // Text that is no number is the general conversion error, not a message of the tool.
  EXPECT_THROW(TypedLimits(R::Select, M::Index, X, 10, "1.5", "3"), EOrvaError);
  EXPECT_THROW(TypedLimits(R::Crop, M::Wavelength, X, 10, "abc", "6501"), EOrvaError);
  EXPECT_THROW(TypedLimits(R::Normalize, M::Wavelength, X, 10, "nan", "6501"), EOrvaError);
  // An empty spectrum has no wavelength inside it.
  EXPECT_EQ(TypedLimits(R::Select, M::Wavelength, {}, 0, "1", "2").Error, Out);
}

TEST(SelectRangeSamples, HalfOpenAndClamped) {
  struct Row {
    int From, To, Sel0, Sel1;
  } Rows[] = {{0, 9, 0, 9}, {0, 10, 0, 9}, {5, 8, 5, 8}, {-3, 2, 0, 2}, {5, 5, 0, 0}, {6, 5, 0, 0}};
  for (const Row &R : Rows) {
    const TSampleRange S = SelectRangeSamples(R.From, R.To, 10);
    EXPECT_EQ(S.Sel0, R.Sel0) << R.From << " " << R.To;
    EXPECT_EQ(S.Sel1, R.Sel1) << R.From << " " << R.To;
  }
  EXPECT_TRUE(SelectRangeSamples(7, 7, 10).Empty());
  // The statistics tool in index mode, From 10 and To 20: samples 10 ... 19.
  const TTypedLimits L = TypedLimits(TLimitRule::Select, TLimitMode::Index, Ramp(30, 0, 1), 30, "10", "20");
  const TSampleRange S = SelectRangeSamples(L.I0, L.I1, 30);
  EXPECT_EQ(S.Count(), 10);
  EXPECT_EQ(SelectionText(S.Count(), S.Sel0, S.Sel1 - 1), "10 points selected (index 10 .. index 19)");
}

TEST(ToolNormalize, DividesTheWholeSpectrumByTheMeanOfTheStretch) {
  TSpec32 S;
  TDblArr1D Y = Ramp(30, 5, 0.25);
  for (int i = 10; i <= 19; ++i)
    Y[static_cast<size_t>(i)] = i % 2 ? 1.5 : 2.5; // mean 2.0
  MakeSpec(S, Ramp(30, 6500, 0.5), Y);
  TToolOutcome O = ToolNormalize(S, 10, 19);
  ASSERT_TRUE(O.Ok()) << O.Error;
  EXPECT_EQ(O.Result.History, "-norm");
  EXPECT_EQ(O.Result.X, S.DataX);
  ASSERT_EQ(O.Result.Y.size(), Y.size());
  for (size_t i = 0; i < Y.size(); ++i)
    EXPECT_EQ(O.Result.Y[i], Y[i] / 2) << i;
  EXPECT_TRUE(O.Result.Equidistant);
  // One sample (index mode From = To): divided by that sample.
  O = ToolNormalize(S, 3, 3);
  EXPECT_DOUBLE_EQ(O.Result.Y[3], 1.0);
  EXPECT_DOUBLE_EQ(O.Result.Y[0], 5 / 5.75);
  // A negative mean flips the sign; a mean of exactly 0 is refused.
  MakeSpec(S, {1, 2, 4, 8}, {-2, 2, -4, 1});
  O = ToolNormalize(S, 2, 3); // mean -1.5
  ASSERT_TRUE(O.Ok());
  EXPECT_EQ(O.Result.Y, (TDblArr1D{-2 / -1.5, 2 / -1.5, -4 / -1.5, 1 / -1.5}));
  EXPECT_FALSE(O.Result.Equidistant);
  O = ToolNormalize(S, 0, 1);
  EXPECT_EQ(O.Error, "Mean value in selected area equals zero");
  EXPECT_TRUE(O.Result.Y.empty());
  EXPECT_THROW(ToolNormalize(S, 2, 4), EAssertFailure);
}

TEST(ToolCrop, CopiesTheStretch) {
  TSpec32 S;
  MakeSpec(S, Ramp(10, 6500, 0.5), Ramp(10, 1, 1));
  TToolOutcome O = ToolCrop(S, 0, 9);
  EXPECT_EQ(O.Result.History, "-crop");
  EXPECT_EQ(O.Result.X, S.DataX);
  EXPECT_EQ(O.Result.Y, S.DataY);
  const TTypedLimits L =
      TypedLimits(TLimitRule::Crop, TLimitMode::Wavelength, S.DataX, 10, "6500.74", "6502.1");
  O = ToolCrop(S, L.I0, L.I1);
  EXPECT_EQ(O.Result.X, (TDblArr1D{6500.5, 6501, 6501.5, 6502}));
  EXPECT_EQ(O.Result.Y, (TDblArr1D{2, 3, 4, 5}));
  EXPECT_TRUE(O.Result.Equidistant);
  EXPECT_THROW(ToolCrop(S, 5, 4), EAssertFailure);
}

} // namespace

// The Gauss/Voigt profile fit on synthetic lines: exact lines give back their parameters, noisy
// lines (seeded noise) give parameters within three of their stated standard errors, the
// standard errors hold the truth about as often as a standard deviation should, and the derived
// quantities agree with their closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "Units/UVoigt.h"
#include "ops/UGaussNoise.h"
#include "tools/UToolProfileFitCore.h"

namespace {

const double Root2Pi = std::sqrt(2.0 * std::numbers::pi);
const double SqrtPi = std::sqrt(std::numbers::pi);
const double GaussFwhm = 2.0 * std::sqrt(2.0 * std::log(2.0)); // FWHM / sigma of a Gaussian

struct TTruth {
  TProfileShape Shape;
  double A, X0, W, Damping; // amplitude, centre, sigma or Doppler width, a
  double Profile(double X) const {
    if (Shape == TProfileShape::Gauss) {
      const double U = (X - X0) / W;
      return A * std::exp(-0.5 * U * U);
    }
    return A * Voigt((X - X0) / W, Damping) / Voigt(0.0, Damping);
  }
  // The integral over all x: A sigma sqrt(2 pi), or A D sqrt(pi) / H(a, 0) since the integral of
  // H(a, v) over v is sqrt(pi).
  double Area() const {
    return Shape == TProfileShape::Gauss ? A * W * Root2Pi : A * W * SqrtPi / Voigt(0.0, Damping);
  }
};

struct TData {
  std::vector<double> X, Y;
};

// Samples 6500, 6500.1, ... 6519.9 of baseline + profile + noise of standard deviation Noise.
TData Synthetic(const TTruth &T, const TFitBaseline &B, double Noise, unsigned long long Seed) {
  SeedShuffledUniform(Seed);
  TData D;
  for (int I = 0; I < 200; ++I) {
    const double X = 6500.0 + 0.1 * I;
    D.X.push_back(X);
    D.Y.push_back(B.Value(X) + T.Profile(X) + (Noise > 0 ? GaussNoise(Noise, 0.0) : 0.0));
  }
  return D;
}

// |Value - Truth| within K standard errors.
::testing::AssertionResult Within(const char *Name, double Value, double Err, double Truth, double K = 3.0) {
  if (std::fabs(Value - Truth) <= K * Err && Err > 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Name << " = " << Value << " +- " << Err << ", truth " << Truth;
}

TEST(ProfileFit, ExactGaussianGivesItsParametersBack) {
  const TTruth T{TProfileShape::Gauss, -0.4, 6510.03, 0.8, 0};
  const TFitBaseline B = TFitBaseline::Fixed(1.0);
  const TData D = Synthetic(T, B, 0.0, 1);
  const TProfileFitResult R = ToolProfileFit(D.X, D.Y, TProfileShape::Gauss, B);
  ASSERT_TRUE(R.Ok()) << R.Error;
  EXPECT_NEAR(R.Amplitude, -0.4, 1e-7);
  EXPECT_NEAR(R.Centre, 6510.03, 1e-7);
  EXPECT_NEAR(R.Width, 0.8, 1e-7);
  EXPECT_NEAR(R.Fwhm, 0.8 * 2.3548200450309493, 1e-6);
  // EW = 0.4 * 0.8 * sqrt(2 pi) on the continuum 1.
  ASSERT_TRUE(R.EW.has_value());
  EXPECT_NEAR(*R.EW, 0.4 * 0.8 * Root2Pi, 1e-6);
  EXPECT_NEAR(R.Area, -*R.EW, 1e-12);
  EXPECT_LT(R.RmsResiduals, 1e-8);
  // The overlay passes through the data.
  const std::vector<double> Curve = ProfileFitCurve(R, B, D.X);
  for (size_t I = 0; I < D.X.size(); I += 37)
    EXPECT_NEAR(Curve[I], D.Y[I], 1e-7);
  EXPECT_NEAR(ProfileFitValue(R, B, R.Centre), 0.6, 1e-7);
  const TProfileFitTexts Tx = ProfileFitTexts(R);
  EXPECT_EQ(Tx.Type, "Absorption");
  EXPECT_EQ(Tx.DepthCaption, "Depth");
  EXPECT_EQ(Tx.Centre, "6510.03");
  EXPECT_EQ(Tx.Depth, "0.4");
  EXPECT_EQ(Tx.EW, "0.802121"); // 0.32 sqrt(2 pi) = 0.8021211
}

TEST(ProfileFit, NoisyGaussiansWithinTheirErrors) {
  struct Row {
    const char *Name;
    TTruth T;
    TFitBaseline B;
    double Noise;
  } Rows[] = {
      {"absorption on 1", {TProfileShape::Gauss, -0.4, 6510.03, 0.8, 0}, TFitBaseline::Fixed(1.0), 0.01},
      {"emission on a slope",
       {TProfileShape::Gauss, 1.5, 6507.5, 1.3, 0},
       *BaselineThrough({6500, 2}, {6520, 3}),
       0.05},
      {"absorption on 0", {TProfileShape::Gauss, -2.0, 6512.2, 0.5, 0}, TFitBaseline::Fixed(0.0), 0.1},
  };
  unsigned long long Seed = 11;
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Name);
    const TData D = Synthetic(W.T, W.B, W.Noise, Seed++);
    const TProfileFitResult R = ToolProfileFit(D.X, D.Y, TProfileShape::Gauss, W.B);
    ASSERT_TRUE(R.Ok()) << R.Error;
    EXPECT_TRUE(Within("A", R.Amplitude, R.AmplitudeErr, W.T.A));
    EXPECT_TRUE(Within("x0", R.Centre, R.CentreErr, W.T.X0));
    EXPECT_TRUE(Within("sigma", R.Width, R.WidthErr, W.T.W));
    EXPECT_NEAR(R.Fwhm, GaussFwhm * R.Width, 1e-12 * R.Fwhm);
    EXPECT_NEAR(R.FwhmErr, GaussFwhm * R.WidthErr, 1e-12 * R.Fwhm);
    EXPECT_TRUE(Within("FWHM", R.Fwhm, R.FwhmErr, GaussFwhm * W.T.W));
    EXPECT_TRUE(Within("area", R.Area, R.AreaErr, W.T.Area()));
    EXPECT_EQ(R.Absorption(), W.T.A < 0);
    // The residual scatter estimates the noise.
    EXPECT_NEAR(R.RmsResiduals, W.Noise, 0.15 * W.Noise);
    const double Bc = W.B.Value(W.T.X0);
    if (Bc > 0) {
      ASSERT_TRUE(R.EW.has_value());
      EXPECT_TRUE(Within("EW", *R.EW, *R.EWErr, -W.T.Area() / Bc));
    } else {
      EXPECT_FALSE(R.EW.has_value());
    }
  }
}

// Over 40 noise realisations the stated standard error of the centre and of the width should
// cover the truth about 68 % of the time: not much more (errors too large) nor much less.
TEST(ProfileFit, StandardErrorsCoverTheTruthAsOftenAsTheyShould) {
  const TTruth T{TProfileShape::Gauss, -0.3, 6509.7, 0.6, 0};
  const TFitBaseline B = TFitBaseline::Fixed(1.0);
  int InCentre = 0, InWidth = 0, InArea = 0;
  const int Runs = 40;
  for (int I = 0; I < Runs; ++I) {
    const TData D = Synthetic(T, B, 0.02, 1000 + static_cast<unsigned long long>(I));
    const TProfileFitResult R = ToolProfileFit(D.X, D.Y, TProfileShape::Gauss, B);
    ASSERT_TRUE(R.Ok()) << R.Error;
    InCentre += std::fabs(R.Centre - T.X0) <= R.CentreErr;
    InWidth += std::fabs(R.Width - T.W) <= R.WidthErr;
    InArea += std::fabs(R.Area - T.Area()) <= R.AreaErr;
  }
  for (int In : {InCentre, InWidth, InArea}) {
    EXPECT_GE(In, 20) << "of " << Runs;
    EXPECT_LE(In, 34) << "of " << Runs;
  }
}

TEST(ProfileFit, VoigtLinesWithinTheirErrors) {
  struct Row {
    const char *Name;
    TTruth T;
    double Noise;
  } Rows[] = {
      {"exact, a = 1", {TProfileShape::Voigt, -0.5, 6510.0, 0.5, 1.0}, 0.0},
      {"noisy, a = 0.5", {TProfileShape::Voigt, -0.4, 6510.03, 0.6, 0.5}, 0.005},
      {"noisy emission, a = 0.2", {TProfileShape::Voigt, 2.0, 6508.4, 0.9, 0.2}, 0.02},
  };
  const TFitBaseline B = TFitBaseline::Fixed(1.0);
  unsigned long long Seed = 77;
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.Name);
    const TData D = Synthetic(W.T, B, W.Noise, Seed++);
    const TProfileFitResult R = ToolProfileFit(D.X, D.Y, TProfileShape::Voigt, B);
    ASSERT_TRUE(R.Ok()) << R.Error;
    const double TrueFwhm = W.T.W * VoigtFwhm(W.T.Damping);
    if (W.Noise == 0) {
      EXPECT_NEAR(R.Amplitude, W.T.A, 1e-6);
      EXPECT_NEAR(R.Centre, W.T.X0, 1e-6);
      EXPECT_NEAR(R.Width, W.T.W, 1e-5);
      EXPECT_NEAR(R.Damping, W.T.Damping, 1e-5);
      EXPECT_NEAR(R.Fwhm, TrueFwhm, 1e-5);
      EXPECT_NEAR(R.Area, W.T.Area(), 1e-5);
      continue;
    }
    EXPECT_TRUE(Within("A", R.Amplitude, R.AmplitudeErr, W.T.A));
    EXPECT_TRUE(Within("x0", R.Centre, R.CentreErr, W.T.X0));
    EXPECT_TRUE(Within("D", R.Width, R.WidthErr, W.T.W));
    EXPECT_TRUE(Within("a", R.Damping, R.DampingErr, W.T.Damping));
    EXPECT_TRUE(Within("FWHM", R.Fwhm, R.FwhmErr, TrueFwhm));
    EXPECT_TRUE(Within("area", R.Area, R.AreaErr, W.T.Area()));
    ASSERT_TRUE(R.EW.has_value());
    EXPECT_TRUE(Within("EW", *R.EW, *R.EWErr, -W.T.Area()));
    EXPECT_NEAR(ProfileFitValue(R, B, R.Centre), 1.0 + R.Amplitude, 1e-9);
  }
}

// FWHM of H(a, v) in units of v: 2 sqrt(ln 2) for a = 0 (exp(-v^2)); otherwise compared with the
// approximation of Olivero and Longbothum (JQSRT 17, 233, 1977), accurate to 0.02 %:
// f = 0.5346 fL + sqrt(0.2166 fL^2 + fG^2), with fL = 2a and fG = 2 sqrt(ln 2).
TEST(ProfileFit, VoigtFwhmAgainstPublishedApproximation) {
  const double FG = 2.0 * std::sqrt(std::log(2.0));
  EXPECT_NEAR(VoigtFwhm(0.0), FG, 1e-9);
  for (double A : {0.1, 0.25, 0.5, 1.0, 2.0, 5.0}) {
    const double FL = 2.0 * A, Approx = 0.5346 * FL + std::sqrt(0.2166 * FL * FL + FG * FG);
    EXPECT_NEAR(VoigtFwhm(A), Approx, 3e-4 * Approx) << "a = " << A;
  }
}

TEST(ProfileFit, RefusalsAndBaselines) {
  std::vector<double> X = {1, 2, 3, 4}, Y = {1, 0.5, 0.6, 1};
  const TFitBaseline One = TFitBaseline::Fixed(1.0);
  EXPECT_EQ(ToolProfileFit(X, Y, TProfileShape::Gauss, One).Error, "Select at least 5 points!");
  X.push_back(5);
  Y.push_back(1);
  EXPECT_EQ(ToolProfileFit(X, Y, TProfileShape::Voigt, One).Error, "Select at least 6 points!");
  // Data on the baseline hold no line.
  X = {1, 2, 3, 4, 5, 6, 7};
  Y.assign(7, 1.0);
  EXPECT_EQ(ToolProfileFit(X, Y, TProfileShape::Gauss, One).Error, ProfNoLineText);
  EXPECT_EQ(ProfileFitTexts(ToolProfileFit(X, Y, TProfileShape::Gauss, One)).Centre, "");

  EXPECT_FALSE(BaselineThrough({5, 1}, {5, 2}).has_value());
  const TFitBaseline L = *BaselineThrough({6520, 3}, {6500, 2});
  EXPECT_DOUBLE_EQ(L.Value(6500), 2.0);
  EXPECT_DOUBLE_EQ(L.Value(6510), 2.5);
  EXPECT_DOUBLE_EQ(L.Value(6530), 3.5);
}

} // namespace

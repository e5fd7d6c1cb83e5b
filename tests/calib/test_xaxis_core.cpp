// The x-axis conversions on the core: vacuum and air in standard air, wavenumbers with the
// order reversed, velocities relative to a centre wavelength. Reference values: worked out by
// hand (1e8 / x, (x / c - 1) 299790), and air/vacuum pairs of the Na D and [O III] lines from
// the NIST Atomic Spectra Database (air wavelengths there are from vacuum ones in standard air).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Units/UCiddor.h"
#include "calib/UXAxisCore.h"
#include "core/UErrors.h"
#include "core/USpec32.h"

namespace {

void Fill(TSpec32 &S, const std::vector<double> &X, const std::vector<double> &Y) {
  S.NewSpec("star.fits", static_cast<int32_t>(X.size()), 0, nullptr);
  S.DataX = X;
  S.DataY = Y;
  S.FinishFromArrays();
}

TOpResult Only(const TOpOutcome &O) {
  EXPECT_TRUE(O.Ok());
  EXPECT_EQ(O.Results.size(), 1u);
  return O.Results.front();
}

} // namespace

TEST(XAxisCore, WavenumberReversesTheOrderAndComesBack) {
  TSpec32 S;
  Fill(S, {4000, 5000}, {1, 2});
  TOpOutcome O = OpWavenumber(S);
  const TOpResult &R = Only(O);
  EXPECT_EQ(R.History, "-wnwl");
  ASSERT_EQ(R.X.size(), 2u);
  EXPECT_DOUBLE_EQ(R.X[0], 20000.0);
  EXPECT_DOUBLE_EQ(R.X[1], 25000.0);
  EXPECT_EQ(R.Y, (std::vector<double>{2, 1}));
  // Converting again gives wavelengths with the y-values in their first order.
  TSpec32 W;
  Fill(W, R.X, R.Y);
  const TOpResult &Back = Only(OpWavenumber(W));
  EXPECT_DOUBLE_EQ(Back.X[0], 4000.0);
  EXPECT_DOUBLE_EQ(Back.X[1], 5000.0);
  EXPECT_EQ(Back.Y, (std::vector<double>{1, 2}));
}

TEST(XAxisCore, WavenumberOfAnEquidistantGridIsNotEquidistant) {
  TSpec32 S;
  Fill(S, {4000, 4500, 5000, 5500, 6000}, {1, 2, 3, 4, 5});
  ASSERT_TRUE(S.Equidistant());
  const TOpResult &R = Only(OpWavenumber(S));
  // 1e8/6000 ... 1e8/4000: steps from 1515 to 2500 per cm.
  EXPECT_FALSE(R.Equidistant);
  EXPECT_NEAR(R.X[0], 16666.6666667, 1e-6);
  EXPECT_EQ(R.Y.front(), 5.0);
  // Three points equally spaced in wavenumber stay so.
  TSpec32 Wn;
  Fill(Wn, {1e8 / 25000, 1e8 / 22500, 1e8 / 20000}, {1, 2, 3});
  EXPECT_TRUE(Only(OpWavenumber(Wn)).Equidistant);
}

TEST(XAxisCore, VelocityAgainstHandValues) {
  struct Row {
    double X, Center, Kms;
  } Rows[] = {
      {6562.8, 6562.8, 0.0},
      {6563.8, 6562.8, 1.0 / 6562.8 * 299790}, // 45.6804...
      {6561.8, 6562.8, -1.0 / 6562.8 * 299790},
      {5000.0, 5000.0, 0.0},
      {5100.0, 5000.0, 0.02 * 299790}, // 5995.8
  };
  for (const Row &R : Rows) {
    TSpec32 S;
    Fill(S, {R.X}, {7});
    const TOpResult &V = Only(OpVelocity(S, R.Center));
    EXPECT_EQ(V.History, "-kms");
    EXPECT_NEAR(V.X[0], R.Kms, 1e-9) << R.X << " about " << R.Center;
    EXPECT_EQ(V.Y[0], 7.0);
  }
  TSpec32 S;
  Fill(S, {6563.8}, {1});
  EXPECT_NEAR(Only(OpVelocity(S, 6562.8)).X[0], 45.68, 0.005);
}

TEST(XAxisCore, VelocityKeepsEquidistanceOfALinearGrid) {
  TSpec32 S;
  Fill(S, {6500, 6510, 6520, 6530}, {1, 2, 3, 4});
  const TOpResult &R = Only(OpVelocity(S, 6515));
  EXPECT_TRUE(R.Equidistant);
  EXPECT_EQ(R.Y, S.DataY);
}

TEST(XAxisCore, CenterOutsideProfile) {
  TSpec32 S;
  Fill(S, {6000, 6500, 7000}, {1, 1, 1});
  struct Row {
    double Center;
    bool Outside;
  } Rows[] = {{5000, true}, {5999.999, true}, {6000, false}, {6700, false}, {7000, false}, {7000.001, true}};
  for (const Row &R : Rows)
    EXPECT_EQ(CenterOutsideProfile(S, R.Center), R.Outside) << R.Center;
}

TEST(XAxisCore, ZeroCenterIsRefused) {
  TSpec32 S;
  Fill(S, {6000, 7000}, {1, 1});
  try {
    OpVelocity(S, 0.0);
    ADD_FAILURE() << "a centre of 0 was accepted";
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "Center Wavelength must not be 0");
  }
  EXPECT_NO_THROW(CheckCenterWavelength(-1.0));
}

TEST(XAxisCore, VacuumAndAirAgainstPublishedLines) {
  // NIST ASD: Na I D2 5889.9510 air / 5891.5833 vacuum, Na I D1 5895.9242 / 5897.5581,
  // [O III] 5006.843 / 5008.240. Edlen's standard air agrees with these to about 1e-3 A.
  struct Row {
    double Air, Vac;
  } Rows[] = {{5889.9510, 5891.5833}, {5895.9242, 5897.5581}, {5006.843, 5008.240}};
  std::vector<double> Vac, Air, Y = {1, 2, 3};
  for (const Row &R : Rows) {
    Vac.push_back(R.Vac);
    Air.push_back(R.Air);
  }
  TSpec32 SV, SA;
  Fill(SV, Vac, Y);
  Fill(SA, Air, Y);
  TOpOutcome OA = OpVacToAir(SV), OV = OpAirToVac(SA);
  const TOpResult &ToAir = Only(OA), &ToVac = Only(OV);
  EXPECT_EQ(ToAir.History, "-air");
  EXPECT_EQ(ToVac.History, "-vac");
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(ToAir.X[i], Air[i], 2e-3) << Vac[i];
    EXPECT_NEAR(ToVac.X[i], Vac[i], 2e-3) << Air[i];
    EXPECT_EQ(ToAir.X[i], VacToAirEdlen(Vac[i])); // point by point, nothing else
  }
  EXPECT_EQ(ToAir.Y, Y);
  EXPECT_EQ(ToVac.Y, Y);
}

TEST(XAxisCore, VacuumAirRoundTripOfASpectrum) {
  std::vector<double> X, Y;
  for (int i = 0; i < 2001; ++i) {
    X.push_back(3500.0 + 3.0 * i);
    Y.push_back(std::sin(0.01 * i));
  }
  TSpec32 S;
  Fill(S, X, Y);
  const TOpResult &A = Only(OpVacToAir(S));
  TSpec32 SA;
  Fill(SA, A.X, A.Y);
  const TOpResult &V = Only(OpAirToVac(SA));
  double Worst = 0;
  for (size_t i = 0; i < X.size(); ++i) {
    EXPECT_LT(A.X[i], X[i]);
    Worst = std::max(Worst, std::fabs(V.X[i] - X[i]));
  }
  EXPECT_LT(Worst, 1e-9);
  EXPECT_EQ(V.Y, Y);
  // The shift grows with the wavelength, so the air grid is slightly uneven (1e-5 of the step is
  // 3e-5 A; the shift changes by about 2.7 A over the range).
  EXPECT_FALSE(A.Equidistant);
}

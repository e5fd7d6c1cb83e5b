// The synthetic spectra of New Profile, checked against values worked out by hand, published
// reference values (Faddeeva-function tables, CODATA constants, Wien's law, the Rayleigh optical
// depth of the air) and independent computations in the test itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <numeric>
#include <string>

#include "astro/UBaryCorr.h"
#include "core/UErrors.h"
#include "ops/UGaussNoise.h"
#include "ops/UNewProfileCore.h"

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";

// H(a, x) = (a/pi) Int exp(-t^2)/(a^2 + (x - t)^2) dt by the trapezoidal rule on [-12, 12]
// with step 1e-3: the integrand is smooth, its tails beyond |t| = 12 are below e^-144, so the
// rule is accurate to far better than 1e-9 for a >= 0.5.
double VoigtByQuadrature(double x, double a) {
  const double H = 1e-3;
  double S = 0;
  for (int k = -12000; k <= 12000; ++k) {
    const double T = k * H;
    S += std::exp(-T * T) / (a * a + (x - T) * (x - T));
  }
  return a / std::numbers::pi * S * H;
}

// Planck's law with the CODATA 2018 (exact SI) constants, W m-2 sr-1 per Ångström.
double PlanckPerAngstrom(double LambdaA, double T) {
  const double h = 6.62607015e-34, c = 299792458.0, k = 1.380649e-23;
  const double L = LambdaA * 1e-10; // m
  return 2 * h * c * c / std::pow(L, 5) / (std::exp(h * c / (L * k * T)) - 1) * 1e-10;
}

std::string RaisedText(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "(nothing raised)";
}

} // namespace

TEST(NewProfileGauss, DefaultsAreAUnitGaussianAt768) {
  const TOpResult R = NewGaussVoigt(TGaussParams{});
  ASSERT_EQ(R.X.size(), 1536u);
  ASSERT_EQ(R.Y.size(), 1536u);
  EXPECT_TRUE(R.Equidistant);
  EXPECT_TRUE(R.History.empty());
  int BadX = 0;
  for (int i = 0; i < 1536; ++i)
    if (std::fabs(R.X[i] - i) > 1e-12) ++BadX;
  EXPECT_EQ(BadX, 0) << "x = 0 ... 1535 (to rounding: x = from + i/(N-1) (to - from))";
  EXPECT_NEAR(R.Y[768], 1.0, 1e-15);
  // One and two standard deviations from the centre: exp(-1/2), exp(-2).
  EXPECT_NEAR(R.Y[763], std::exp(-0.5), 1e-15);
  EXPECT_NEAR(R.Y[773], std::exp(-0.5), 1e-15);
  EXPECT_NEAR(R.Y[778], std::exp(-2.0), 1e-15);
  EXPECT_EQ(*std::max_element(R.Y.begin(), R.Y.end()), 1.0);
  EXPECT_LT(R.Y[0], 1e-300); // 153.6 sd away
}

TEST(NewProfileGauss, BaselineSlopeAndAmplitude) {
  TGaussParams P;
  P.Points = 11;
  P.FromX = 10;
  P.ToX = 20;
  P.PosX = 15;
  P.Ampl = 2.5;
  P.SD = 1;
  P.Bias = 3;
  P.Slope = -0.5;
  const TOpResult R = NewGaussVoigt(P);
  for (int i = 0; i < 11; ++i) {
    const double X = 10 + i;
    EXPECT_DOUBLE_EQ(R.X[i], X) << i;
    EXPECT_NEAR(R.Y[i], 2.5 * std::exp(-0.5 * (X - 15) * (X - 15)) - 0.5 * X + 3, 1e-14) << i;
  }
}

TEST(NewProfileGauss, VoigtMatchesTabulatedAndIntegratedValues) {
  // sd = 1/sqrt 2 makes the distance in Doppler widths equal to x - x0.
  TGaussParams P;
  P.Points = 21;
  P.FromX = -10;
  P.ToX = 10;
  P.PosX = 0;
  P.SD = std::numbers::sqrt2 / 2;
  P.VoigtA = 1;
  const TOpResult R = NewGaussVoigt(P);
  // H(1, x) = Re w(x + 1i), the Faddeeva function as tabulated by Abramowitz and Stegun
  // (Table 7.9), here to ten digits (mpmath): w(1i) = exp(1) erfc(1) = 0.4275835762,
  // Re w(1 + 1i) = 0.3047442053, Re w(2 + 1i) = 0.1402395814.
  struct Row {
    int Index;
    double H;
  } Rows[] = {{10, 0.4275835762}, {11, 0.3047442053}, {9, 0.3047442053}, {12, 0.1402395814}};
  for (const Row &W : Rows)
    EXPECT_NEAR(R.Y[W.Index], W.H, 2e-7) << "x = " << R.X[W.Index];
  for (int i = 0; i < 21; ++i)
    EXPECT_NEAR(R.Y[i], VoigtByQuadrature(R.X[i], 1.0), 1e-6) << "x = " << R.X[i];
  // Defaults with a = 1: the peak height is H(1, 0) times the amplitude.
  TGaussParams D;
  D.VoigtA = 1;
  D.Ampl = 2;
  EXPECT_NEAR(NewGaussVoigt(D).Y[768], 2 * 0.4275835762, 4e-7);
}

TEST(NewProfileGauss, NegativeSdMakesTheSameProfiles) {
  for (double A : {0.0, 0.5}) {
    TGaussParams P;
    P.Points = 101;
    P.FromX = 718;
    P.ToX = 818;
    P.VoigtA = A;
    TGaussParams N = P;
    N.SD = -P.SD;
    EXPECT_EQ(NewGaussVoigt(P).Y, NewGaussVoigt(N).Y) << "a = " << A;
  }
}

TEST(NewProfileGauss, NoiseHasTheRequestedSpread) {
  SeedShuffledUniform(12345);
  TGaussParams P;
  P.Ampl = 0;
  P.Bias = 5;
  P.Noise = 0.1;
  P.Points = 20000;
  P.ToX = 19999;
  const TOpResult R = NewGaussVoigt(P);
  const double Mean = std::accumulate(R.Y.begin(), R.Y.end(), 0.0) / R.Y.size();
  double Var = 0;
  for (double V : R.Y)
    Var += (V - Mean) * (V - Mean);
  const double Sd = std::sqrt(Var / (R.Y.size() - 1));
  // The standard errors are 0.1/sqrt(20000) = 7e-4 for the mean and 5e-4 for the sd.
  EXPECT_NEAR(Mean, 5, 0.004);
  EXPECT_NEAR(Sd, 0.1, 0.003);
}

TEST(NewProfileSin, DefaultsAreOnePeriodOfAmplitudeOne) {
  const TOpResult R = NewSin(TSinParams{});
  ASSERT_EQ(R.X.size(), 1024u);
  EXPECT_TRUE(R.Equidistant);
  EXPECT_EQ(R.X[0], 0);
  EXPECT_EQ(R.X[1023], 1023);
  EXPECT_EQ(R.Y[0], 0);
  EXPECT_EQ(R.Y[256], 1);
  EXPECT_NEAR(R.Y[512], 0, 1e-15);
  EXPECT_EQ(R.Y[768], -1);
  EXPECT_NEAR(R.Y[128], std::sqrt(0.5), 1e-15);
}

TEST(NewProfileSin, TwoSinesWithPhases) {
  // 1 sin(2 pi i/8 + 0) + 0.5 sin(2 * 2 pi i/8 + 90 deg) = sin(pi i/4) + 0.5 cos(pi i/2).
  TSinParams P;
  P.Points = 8;
  P.Ampl2 = 0.5;
  P.Phase2 = 90;
  const double S = std::sqrt(0.5);
  const double Want[8] = {0.5, S, 0.5, S, 0.5, -S, -1.5, -S};
  const TOpResult R = NewSin(P);
  for (int i = 0; i < 8; ++i)
    EXPECT_NEAR(R.Y[i], Want[i], 1e-14) << i;
  // A phase of 180 degrees turns the first sine over.
  P.Ampl2 = 0;
  P.Phase1 = 180;
  EXPECT_NEAR(NewSin(P).Y[2], -1, 1e-15);
}

TEST(NewProfilePlanck, DefaultsHave801PointsOfMeanOne) {
  const TOpResult R = NewPlanck(TPlanckParams{});
  ASSERT_EQ(R.X.size(), 801u);
  EXPECT_TRUE(R.Equidistant);
  EXPECT_DOUBLE_EQ(R.X[0], 4000);
  EXPECT_DOUBLE_EQ(R.X[200], 5000);
  EXPECT_DOUBLE_EQ(R.X[800], 8000);
  EXPECT_NEAR(std::accumulate(R.Y.begin(), R.Y.end(), 0.0) / 801, 1.0, 1e-13);
  EXPECT_EQ(std::string(PlanckName), "Planck");
}

TEST(NewProfilePlanck, RadianceFollowsPlancksLaw) {
  struct Row {
    double T, From, To, Step;
  } Rows[] = {
      {6000, 4000, 8000, 5}, {3000, 5000, 20000, 100}, {20000, 1000, 3000, 10}, {300, 50000, 300000, 5000}};
  for (const Row &W : Rows) {
    TPlanckParams P;
    P.Temp = W.T;
    P.From = W.From;
    P.To = W.To;
    P.Step = W.Step;
    P.Scaling = TPlanckScaling::Radiance;
    const TOpResult R = NewPlanck(P);
    int Bad = 0;
    for (size_t i = 0; i < R.X.size(); ++i) {
      const double Want = PlanckPerAngstrom(R.X[i], W.T);
      // The program's CODATA 2010 constants differ from the exact 2018 ones by < 1e-7.
      if (!(std::fabs(R.Y[i] / Want - 1) < 1e-6)) {
        ++Bad;
        ADD_FAILURE() << "T " << W.T << " x " << R.X[i] << ": " << R.Y[i] << " want " << Want;
      }
    }
    EXPECT_EQ(Bad, 0);
  }
  TPlanckParams P;
  P.Scaling = TPlanckScaling::Radiance;
  const double At5000 = NewPlanck(P).Y[200];
  EXPECT_GT(At5000, 3.15e3);
  EXPECT_LT(At5000, 3.2e3);
}

TEST(NewProfilePlanck, MaximumWhereWiensLawPutsIt) {
  // lambda_max = b/T with b = 2.897771955e-3 m K (CODATA 2018): 4829.6 Å at 6000 K.
  TPlanckParams P;
  P.Step = 0.5;
  P.Scaling = TPlanckScaling::Radiance;
  const TOpResult R = NewPlanck(P);
  const size_t K = std::max_element(R.Y.begin(), R.Y.end()) - R.Y.begin();
  EXPECT_NEAR(R.X[K], 2.897771955e-3 / 6000 * 1e10, 0.5);
}

TEST(NewProfileAtmosphere, RayleighAtTheSeaLevelAndAbove) {
  TAtmosphereParams P;
  P.Height = 0;
  const TOpResult R = NewAtmosphere(P);
  ASSERT_EQ(R.X.size(), 801u);
  EXPECT_EQ(R.X[200], 5000);
  EXPECT_EQ(R.X[800], 8000);
  // By hand at 0.5 µm: m = 4, r = 0.23465 + 107.6/142 + 0.93161/37 = 1.017575,
  // A = r^2 0.0094977 m^2 = 0.157352 mag, y = 10^(-0.4 A) = 0.865086.
  EXPECT_NEAR(R.Y[200], 0.865086, 2e-6);
  // Bucholtz (1995, Appl. Opt. 34, 2765): Rayleigh optical depth 0.1452 at 500 nm, y = e^-tau.
  EXPECT_NEAR(R.Y[200], std::exp(-0.1452), 2e-3);
  // Scattering falls with the wavelength: the transmission rises monotonically.
  EXPECT_TRUE(std::is_sorted(R.Y.begin(), R.Y.end()));
  // One scale height up, the extinction in magnitudes is 1/e of the sea-level value.
  P.Height = 7.996;
  const TOpResult U = NewAtmosphere(P);
  EXPECT_NEAR(std::log(U.Y[200]), std::log(R.Y[200]) / std::numbers::e, 1e-14);
}

TEST(NewProfileAtmosphere, OzoneAndAerosols) {
  TAtmosphereParams P;
  P.Mode = TAtmosphereMode::Aerosols;
  const TOpResult A = NewAtmosphere(P);
  // x[300] = 5500 Å, the reference wavelength: y = exp(-AOD); at 4400 Å the depth grows by
  // 0.8^-1.3.
  EXPECT_EQ(A.X[300], 5500);
  EXPECT_NEAR(A.Y[300], std::exp(-0.13), 1e-14);
  EXPECT_NEAR(A.Y[300], 0.878, 5e-4);
  EXPECT_NEAR(A.Y[80], std::exp(-0.13 * std::pow(0.8, -1.3)), 1e-14);
  P.Mode = TAtmosphereMode::Ozone;
  const TOpResult O = NewAtmosphere(P);
  // Deepest at the band centre 5900 Å: exp(-0.0168); at 4000 Å exp(-0.0168 e^-2.85).
  EXPECT_EQ(O.X[380], 5900);
  EXPECT_NEAR(O.Y[380], std::exp(-0.0168), 1e-14);
  EXPECT_EQ(*std::min_element(O.Y.begin(), O.Y.end()), O.Y[380]);
  EXPECT_NEAR(O.Y[0], std::exp(-0.0168 * std::exp(-2.85)), 1e-14);
  EXPECT_EQ(std::string(AtmosphereName(TAtmosphereMode::Rayleigh)), "Rayleigh");
  EXPECT_EQ(std::string(AtmosphereName(TAtmosphereMode::Ozone)), "Ozone");
  EXPECT_EQ(std::string(AtmosphereName(TAtmosphereMode::Aerosols)), "Aerosols");
}

TEST(NewProfileGrid, PointCounts) {
  struct Row {
    double From, To, Step;
    int32_t N;
  } Rows[] = {
      {4000, 8000, 5, 801}, {4000, 8003, 5, 802}, // the last point, 8005, is the first at or beyond To
      {4000, 4000, 5, 1},   {4.998, 8.489, 0.00005, 69822}, // the division gives 69820.00000000001
      {0.4, 0.6, 0.1, 3},   {-5, 5, 2.5, 5},
  };
  for (const Row &W : Rows)
    EXPECT_EQ(GridPoints(W.From, W.To, W.Step), W.N) << W.From << " " << W.To << " " << W.Step;
}

TEST(NewProfileRefusals, ClearMessagesInsteadOfFaults) {
  struct Row {
    const char *What;
    std::function<void()> Make;
    std::string Text;
  };
  auto Gauss = [](auto Change) {
    return [Change] {
      TGaussParams P;
      Change(P);
      NewGaussVoigt(P);
    };
  };
  auto Sin = [](auto Change) {
    return [Change] {
      TSinParams P;
      Change(P);
      NewSin(P);
    };
  };
  auto Planck = [](auto Change) {
    return [Change] {
      TPlanckParams P;
      Change(P);
      NewPlanck(P);
    };
  };
  auto Atm = [](auto Change) {
    return [Change] {
      TAtmosphereParams P;
      Change(P);
      NewAtmosphere(P);
    };
  };
  const std::string Gauss2 = "A Gaussian / Voigt profile needs at least 2 points";
  Row Rows[] = {
      {"gauss 1 point", Gauss([](TGaussParams &P) { P.Points = 1; }), Gauss2},
      {"gauss 0 points", Gauss([](TGaussParams &P) { P.Points = 0; }), Gauss2},
      {"gauss -3 points", Gauss([](TGaussParams &P) { P.Points = -3; }), Gauss2},
      {"gauss sd 0", Gauss([](TGaussParams &P) { P.SD = 0; }), "The standard deviation must not be 0"},
      {"voigt sd 0", Gauss([](TGaussParams &P) {
         P.SD = 0;
         P.VoigtA = 1;
       }),
       "The standard deviation must not be 0"},
      {"gauss noise", Gauss([](TGaussParams &P) { P.Noise = -0.1; }), "The noise must not be negative"},
      {"gauss huge", Gauss([](TGaussParams &P) { P.Points = 200000000; }),
       "Too many points: 200000000 (at most 100000000)"},
      {"sin 0 points", Sin([](TSinParams &P) { P.Points = 0; }), "A Sin profile needs at least 1 point"},
      {"sin noise", Sin([](TSinParams &P) { P.Noise = -1; }), "The noise must not be negative"},
      {"planck step 0", Planck([](TPlanckParams &P) { P.Step = 0; }), "The step must be positive"},
      {"planck step < 0", Planck([](TPlanckParams &P) { P.Step = -5; }), "The step must be positive"},
      {"planck to < from", Planck([](TPlanckParams &P) { P.To = 3999; }), "To must not be below From"},
      {"planck huge", Planck([](TPlanckParams &P) {
         P.To = 1e9;
         P.Step = 1;
       }),
       "Too many points: 999996001 (at most 100000000)"},
      {"planck from 0", Planck([](TPlanckParams &P) { P.From = 0; }), "The wavelengths must be positive"},
      {"planck 0 K", Planck([](TPlanckParams &P) { P.Temp = 0; }), "The temperature must be positive"},
      {"planck 1 K", Planck([](TPlanckParams &P) { P.Temp = 1; }),
       "The radiance is 0 over the whole interval: it cannot be scaled to a mean of 1"},
      {"atm step 0", Atm([](TAtmosphereParams &P) { P.Step = 0; }), "The step must be positive"},
      {"atm to < from", Atm([](TAtmosphereParams &P) { P.To = 100; }), "To must not be below From"},
      {"atm from < 0", Atm([](TAtmosphereParams &P) { P.From = -10; }), "The wavelengths must be positive"},
      {"atm huge", Atm([](TAtmosphereParams &P) { P.Step = 1e-5; }),
       "Too many points: 400000001 (at most 100000000)"},
  };
  for (const Row &W : Rows)
    EXPECT_EQ(RaisedText(W.Make), W.Text) << W.What;
  // At 1 K the radiance in W m-2 sr-1 Å-1 is simply 0, which is not refused.
  TPlanckParams Cold;
  Cold.Temp = 1;
  Cold.Scaling = TPlanckScaling::Radiance;
  EXPECT_EQ(NewPlanck(Cold).Y[0], 0.0);
}

class NewProfileRV : public ::testing::Test {
protected:
  static void SetUpTestSuite() { BC = new TBaryCorr(EphFile); }
  static void TearDownTestSuite() {
    delete BC;
    BC = nullptr;
  }
  static TRVParams Keck() {
    TRVParams P;
    P.Start = {2016, 6, 4, 0, 0, 0};
    P.RaText = "0 19 32.1";
    P.DeText = "+35 2 37.1";
    P.TAImUTC = 36;
    P.Lon = 155.4783;
    P.Lat = 19.8283;
    P.Height = 4160;
    return P;
  }
  static TBaryCorr *BC;
};
TBaryCorr *NewProfileRV::BC = nullptr;

TEST_F(NewProfileRV, EachPointIsTheBarycentricCorrectionOfItsInstant) {
  TRVParams P = Keck();
  P.Interval = 0.25;
  P.Points = 9;
  const TOpResult R = NewRadialVelocity(*BC, P);
  ASSERT_EQ(R.X.size(), 9u);
  EXPECT_TRUE(R.Equidistant);
  // 2016-06-04 0h UTC is JD 2457543.5, MJD 57543.
  EXPECT_EQ(R.X[0], 57543.0);
  EXPECT_EQ(R.X[8], 57545.0);
  // The same instants through the barycentric dialog's calculation.
  const TDateTimeInt Instants[] = {{2016, 6, 4, 0, 0, 0}, {2016, 6, 4, 6, 0, 0}, {2016, 6, 5, 18, 0, 0}};
  const int Index[] = {0, 1, 7};
  for (int k = 0; k < 3; ++k) {
    TBaryInput In;
    In.DateTime = Instants[k];
    In.RaText = P.RaText;
    In.DeText = P.DeText;
    In.TAImUTC = P.TAImUTC;
    In.Lon = P.Lon;
    In.Lat = P.Lat;
    In.Height = P.Height;
    const TBaryResult B = CalculateCorrection(*BC, In);
    EXPECT_NEAR(R.Y[Index[k]], B.distdot, 1e-9) << "point " << Index[k];
  }
}

TEST_F(NewProfileRV, AnnualSwingOnTheEclipticAndNoneAtItsPole) {
  // The Earth's orbital speed, 29.8 km/s, lies in the ecliptic: a star on it sees about
  // +-30 km/s over a year, one at the ecliptic pole (RA 18h, Dec +66 33 39) only the rotation
  // of the Earth, below 0.5 km/s.
  TRVParams P = Keck();
  P.Start = {2010, 1, 1, 0, 0, 0};
  P.Points = 366;
  P.RaText = "6 0 0";
  P.DeText = "+23 26 21";
  const TOpResult E = NewRadialVelocity(*BC, P);
  EXPECT_GT(*std::max_element(E.Y.begin(), E.Y.end()), 28.5);
  EXPECT_LT(*std::min_element(E.Y.begin(), E.Y.end()), -28.5);
  EXPECT_LT(*std::max_element(E.Y.begin(), E.Y.end()), 31.5);
  P.RaText = "18 0 0";
  P.DeText = "+66 33 39";
  const TOpResult Pole = NewRadialVelocity(*BC, P);
  for (double V : Pole.Y)
    ASSERT_LT(std::fabs(V), 0.5);
}

TEST_F(NewProfileRV, Refusals) {
  TRVParams P = Keck();
  P.Points = 0;
  EXPECT_EQ(RaisedText([&] { NewRadialVelocity(*BC, P); }), "A radial velocity curve needs at least 1 point");
  // A curve that runs out of the ephemeris is refused as a whole.
  P = Keck();
  P.Start = {2049, 6, 1, 0, 0, 0};
  P.Interval = 365;
  P.Points = 3;
  EXPECT_EQ(RaisedText([&] { NewRadialVelocity(*BC, P); }), "Requested JED not within ephemeris limits");
}

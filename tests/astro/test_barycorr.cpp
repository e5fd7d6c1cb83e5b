// The barycentric correction: calendar, sidereal time, precession and the observer's state
// against ERFA and Meeus, and the whole correction against published reference values.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include <erfa.h>

#include "astro/UBaryCorr.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";
constexpr double Pi = std::numbers::pi;

std::string ErrorOf(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "";
}

class BaryCorr : public ::testing::Test {
protected:
  static void SetUpTestSuite() { BC = new TBaryCorr(EphFile); }
  static void TearDownTestSuite() {
    delete BC;
    BC = nullptr;
  }
  void SetUp() override { BC->SetObserver(37, 0, 0, 0); }
  static TBaryCorr *BC;
};
TBaryCorr *BaryCorr::BC = nullptr;

// TAI - UTC from ERFA's table of leap seconds.
double TaiUtc(int Y, int M, int D) {
  double Dat = 0;
  eraDat(Y, M, D, 0.0, &Dat);
  return Dat;
}

} // namespace

// Julian dates of Meeus, Astronomical Algorithms (2nd ed.), p. 62, as MJD: both calendars,
// negative years, fractions of a day; exact to 1e-9 day (the resolution of the JD doubles).
TEST_F(BaryCorr, UTCToMJDMatchesMeeusTable) {
  struct {
    TDateTimeInt DT;
    double JD;
  } Rows[] = {
      {{2000, 1, 1, 12, 0, 0}, 2451545.0},     {{1999, 1, 1, 0, 0, 0}, 2451179.5},
      {{1987, 1, 27, 0, 0, 0}, 2446822.5},     {{1987, 6, 19, 12, 0, 0}, 2446966.0},
      {{1988, 1, 27, 0, 0, 0}, 2447187.5},     {{1988, 6, 19, 12, 0, 0}, 2447332.0},
      {{1900, 1, 1, 0, 0, 0}, 2415020.5},      {{1600, 1, 1, 0, 0, 0}, 2305447.5},
      {{1600, 12, 31, 0, 0, 0}, 2305812.5},    {{837, 4, 10, 7, 12, 0}, 2026871.8},
      {{-1000, 7, 12, 12, 0, 0}, 1356001.0},   {{-1000, 2, 29, 0, 0, 0}, 1355866.5},
      {{-1001, 8, 17, 21, 36, 0}, 1355671.4},  {{-4712, 1, 1, 12, 0, 0}, 0.0},
      {{1957, 10, 4, 19, 26, 24}, 2436116.31}, {{333, 1, 27, 12, 0, 0}, 1842713.0},
      {{1582, 10, 15, 0, 0, 0}, 2299160.5},    {{1582, 10, 4, 0, 0, 0}, 2299159.5},
  };
  for (const auto &R : Rows) {
    const double MJD = BC->UTCToMJD(R.DT);
    EXPECT_NEAR(MJD, R.JD - 2400000.5, 1e-9) << R.DT.Year << "-" << R.DT.Month << "-" << R.DT.Day;
  }
  EXPECT_EQ(BC->UTCToMJD({2000, 1, 1, 12, 0, 0}), 51544.5);
}

// Gregorian dates 1583 ... 2200 against eraCal2jd, with the time of day.
TEST_F(BaryCorr, UTCToMJDMatchesErfaCal2jd) {
  std::mt19937 Rng(7);
  int Bad = 0;
  for (int k = 0; k < 2000; ++k) {
    const TDateTimeInt DT{static_cast<int>(1583 + Rng() % 618), static_cast<int>(1 + Rng() % 12),
                          static_cast<int>(1 + Rng() % 28),     static_cast<int>(Rng() % 24),
                          static_cast<int>(Rng() % 60),         static_cast<int>(Rng() % 60)};
    double D0, D1;
    ASSERT_EQ(eraCal2jd(DT.Year, DT.Month, DT.Day, &D0, &D1), 0);
    const double Want = D1 + (DT.Hour * 3600 + DT.Minute * 60 + DT.Second) / 86400.0;
    if (std::fabs(BC->UTCToMJD(DT) - Want) > 1e-9) ++Bad;
  }
  EXPECT_EQ(Bad, 0);
}

TEST_F(BaryCorr, CalendarReformGap) {
  for (int Day = 5; Day <= 14; ++Day)
    EXPECT_EQ(ErrorOf([&] { BC->UTCToMJD({1582, 10, Day, 0, 0, 0}); }), "Illegal Date in UTToJD") << Day;
  EXPECT_EQ(ErrorOf([&] { BC->UTCToMJD({1582, 10, 4, 23, 59, 59}); }), "");
  EXPECT_EQ(ErrorOf([&] { BC->UTCToMJD({1582, 10, 15, 0, 0, 0}); }), "");
  double JD, MST, Dist, DistDot, DTime;
  EXPECT_EQ(ErrorOf([&] {
              BC->Calculate({1582, 10, 10, 0, 0, 0}, 0, 0, JD, MST, Dist, DistDot, DTime);
            }),
            "Illegal Date in UTToJD");
}

// Meeus examples 12.a and 12.b (1987 April 10, 0h and 19:21 UT): mean sidereal time at
// Greenwich 13h10m46.3668s and 8h34m57.0896s, given to 1e-4 s.
TEST_F(BaryCorr, SidTimeMatchesMeeusExamples) {
  const double SecToRad = 2 * Pi / 86400;
  struct {
    TDateTimeInt DT;
    double Sec;
  } Rows[] = {{{1987, 4, 10, 0, 0, 0}, 13 * 3600 + 10 * 60 + 46.3668},
              {{1987, 4, 10, 19, 21, 0}, 8 * 3600 + 34 * 60 + 57.0896}};
  for (const auto &R : Rows)
    EXPECT_NEAR(BC->SidTime(BC->UTCToMJD(R.DT)), R.Sec * SecToRad, 1.5e-4 * SecToRad) << R.Sec;
}

// Against eraGmst82 (the same IAU 1982 expression in another form), with the longitude
// subtracted (positive west) and the result in [0, 2 pi).
TEST_F(BaryCorr, SidTimeMatchesErfaGmst82) {
  std::mt19937_64 Rng(3);
  std::uniform_real_distribution<double> U(33281.0, 69807.0); // 1950 ... 2050
  for (double Lon : {0.0, 155.4783, -70.403, 359.9}) {
    BC->SetObserver(37, Lon, 0, 0);
    double MaxErr = 0;
    for (int k = 0; k < 1000; ++k) {
      const double MJD = U(Rng);
      double Want = std::fmod(eraGmst82(2400000.5, MJD) - Lon * Pi / 180, 2 * Pi);
      if (Want < 0) Want += 2 * Pi;
      const double Got = BC->SidTime(MJD);
      ASSERT_GE(Got, 0);
      ASSERT_LT(Got, 2 * Pi);
      double D = std::fabs(Got - Want);
      D = std::min(D, 2 * Pi - D);
      MaxErr = std::max(MaxErr, D);
    }
    // The rate 360.98564736629 deg/day is IAU 1982's rounded to 1e-11: up to 1.3e-9 rad
    // (0.3 mas) apart over 1950 ... 2050.
    EXPECT_LT(MaxErr, 2e-9) << "longitude " << Lon;
  }
}

// The IAU 1976 precession from the date to J2000 is the transpose of eraPmat76 (J2000 to the
// date); the two forms of the Lieske polynomials agree to 1e-9 over a century either side.
TEST(Precession, InverseOfErfaPmat76) {
  for (double T : {-1.0, -0.5, -0.01, 0.0, 0.16, 0.5, 1.0}) {
    double P[3][3], R[3][3];
    PrecessDateToJ2000(T, P);
    eraPmat76(2451545.0, T * 36525.0, R);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(P[i][j], R[j][i], 1e-9) << "T=" << T << " " << i << j;
  }
}

// The observer's geocentric state against ERFA: eraGd2gce on the same ellipsoid (a = 6378.14,
// b = 6356.755 km), rotated by the local sidereal time (eraGmst82) and precessed to J2000
// (eraPmat76); the velocity is the rotation rate times the radius about the axis.
TEST_F(BaryCorr, ObserverStateMatchesErfa) {
  const double A = 6378.14, F = 1 - 6356.755 / 6378.14, Omega = 7.292115855306663e-05;
  struct {
    double Lon, Lat, Height;
  } Sites[] = {{0, 0, 0}, {155.4783, 19.8283, 4160}, {70.403, -24.6252, 2635}, {-10, 53.5, 40}, {0, 90, 0}};
  for (const auto &S : Sites) {
    BC->SetObserver(37, S.Lon, S.Lat, S.Height);
    for (double MJD : {40000.25, 51544.5, 60000.9}) {
      double XYZ[3];
      ASSERT_EQ(eraGd2gce(A, F, 0.0, S.Lat * Pi / 180, S.Height / 1000, XYZ), 0);
      const double Rho = std::hypot(XYZ[0], XYZ[1]);
      const double Lst = eraGmst82(2400000.5, MJD) - S.Lon * Pi / 180;
      const double Date[6] = {Rho * std::cos(Lst),          Rho * std::sin(Lst),         XYZ[2],
                              -Rho * std::sin(Lst) * Omega, Rho * std::cos(Lst) * Omega, 0};
      double R[3][3], Want[6];
      eraPmat76(2400000.5, MJD, R);
      for (int v = 0; v < 2; ++v)
        for (int i = 0; i < 3; ++i)
          Want[3 * v + i] = R[0][i] * Date[3 * v] + R[1][i] * Date[3 * v + 1] + R[2][i] * Date[3 * v + 2];
      double OS[6], MST;
      BC->ObserverState(MJD, OS, MST);
      for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(OS[i], Want[i], 1e-5) << "lat " << S.Lat << " MJD " << MJD << " i " << i; // 1 cm
        EXPECT_NEAR(OS[i + 3], Want[i + 3], 1e-9) << "lat " << S.Lat << " MJD " << MJD;       // 1 um/s
      }
      EXPECT_NEAR(MST, BC->SidTime(MJD) * 12 / Pi, 1e-12);
    }
  }
}

// Published corrections. This correction is the classical one: it leaves out the special-
// and general-relativistic terms (time dilation, the Sun's and the Earth's gravitational
// potential) that the references include and that amount to a few m/s, and it uses GMST and
// UTC for UT1; hence 6 m/s.
TEST_F(BaryCorr, PublishedReferenceCorrections) {
  double JD, MST, Dist, DistDot, DTime;
  // astropy's documented example of SkyCoord.radial_velocity_correction: Keck (W. M. Keck
  // Observatory), 2016-06-04 00:00 UTC, RA 4.88375, Dec 35.0436389: 20.077135 km/s.
  BC->SetObserver(TaiUtc(2016, 6, 4), 155.4783, 19.8283, 4160);
  BC->Calculate({2016, 6, 4, 0, 0, 0}, 4.88375, 35.0436389, JD, MST, Dist, DistDot, DTime);
  EXPECT_NEAR(DistDot, 20.077135, 0.006);
  EXPECT_EQ(JD, 2457543.5);
  // Wright & Eastman's barycorr as used in astropy's own tests: Paranal, JD(UTC) 2457244.5,
  // RA 180, Dec -85: -10.33593326 km/s.
  BC->SetObserver(TaiUtc(2015, 8, 10), 70.403, -24.6252, 2635);
  BC->Calculate(2457244.5 - 2400000.5, 180.0, -85.0, JD, MST, Dist, DistDot, DTime);
  EXPECT_NEAR(DistDot, -10.33593326, 0.006);
}

// The Earth's orbital velocity lies in the ecliptic: towards the ecliptic pole only the
// rotation (at most 0.47 km/s) and the small out-of-plane motions remain; towards a star on
// the ecliptic the orbit gives the annual swing of about 30 km/s either way.
TEST_F(BaryCorr, EclipticPoleAndEcliptic) {
  BC->SetObserver(37, 0, 0, 0);                    // on the equator: the largest rotational velocity
  const double PoleRa = 270.0, PoleDe = 66.560708; // north ecliptic pole, J2000
  const double EclRa = 90.0, EclDe = 23.439281;    // ecliptic longitude 90
  double MaxPole = 0, MinEcl = 1e9, MaxEcl = -1e9;
  for (double MJD = 33300; MJD < 69800; MJD += 9.7) {
    double JD, MST, Dist, DistDot, DTime;
    BC->Calculate(MJD, PoleRa, PoleDe, JD, MST, Dist, DistDot, DTime);
    MaxPole = std::max(MaxPole, std::fabs(DistDot));
    BC->Calculate(MJD, EclRa, EclDe, JD, MST, Dist, DistDot, DTime);
    MinEcl = std::min(MinEcl, DistDot);
    MaxEcl = std::max(MaxEcl, DistDot);
  }
  EXPECT_LT(MaxPole, 0.5);
  EXPECT_GT(MaxEcl, 29.0);
  EXPECT_LT(MaxEcl, 31.0);
  EXPECT_LT(MinEcl, -29.0);
  EXPECT_GT(MinEcl, -31.0);
}

// At the geographic pole the site does not move about the axis: the correction is the
// Earth's barycentric velocity along the line of sight alone.
TEST_F(BaryCorr, PoleSiteHasNoRotationalVelocity) {
  BC->SetObserver(37, 40, 90, 2000);
  for (double MJD : {40000.1, 51544.5, 59000.77}) {
    double JD, MST, Dist, DistDot, DTime, E[6];
    BC->Calculate(MJD, 123.0, -30.0, JD, MST, Dist, DistDot, DTime);
    BC->EarthState(MJD, E);
    const double De = -30.0 * Pi / 180, Ra = 123.0 * Pi / 180;
    const double N[3] = {std::cos(De) * std::cos(Ra), std::cos(De) * std::sin(Ra), std::sin(De)};
    EXPECT_NEAR(DistDot, E[3] * N[0] + E[4] * N[1] + E[5] * N[2], 1e-12);
    double OS[6];
    BC->ObserverState(MJD, OS, MST);
    EXPECT_LT(std::hypot(OS[3], OS[4], OS[5]), 1e-15);
  }
}

TEST_F(BaryCorr, KmFlagIsRestoredOnEveryPath) {
  double JD, MST, Dist, DistDot, DTime;
  for (bool Km : {false, true}) {
    BC->JplEph().SetKm(Km);
    BC->Calculate(51544.5, 10, 10, JD, MST, Dist, DistDot, DTime);
    EXPECT_EQ(BC->JplEph().IsKm(), Km);
    EXPECT_EQ(ErrorOf([&] {
                BC->Calculate({2051, 1, 1, 0, 0, 0}, 10, 10, JD, MST, Dist, DistDot, DTime);
              }),
              "Requested JED not within ephemeris limits");
    EXPECT_EQ(BC->JplEph().IsKm(), Km);
  }
  BC->JplEph().SetKm(false);
  EXPECT_EQ(ErrorOf([&] {
              BC->Calculate({1949, 12, 13, 23, 0, 0}, 10, 10, JD, MST, Dist, DistDot, DTime);
            }),
            "Requested JED not within ephemeris limits");
}

// Both forms agree; the light time and the distance are the same projection.
TEST_F(BaryCorr, BothFormsAndTheDerivedValues) {
  BC->SetObserver(36, -11.5, 48.1, 520);
  double A[5], B[5];
  BC->Calculate({2019, 3, 21, 22, 30, 15}, 213.9, 19.18, A[0], A[1], A[2], A[3], A[4]);
  BC->Calculate(BC->UTCToMJD({2019, 3, 21, 22, 30, 15}), 213.9, 19.18, B[0], B[1], B[2], B[3], B[4]);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(A[i], B[i]) << i;
  double D0, D1;
  ASSERT_EQ(eraCal2jd(2019, 3, 21, &D0, &D1), 0);
  EXPECT_NEAR(A[0], D0 + D1 + (22 * 3600 + 30 * 60 + 15) / 86400.0, 1e-8);
  EXPECT_NEAR(A[4], A[2] * 149597870.691 / 299792.458, 1e-9);
  EXPECT_GE(A[1], 0);
  EXPECT_LT(A[1], 24);
  EXPECT_LT(std::fabs(A[2]), 1.02); // never more than the Earth's distance from the barycentre
}

// The dialog's "Calculate Correction": texts in the dialog's formats from the same numbers.
TEST_F(BaryCorr, CalculateCorrectionTexts) {
  TBaryInput In;
  In.DateTime = {2016, 6, 4, 0, 0, 0};
  In.RaText = "0 19 32.1";
  In.DeText = "+35 2 37.1";
  In.TAImUTC = 36;
  In.Lon = 155.4783;
  In.Lat = 19.8283;
  In.Height = 4160;
  const TBaryResult R = CalculateCorrection(*BC, In);
  EXPECT_NEAR(R.Ra, (19 + 32.1 / 60) / 60 * 15, 1e-12);
  EXPECT_NEAR(R.De, 35 + 2 / 60.0 + 37.1 / 3600, 1e-12);
  double JD, MST, Dist, DistDot, DTime;
  BC->Calculate(In.DateTime, R.Ra, R.De, JD, MST, Dist, DistDot, DTime);
  EXPECT_EQ(R.distdot, DistDot);
  EXPECT_EQ(R.RVFac, DistDot / 299792.458 + 1);
  EXPECT_EQ(R.JDText, "2457543.50000");
  EXPECT_EQ(R.RadVelText, Format("%1.3f", DistDot));
  EXPECT_EQ(R.TimeCorrText, Format("%1.1f", DTime));
  const long S = std::lround(MST * 3600);
  EXPECT_EQ(R.MSTText, Format("%02ld:%02ld:%02ld", S / 3600, S % 3600 / 60, S % 60));
  EXPECT_EQ(R.MSTText.size(), 8u);
  In.RaText = "24 0 0";
  EXPECT_EQ(ErrorOf([&] { CalculateCorrection(*BC, In); }), "Unknown RA format");
}

TEST(ApplyBaryCorr, ScalesXAndKeepsY) {
  TSpec32 S;
  S.SetSize(5);
  for (int i = 0; i < 5; ++i) {
    S.DataX[static_cast<size_t>(i)] = 6560 + 0.5 * i;
    S.DataY[static_cast<size_t>(i)] = 1 + i * i;
  }
  S.FinishFromArrays();
  TSpec32 D;
  D.NewSpec("star-bary", 5, 0.0, &S);
  const double F = 1 + 20.0 / 299792.458;
  ApplyBaryCorr(S, F, D);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(D.DataX[i], F * S.DataX[i]);
    EXPECT_EQ(D.DataY[i], S.DataY[i]);
  }
  EXPECT_TRUE(D.Equidistant());
  EXPECT_EQ(D.MinVal(), 1);
  EXPECT_EQ(D.MaxVal(), 17);
  S.DataX[4] = 6600;
  TSpec32 U;
  U.NewSpec("star-bary", 5, 0.0, &S);
  ApplyBaryCorr(S, F, U);
  EXPECT_FALSE(U.Equidistant());
}

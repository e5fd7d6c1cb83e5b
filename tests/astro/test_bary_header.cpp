// The correction from the FITS headers: the mid-exposure instant worked out by hand, the
// leap-second table against IERS Bulletin C, the site and coordinate keywords, the record of
// an applied correction, and the shared correction whose ephemeris may be missing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/UBaryCorr.h"
#include "astro/UBaryHeader.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";

std::string Key8(std::string K) {
  K.resize(8, ' ');
  return K;
}

// A header with the given cards: {keyword, value as written in the card ('...' for strings)}.
TFitsBess Header(const std::vector<std::pair<std::string, std::string>> &Cards) {
  TFitsBess H;
  H.NewHeader(4);
  for (const auto &[K, V] : Cards)
    H.Add(TFitsBess::ComposeLine(Key8(K), V, V[0] == '\'' ? 2 : 1, ""));
  return H;
}

const TBarySite Settings{-7.5, 47.25, 600}; // west-positive longitude

std::string ErrorOf(const TFitsBess &H, const std::string &Ra = "", const std::string &De = "") {
  try {
    HeaderObservation(H, Settings, Ra, De);
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "";
}

} // namespace

// The mid-exposure instant by hand: start + EXPTIME/2, carried into the next day, month and
// year; a day that ends with a leap second (2016-12-31) has 86401 s.
TEST(BaryHeader, MidExposureInstant) {
  struct Row {
    std::vector<std::pair<std::string, std::string>> Cards;
    const char *Utc;
    double MJD; // by hand: day number + seconds / 86400
  } Rows[] = {
      {{{"DATE-OBS", "'2016-06-04T00:00:00'"}, {"EXPTIME", "600."}},
       "2016-06-04T00:05:00.000",
       57543 + 300 / 86400.0},
      {{{"DATE-OBS", "'2016-06-04T21:13:07.25'"}}, "2016-06-04T21:13:07.250", 57543 + 76387.25 / 86400.0},
      {{{"DATE-OBS", "'2015-03-31T23:55:00'"}, {"EXPTIME", "1200."}},
       "2015-04-01T00:05:00.000",
       57113 + 300 / 86400.0},
      {{{"DATE-OBS", "'2016-12-31T23:55:00'"}, {"EXPTIME", "1200."}},
       "2017-01-01T00:04:59.000",
       57754 + 299 / 86400.0},
      {{{"DATE-OBS", "'2019-02-28T23:59:59.5'"}, {"EXPTIME", "3."}},
       "2019-03-01T00:00:01.000",
       58543 + 1 / 86400.0},
      {{{"DATE-OBS", "'2016-06-04'"}, {"TIME-OBS", "'21:13:07.5'"}},
       "2016-06-04T21:13:07.500",
       57543 + 76387.5 / 86400.0},
      {{{"DATE-OBS", "'04/06/96'"}, {"UT", "'01:02:03'"}, {"EXPTIME", "2."}},
       "1996-06-04T01:02:04.000",
       50238 + 3724 / 86400.0},
      {{{"JD-OBS", "2457543.5"}, {"EXPTIME", "600."}}, "2016-06-04T00:05:00.000", 57543 + 300 / 86400.0},
      {{{"MJD-OBS", "57543.25"}}, "2016-06-04T06:00:00.000", 57543.25},
      // A date without time of day gives way to MJD-OBS.
      {{{"DATE-OBS", "'2016-06-04'"}, {"MJD-OBS", "57543.5"}}, "2016-06-04T12:00:00.000", 57543.5},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Utc);
    const TBaryHeaderObs O = HeaderObservation(Header(R.Cards), Settings, "1 2 3", "+4 5 6");
    EXPECT_EQ(O.UtcText, R.Utc);
    EXPECT_NEAR(O.MJD, R.MJD, 1e-9);
  }
}

TEST(BaryHeader, InstantErrorsNameTheKeyword) {
  struct Row {
    std::vector<std::pair<std::string, std::string>> Cards;
    const char *Error;
  } Rows[] = {
      {{}, "no DATE-OBS, JD-OBS or MJD-OBS"},
      {{{"DATE-OBS", "'2016-06-04'"}}, "DATE-OBS has no time of day (no TIME-OBS, JD-OBS or MJD-OBS)"},
      {{{"DATE-OBS", "'2016-13-04T00:00:00'"}}, "DATE-OBS '2016-13-04T00:00:00' is not a date"},
      {{{"DATE-OBS", "'2015-02-29T00:00:00'"}}, "DATE-OBS '2015-02-29T00:00:00' is not a date"},
      {{{"DATE-OBS", "'2016-06-04T24:00:00'"}}, "DATE-OBS '2016-06-04T24:00:00' is not a date"},
      {{{"DATE-OBS", "'2016-06-04'"}, {"TIME-OBS", "'9:00'"}}, "TIME-OBS '9:00' is not a time of day"},
      {{{"DATE-OBS", "'2016-06-04T00:00:00'"}, {"EXPTIME", "-5."}}, "EXPTIME -5 is not an exposure time"},
      {{{"MJD-OBS", "'soon'"}}, "MJD-OBS is not a number"},
      {{{"MJD-OBS", "1e300"}}, "MJD-OBS 1e+300 is not a date"},
      {{{"DATE-OBS", "'1955-06-04T00:00:00'"}}, "No TAI-UTC for 1955-06-04 (the table begins in 1960)"},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Error);
    EXPECT_EQ(ErrorOf(Header(R.Cards), "1 2 3", "4 5 6"), R.Error);
  }
}

// TAI - UTC from IERS Bulletin C (the leap seconds of 1972-01-01, 1999-01-01, 2017-01-01).
TEST(BaryHeader, LeapSecondTable) {
  struct Row {
    double MJD, Dat;
  } Rows[] = {{41317.0, 10},     {51179.0 - 1e-6, 31}, {51179.0, 32},
              {57753.99999, 36}, {57754.0, 37},        {60000, 37}};
  for (const Row &R : Rows)
    EXPECT_EQ(LeapTAImUTC(R.MJD), R.Dat) << R.MJD;
  // The drifting offsets of 1960 ... 1971 (USNO tai-utc.dat): from 1965-01-01,
  // 3.5401300 s + (MJD - 38761) x 0.001296 s.
  EXPECT_NEAR(LeapTAImUTC(38761.0), 3.5401300, 1e-9);
  EXPECT_NEAR(LeapTAImUTC(38761.0 + 50), 3.5401300 + 50 * 0.001296, 1e-9); // 1965-02-20
  EXPECT_EQ(DayLength(57753), 86401);                                      // 2016-12-31
  EXPECT_EQ(DayLength(57754), 86400);
}

TEST(BaryHeader, SiteFromTheBeSSKeywordsOrTheSettings) {
  const std::pair<std::string, std::string> Date{"DATE-OBS", "'2016-06-04T00:00:00'"};
  struct Row {
    std::vector<std::pair<std::string, std::string>> Cards;
    bool FromHeader;
    double Lon, Lat, Height; // west positive
  } Rows[] = {
      {{Date, {"GEO_LONG", "-155.4783"}, {"GEO_LAT", "19.8283"}, {"GEO_ELEV", "4160."}},
       true,
       155.4783,
       19.8283,
       4160},
      // 0 ... 360 east: 204.5217 E is 155.4783 W.
      {{Date, {"GEO_LONG", "204.5217"}, {"GEO_LAT", "19.8283"}, {"GEO_ELEV", "4160."}},
       true,
       155.4783,
       19.8283,
       4160},
      {{Date, {"GEO_LONG", "7.5"}, {"GEO_LAT", "47.25"}}, true, -7.5, 47.25, 600}, // height of the settings
      {{Date}, false, -7.5, 47.25, 600},
      {{Date, {"GEO_ELEV", "4160."}}, false, -7.5, 47.25, 600},
  };
  for (const Row &R : Rows) {
    const TBaryHeaderObs O = HeaderObservation(Header(R.Cards), Settings, "1 2 3", "4 5 6");
    EXPECT_EQ(O.SiteFromHeader, R.FromHeader);
    EXPECT_NEAR(O.Site.Lon, R.Lon, 1e-9);
    EXPECT_EQ(O.Site.Lat, R.Lat);
    EXPECT_EQ(O.Site.Height, R.Height);
  }
  EXPECT_EQ(ErrorOf(Header({Date, {"GEO_LAT", "19."}}), "1", "1"), "GEO_LAT without GEO_LONG");
  EXPECT_EQ(ErrorOf(Header({Date, {"GEO_LONG", "400."}, {"GEO_LAT", "19."}}), "1", "1"),
            "GEO_LONG 400 is out of range");
  EXPECT_EQ(ErrorOf(Header({Date, {"GEO_LONG", "10."}, {"GEO_LAT", "91."}}), "1", "1"),
            "GEO_LAT 91 is out of range");
}

TEST(BaryHeader, CoordinatesFromTheHeaderOrGiven) {
  const std::pair<std::string, std::string> Date{"DATE-OBS", "'2016-06-04T00:00:00'"};
  // 0 19 32.1 = (19 + 32.1/60) x 15 / 60 degrees; +35 2 37.1 = 35 + 2/60 + 37.1/3600.
  const double Ra = (19 + 32.1 / 60) / 4, De = 35 + 2 / 60.0 + 37.1 / 3600;
  struct Row {
    std::vector<std::pair<std::string, std::string>> Cards;
    bool FromHeader;
    double Ra, De;
  } Rows[] = {
      {{Date, {"RA", "4.88375"}, {"DEC", "35.0436389"}}, true, 4.88375, 35.0436389},
      {{Date, {"RA", "'00 19 32.1'"}, {"DEC", "'+35 02 37.1'"}}, true, Ra, De},
      {{Date, {"RA", "'00:19:32.1'"}, {"DEC", "'+35:02:37.1'"}}, true, Ra, De},
      {{Date, {"RA", "'4.88375'"}, {"DEC", "'-35.5'"}}, true, 4.88375, -35.5},
      {{Date, {"OBJCTRA", "'00 19 32.1'"}, {"OBJCTDEC", "'-00 30 00'"}}, true, Ra, -0.5},
      {{Date, {"RA", "4.88375"}},
       false,
       15 * (14 + 15 / 60.0 + 39.672 / 3600),
       19 + 10 / 60.0 + 56.677 / 3600},
  };
  for (const Row &R : Rows) {
    const TBaryHeaderObs O = HeaderObservation(Header(R.Cards), Settings, "14 15 39.672", "+19 10 56.677");
    EXPECT_EQ(O.CoordsFromHeader, R.FromHeader);
    EXPECT_NEAR(O.Ra, R.Ra, 1e-12);
    EXPECT_NEAR(O.De, R.De, 1e-12);
  }
  EXPECT_EQ(ErrorOf(Header({Date})), "no RA/DEC in the header and no coordinates given");
  EXPECT_EQ(ErrorOf(Header({Date}), "24 0 0", "1"), "Unknown RA format");
  EXPECT_EQ(ErrorOf(Header({Date, {"RA", "360."}, {"DEC", "0."}})), "RA '360.' is out of range");
  EXPECT_EQ(ErrorOf(Header({Date, {"RA", "'1 2 3'"}, {"DEC", "'+91 0 0'"}})),
            "DEC '+91 0 0' is not a declination");
}

// The header mode and the typed mode of the same observation give the same numbers, bit for
// bit: the same core call with the same MJD, site and angles.
TEST(BaryHeader, SameNumbersAsTheTypedCorrection) {
  TBaryCorr BC(EphFile);
  const TFitsBess H = Header({{"DATE-OBS", "'2016-06-04T00:00:00'"},
                              {"GEO_LONG", "-155.4783"},
                              {"GEO_LAT", "19.8283"},
                              {"GEO_ELEV", "4160."},
                              {"RA", "'0 19 32.1'"},
                              {"DEC", "'+35 2 37.1'"}});
  const TBaryHeaderResult R = CalculateFromHeader(BC, HeaderObservation(H, Settings, "", ""));
  TBaryInput In;
  In.DateTime = {2016, 6, 4, 0, 0, 0};
  In.RaText = "0 19 32.1";
  In.DeText = "+35 2 37.1";
  In.TAImUTC = 36; // Bulletin C: TAI - UTC from 2015-07-01 to 2016-12-31
  In.Lon = 155.4783;
  In.Lat = 19.8283;
  In.Height = 4160;
  const TBaryResult T = CalculateCorrection(BC, In);
  EXPECT_EQ(R.distdot, T.distdot);
  EXPECT_EQ(R.JD, T.JD);
  EXPECT_EQ(R.RVFac, T.RVFac);
  EXPECT_EQ(HeaderResultLine("keck.fits", R),
            "keck.fits  utc: 2016-06-04T00:00:00.000  velocity: " + Format("%.6f", T.distdot) +
                "  site: header  coordinates: header");
}

TEST(BaryHeader, RecordOfTheAppliedCorrection) {
  TFitsBess H;
  H.NewHeader(4);
  EXPECT_EQ(AppliedBaryCorr(H), 0);
  RecordBaryCorr(H, 12.3456789, "2016-06-04T00:05:00.000", 4.88375, -35.5);
  EXPECT_NEAR(AppliedBaryCorr(H), 12.3456789, 1e-8);
  ASSERT_GE(H.Count(), 2);
  EXPECT_EQ(TrimRight(H.Strings(H.Count() - 2)),
            "HISTORY Barycentric correction +12.345679 km/s at 2016-06-04T00:05:00.000 UTC");
  EXPECT_EQ(TrimRight(H.Strings(H.Count() - 1)), "HISTORY for RA 4.883750 deg, Dec -35.500000 deg (J2000)");
  // A second correction composes with the first as the factors do: (1 + 10/c)(1 + 5/c) - 1
  // = 15/c + 50/c^2, so 15 + 50/c km/s.
  TFitsBess G;
  G.NewHeader(4);
  G.WriteDbl(Key8("BSS_VHEL"), 10.0, "");
  RecordBaryCorr(G, 5.0, "2016-06-04T00:05:00.000", 0, 0);
  EXPECT_NEAR(AppliedBaryCorr(G), 15 + 50 / 299792.458, 1e-8); // 10 digits in the card
  EXPECT_EQ(
      AlreadyCorrectedText("star.fits", 10),
      "star.fits: a barycentric correction of 10.000 km/s is already applied (BSS_VHEL). Apply another?");
}

TEST(BaryHeader, CalendarChecksOfTheTypedInstant) {
  struct Row {
    TDateTimeInt D;
    bool Valid;
  } Rows[] = {
      {{2016, 2, 29, 0, 0, 0}, true},  {{2015, 2, 29, 0, 0, 0}, false}, {{1900, 2, 29, 0, 0, 0}, false},
      {{2000, 2, 29, 0, 0, 0}, true},  {{1500, 2, 29, 0, 0, 0}, true},  {{2016, 13, 1, 0, 0, 0}, false},
      {{2016, 4, 31, 0, 0, 0}, false}, {{2016, 1, 1, 24, 0, 0}, false}, {{2016, 12, 31, 23, 59, 60}, true},
      {{2016, 1, 0, 0, 0, 0}, false},  {{2016, 1, 1, 0, -1, 0}, false}};
  for (const Row &R : Rows)
    EXPECT_EQ(ValidDateTime(R.D), R.Valid)
        << R.D.Year << "-" << R.D.Month << "-" << R.D.Day << " " << R.D.Hour;
  TBaryCorr BC(EphFile);
  TBaryInput In;
  In.DateTime = {2016, 2, 30, 0, 0, 0};
  In.RaText = In.DeText = "1";
  try {
    CalculateCorrection(BC, In);
    ADD_FAILURE() << "30 February accepted";
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "Invalid date or time");
  }
}

TEST(BaryCorrHolder, KeepsTheReadersMessage) {
  TBaryCorrHolder Bad("/nonexistent/jpl_1950_2050.405");
  EXPECT_FALSE(Bad.Ok());
  EXPECT_EQ(Bad.Error().rfind("Cannot open file \"/nonexistent/jpl_1950_2050.405\".", 0), 0u) << Bad.Error();
  EXPECT_EQ(Bad.StatusText(), Bad.Error());
  try {
    Bad.Get();
    ADD_FAILURE() << "no error";
  } catch (const EOrvaError &E) {
    EXPECT_EQ(E.what(), Bad.Error());
  }
  TBaryCorrHolder Good(EphFile);
  ASSERT_TRUE(Good.Ok());
  EXPECT_EQ(Good.StatusText(), Trim(Good.Get().JPLName()));
  EXPECT_FALSE(Good.StatusText().empty());
}

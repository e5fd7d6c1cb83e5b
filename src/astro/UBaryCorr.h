#pragma once
// TBaryCorr: the barycentric radial-velocity correction of an observation: the component of
// the observer's velocity relative to the solar-system barycentre along the line of sight,
// with the light-time delay, the projected distance and the local mean sidereal time.
// The Earth's barycentric state comes from the JPL ephemeris; the observer's motion about the
// Earth's centre from the site's geodetic coordinates and the Earth's rotation, rotated from
// the mean equator of date to J2000 with the IAU 1976 precession.
//
// Time scales: the input is UTC; TT = UTC + (TAI - UTC) + 32.184 s is the ephemeris argument
// (TDB - TT, below 2 ms, is ignored); UTC stands for UT1 in the sidereal time.
#include <memory>
#include <string>

#include "Units/UJplEph.h"

class TSpec32;

// A UTC instant as six integers.
struct TDateTimeInt {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TBaryCorr {
public:
  // Opens the ephemeris file Jpl (no byte swap); its errors pass through.
  explicit TBaryCorr(const std::string &Jpl);
  ~TBaryCorr();
  TBaryCorr(const TBaryCorr &) = delete;
  TBaryCorr &operator=(const TBaryCorr &) = delete;

  // TAImUTC in s; Lon, Lat in degrees (longitude positive WEST of Greenwich); Height in m.
  void SetObserver(double TAImUTC, double Lon, double Lat, double Height);
  // Modified Julian Date of a UTC calendar instant: Gregorian from 1582-10-15, Julian up to
  // 1582-10-04; the ten days between raise "Illegal Date in UTToJD".
  static double UTCToMJD(const TDateTimeInt &DateTime);
  // Local mean sidereal time in radians, 0 <= value < 2 pi, for MJD(UTC) (UTC as UT1).
  double SidTime(double MJD) const;

  // Ra, De in degrees (J2000). Outputs: JD of the UTC instant; MST local mean sidereal time
  // in hours; dist the observer's barycentric position along the line of sight in AU;
  // distdot its rate in km/s (positive: moving towards the star); dtime = light time of
  // dist in s.
  void Calculate(const TDateTimeInt &DateTime, double Ra, double De, double &JD, double &MST, double &dist,
                 double &distdot, double &dtime);
  void Calculate(double MJD, double Ra, double De, double &JD, double &MST, double &dist, double &distdot,
                 double &dtime);

  // The Earth's barycentric state (km, km/s) at MJD(UTC), from PLEPH(ET, 3, 12) with the
  // reader's KM flag set for the call and restored afterwards on every path.
  void EarthState(double MJD, double ES[6]);
  // The observer's geocentric state (km, km/s) at MJD(UTC) in the J2000 frame, and the local
  // mean sidereal time in hours.
  void ObserverState(double MJD, double OS[6], double &MST) const;

  TJplEph &JplEph() { return *pJplEph; }
  // The first title line of the ephemeris file (84 characters as stored).
  const std::string &JPLName() const { return pJPLName; }
  double TAImUTC() const { return pTAImUTC; }
  double Lon() const { return pLon; }       // radians, positive west
  double Lat() const { return pLat; }       // radians
  double Height() const { return pHeight; } // km

  // km/s, the speed of light of the correction.
  static constexpr double SpeedOfLight() { return pSL; }

private:
  std::unique_ptr<TJplEph> pJplEph;
  std::string pJPLName;
  double pTAImUTC = 0;                                    // s
  double pLon = 0;                                        // rad, positive west
  double pLat = 0;                                        // rad, geodetic
  double pHeight = 0;                                     // km above the ellipsoid
  static constexpr double pEarthA = 6378.14;              // km, equatorial radius
  static constexpr double pEarthB = 6356.755;             // km, polar radius
  static constexpr double pAU = 149597870.691;            // km
  static constexpr double pSL = 299792.458;               // km/s
  static constexpr long double pJDDiff = 2400000.5L;      // JD - MJD
  static constexpr double pOmega = 7.292115855306663e-05; // rad/s, Earth rotation rate
};

// Precession matrix P from the mean equator and equinox of date to J2000 (IAU 1976 angles,
// Lieske et al. 1977), T = Julian centuries of TT (here UTC) from J2000: v(J2000) = P v(date).
void PrecessDateToJ2000(double T, double P[3][3]);

// The "Calculate Correction" of the barycentric dialog, shared by the dialog and the CLI:
// the observer and the instant in, the numbers and the texts the dialog shows out.
struct TBaryInput {
  TDateTimeInt DateTime;
  std::string RaText;                                // "h m s"
  std::string DeText;                                // "d m s"
  double TAImUTC = 35, Lon = 0, Lat = 0, Height = 0; // s; degrees (longitude positive west); m
};

struct TBaryResult {
  double JD = 0, MST = 0, dist = 0, distdot = 0, dtime = 0;
  double Ra = 0, De = 0; // degrees
  double RVFac = 1;      // the wavelength factor 1 + distdot / speed of light
  std::string TimeCorrText, RadVelText, JDText, MSTText;
};

// The dialog's texts of R from its numbers: "%1.1f" time correction, "%1.3f" radial velocity,
// "%1.5f" JD, "HH:MM:SS" mean sidereal time.
void SetResultTexts(TBaryResult &R);

// A date or time field out of its calendar range (month 13, 30 February, hour 24) raises
// "Invalid date or time" rather than being carried into the next unit silently.
TBaryResult CalculateCorrection(TBaryCorr &BaryCorr, const TBaryInput &In);

// Whether DateTime names an instant of the calendar: month 1 ... 12, day within its month
// (Gregorian leap years, Julian ones up to 1582), hour 0 ... 23, minute 0 ... 59, second
// 0 ... 60 (a leap second).
bool ValidDateTime(const TDateTimeInt &DateTime);
// Days of Month in Year (Gregorian from 1582-10-15, Julian before).
int DaysInMonth(int Year, int Month);

// "Apply Correction": fills Dest, already made with Source's number of points and header,
// with x' = RVFac x and y' = y, recomputes its equidistance and its minimum and maximum.
void ApplyBaryCorr(const TSpec32 &Source, double RVFac, TSpec32 &Dest);

// The file name of the bundled ephemeris beside the program.
extern const char *const BaryEphemerisName;

// The one barycentric correction of a run, opened when the program starts and shared by every
// window that computes the correction. A missing or unusable ephemeris file does not stop the
// program: the reader's message is kept, shown where the correction is offered, and raised
// again by every use, so nothing else is affected.
class TBaryCorrHolder {
public:
  // Opens the ephemeris file Jpl; a failure is kept, not raised.
  explicit TBaryCorrHolder(const std::string &Jpl);
  ~TBaryCorrHolder();
  TBaryCorrHolder(const TBaryCorrHolder &) = delete;
  TBaryCorrHolder &operator=(const TBaryCorrHolder &) = delete;

  bool Ok() const { return static_cast<bool>(pBaryCorr); }
  // The correction; raises EOrvaError with the reader's message when the file failed.
  TBaryCorr &Get();
  // The reader's message, empty when the file was opened.
  const std::string &Error() const { return pError; }
  // What a status bar shows: the ephemeris title (trailing blanks removed) or the message.
  std::string StatusText() const;

private:
  std::unique_ptr<TBaryCorr> pBaryCorr;
  std::string pError;
};

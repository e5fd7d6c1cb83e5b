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
  double UTCToMJD(const TDateTimeInt &DateTime) const;
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

TBaryResult CalculateCorrection(TBaryCorr &BaryCorr, const TBaryInput &In);

// "Apply Correction": fills Dest, already made with Source's number of points and header,
// with x' = RVFac x and y' = y, recomputes its equidistance and its minimum and maximum.
void ApplyBaryCorr(const TSpec32 &Source, double RVFac, TSpec32 &Dest);

// The file name of the bundled ephemeris beside the program.
extern const char *const BaryEphemerisName;

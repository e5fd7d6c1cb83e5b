#pragma once
// The barycentric correction of a night of spectra, each from its own FITS header: the middle
// of its exposure, its site and its star, with TAI - UTC from the leap-second table; and the
// record of an applied correction in the corrected spectrum's header. The dialog's check box
// "Date and site from FITS headers" and the command line's "bary --from-header" both call
// these, so that both give the same numbers.
#include <cstdint>
#include <string>

#include "astro/UBaryCorr.h"

class TFitsBess;

// An observer's site: longitude in degrees POSITIVE WEST of Greenwich, geodetic latitude in
// degrees, height in metres (the convention of the settings and of TBaryCorr::SetObserver).
struct TBarySite {
  double Lon = 0, Lat = 0, Height = 0;
};

// What one header says about its observation, and where each value came from.
struct TBaryHeaderObs {
  int64_t DayMJD = 0;  // MJD of 0 h UTC of the day of the mid-exposure instant
  double SecOfDay = 0; // s after 0 h UTC (up to 86401 on a day with a leap second)
  double MJD = 0;      // the mid-exposure instant, MJD(UTC)
  std::string UtcText; // "YYYY-MM-DDTHH:MM:SS.sss"
  double TAImUTC = 0;  // s, from the leap-second table at that instant
  TBarySite Site;      // west-positive longitude, as TBaryCorr takes it
  bool SiteFromHeader = false;
  double Ra = 0, De = 0; // degrees, J2000
  bool CoordsFromHeader = false;
};

// Reads the observation of header H:
//  - the instant: DATE-OBS ("YYYY-MM-DDThh:mm:ss[.s]", or a date "YYYY-MM-DD" / "DD/MM/YY"
//    with the time of day in TIME-OBS or UT), else JD-OBS, else MJD-OBS; plus EXPTIME / 2
//    (a missing EXPTIME counts as 0), as the start of the exposure is what they record;
//  - the site: GEO_LONG (degrees EAST positive; values above 180 are east longitudes on the
//    0 ... 360 scale) and GEO_LAT together, GEO_ELEV in metres when present; otherwise the
//    settings' site Settings (whose height also stands in for a missing GEO_ELEV);
//  - the star: RA/DEC, else OBJCTRA/OBJCTDEC, each in degrees as a number or sexagesimal as
//    a string (hours for RA, degrees for the declination; fields separated by blanks or
//    colons); otherwise the typed RaGiven/DeGiven (GetRa/GetDe formats; empty: none given).
// What is missing or unreadable raises EOrvaError saying which keyword.
TBaryHeaderObs HeaderObservation(const TFitsBess &H, const TBarySite &Settings, const std::string &RaGiven,
                                 const std::string &DeGiven);

struct TBaryHeaderResult {
  TBaryHeaderObs Obs;
  double JD = 0, MST = 0, dist = 0, distdot = 0, dtime = 0; // as TBaryCorr::Calculate
  double RVFac = 1;                                         // 1 + distdot / speed of light
};

// The correction of one observation (SetObserver with the observation's TAI - UTC and site).
TBaryHeaderResult CalculateFromHeader(TBaryCorr &BaryCorr, const TBaryHeaderObs &Obs);

// "NAME  utc: YYYY-MM-DDTHH:MM:SS.sss  velocity: V  site: header|settings  coordinates:
// header|given", V in km/s with "%.6f".
std::string HeaderResultLine(const std::string &Name, const TBaryHeaderResult &R);

// TAI - UTC in seconds at MJD(UTC) from the leap-second table (ERFA's eraDat), including the
// drifting offsets of 1960 ... 1971. Before 1960 there is no such table: EOrvaError.
double LeapTAImUTC(double MJD);

// Seconds of the UTC day DayMJD (an MJD of 0 h): 86401 when it ends with a leap second.
int64_t DayLength(int64_t DayMJD);

// "YYYY-MM-DDTHH:MM:SS.sss" of the day DayMJD (an MJD of 0 h) and SecOfDay seconds after it,
// rounded to the millisecond (a rounding up to 86400 s moves to the next day, except within
// a leap second).
std::string UtcText(int64_t DayMJD, double SecOfDay);
std::string UtcText(const TDateTimeInt &DateTime);

// The correction a header records as applied (BSS_VHEL, km/s; 0 when none).
double AppliedBaryCorr(const TFitsBess &H);
// Records in the header of a corrected spectrum what was applied: BSS_VHEL becomes the total
// correction of the data, the earlier one composed with Velocity as the wavelength factors
// compose ((1 + v1/c)(1 + v2/c) = 1 + v/c), and two HISTORY cards name the velocity, the UTC
// instant and the coordinates (degrees).
void RecordBaryCorr(TFitsBess &H, double Velocity, const std::string &UtcText, double Ra, double De);
// The question before correcting a spectrum that records a correction already.
std::string AlreadyCorrectedText(const std::string &Name, double Applied);

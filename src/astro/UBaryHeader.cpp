// The barycentric correction from the FITS headers, and its record in the corrected header.
#include "astro/UBaryHeader.h"

#include <cmath>
#include <erfa.h>

#include "astro/UCoordParse.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"

#define ORVA_UNIT "UBaryHeader"

namespace {

std::string Pad(const std::string &Key) {
  return Key.size() >= 8 ? Key : Key + std::string(8 - Key.size(), ' ');
}

bool HasCard(const TFitsBess &H, const std::string &Key) { return H.IndexOfKey(Pad(Key)) >= 0; }

// A numeric card: false when it is missing; present but not a number raises.
bool ReadNumber(const TFitsBess &H, const std::string &Key, double &Value) {
  std::string S, C;
  if (H.ReadDbl(Pad(Key), Value, S, C)) {
    if (!std::isfinite(Value)) OrvaRaise(Key + " '" + S + "' is not a number");
    return true;
  }
  if (!HasCard(H, Key)) return false;
  // A number written as a string ('12.5') is still the number.
  std::string Str;
  if (H.ReadStr(Pad(Key), Str, C) && TryStrToFloat(Str, Value) && std::isfinite(Value)) return true;
  OrvaRaise(Key + " is not a number");
}

bool ReadString(const TFitsBess &H, const std::string &Key, std::string &Value) {
  std::string C;
  if (!H.ReadStr(Pad(Key), Value, C)) return false;
  Value = Trim(Value);
  return true;
}

// Digits of Text[Pos, Pos + Len) as a number; false when any is not a digit.
bool Digits(const std::string &Text, size_t Pos, size_t Len, int &Value) {
  if (Pos + Len > Text.size()) return false;
  Value = 0;
  for (size_t i = Pos; i < Pos + Len; ++i) {
    if (Text[i] < '0' || Text[i] > '9') return false;
    Value = Value * 10 + (Text[i] - '0');
  }
  return true;
}

// "hh:mm:ss[.sss]" to seconds of the day.
bool ParseTimeOfDay(const std::string &Text, double &Sec) {
  int h, m;
  if (Text.size() < 8 || Text[2] != ':' || Text[5] != ':' || !Digits(Text, 0, 2, h) || !Digits(Text, 3, 2, m))
    return false;
  std::string SecText = Text.substr(6);
  if (!SecText.empty() && (SecText.back() == 'Z' || SecText.back() == 'z')) SecText.pop_back();
  double s;
  if (SecText.size() < 2 || SecText[0] < '0' || SecText[0] > '9' || SecText[1] < '0' || SecText[1] > '9' ||
      !TryStrToFloat(SecText, s))
    return false;
  if (h > 23 || m > 59 || !(s >= 0 && s < 61)) return false;
  Sec = h * 3600.0 + m * 60.0 + s;
  return true;
}

// The date of DATE-OBS; Time is set when the value carries the time of day too.
bool ParseDateObs(const std::string &Text, TDateTimeInt &Date, bool &HasTime, double &Sec) {
  HasTime = false;
  Date = TDateTimeInt{};
  if (Text.size() == 8 && Text[2] == '/' && Text[5] == '/') {
    // The old form DD/MM/YY of the years 1900 ... 1999.
    int yy;
    if (!Digits(Text, 0, 2, Date.Day) || !Digits(Text, 3, 2, Date.Month) || !Digits(Text, 6, 2, yy))
      return false;
    Date.Year = 1900 + yy;
  } else {
    if (Text.size() < 10 || Text[4] != '-' || Text[7] != '-' || !Digits(Text, 0, 4, Date.Year) ||
        !Digits(Text, 5, 2, Date.Month) || !Digits(Text, 8, 2, Date.Day))
      return false;
    if (Text.size() > 10) {
      if (Text[10] != 'T' && Text[10] != ' ') return false;
      if (!ParseTimeOfDay(Text.substr(11), Sec)) return false;
      HasTime = true;
    }
  }
  return Date.Month >= 1 && Date.Month <= 12 && Date.Day >= 1 &&
         Date.Day <= DaysInMonth(Date.Year, Date.Month);
}

// The MJD of 0 h of a calendar date.
int64_t DayOf(const TDateTimeInt &Date) {
  TDateTimeInt D = Date;
  D.Hour = D.Minute = D.Second = 0;
  return static_cast<int64_t>(std::llround(TBaryCorr::UTCToMJD(D)));
}

// The start of the exposure as (day, seconds of day); Source names what gave it.
void StartOfExposure(const TFitsBess &H, int64_t &Day, double &Sec) {
  std::string DateObs;
  bool DateOnly = false;
  if (ReadString(H, "DATE-OBS", DateObs) && !DateObs.empty()) {
    TDateTimeInt Date;
    bool HasTime;
    if (!ParseDateObs(DateObs, Date, HasTime, Sec)) OrvaRaise("DATE-OBS '" + DateObs + "' is not a date");
    if (HasTime) {
      Day = DayOf(Date);
      return;
    }
    for (const char *Key : {"TIME-OBS", "UT"}) {
      std::string T;
      if (ReadString(H, Key, T) && !T.empty()) {
        if (!ParseTimeOfDay(T, Sec)) OrvaRaise(std::string(Key) + " '" + T + "' is not a time of day");
        Day = DayOf(Date);
        return;
      }
    }
    DateOnly = true;
  }
  // No instant in DATE-OBS: the Julian dates.
  double V;
  for (const char *Key : {"JD-OBS", "MJD-OBS"}) {
    if (!ReadNumber(H, Key, V)) continue;
    const double MJD = Key[0] == 'J' ? V - 2400000.5 : V;
    // Far outside any ephemeris; keeps the day arithmetic within its integers.
    if (!(std::fabs(MJD) < 1e7)) OrvaRaise(std::string(Key) + Format(" %.10g is not a date", V));
    const double D = std::floor(MJD);
    Day = static_cast<int64_t>(D);
    Sec = (MJD - D) * 86400.0;
    return;
  }
  OrvaRaise(DateOnly ? "DATE-OBS has no time of day (no TIME-OBS, JD-OBS or MJD-OBS)"
                     : "no DATE-OBS, JD-OBS or MJD-OBS");
}

// A header coordinate: a number in degrees, or a sexagesimal string (hours for RA).
double HeaderAngle(const TFitsBess &H, const std::string &Key, bool IsRa) {
  double V;
  std::string S, C;
  if (H.ReadDbl(Pad(Key), V, S, C)) {
    if (!(std::isfinite(V) && (IsRa ? V >= 0 && V < 360 : V >= -90 && V <= 90)))
      OrvaRaise(Key + " '" + S + "' is out of range");
    return V;
  }
  std::string Str;
  if (!ReadString(H, Key, Str)) OrvaRaise(Key + " is neither a number nor a text");
  if (Str.find_first_of(" :") == std::string::npos) {
    if (TryStrToFloat(Str, V) && std::isfinite(V) && (IsRa ? V >= 0 && V < 360 : V >= -90 && V <= 90))
      return V;
    OrvaRaise(Key + " '" + Str + "' is not " + (IsRa ? "a right ascension" : "a declination"));
  }
  std::string Blanks = Str;
  for (char &Ch : Blanks)
    if (Ch == ':') Ch = ' ';
  try {
    return IsRa ? GetRa(Blanks) : GetDe(Blanks);
  } catch (const EOrvaError &) {
    OrvaRaise(Key + " '" + Str + "' is not " + (IsRa ? "a right ascension" : "a declination"));
  }
}

} // namespace

int64_t DayLength(int64_t DayMJD) {
  int Y, M, D;
  double Fd, Dat0, Dat1;
  if (eraJd2cal(2400000.5, static_cast<double>(DayMJD), &Y, &M, &D, &Fd) != 0 || Y < 1972) return 86400;
  if (eraDat(Y, M, D, 0.0, &Dat0) < 0) return 86400;
  if (eraJd2cal(2400000.5, static_cast<double>(DayMJD + 1), &Y, &M, &D, &Fd) != 0 ||
      eraDat(Y, M, D, 0.0, &Dat1) < 0)
    return 86400;
  return Dat1 - Dat0 > 0.5 ? 86401 : 86400;
}

double LeapTAImUTC(double MJD) {
  int Y, M, D;
  double Fd;
  if (eraJd2cal(2400000.5, MJD, &Y, &M, &D, &Fd) != 0) OrvaRaise("No TAI-UTC for this date");
  double Dt = 0;
  // Status 1 is a "dubious year": before the table (1960), which has no answer, or years
  // after its last entry, which still gives the last known offset.
  if (eraDat(Y, M, D, Fd, &Dt) < 0 || Y < 1960)
    OrvaRaise(Format("No TAI-UTC for %04d-%02d-%02d (the table begins in 1960)", Y, M, D));
  return Dt;
}

std::string UtcText(int64_t DayMJD, double SecOfDay) {
  int64_t Ms = std::llround(SecOfDay * 1000.0);
  const int64_t DayMs = DayLength(DayMJD) * 1000;
  if (Ms >= DayMs) {
    Ms -= DayMs;
    ++DayMJD;
  }
  int Y, M, D;
  double Fd;
  if (eraJd2cal(2400000.5, static_cast<double>(DayMJD), &Y, &M, &D, &Fd) != 0) OrvaRaise("No calendar date");
  int64_t H = Ms / 3600000, Mi = (Ms / 60000) % 60, S = (Ms / 1000) % 60;
  if (Ms >= 86400000) { // within a leap second: 23:59:60.xxx
    H = 23;
    Mi = 59;
    S = 60;
  }
  return Format("%04d-%02d-%02dT%02d:%02d:%02d.%03d", Y, M, D, static_cast<int>(H), static_cast<int>(Mi),
                static_cast<int>(S), static_cast<int>(Ms % 1000));
}

std::string UtcText(const TDateTimeInt &T) {
  return Format("%04d-%02d-%02dT%02d:%02d:%02d.000", T.Year, T.Month, T.Day, T.Hour, T.Minute, T.Second);
}

TBaryHeaderObs HeaderObservation(const TFitsBess &H, const TBarySite &Settings, const std::string &RaGiven,
                                 const std::string &DeGiven) {
  TBaryHeaderObs O;
  // The instant: start of the exposure plus half of it.
  int64_t Day = 0;
  double Sec = 0;
  StartOfExposure(H, Day, Sec);
  double Exp = 0;
  if (ReadNumber(H, "EXPTIME", Exp) && !(Exp >= 0 && Exp < 1e8))
    OrvaRaise(Format("EXPTIME %.10g is not an exposure time", Exp));
  Sec += Exp / 2;
  // Past the end of the day (86401 s on a day that ends with a leap second): the next days.
  while (Sec >= static_cast<double>(DayLength(Day))) {
    Sec -= static_cast<double>(DayLength(Day));
    ++Day;
  }
  O.DayMJD = Day;
  O.SecOfDay = Sec;
  O.MJD = static_cast<double>(Day) + Sec / 86400.0;
  O.UtcText = UtcText(Day, Sec);
  O.TAImUTC = LeapTAImUTC(O.MJD);

  // The site.
  double Lon = 0, Lat = 0, Elev = 0;
  const bool HasLon = ReadNumber(H, "GEO_LONG", Lon), HasLat = ReadNumber(H, "GEO_LAT", Lat);
  if (HasLon != HasLat) OrvaRaise(HasLon ? "GEO_LONG without GEO_LAT" : "GEO_LAT without GEO_LONG");
  if (HasLon) {
    if (!(Lon >= -180 && Lon <= 360)) OrvaRaise(Format("GEO_LONG %.10g is out of range", Lon));
    if (!(Lat >= -90 && Lat <= 90)) OrvaRaise(Format("GEO_LAT %.10g is out of range", Lat));
    if (Lon > 180) Lon -= 360;
    O.Site.Lon = -Lon; // east positive in the header, west positive here
    O.Site.Lat = Lat;
    O.Site.Height = Settings.Height;
    O.SiteFromHeader = true;
  } else {
    O.Site = Settings;
  }
  if (ReadNumber(H, "GEO_ELEV", Elev)) {
    if (!(Elev > -1000 && Elev < 100000)) OrvaRaise(Format("GEO_ELEV %.10g is out of range", Elev));
    if (O.SiteFromHeader) O.Site.Height = Elev;
  }

  // The star.
  for (const auto &[RaKey, DeKey] :
       {std::pair<const char *, const char *>{"RA", "DEC"}, {"OBJCTRA", "OBJCTDEC"}}) {
    if (!HasCard(H, RaKey) || !HasCard(H, DeKey)) continue;
    O.Ra = HeaderAngle(H, RaKey, true);
    O.De = HeaderAngle(H, DeKey, false);
    O.CoordsFromHeader = true;
    break;
  }
  if (!O.CoordsFromHeader) {
    if (Trim(RaGiven).empty() || Trim(DeGiven).empty())
      OrvaRaise("no RA/DEC in the header and no coordinates given");
    O.Ra = GetRa(RaGiven);
    O.De = GetDe(DeGiven);
  }
  return O;
}

TBaryHeaderResult CalculateFromHeader(TBaryCorr &BaryCorr, const TBaryHeaderObs &Obs) {
  TBaryHeaderResult R;
  R.Obs = Obs;
  BaryCorr.SetObserver(Obs.TAImUTC, Obs.Site.Lon, Obs.Site.Lat, Obs.Site.Height);
  BaryCorr.Calculate(Obs.MJD, Obs.Ra, Obs.De, R.JD, R.MST, R.dist, R.distdot, R.dtime);
  R.RVFac = R.distdot / TBaryCorr::SpeedOfLight() + 1;
  return R;
}

std::string HeaderResultLine(const std::string &Name, const TBaryHeaderResult &R) {
  return Name + "  utc: " + R.Obs.UtcText + Format("  velocity: %.6f", R.distdot) +
         "  site: " + (R.Obs.SiteFromHeader ? "header" : "settings") +
         "  coordinates: " + (R.Obs.CoordsFromHeader ? "header" : "given");
}

double AppliedBaryCorr(const TFitsBess &H) {
  double V = 0;
  std::string S, C;
  return H.ReadDbl(Pad("BSS_VHEL"), V, S, C) && std::isfinite(V) ? V : 0.0;
}

void RecordBaryCorr(TFitsBess &H, double Velocity, const std::string &UtcText, double Ra, double De) {
  const double c = TBaryCorr::SpeedOfLight();
  const double Before = AppliedBaryCorr(H);
  const double Total = Before == 0 ? Velocity : ((1 + Before / c) * (1 + Velocity / c) - 1) * c;
  H.WriteDbl(Pad("BSS_VHEL"), Total, "barycentric correction applied [km/s]");
  for (std::string Card :
       {Format("HISTORY Barycentric correction %+.6f km/s at %s UTC", Velocity, UtcText.c_str()),
        Format("HISTORY for RA %.6f deg, Dec %+.6f deg (J2000)", Ra, De)}) {
    Card.resize(80, ' ');
    H.Add(Card);
  }
}

std::string AlreadyCorrectedText(const std::string &Name, double Applied) {
  return Name +
         Format(": a barycentric correction of %.3f km/s is already applied (BSS_VHEL). Apply another?",
                Applied);
}

// TBaryCorr: the barycentric radial-velocity correction.
#include "astro/UBaryCorr.h"

#include <cmath>
#include <numbers>

#include "astro/UCoordParse.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UBaryCorr"

const char *const BaryEphemerisName = "jpl_1950_2050.405";

namespace {

constexpr long double PiL = std::numbers::pi_v<long double>;
constexpr double Pi = std::numbers::pi;
constexpr double Deg = Pi / 180.0;

// Sets the reader's KM flag for the scope and restores it on every path.
class TKmScope {
public:
  TKmScope(TJplEph &Eph, bool Km) : pEph(Eph), pSaved(Eph.IsKm()) { Eph.SetKm(Km); }
  ~TKmScope() { pEph.SetKm(pSaved); }
  TKmScope(const TKmScope &) = delete;
  TKmScope &operator=(const TKmScope &) = delete;

private:
  TJplEph &pEph;
  bool pSaved;
};

} // namespace

TBaryCorr::TBaryCorr(const std::string &Jpl) : pJplEph(std::make_unique<TJplEph>(Jpl, false)) {
  pJPLName.assign(pJplEph->Header().TTL1, sizeof pJplEph->Header().TTL1);
}

TBaryCorr::~TBaryCorr() = default;

void TBaryCorr::SetObserver(double TAImUTC, double Lon, double Lat, double Height) {
  pTAImUTC = TAImUTC;
  pLon = static_cast<double>(Lon / 180.0L * PiL);
  pLat = static_cast<double>(Lat / 180.0L * PiL);
  pHeight = Height / 1000.0;
}

double TBaryCorr::UTCToMJD(const TDateTimeInt &DateTime) {
  // Calendar date to Julian date (Meeus, Astronomical Algorithms, 2nd ed., ch. 7).
  int64_t Year = DateTime.Year, Month = DateTime.Month;
  const int64_t Day = DateTime.Day;
  const int64_t K = Year * 10000 + Month * 100 + Day;
  if (Month < 3) {
    Month += 12;
    Year -= 1;
  }
  int64_t B;
  if (K < 15821015) {
    if (K > 15821004) OrvaRaise("Illegal Date in UTToJD");
    B = 0; // Julian calendar
  } else {
    const int64_t A = Year / 100; // C++ division truncates toward zero
    B = 2 - A + static_cast<int64_t>(std::trunc(A * 0.25));
  }
  // The whole days first (exact in double), then the time of day, so that the fraction keeps
  // the resolution of an MJD rather than that of a JD.
  const double Days = std::trunc(365.25 * static_cast<double>(Year + 4716)) +
                      std::trunc(30.6001 * static_cast<double>(Month + 1)) + static_cast<double>(B) - 1524.5 +
                      static_cast<double>(Day) - 2400000.5;
  return Days + (DateTime.Hour / 24.0 + DateTime.Minute / 1440.0 + DateTime.Second / 86400.0);
}

double TBaryCorr::SidTime(double MJD) const {
  // Mean sidereal time at Greenwich (IAU 1982, in the form of Meeus eq. 12.4), degrees,
  // minus the west longitude.
  const double d = MJD - 51544.5;
  const double T = d / 36525.0;
  double Theta =
      280.46061837 + 360.98564736629 * d + T * T * (0.000387933 - T / 38710000.0) - pLon / Pi * 180.0;
  const double Q = Theta / 360.0;
  Theta = 360.0 * (Q - std::trunc(Q));
  if (Theta < 0) Theta += 360.0;
  if (Theta >= 360.0) Theta -= 360.0; // a rounding of 360 * frac just below 1
  return Theta * Deg;
}

void TBaryCorr::EarthState(double MJD, double ES[6]) {
  const double ET = MJD + 2400000.5 + (pTAImUTC + 32.184) / 86400.0;
  TKmScope Km(*pJplEph, true);
  pJplEph->PLEPH(ET, 3, 12, ES);
}

void PrecessDateToJ2000(double T, double P[3][3]) {
  const double t = -T;
  const double Zeta = t * (2306.2181 + 1.39656 * T - 0.000139 * T * T) + t * t * (0.30188 - 0.000344 * T) +
                      0.017998 * t * t * t;
  const double Z = Zeta + t * t * (0.79280 + 0.000411 * T) + 0.000205 * t * t * t;
  const double Th = t * (2004.3109 - 0.85330 * T - 0.000217 * T * T) - t * t * (0.42665 + 0.000217 * T) -
                    0.041833 * t * t * t;
  const double z = Z / 3600.0 * Deg, ze = Zeta / 3600.0 * Deg, th = Th / 3600.0 * Deg;
  const double sz = std::sin(z), cz = std::cos(z), sze = std::sin(ze), cze = std::cos(ze);
  const double sth = std::sin(th), cth = std::cos(th);
  P[0][0] = -sz * sze + cz * cth * cze;
  P[0][1] = -sz * cze - cz * cth * sze;
  P[0][2] = -cz * sth;
  P[1][0] = cz * sze + sz * cth * cze;
  P[1][1] = cz * cze - sz * cth * sze;
  P[1][2] = -sz * sth;
  P[2][0] = cze * sth;
  P[2][1] = -sze * sth;
  P[2][2] = cth;
}

void TBaryCorr::ObserverState(double MJD, double OS[6], double &MST) const {
  // Geocentric cylindrical coordinates of the site (km).
  const double u = std::atan2(pEarthB * std::sin(pLat), pEarthA * std::cos(pLat));
  const double RhoCos = pEarthA * std::cos(u) + pHeight * std::cos(pLat);
  const double RhoSin = pEarthB * std::sin(u) + pHeight * std::sin(pLat);
  const double s = SidTime(MJD);
  MST = s / Pi * 180.0 / 15.0;
  const double Date[6] = {RhoCos * std::cos(s),           RhoCos * std::sin(s),          RhoSin,
                          -RhoCos * std::sin(s) * pOmega, RhoCos * std::cos(s) * pOmega, 0.0};
  double P[3][3];
  PrecessDateToJ2000((MJD - 51544.5) / 36525.0, P);
  for (int v = 0; v < 2; ++v)
    for (int i = 0; i < 3; ++i)
      OS[3 * v + i] = P[i][0] * Date[3 * v] + P[i][1] * Date[3 * v + 1] + P[i][2] * Date[3 * v + 2];
}

void TBaryCorr::Calculate(const TDateTimeInt &DateTime, double Ra, double De, double &JD, double &MST,
                          double &dist, double &distdot, double &dtime) {
  Calculate(UTCToMJD(DateTime), Ra, De, JD, MST, dist, distdot, dtime);
}

void TBaryCorr::Calculate(double MJD, double Ra, double De, double &JD, double &MST, double &dist,
                          double &distdot, double &dtime) {
  const double JDv = static_cast<double>(MJD + pJDDiff);
  double E[6], O[6], MSTv;
  EarthState(MJD, E);
  ObserverState(MJD, O, MSTv);
  const double n[3] = {std::cos(De * Deg) * std::cos(Ra * Deg), std::cos(De * Deg) * std::sin(Ra * Deg),
                       std::sin(De * Deg)};
  double D = 0, DD = 0;
  for (int i = 0; i < 3; ++i) {
    D += (E[i] + O[i]) * n[i];
    DD += (E[i + 3] + O[i + 3]) * n[i];
  }
  JD = JDv;
  MST = MSTv;
  distdot = DD;
  dtime = D / pSL;
  dist = D / pAU;
}

int DaysInMonth(int Year, int Month) {
  static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  if (Month != 2) return Days[Month - 1];
  const bool Leap = Year < 1582 ? Year % 4 == 0 : (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
  return Leap ? 29 : 28;
}

bool ValidDateTime(const TDateTimeInt &D) {
  return D.Month >= 1 && D.Month <= 12 && D.Day >= 1 && D.Day <= DaysInMonth(D.Year, D.Month) &&
         D.Hour >= 0 && D.Hour <= 23 && D.Minute >= 0 && D.Minute <= 59 && D.Second >= 0 && D.Second <= 60;
}

void SetResultTexts(TBaryResult &R) {
  R.TimeCorrText = Format("%1.1f", R.dtime);
  R.RadVelText = Format("%1.3f", R.distdot);
  R.JDText = Format("%1.5f", R.JD);
  // Whole seconds of the day; a time that rounds up to 24 h is shown as 00:00:00.
  const int64_t S = static_cast<int64_t>(std::llround(R.MST * 3600.0)) % 86400;
  R.MSTText = Format("%2.2d:%2.2d:%2.2d", static_cast<int>(S / 3600), static_cast<int>((S % 3600) / 60),
                     static_cast<int>(S % 60));
}

TBaryResult CalculateCorrection(TBaryCorr &BaryCorr, const TBaryInput &In) {
  TBaryResult R;
  if (!ValidDateTime(In.DateTime)) OrvaRaise("Invalid date or time");
  R.Ra = GetRa(In.RaText);
  R.De = GetDe(In.DeText);
  BaryCorr.SetObserver(In.TAImUTC, In.Lon, In.Lat, In.Height);
  BaryCorr.Calculate(In.DateTime, R.Ra, R.De, R.JD, R.MST, R.dist, R.distdot, R.dtime);
  R.RVFac = R.distdot / TBaryCorr::SpeedOfLight() + 1;
  SetResultTexts(R);
  return R;
}

void ApplyBaryCorr(const TSpec32 &Source, double RVFac, TSpec32 &Dest) {
  ORVA_ASSERT(Dest.Size() == Source.Size());
  ORVA_ASSERT(Dest.DataX.size() >= static_cast<size_t>(Source.Size()) &&
              Source.DataX.size() >= static_cast<size_t>(Source.Size()));
  for (size_t j = 0; j < static_cast<size_t>(Source.Size()); ++j) {
    Dest.DataX[j] = RVFac * Source.DataX[j];
    Dest.DataY[j] = Source.DataY[j];
  }
  Dest.SetEquidistant(Dest.IsEquidistant());
  Dest.UpdateSpec();
}

TBaryCorrHolder::TBaryCorrHolder(const std::string &Jpl) {
  try {
    pBaryCorr = std::make_unique<TBaryCorr>(Jpl);
  } catch (const std::exception &E) {
    pError = E.what();
    if (pError.empty()) pError = "No JPL ephemeris file";
  }
}

TBaryCorrHolder::~TBaryCorrHolder() = default;

TBaryCorr &TBaryCorrHolder::Get() {
  if (!pBaryCorr) OrvaRaise(pError);
  return *pBaryCorr;
}

std::string TBaryCorrHolder::StatusText() const { return pBaryCorr ? Trim(pBaryCorr->JPLName()) : pError; }

// Generator of the bundled ephemeris (see UEphemGen.h).
#include "UEphemGen.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

#include <erfa.h>

const char *const EphemGenTitle =
    "Generated from the IAU SOFA/ERFA models in the DE405 layout - not JPL's DE405";

namespace {

constexpr double AU_KM = 149597870.691;
constexpr double EMRAT = 81.30056;
constexpr int NumItems = 13;

struct TTriple {
  int Start, NCF, NA;
};

// The header's IPTL and IPTT: DE405's pointer table with Pluto and the librations removed.
constexpr TTriple Layout[NumItems] = {
    {3, 14, 4},  {171, 10, 2}, {231, 13, 2}, {309, 11, 1}, {342, 8, 1},  {366, 7, 1}, {387, 6, 1},
    {405, 6, 1}, {0, 0, 0},    {441, 13, 8}, {753, 11, 2}, {819, 10, 4}, {0, 0, 0},
};

int Components(int Item) { return Item == 12 ? 2 : 3; }

int RecordDoubles() {
  // The reader's rule: the item that starts last ends the record.
  int K = 0;
  for (int i = 1; i < NumItems; ++i)
    if (Layout[i].Start > Layout[K].Start) K = i;
  return Layout[K].Start + Layout[K].NCF * Layout[K].NA * Components(K + 1) - 1;
}

// The constants of record 2: DE405's values. The GMs (AU^3/day^2) are GMS = k^2 with the
// Gaussian constant k = 0.01720209895, divided by DE405's reciprocal masses of the planets
// (Standish 1998, JPL IOM 312.F-98-048, table 2).
struct TConst {
  const char *Name;
  double Value;
};
constexpr double GMS = 0.01720209895 * 0.01720209895;
const TConst Constants[] = {
    {"DENUM", 405},
    {"LENUM", 405},
    {"CLIGHT", 299792.458},
    {"AU", AU_KM},
    {"EMRAT", EMRAT},
    {"GM1", GMS / 6023600.0},
    {"GM2", GMS / 408523.71},
    {"GMB", GMS / 328900.5614},
    {"GM4", GMS / 3098708.0},
    {"GM5", GMS / 1047.3486},
    {"GM6", GMS / 3497.898},
    {"GM7", GMS / 22902.98},
    {"GM8", GMS / 19412.24},
    {"GM9", GMS / 135200000.0},
    {"GMS", GMS},
    {"RE", 6378.137},
    {"ASUN", 696000.0},
};

void PutText(std::string &Out, size_t Offset, const std::string &Text, size_t Width) {
  std::string T = Text.substr(0, Width);
  T.resize(Width, ' ');
  Out.replace(Offset, Width, T);
}

template <typename T> void PutLE(std::string &Out, size_t Offset, T V) {
  unsigned char B[sizeof(T)];
  std::memcpy(B, &V, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    for (size_t i = 0; i < sizeof(T) / 2; ++i)
      std::swap(B[i], B[sizeof(T) - 1 - i]);
  Out.replace(Offset, sizeof(T), reinterpret_cast<const char *>(B), sizeof(T));
}

std::string CalendarText(double JD) {
  int Y, M, D;
  double F;
  if (eraJd2cal(JD, 0.0, &Y, &M, &D, &F) != 0) return "?";
  static const char *const Mon[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  char Buf[64];
  std::snprintf(Buf, sizeof Buf, "%04d %s %02d", Y, Mon[M - 1], D);
  return Buf;
}

// The model values of one item at TDB = D1 + D2 (JD), km (radians for the nutations).
// Sun: the Sun's barycentric position from a series already fitted for this record.
class TModel {
public:
  void Eval(int Item, double D1, double D2, double Out[3]) const {
    double PVH[2][3], PVB[2][3], PM[2][3];
    switch (Item) {
    case 3: // Earth-Moon barycentre = barycentric Earth + geocentric Moon / (1 + EMRAT)
      eraEpv00(D1, D2, PVH, PVB);
      eraMoon98(D1, D2, PM);
      for (int i = 0; i < 3; ++i)
        Out[i] = (PVB[0][i] + PM[0][i] / (1.0 + EMRAT)) * AU_KM;
      return;
    case 10:
      eraMoon98(D1, D2, PM);
      for (int i = 0; i < 3; ++i)
        Out[i] = PM[0][i] * AU_KM;
      return;
    case 11: // Sun = barycentric Earth - heliocentric Earth
      eraEpv00(D1, D2, PVH, PVB);
      for (int i = 0; i < 3; ++i)
        Out[i] = (PVB[0][i] - PVH[0][i]) * AU_KM;
      return;
    case 12: {
      double DPsi, DEps;
      eraNut80(D1, D2, &DPsi, &DEps);
      Out[0] = DPsi;
      Out[1] = DEps;
      Out[2] = 0;
      return;
    }
    default: { // planets: heliocentric + the Sun's barycentric position
      double PV[2][3];
      eraPlan94(D1, D2, Item, PV);
      double Sun[3];
      SunFromSeries(D1, D2, Sun);
      for (int i = 0; i < 3; ++i)
        Out[i] = PV[0][i] * AU_KM + Sun[i];
      return;
    }
    }
  }

  // Position and velocity (km, km/day) of the items whose velocities ERFA gives as the exact
  // rate of its positions: the Earth-Moon barycentre and the Sun, both from eraEpv00. The
  // Moon's share of the barycentre moves with the rate of eraMoon98's positions (a central
  // difference over +-1e-3 day, good to 1e-8 km/s), since eraMoon98's own velocity differs
  // from that rate by a few mm/s.
  void EvalPV(int Item, double D1, double D2, double Pos[3], double Vel[3]) const {
    double PVH[2][3], PVB[2][3];
    eraEpv00(D1, D2, PVH, PVB);
    if (Item == 11) {
      for (int i = 0; i < 3; ++i) {
        Pos[i] = (PVB[0][i] - PVH[0][i]) * AU_KM;
        Vel[i] = (PVB[1][i] - PVH[1][i]) * AU_KM;
      }
      return;
    }
    const double H = 1e-3;
    double PM[2][3], PA[2][3], PB[2][3];
    eraMoon98(D1, D2, PM);
    eraMoon98(D1, D2 - H, PA);
    eraMoon98(D1, D2 + H, PB);
    for (int i = 0; i < 3; ++i) {
      Pos[i] = (PVB[0][i] + PM[0][i] / (1.0 + EMRAT)) * AU_KM;
      Vel[i] = (PVB[1][i] + (PB[0][i] - PA[0][i]) / (2 * H) / (1.0 + EMRAT)) * AU_KM;
    }
  }

  // The Sun's series of the current record: coefficients and the record's start.
  const double *SunCoef = nullptr;
  double RecStart = 0, RecDays = 32;

private:
  void SunFromSeries(double D1, double D2, double Out[3]) const {
    const TTriple &S = Layout[10];
    const double Tn = ((D1 - RecStart) + D2) / RecDays; // 0 ... 1 within the record
    double X = Tn * S.NA;
    int L = static_cast<int>(X);
    if (L >= S.NA) L = S.NA - 1;
    if (L < 0) L = 0;
    const double TC = 2 * (X - L) - 1;
    double PCv[32];
    PCv[0] = 1;
    PCv[1] = TC;
    for (int k = 2; k < S.NCF; ++k)
      PCv[k] = 2 * TC * PCv[k - 1] - PCv[k - 2];
    for (int c = 0; c < 3; ++c) {
      const double *Co = SunCoef + static_cast<size_t>(S.NCF) * (c + 3 * L);
      double Sum = 0;
      for (int k = S.NCF - 1; k >= 0; --k)
        Sum += PCv[k] * Co[k];
      Out[c] = Sum;
    }
  }
};

// Fits the Earth-Moon barycentre or the Sun over one record into Rec through their
// velocities: the barycentric correction needs the Earth's velocity far more than its
// position, and a series interpolating the positions has its rate wrong by up to N^2 times
// its first neglected coefficient at the ends of a sub-interval (0.9 mm/s for the Earth with
// DE405's 13 coefficients over 16 days). So the velocity is interpolated with N - 1
// coefficients at its own Chebyshev nodes, integrated term by term into the position series,
// and the constant term makes the positions right on average at those nodes.
void FitItemByVelocity(int Item, double RecStart, double RecDays, const TModel &Model,
                       std::vector<double> &Rec) {
  const TTriple &P = Layout[Item - 1];
  const int N = P.NCF, NA = P.NA, M = N - 1;
  const double H = RecDays / NA;
  std::vector<double> Pos(static_cast<size_t>(M) * 3), Vel(static_cast<size_t>(M) * 3),
      X(static_cast<size_t>(M));
  std::vector<double> E(static_cast<size_t>(N) + 1), C(static_cast<size_t>(N));
  for (int l = 0; l < NA; ++l) {
    for (int m = 0; m < M; ++m) {
      X[static_cast<size_t>(m)] = std::cos(std::numbers::pi * (m + 0.5) / M);
      double PP[3], VV[3];
      Model.EvalPV(Item, RecStart, l * H + 0.5 * H * (1.0 + X[static_cast<size_t>(m)]), PP, VV);
      for (int c = 0; c < 3; ++c) {
        Pos[static_cast<size_t>(m) * 3 + c] = PP[c];
        Vel[static_cast<size_t>(m) * 3 + c] = VV[c] * 0.5 * H; // d/dx of the scaled time
      }
    }
    for (int c = 0; c < 3; ++c) {
      // The rate's series e_0 ... e_{M-1} (e_0 not halved in the sum).
      std::fill(E.begin(), E.end(), 0.0);
      for (int k = 0; k < M; ++k) {
        double S = 0;
        for (int m = 0; m < M; ++m)
          S += Vel[static_cast<size_t>(m) * 3 + c] * std::cos(std::numbers::pi * k * (m + 0.5) / M);
        E[static_cast<size_t>(k)] = S * 2.0 / M * (k == 0 ? 0.5 : 1.0);
      }
      // Term-by-term integral: c_1 = e_0 - e_2 / 2, c_j = (e_{j-1} - e_{j+1}) / (2 j).
      C[1] = E[0] - 0.5 * E[2];
      for (int j = 2; j < N; ++j)
        C[static_cast<size_t>(j)] =
            (E[static_cast<size_t>(j - 1)] - E[static_cast<size_t>(j + 1)]) / (2.0 * j);
      double Mean = 0;
      for (int m = 0; m < M; ++m) {
        const double Xm = X[static_cast<size_t>(m)];
        double T0 = 1, T1 = Xm, S = C[1] * Xm;
        for (int j = 2; j < N; ++j) {
          const double T2 = 2 * Xm * T1 - T0;
          S += C[static_cast<size_t>(j)] * T2;
          T0 = T1;
          T1 = T2;
        }
        Mean += Pos[static_cast<size_t>(m) * 3 + c] - S;
      }
      C[0] = Mean / M;
      for (int j = 0; j < N; ++j)
        Rec[static_cast<size_t>(P.Start - 1 + j + N * c + N * 3 * l)] = C[static_cast<size_t>(j)];
    }
  }
}

// Fits one item over one record into Rec (0-based doubles of the record) by interpolating
// its positions at the Chebyshev nodes.
void FitItem(int Item, double RecStart, double RecDays, const TModel &Model, std::vector<double> &Rec) {
  if (Item == 3 || Item == 11) {
    FitItemByVelocity(Item, RecStart, RecDays, Model, Rec);
    return;
  }
  const TTriple &P = Layout[Item - 1];
  const int N = P.NCF, NA = P.NA, NCM = Components(Item);
  const double H = RecDays / NA;
  std::vector<double> F(static_cast<size_t>(N) * 3);
  for (int l = 0; l < NA; ++l) {
    // Sample at the Chebyshev nodes x_m = cos(pi (m + 1/2) / N) of the sub-interval.
    for (int m = 0; m < N; ++m) {
      const double X = std::cos(std::numbers::pi * (m + 0.5) / N);
      const double Offset = l * H + 0.5 * H * (1.0 + X); // days after RecStart
      double V[3];
      Model.Eval(Item, RecStart, Offset, V);
      for (int c = 0; c < 3; ++c)
        F[static_cast<size_t>(m) * 3 + c] = V[c];
    }
    // c_j = (2/N) sum_m f(x_m) T_j(x_m), c_0 halved: the interpolant sum_j c_j T_j(x).
    for (int c = 0; c < NCM; ++c)
      for (int j = 0; j < N; ++j) {
        double S = 0;
        for (int m = 0; m < N; ++m)
          S += F[static_cast<size_t>(m) * 3 + c] * std::cos(std::numbers::pi * j * (m + 0.5) / N);
        S *= 2.0 / N;
        if (j == 0) S *= 0.5;
        Rec[static_cast<size_t>(P.Start - 1 + j + N * c + N * NCM * l)] = S;
      }
  }
}

} // namespace

std::string GenerateEphemeris(const TEphemGenOptions &Opt) {
  const double Span = (Opt.JDEnd - Opt.JDStart) / Opt.DaysPerRecord;
  if (!(Opt.DaysPerRecord > 0) || !(Span >= 1) || std::fabs(Span - std::round(Span)) > 1e-9 ||
      std::fmod(Opt.JDStart - 0.5, 1.0) != 0)
    throw std::runtime_error("GenerateEphemeris: the range must be whole records starting at 0h");
  const int NData = static_cast<int>(std::lround(Span));
  const int KSize = RecordDoubles();
  const size_t RecBytes = static_cast<size_t>(KSize) * 8;
  std::string Out((static_cast<size_t>(NData) + 2) * RecBytes, '\0');

  // Record 1: the header.
  PutText(Out, 0, EphemGenTitle, 84);
  PutText(Out, 84, "Earth, Sun: eraEpv00; Moon: eraMoon98; planets: eraPlan94; nutations: eraNut80; TDB", 84);
  char Line[128];
  std::snprintf(Line, sizeof Line, "JED %.1f (%s) to %.1f (%s); no Pluto, no librations", Opt.JDStart,
                CalendarText(Opt.JDStart).c_str(), Opt.JDEnd, CalendarText(Opt.JDEnd).c_str());
  PutText(Out, 168, Line, 84);
  const int NCon = static_cast<int>(sizeof Constants / sizeof Constants[0]);
  for (int i = 0; i < 400; ++i)
    PutText(Out, 252 + 6 * static_cast<size_t>(i), i < NCon ? Constants[i].Name : "", 6);
  PutLE<double>(Out, 2652, Opt.JDStart);
  PutLE<double>(Out, 2660, Opt.JDEnd);
  PutLE<double>(Out, 2668, Opt.DaysPerRecord);
  PutLE<int32_t>(Out, 2676, NCon);
  PutLE<double>(Out, 2680, AU_KM);
  PutLE<double>(Out, 2688, EMRAT);
  for (int i = 0; i < 12; ++i) {
    PutLE<int32_t>(Out, 2696 + 12 * static_cast<size_t>(i), Layout[i].Start);
    PutLE<int32_t>(Out, 2700 + 12 * static_cast<size_t>(i), Layout[i].NCF);
    PutLE<int32_t>(Out, 2704 + 12 * static_cast<size_t>(i), Layout[i].NA);
  }
  PutLE<int32_t>(Out, 2840, 405);
  PutLE<int32_t>(Out, 2844, Layout[12].Start);
  PutLE<int32_t>(Out, 2848, Layout[12].NCF);
  PutLE<int32_t>(Out, 2852, Layout[12].NA);

  // Record 2: the constant values.
  for (int i = 0; i < NCon; ++i)
    PutLE<double>(Out, RecBytes + 8 * static_cast<size_t>(i), Constants[i].Value);

  // Records 3 ...: the coefficients. The Sun first: the planets are heliocentric in ERFA
  // and become barycentric with the Sun's series of the same record.
  std::vector<double> Rec(static_cast<size_t>(KSize));
  TModel Model;
  Model.RecDays = Opt.DaysPerRecord;
  for (int r = 0; r < NData; ++r) {
    std::fill(Rec.begin(), Rec.end(), 0.0);
    const double T0 = Opt.JDStart + r * Opt.DaysPerRecord;
    Rec[0] = T0;
    Rec[1] = T0 + Opt.DaysPerRecord;
    Model.RecStart = T0;
    Model.SunCoef = &Rec[static_cast<size_t>(Layout[10].Start - 1)];
    FitItem(11, T0, Opt.DaysPerRecord, Model, Rec);
    for (int Item : {1, 2, 3, 4, 5, 6, 7, 8, 10, 12})
      FitItem(Item, T0, Opt.DaysPerRecord, Model, Rec);
    const size_t Base = (static_cast<size_t>(r) + 2) * RecBytes;
    for (int k = 0; k < KSize; ++k)
      PutLE<double>(Out, Base + 8 * static_cast<size_t>(k), Rec[static_cast<size_t>(k)]);
  }
  return Out;
}

void WriteEphemerisFile(const std::string &FName, const TEphemGenOptions &Opt) {
  const std::string Bytes = GenerateEphemeris(Opt);
  const std::string Tmp = FName + ".tmp";
  std::FILE *F = std::fopen(Tmp.c_str(), "wb");
  if (!F) throw std::runtime_error("Cannot create file \"" + Tmp + "\". " + std::strerror(errno));
  const bool Ok = std::fwrite(Bytes.data(), 1, Bytes.size(), F) == Bytes.size();
  const bool Closed = std::fclose(F) == 0;
  if (!Ok || !Closed || std::rename(Tmp.c_str(), FName.c_str()) != 0) {
    const std::string Msg = std::strerror(errno);
    std::remove(Tmp.c_str());
    throw std::runtime_error("Cannot write file \"" + FName + "\". " + Msg);
  }
}

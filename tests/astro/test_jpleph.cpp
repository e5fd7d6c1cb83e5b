// The ephemeris reader on small DE-layout files written by the test with known Chebyshev
// coefficients: the header, the byte order, interpolation of positions and velocities against
// the series written out by hand, the body combinations of PLEPH, the edge cases of the
// format, and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "JplTestFile.h"
#include "Units/UJplEph.h"
#include "common/TestUtil.h"
#include "core/UErrors.h"

using jpltest::HandSeries;
using jpltest::TMiniEph;

namespace {

std::string ErrorOf(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "";
}

std::unique_ptr<TJplEph> Open(const TMiniEph &E, bool BigEndian = false) {
  return TJplEph::FromMemory(E.Bytes(BigEndian), BigEndian);
}

// Relative agreement for values of any size.
void ExpectClose(double Got, double Want, const std::string &What) {
  EXPECT_NEAR(Got, Want, 1e-13 * std::max(1.0, std::fabs(Want))) << What;
}

// A layout with all ten bodies and the Sun, three coefficients each.
TMiniEph FullBodies() {
  TMiniEph E;
  for (int i = 0; i < 11; ++i)
    E.IPT[i] = {3 + 9 * i, 3, 1};
  E.IPT[11] = {102, 3, 2};
  E.IPT[12] = {395, 2, 1};
  return E;
}

const double Dates[] = {2451536.5, 2451540.123, 2451552.5, 2451552.4999, 2451568.5, 2451575.75, 2451600.5};

} // namespace

TEST(JplEph, HeaderFieldsAtTheirOffsetsInBothByteOrders) {
  TMiniEph M;
  M.Title[0] = "Title one";
  for (bool Big : {false, true}) {
    SCOPED_TRACE(Big ? "big-endian" : "little-endian");
    auto E = Open(M, Big);
    EXPECT_EQ(E->Title(1), "Title one");
    EXPECT_EQ(E->Title(2), "line two");
    EXPECT_EQ(std::string(E->Header().TTL3, 10), "line three");
    EXPECT_EQ(std::string(E->Header().CNAM[1], 6), "EMRAT ");
    EXPECT_EQ(E->Header().SS[0], 2451536.5);
    EXPECT_EQ(E->Header().SS[1], 2451600.5);
    EXPECT_EQ(E->Header().SS[2], 32.0);
    EXPECT_EQ(E->Header().NCON, 12);
    EXPECT_EQ(E->Header().AU, 149597870.691);
    EXPECT_EQ(E->Header().EMRAT, 81.30056);
    EXPECT_EQ(E->Header().IPTL[0][0], 3);
    EXPECT_EQ(E->Header().IPTL[0][1], 4);
    EXPECT_EQ(E->Header().IPTL[0][2], 2);
    EXPECT_EQ(E->Header().IPTL[11][0], 54);
    EXPECT_EQ(E->Header().NUMDE, 405);
    EXPECT_EQ(E->Header().IPTT[0], 395);
    EXPECT_EQ(E->RecSize(), 3200); // (395 + 2*1*3 - 1) doubles
    EXPECT_EQ(E->NumRecs(), 4);    // 64 days / 32 + 2
    EXPECT_EQ(E->FileSize(), 4 * 3200);
    EXPECT_EQ(E->CVal(0), 149597870.691);
    EXPECT_FALSE(E->IsKm());
    EXPECT_FALSE(E->IsBary());
  }
  // A big-endian file read as little-endian has no sensible AU.
  EXPECT_EQ(ErrorOf([&] { TJplEph::FromMemory(M.Bytes(true), false); }), "No JPL ephemeris file");
}

TEST(JplEph, SplitKeepsTheFractionInZeroToOne) {
  struct {
    double X, I, F;
  } Rows[] = {{2.5, 2, 0.5}, {-1.25, -2, 0.75}, {-3, -3, 0}, {0, 0, 0}, {2451545.0, 2451545, 0}};
  for (const auto &R : Rows) {
    double I, F;
    TJplEph::SPLIT(R.X, I, F);
    EXPECT_EQ(I, R.I) << R.X;
    EXPECT_EQ(F, R.F) << R.X;
  }
}

// INTERP against T_j(x) = cos(j arccos x) and T_j'(x) = j sin(j t) / sin t (x = cos t), on
// 18 coefficients (the most the reader takes) and three sub-intervals.
TEST(JplEph, InterpMatchesTheTrigonometricFormOfTheSeries) {
  auto E = Open(TMiniEph());
  const int NCF = 18, NCM = 3, NA = 3;
  std::vector<double> Coef(static_cast<size_t>(NCF * NCM * NA));
  for (size_t k = 0; k < Coef.size(); ++k)
    Coef[k] = std::sin(1.0 + 0.37 * static_cast<double>(k)) * 1000.0;
  // At the ends of a sub-interval (x = -1, 1) the derivative is T_j'(+-1) = (+-1)^(j+1) j^2.
  for (double T0 : {0.0, 0.05, 1.0 / 3.0 + 1e-4, 0.5, 0.8, 0.999, 1.0}) {
    const double T[2] = {T0, 32.0};
    double PV[6];
    E->INTERP(Coef.data(), T, NCF, NCM, NA, 2, PV);
    const int L = std::min(static_cast<int>(T0 * NA), NA - 1);
    const double X = std::clamp(2 * (T0 * NA - L) - 1, -1.0, 1.0), Th = std::acos(X);
    for (int c = 0; c < NCM; ++c) {
      double P = 0, V = 0, Size = 0;
      for (int j = 0; j < NCF; ++j) {
        const double Cj = Coef[static_cast<size_t>(j + NCF * c + NCF * NCM * L)];
        P += Cj * std::cos(j * Th);
        if (std::fabs(X) == 1)
          V += Cj * (j % 2 == 1 || X > 0 ? 1.0 : -1.0) * j * j;
        else
          V += Cj * j * std::sin(j * Th) / std::sin(Th);
        Size += std::fabs(Cj) * j * j;
      }
      V *= 2.0 * NA / 32.0;
      EXPECT_NEAR(PV[c], P, 1e-9) << "T=" << T0 << " component " << c;
      EXPECT_NEAR(PV[NCM + c], V, 1e-12 * Size) << "T=" << T0 << " component " << c;
    }
  }
  // The same instant with fewer coefficients after more: the cached values are reused.
  const double T[2] = {0.8, 32.0};
  double PV[6];
  E->INTERP(Coef.data(), T, 2, 1, 1, 2, PV);
  const double X = 2 * 0.8 - 1;
  EXPECT_NEAR(PV[0], Coef[0] + Coef[1] * X, 1e-9);
  EXPECT_NEAR(PV[1], Coef[1] * 2.0 / 32.0, 1e-12);
}

// Every body combination of PLEPH against the hand series, in AU and AU/day and in km and km/s.
TEST(JplEph, PlephCombinesTheBodiesAsDocumented) {
  const TMiniEph M = FullBodies();
  auto E = Open(M);
  const double AU = M.AU, K = 1.0 / (1.0 + M.EMRAT);
  for (bool Km : {false, true}) {
    E->SetKm(Km);
    // The hand series give km and km/day.
    const double PosUnit = Km ? 1.0 : 1.0 / AU, VelUnit = Km ? 1.0 / 86400.0 : 1.0 / AU;
    auto Unit = [&](int i) { return i < 3 ? PosUnit : VelUnit; };
    for (double JD : Dates) {
      // Barycentric states of every item by hand, km and km/day.
      double S[14][6] = {};
      for (int Item : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})
        for (int c = 0; c < 3; ++c)
          HandSeries(M, Item, JD, c, S[Item][c], S[Item][c + 3]);
      double Earth[6], MoonB[6], EMB[6], Moon[6];
      for (int i = 0; i < 6; ++i) {
        EMB[i] = S[3][i];
        Moon[i] = S[10][i];
        Earth[i] = EMB[i] - Moon[i] * K;
        MoonB[i] = Earth[i] + Moon[i];
      }
      auto Want = [&](int Body, double Out[6]) {
        for (int i = 0; i < 6; ++i) {
          switch (Body) {
          case 3:
            Out[i] = Earth[i];
            break;
          case 10:
            Out[i] = MoonB[i];
            break;
          case 12:
            Out[i] = 0;
            break;
          case 13:
            Out[i] = EMB[i];
            break;
          default:
            Out[i] = S[Body][i];
          }
        }
      };
      struct {
        int T, C;
      } Pairs[] = {{1, 12}, {3, 12}, {11, 12}, {13, 12}, {10, 12},
                   {1, 11}, {5, 3},  {12, 3},  {3, 13},  {13, 3}};
      for (const auto &P : Pairs) {
        double RRD[6], A[6], B[6];
        E->PLEPH(JD, P.T, P.C, RRD);
        Want(P.T, A);
        Want(P.C, B);
        for (int i = 0; i < 6; ++i)
          ExpectClose(RRD[i], (A[i] - B[i]) * Unit(i),
                      "PLEPH(" + std::to_string(P.T) + "," + std::to_string(P.C) + ") JD " +
                          std::to_string(JD) + " km=" + std::to_string(Km) + " i=" + std::to_string(i));
      }
      // The Earth-Moon pair: the geocentric Moon itself, or its negative.
      double RRD[6];
      E->PLEPH(JD, 10, 3, RRD);
      for (int i = 0; i < 6; ++i)
        ExpectClose(RRD[i], Moon[i] * Unit(i), "Moon-Earth");
      E->PLEPH(JD, 3, 10, RRD);
      for (int i = 0; i < 6; ++i)
        ExpectClose(RRD[i], -Moon[i] * Unit(i), "Earth-Moon");
    }
    EXPECT_FALSE(E->IsBary()) << "PLEPH restores the BARY flag";
  }
}

TEST(JplEph, StateIsHeliocentricUnlessBary) {
  const TMiniEph M;
  auto E = Open(M);
  const double JD = 2451575.75;
  double Merc[6], Sun[6], Moon[6];
  for (int c = 0; c < 3; ++c) {
    HandSeries(M, 1, JD, c, Merc[c], Merc[c + 3]);
    HandSeries(M, 11, JD, c, Sun[c], Sun[c + 3]);
    HandSeries(M, 10, JD, c, Moon[c], Moon[c + 3]);
  }
  for (bool Bary : {false, true}) {
    E->SetBary(Bary);
    const int LIST[12] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
    double PV[13][6] = {}, PNUT[4] = {};
    const double ET2[2] = {JD, 0};
    E->STATE(ET2, LIST, PV, PNUT);
    for (int i = 0; i < 6; ++i) { // AU and AU/day
      ExpectClose(PV[0][i], (Merc[i] - (Bary ? 0 : Sun[i])) / M.AU, "Mercury");
      ExpectClose(PV[9][i], Moon[i] / M.AU, "the Moon stays geocentric");
    }
  }
}

TEST(JplEph, DateSplitOverTwoNumbers) {
  auto E = Open(TMiniEph());
  const int LIST[12] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  double A[13][6] = {}, B[13][6] = {}, PNUT[4];
  const double One[2] = {2451540.25, 0}, Two[2] = {2451540.0, 0.25}, Three[2] = {2451500.75, 39.5};
  E->STATE(One, LIST, A, PNUT);
  E->STATE(Two, LIST, B, PNUT);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(A[0][i], B[0][i]);
  E->STATE(Three, LIST, B, PNUT);
  for (int i = 0; i < 6; ++i)
    EXPECT_NEAR(A[0][i], B[0][i], 1e-12 * std::fabs(A[0][i]));
}

TEST(JplEph, ZeroDateLeavesTheOutputUntouched) {
  auto E = Open(TMiniEph());
  const int LIST[12] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  double PV[13][6], PNUT[4] = {7, 7, 7, 7};
  for (auto &Row : PV)
    for (double &V : Row)
      V = 42;
  const double ET2[2] = {0, 2451540.0};
  E->STATE(ET2, LIST, PV, PNUT);
  for (auto &Row : PV)
    for (double V : Row)
      EXPECT_EQ(V, 42);
  for (double V : PNUT)
    EXPECT_EQ(V, 7);
  EXPECT_EQ(E->CachedRecord(), 0);
}

TEST(JplEph, LastInstantUsesTheLastRecord) {
  const TMiniEph M;
  auto E = Open(M);
  double RRD[6];
  E->PLEPH(M.SS[1], 11, 12, RRD);
  EXPECT_EQ(E->CachedRecord(), 4) << "record 4 is the last of the file";
  // The end of the last record: the series at x = 1, the plain sum of the coefficients.
  double Sum = 0;
  for (int J = 0; J < 3; ++J)
    Sum += TMiniEph::Coef(11, 1, 0, 0, J);
  ExpectClose(RRD[0], Sum / M.AU, "Sun x at the end");
  // And the first instant is record 3 at x = -1.
  E->PLEPH(M.SS[0], 11, 12, RRD);
  EXPECT_EQ(E->CachedRecord(), 3);
  double Alt = 0;
  for (int J = 0; J < 3; ++J)
    Alt += TMiniEph::Coef(11, 0, 0, 0, J) * (J % 2 ? -1 : 1);
  ExpectClose(RRD[0], Alt / M.AU, "Sun x at the start");
}

TEST(JplEph, DatesOutsideTheFileAreRefused) {
  const TMiniEph M;
  auto E = Open(M);
  double RRD[6];
  for (double JD : {M.SS[0] - 1e-6, M.SS[1] + 1e-6, 2400000.5, std::numeric_limits<double>::quiet_NaN(),
                    std::numeric_limits<double>::infinity()})
    EXPECT_EQ(ErrorOf([&] { E->PLEPH(JD, 3, 12, RRD); }), "Requested JED not within ephemeris limits") << JD;
}

TEST(JplEph, SameTargetAndCentreGivesZeros) {
  auto E = Open(TMiniEph());
  for (int B : {3, 11, 12}) {
    double RRD[6] = {1, 2, 3, 4, 5, 6};
    E->PLEPH(2451540.0, B, B, RRD);
    for (double V : RRD)
      EXPECT_EQ(V, 0);
  }
}

TEST(JplEph, EarthBarycentricInKmAndKmPerSecond) {
  const TMiniEph M;
  auto E = Open(M);
  E->SetKm(true);
  const double JD = 2451547.3;
  double RRD[6];
  E->PLEPH(JD, 3, 12, RRD);
  for (int c = 0; c < 3; ++c) {
    double EP, EV, MP, MV;
    HandSeries(M, 3, JD, c, EP, EV);
    HandSeries(M, 10, JD, c, MP, MV);
    ExpectClose(RRD[c], EP - MP / (1 + M.EMRAT), "km");
    ExpectClose(RRD[c + 3], (EV - MV / (1 + M.EMRAT)) / 86400.0, "km/s");
  }
  EXPECT_TRUE(E->IsKm());
}

TEST(JplEph, NutationsAndLibrations) {
  const TMiniEph M;
  auto E = Open(M);
  for (bool Km : {false, true}) {
    E->SetKm(Km);
    const double JD = 2451583.1; // record 4, second nutation sub-interval
    double RRD[6] = {9, 9, 9, 9, 9, 9};
    E->PLEPH(JD, 14, 0, RRD);
    for (int c = 0; c < 2; ++c) {
      double P, V;
      HandSeries(M, 12, JD, c, P, V);
      ExpectClose(RRD[c], P, "nutation");
      ExpectClose(RRD[2 + c], V / (Km ? 86400.0 : 1.0), "nutation rate");
    }
    EXPECT_EQ(RRD[4], 0);
    EXPECT_EQ(RRD[5], 0);
    E->PLEPH(JD, 15, 0, RRD);
    for (int c = 0; c < 3; ++c) {
      double P, V;
      HandSeries(M, 13, JD, c, P, V);
      ExpectClose(RRD[c], P, "libration");
      ExpectClose(RRD[3 + c], V / (Km ? 86400.0 : 1.0), "libration rate");
    }
  }
}

TEST(JplEph, ItemsWithoutCoefficientsAreRefused) {
  TMiniEph M;
  M.IPT[12] = {};          // no librations
  M.IPT[11] = {389, 3, 2}; // the nutations end the 400-double record instead
  auto E = Open(M);
  EXPECT_FALSE(E->HasItem(13));
  double RRD[6];
  EXPECT_EQ(ErrorOf([&] { E->PLEPH(2451540.0, 15, 0, RRD); }), "No librations on the ephemeris file");
  EXPECT_EQ(ErrorOf([&] { E->PLEPH(2451540.0, 2, 12, RRD); }), "No Venus on the ephemeris file");
  EXPECT_EQ(ErrorOf([&] { E->PLEPH(2451540.0, 3, 9, RRD); }), "No Pluto on the ephemeris file");
  EXPECT_NO_THROW(E->PLEPH(2451540.0, 14, 0, RRD));
  TMiniEph N;
  N.IPT[11] = {};
  auto F = Open(N);
  EXPECT_EQ(ErrorOf([&] { F->PLEPH(2451540.0, 14, 0, RRD); }), "No nutations on the ephemeris file");
  // STATE skips nutations that are not there rather than failing.
  const int LIST[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0};
  double PV[13][6], PNUT[4] = {5, 5, 5, 5};
  const double ET2[2] = {2451540.0, 0};
  F->STATE(ET2, LIST, PV, PNUT);
  EXPECT_EQ(PNUT[0], 5);
}

TEST(JplEph, OneRecordIsCached) {
  auto E = Open(TMiniEph());
  double RRD[6];
  const int64_t Before = E->RecordReads();
  E->PLEPH(2451540.0, 3, 12, RRD);
  E->PLEPH(2451541.0, 1, 11, RRD);
  E->PLEPH(2451568.0, 10, 3, RRD);
  EXPECT_EQ(E->RecordReads() - Before, 1);
  E->PLEPH(2451569.0, 3, 12, RRD);
  EXPECT_EQ(E->RecordReads() - Before, 2);
  EXPECT_EQ(E->CachedRecord(), 4);
}

TEST(JplEph, RecordAccess) {
  const TMiniEph M;
  auto Big = Open(M, true);
  std::vector<double> Rec(TJplEph::BufDoubles, 1.0);
  Big->GetRecord(3, Rec.data());
  EXPECT_EQ(Rec[0], 2451536.5);
  EXPECT_EQ(Rec[1], 2451568.5);
  EXPECT_EQ(Rec[2], TMiniEph::Coef(1, 0, 0, 0, 0));
  // The raw record keeps the file's byte order.
  std::vector<unsigned char> Raw(3200);
  Big->GetRawRecord(3, Raw.data());
  double First;
  unsigned char B[8];
  std::copy(Raw.begin(), Raw.begin() + 8, B);
  std::reverse(B, B + 8);
  std::memcpy(&First, B, 8);
  EXPECT_EQ(First, 2451536.5);
  for (int R : {0, 1, 2, 5}) {
    std::fill(Rec.begin(), Rec.end(), 1.0);
    Big->GetRecord(R, Rec.data());
    EXPECT_TRUE(std::all_of(Rec.begin(), Rec.end(), [](double V) { return V == 0; })) << R;
  }
  EXPECT_EQ(ErrorOf([&] { Big->GetRawRecord(0, Raw.data()); }), "GetRawRecord: RNum out of range");
  EXPECT_EQ(ErrorOf([&] { Big->GetRawRecord(5, Raw.data()); }), "GetRawRecord: RNum out of range");
  EXPECT_NO_THROW(Big->GetRawRecord(1, Raw.data()));
}

TEST(JplEph, ConstantsAndMasses) {
  const TMiniEph M;
  auto E = Open(M, true);
  EXPECT_EQ(E->GetCVal("AU    "), 149597870.691);
  EXPECT_EQ(E->GetCVal("EMRAT"), 81.30056);
  EXPECT_EQ(ErrorOf([&] { E->GetCVal("CLIGHT"); }), "Constant CLIGHT not found");
  EXPECT_EQ(ErrorOf([&] { E->GetCVal("emrat"); }), "Constant emrat not found");
  std::vector<double> GM(11);
  E->GetGM07(GM);
  EXPECT_EQ(GM[0], 2.959122082855911e-4);
  EXPECT_EQ(GM[1], 4.9e-11);
  EXPECT_DOUBLE_EQ(GM[3] + GM[10], 9.0e-10); // Earth + Moon = the pair's mass
  EXPECT_DOUBLE_EQ(GM[3] / GM[10], 81.30056);
  EXPECT_EQ(GM[9], 2.2e-12);
  std::vector<double> Short(10);
  EXPECT_EQ(ErrorOf([&] { E->GetGM07(Short); }), "GetGM07: Output array too short");
}

TEST(JplEph, HeliocentricPositionsOfAllBodies) {
  const TMiniEph M = FullBodies();
  auto E = Open(M);
  E->SetKm(true);
  const double JD = 2451560.2, K = 1 / (1 + M.EMRAT);
  std::vector<std::array<double, 6>> PV(11);
  std::vector<std::array<double, 3>> P(11);
  E->GetPosVel(JD, PV);
  EXPECT_FALSE(E->IsKm());
  EXPECT_TRUE(E->IsBary());
  E->GetPos07(JD, P);
  double S[12][6];
  for (int Item = 1; Item <= 11; ++Item)
    for (int c = 0; c < 3; ++c)
      HandSeries(M, Item, JD, c, S[Item][c], S[Item][c + 3]);
  for (int Body = 1; Body <= 10; ++Body)
    for (int i = 0; i < 6; ++i) {
      double W = S[Body][i];
      if (Body == 3) W = S[3][i] - S[10][i] * K;
      if (Body == 10) W = S[3][i] - S[10][i] * K + S[10][i];
      W = (W - S[11][i]) / M.AU;
      ExpectClose(PV[static_cast<size_t>(Body)][static_cast<size_t>(i)], W,
                  "GetPosVel body " + std::to_string(Body));
      if (i < 3) ExpectClose(P[static_cast<size_t>(Body)][static_cast<size_t>(i)], W, "GetPos07");
    }
  for (double V : PV[0])
    EXPECT_EQ(V, 0);
  std::vector<std::array<double, 3>> ShortP(10);
  std::vector<std::array<double, 6>> ShortPV(10);
  EXPECT_EQ(ErrorOf([&] { E->GetPos07(JD, ShortP); }), "GetPos07: Output array too short");
  EXPECT_EQ(ErrorOf([&] { E->GetPosVel(JD, ShortPV); }), "GetPosVel: Output array too short");
  // With a body missing they refuse rather than return zeros.
  auto Mini = Open(TMiniEph());
  EXPECT_EQ(ErrorOf([&] { Mini->GetPos07(JD, P); }), "No Venus on the ephemeris file");
}

// What Create refuses, and what it accepts at the edges.
TEST(JplEph, CreateValidatesTheFile) {
  const TMiniEph Good;
  const std::string Bytes = Good.Bytes();
  auto Err = [](const std::string &B) { return ErrorOf([&] { TJplEph::FromMemory(B, false); }); };
  EXPECT_EQ(Err(Bytes), "");
  EXPECT_EQ(Err(Bytes.substr(0, Bytes.size() - 3200)), "File is not complete") << "one record short";
  EXPECT_EQ(Err(Bytes.substr(0, Bytes.size() - 1)), "File is not complete");
  EXPECT_EQ(Err(Bytes + "tail"), "") << "extra bytes are harmless";
  EXPECT_EQ(Err(Bytes.substr(0, 2855)), "No JPL ephemeris file");
  EXPECT_EQ(Err(""), "No JPL ephemeris file");
  struct {
    double AU;
    bool Ok;
  } AUs[] = {{149597870.691, true},
             {149.69e6, true},
             {149.51e6, true},
             {149.71e6, false},
             {149.49e6, false},
             {1.0, false},
             {std::numeric_limits<double>::quiet_NaN(), false}};
  for (const auto &A : AUs) {
    TMiniEph M;
    M.AU = A.AU;
    EXPECT_EQ(Err(M.Bytes()), A.Ok ? "" : "No JPL ephemeris file") << A.AU;
  }
  {
    TMiniEph M; // 1500 doubles: exactly the buffer
    M.IPT[12] = {1495, 2, 1};
    EXPECT_EQ(Err(M.Bytes()), "");
    M.IPT[12] = {1496, 2, 1};
    EXPECT_EQ(Err(M.Bytes()), "Buffer BUF is too short");
  }
  // Damaged headers that would lead outside the buffers or the records.
  std::vector<std::pair<std::string, TMiniEph>> Bad;
  auto Add = [&](const std::string &What, auto Change) {
    TMiniEph M;
    Change(M);
    Bad.emplace_back(What, M);
  };
  Add("no days per record", [](TMiniEph &M) { M.SS[2] = 0; });
  Add("dates reversed", [](TMiniEph &M) { std::swap(M.SS[0], M.SS[1]); });
  Add("part of a record", [](TMiniEph &M) { M.SS[1] = M.SS[0] + 40; });
  Add("too many coefficients", [](TMiniEph &M) { M.IPT[0] = {3, 19, 1}; });
  Add("item beyond the record", [](TMiniEph &M) { M.IPT[0] = {3, 4, 40}; });
  Add("item inside the dates", [](TMiniEph &M) { M.IPT[0] = {2, 4, 2}; });
  Add("no sub-intervals", [](TMiniEph &M) { M.IPT[0] = {3, 4, 0}; });
  for (const auto &B : Bad)
    EXPECT_EQ(Err(B.second.Bytes()), "No JPL ephemeris file") << B.first;
}

TEST(JplEph, FilesOnDisk) {
  testutil::TTempDir Dir;
  const TMiniEph M;
  testutil::WriteFile(Dir.File("a.405"), M.Bytes());
  TJplEph E(Dir.File("a.405"), false);
  double RRD[6];
  E.PLEPH(2451540.0, 3, 12, RRD);
  auto Mem = Open(M);
  double Want[6];
  Mem->PLEPH(2451540.0, 3, 12, Want);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(RRD[i], Want[i]);
  const std::string Missing = ErrorOf([&] { TJplEph(Dir.File("none.405"), false); });
  EXPECT_EQ(Missing.rfind("Cannot open file \"" + Dir.File("none.405") + "\".", 0), 0u) << Missing;
  testutil::WriteFile(Dir.File("short.405"), M.Bytes().substr(0, 5000));
  EXPECT_EQ(ErrorOf([&] { TJplEph(Dir.File("short.405"), false); }), "File is not complete");
}

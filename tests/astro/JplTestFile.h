#pragma once
// Small ephemeris files in the JPL DE binary layout, written by the tests themselves with
// known Chebyshev coefficients, so that what the reader returns can be checked against the
// series evaluated by hand.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace jpltest {

struct TTriple {
  int Start = 0, NCF = 0, NA = 0;
};

class TMiniEph {
public:
  std::string Title[3] = {"Test ephemeris", "line two", "line three"};
  double SS[3] = {2451536.5, 2451600.5, 32.0}; // two 32-day records from 1999 DEC 24
  double AU = 149597870.691;
  double EMRAT = 81.30056;
  int NUMDE = 405;
  // Items 1 ... 13. The default places Mercury (4 coefficients, 2 sub-intervals), the
  // Earth-Moon barycentre, the Moon and the Sun (3 coefficients, 1 sub-interval), the
  // nutations (3 coefficients, 2 sub-intervals) and the librations (2 coefficients,
  // 1 sub-interval, ending the record at 400 doubles = 3200 bytes); the rest absent.
  TTriple IPT[13] = {{3, 4, 2}, {}, {27, 3, 1}, {},         {},         {},         {},
                     {},        {}, {36, 3, 1}, {45, 3, 1}, {54, 3, 2}, {395, 2, 1}};
  std::vector<std::pair<std::string, double>> Consts = {
      {"AU", 149597870.691}, {"EMRAT", 81.30056}, {"GMS", 2.959122082855911e-4},
      {"GM1", 4.9e-11},      {"GM2", 7.2e-10},    {"GMB", 9.0e-10},
      {"GM4", 9.5e-11},      {"GM5", 2.8e-7},     {"GM6", 8.5e-8},
      {"GM7", 1.3e-8},       {"GM8", 1.5e-8},     {"GM9", 2.2e-12}};

  static int Components(int Item) { return Item == 12 ? 2 : 3; }

  int KSize() const {
    int K = 0;
    for (int i = 1; i < 13; ++i)
      if (IPT[i].Start > IPT[K].Start) K = i;
    return IPT[K].Start + IPT[K].NCF * IPT[K].NA * Components(K + 1) - 1;
  }
  // Whole records between the dates (none for a damaged header).
  int NumData() const {
    const double N = SS[2] > 0 ? (SS[1] - SS[0]) / SS[2] : 0;
    return N > 0 && N < 1e6 ? static_cast<int>(N + 0.5) : 0;
  }

  // The coefficient c_j (0-based) of component Comp of sub-interval Sub of item Item in data
  // record Rec (0-based): a value that differs for every index, of the size of a body's
  // coordinates in km for the bodies, of radians for the nutations and librations.
  static double Coef(int Item, int Rec, int Sub, int Comp, int J) {
    const double Scale = Item >= 12 ? 1e-4 : 1e6;
    return Scale * (Item + 0.1 * Rec + 0.01 * Sub + 0.001 * (Comp + 1)) * (J % 2 ? -1 : 1) / (1 + J * J);
  }

  // Data record Rec (0-based) as doubles.
  std::vector<double> Record(int Rec) const {
    std::vector<double> R(static_cast<size_t>(KSize()), 0.0);
    R[0] = SS[0] + Rec * SS[2];
    R[1] = R[0] + SS[2];
    for (int Item = 1; Item <= 13; ++Item) {
      const TTriple &P = IPT[Item - 1];
      if (P.NCF <= 0) continue;
      const int NCM = Components(Item);
      for (int L = 0; L < P.NA; ++L)
        for (int C = 0; C < NCM; ++C)
          for (int J = 0; J < P.NCF; ++J) {
            // A deliberately damaged layout may point outside the record.
            const long K = P.Start - 1 + J + P.NCF * C + P.NCF * NCM * L;
            if (K >= 2 && K < static_cast<long>(R.size()))
              R[static_cast<size_t>(K)] = Coef(Item, Rec, L, C, J);
          }
    }
    return R;
  }

  // The whole file; BigEndian writes every number byte-reversed (a "Unix" file).
  std::string Bytes(bool BigEndian = false) const {
    const size_t RecBytes = static_cast<size_t>(KSize()) * 8;
    const size_t NRec = static_cast<size_t>(NumData()) + 2;
    std::string Out(std::max<size_t>(NRec * RecBytes, 2856 + 0), '\0');
    auto Text = [&](size_t Off, const std::string &S, size_t W) {
      std::string T = S.substr(0, W);
      T.resize(W, ' ');
      Out.replace(Off, W, T);
    };
    auto Num = [&](size_t Off, auto V) {
      unsigned char B[sizeof V];
      std::memcpy(B, &V, sizeof V);
      if (BigEndian != (std::endian::native == std::endian::big)) std::reverse(B, B + sizeof V);
      Out.replace(Off, sizeof V, reinterpret_cast<const char *>(B), sizeof V);
    };
    for (int i = 0; i < 3; ++i)
      Text(84 * static_cast<size_t>(i), Title[i], 84);
    for (size_t i = 0; i < 400; ++i)
      Text(252 + 6 * i, i < Consts.size() ? Consts[i].first : "", 6);
    for (size_t i = 0; i < 3; ++i)
      Num(2652 + 8 * i, SS[i]);
    Num(2676, static_cast<int32_t>(Consts.size()));
    Num(2680, AU);
    Num(2688, EMRAT);
    for (size_t i = 0; i < 12; ++i) {
      Num(2696 + 12 * i, static_cast<int32_t>(IPT[i].Start));
      Num(2700 + 12 * i, static_cast<int32_t>(IPT[i].NCF));
      Num(2704 + 12 * i, static_cast<int32_t>(IPT[i].NA));
    }
    Num(2840, static_cast<int32_t>(NUMDE));
    Num(2844, static_cast<int32_t>(IPT[12].Start));
    Num(2848, static_cast<int32_t>(IPT[12].NCF));
    Num(2852, static_cast<int32_t>(IPT[12].NA));
    for (size_t i = 0; i < Consts.size(); ++i)
      Num(RecBytes + 8 * i, Consts[i].second);
    for (int r = 0; r < NumData(); ++r) {
      const std::vector<double> R = Record(r);
      for (size_t k = 0; k < R.size(); ++k)
        Num((static_cast<size_t>(r) + 2) * RecBytes + 8 * k, R[k]);
    }
    return Out;
  }
};

// The Chebyshev polynomials T_0 ... T_3 and their derivatives written out by hand.
inline double Cheb(int J, double X) {
  switch (J) {
  case 0:
    return 1;
  case 1:
    return X;
  case 2:
    return 2 * X * X - 1;
  case 3:
    return 4 * X * X * X - 3 * X;
  }
  return 0;
}
inline double ChebDeriv(int J, double X) {
  switch (J) {
  case 0:
    return 0;
  case 1:
    return 1;
  case 2:
    return 4 * X;
  case 3:
    return 12 * X * X - 3;
  }
  return 0;
}

// Item Item's component Comp at date JD by the hand-written series: position and rate per
// day (the caller converts units).
inline void HandSeries(const TMiniEph &E, int Item, double JD, int Comp, double &Pos, double &RatePerDay) {
  const TTriple &P = E.IPT[Item - 1];
  int Rec = static_cast<int>((JD - E.SS[0]) / E.SS[2]);
  if (Rec >= E.NumData()) Rec = E.NumData() - 1;
  const double T = (JD - (E.SS[0] + Rec * E.SS[2])) / E.SS[2];
  int L = static_cast<int>(T * P.NA);
  if (L >= P.NA) L = P.NA - 1;
  const double X = 2 * (T * P.NA - L) - 1;
  Pos = 0;
  RatePerDay = 0;
  for (int J = 0; J < P.NCF; ++J) {
    Pos += TMiniEph::Coef(Item, Rec, L, Comp, J) * Cheb(J, X);
    RatePerDay += TMiniEph::Coef(Item, Rec, L, Comp, J) * ChebDeriv(J, X) * 2.0 * P.NA / E.SS[2];
  }
}

} // namespace jpltest

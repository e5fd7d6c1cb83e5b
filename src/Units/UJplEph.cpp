// TJplEph: the reader of JPL ephemeris files in the DE binary export layout.
#include "Units/UJplEph.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/UErrors.h"

#define ORVA_UNIT "UJplEph"

namespace {

const char *const NoEphFile = "No JPL ephemeris file";

// Whether values read from the file need their bytes reversed on this machine: the file is
// little-endian unless the byte-swap flag says otherwise.
bool NeedsSwap(bool IsUnix) { return (std::endian::native == std::endian::big) != IsUnix; }

template <typename T> T ByteSwap(T V) {
  unsigned char B[sizeof(T)];
  std::memcpy(B, &V, sizeof(T));
  std::reverse(B, B + sizeof(T));
  std::memcpy(&V, B, sizeof(T));
  return V;
}

template <typename T> T Get(const unsigned char *P, bool Swap) {
  T V;
  std::memcpy(&V, P, sizeof(T));
  return Swap ? ByteSwap(V) : V;
}

// Restores a flag when the scope ends, on every path.
class TFlagRestore {
public:
  explicit TFlagRestore(bool &Flag) : pFlag(Flag), pSaved(Flag) {}
  ~TFlagRestore() { pFlag = pSaved; }
  TFlagRestore(const TFlagRestore &) = delete;
  TFlagRestore &operator=(const TFlagRestore &) = delete;

private:
  bool &pFlag;
  bool pSaved;
};

} // namespace

TJplEph::TJplEph(const std::string &FName, bool IsUnix) {
  pName = FName;
  EphFile = std::fopen(FName.c_str(), "rb");
  if (!EphFile) OrvaRaise("Cannot open file \"" + FName + "\". " + std::strerror(errno));
  EphIsOpen = true;
  try {
    if (std::fseek(EphFile, 0, SEEK_END) != 0)
      OrvaRaise("Cannot read file \"" + FName + "\". " + std::strerror(errno));
    long Size = std::ftell(EphFile);
    if (Size < 0) OrvaRaise("Cannot read file \"" + FName + "\". " + std::strerror(errno));
    pFileSize = Size;
    Open(IsUnix);
  } catch (...) {
    std::fclose(EphFile);
    EphFile = nullptr;
    EphIsOpen = false;
    throw;
  }
}

std::unique_ptr<TJplEph> TJplEph::FromMemory(std::string Bytes, bool IsUnix, const std::string &Name) {
  std::unique_ptr<TJplEph> E(new TJplEph());
  E->pName = Name;
  E->pInMemory = true;
  E->pMem = std::move(Bytes);
  E->EphIsOpen = true;
  E->pFileSize = static_cast<int64_t>(E->pMem.size());
  E->Open(IsUnix);
  return E;
}

TJplEph::~TJplEph() {
  if (EphFile) std::fclose(EphFile);
}

void TJplEph::ReadAt(int64_t Offset, void *Dest, size_t Size, bool ZeroFillShort) {
  size_t Got = 0;
  if (Offset >= 0 && Offset < pFileSize) {
    size_t Avail = static_cast<size_t>(pFileSize - Offset);
    size_t Want = std::min(Size, Avail);
    if (pInMemory) {
      std::memcpy(Dest, pMem.data() + Offset, Want);
      Got = Want;
    } else {
      if (fseeko(EphFile, static_cast<off_t>(Offset), SEEK_SET) != 0)
        OrvaRaise("Cannot read file \"" + pName + "\". " + std::strerror(errno));
      Got = std::fread(Dest, 1, Want, EphFile);
      if (Got != Want && std::ferror(EphFile))
        OrvaRaise("Cannot read file \"" + pName + "\". " + std::strerror(errno));
    }
  }
  if (Got < Size) {
    if (!ZeroFillShort) OrvaRaise("Cannot read file \"" + pName + "\". Read beyond end of file");
    std::memset(static_cast<unsigned char *>(Dest) + Got, 0, Size - Got);
  }
}

void TJplEph::Open(bool IsUnix) {
  EphIsUnix = IsUnix;
  const bool Swap = NeedsSwap(IsUnix);
  // 1. The header.
  if (pFileSize < HeaderSize) OrvaRaise(NoEphFile);
  unsigned char H[HeaderSize];
  ReadAt(0, H, HeaderSize, false);
  std::memcpy(pHeader.TTL1, H + 0, 84);
  std::memcpy(pHeader.TTL2, H + 84, 84);
  std::memcpy(pHeader.TTL3, H + 168, 84);
  std::memcpy(pHeader.CNAM, H + 252, 2400);
  // 2. The validity test on AU, then the numbers of the header (swapped if needed).
  pHeader.AU = Get<double>(H + 2680, Swap);
  if (!(std::fabs(pHeader.AU / 1e6 - 149.6) <= 0.1)) OrvaRaise(NoEphFile);
  for (int i = 0; i < 3; ++i)
    pHeader.SS[i] = Get<double>(H + 2652 + 8 * i, Swap);
  pHeader.NCON = Get<int32_t>(H + 2676, Swap);
  pHeader.EMRAT = Get<double>(H + 2688, Swap);
  for (int i = 0; i < 12; ++i)
    for (int j = 0; j < 3; ++j)
      pHeader.IPTL[i][j] = Get<int32_t>(H + 2696 + 12 * i + 4 * j, Swap);
  pHeader.NUMDE = Get<int32_t>(H + 2840, Swap);
  for (int j = 0; j < 3; ++j)
    pHeader.IPTT[j] = Get<int32_t>(H + 2844 + 4 * j, Swap);
  // 3. The pointer triples.
  for (int i = 0; i < 12; ++i)
    for (int j = 0; j < 3; ++j)
      IPT[i][j] = pHeader.IPTL[i][j];
  for (int j = 0; j < 3; ++j)
    IPT[12][j] = pHeader.IPTT[j];
  // 4. Record size from the item that starts last.
  int KMax = 0;
  for (int i = 1; i < 13; ++i)
    if (IPT[i][0] > IPT[KMax][0]) KMax = i;
  const int64_t KComp = KMax == 11 ? 2 : 3;
  const int64_t KSize = int64_t(IPT[KMax][0]) + int64_t(IPT[KMax][1]) * IPT[KMax][2] * KComp - 1;
  // Checks a genuine file always passes, so that a damaged header cannot lead the reader
  // outside its buffers: a positive record length (the two dates at least), dates in order
  // with a whole number of records between them, a usable number of constants, and every
  // item with coefficients lying inside the record with at most MaxCoeffs per component.
  const double *SS = pHeader.SS;
  if (KSize < 2 || KSize > (int64_t(1) << 28)) OrvaRaise(NoEphFile);
  if (!(std::isfinite(SS[0]) && std::isfinite(SS[1]) && std::isfinite(SS[2]) && SS[2] > 0 && SS[1] > SS[0]))
    OrvaRaise(NoEphFile);
  const double Span = (SS[1] - SS[0]) / SS[2];
  if (!(Span <= 1e9) || std::fabs(Span - std::nearbyint(Span)) > 1e-6) OrvaRaise(NoEphFile);
  if (pHeader.NCON < 0) OrvaRaise(NoEphFile);
  for (int i = 0; i < 13; ++i) {
    if (IPT[i][1] <= 0) continue; // no coefficients for this item
    const int64_t Comp = i == 11 ? 2 : 3;
    if (IPT[i][0] < 3 || IPT[i][1] > MaxCoeffs || IPT[i][2] < 1 || IPT[i][2] > 1000000) OrvaRaise(NoEphFile);
    if (int64_t(IPT[i][0]) + int64_t(IPT[i][1]) * IPT[i][2] * Comp - 1 > KSize) OrvaRaise(NoEphFile);
  }
  const int64_t RecSize = 8 * KSize;
  // 5. Number of records.
  const int64_t NumRecs = static_cast<int64_t>(std::nearbyint(Span)) + 2;
  // 6. Completeness and the buffer.
  if (pFileSize < NumRecs * RecSize) OrvaRaise("File is not complete");
  if (RecSize > 8 * BufDoubles) OrvaRaise("Buffer BUF is too short");
  pRecSize = static_cast<int>(RecSize);
  pNumRecs = static_cast<int>(NumRecs);
  // 7. Record 1 into BUF, then the constant values.
  GetRawRecord(1, BUF.data());
  unsigned char C[ConstBytes];
  ReadAt(pRecSize, C, ConstBytes, true);
  const int NC = CValCount();
  for (int i = 0; i < 400; ++i)
    pConstVal[i] = Get<double>(C + 8 * i, Swap && i < NC);
  // 8. Interpolation state.
  NP = 2;
  NV = 3;
  std::fill(std::begin(PC), std::end(PC), 0.0);
  std::fill(std::begin(VC), std::end(VC), 0.0);
  PC[0] = 1;
  VC[1] = 1;
  TWOT = 0;
  pNRL = 0;
}

int TJplEph::CValCount() const { return std::clamp(pHeader.NCON, 0, 400); }

std::string TJplEph::Title(int Line) const {
  const char *T = Line == 1 ? pHeader.TTL1 : Line == 2 ? pHeader.TTL2 : Line == 3 ? pHeader.TTL3 : nullptr;
  if (!T) OrvaAssertFail(ORVA_UNIT, __LINE__);
  std::string S(T, 84);
  size_t E = S.size();
  while (E > 0 && (static_cast<unsigned char>(S[E - 1]) <= 32))
    --E;
  S.resize(E);
  return S;
}

bool TJplEph::HasItem(int Item) const {
  ORVA_ASSERT(Item >= 1 && Item <= 13);
  return IPT[Item - 1][1] > 0;
}

std::string TJplEph::ItemName(int Item) const {
  static const char *const Names[13] = {"Mercury",   "Venus",   "Earth-Moon barycentre",
                                        "Mars",      "Jupiter", "Saturn",
                                        "Uranus",    "Neptune", "Pluto",
                                        "Moon",      "Sun",     "nutations",
                                        "librations"};
  ORVA_ASSERT(Item >= 1 && Item <= 13);
  return Names[Item - 1];
}

void TJplEph::GetRawRecord(int RNum, void *Dest) {
  if (RNum < 1 || RNum > pNumRecs) OrvaRaise("GetRawRecord: RNum out of range");
  ReadAt(int64_t(RNum - 1) * pRecSize, Dest, static_cast<size_t>(pRecSize), false);
  ++pRecordReads;
}

void TJplEph::GetRecord(int RNum, double *Dest) {
  if (RNum < 3 || RNum > pNumRecs) {
    std::fill(Dest, Dest + BufDoubles, 0.0);
    return;
  }
  GetRawRecord(RNum, Dest);
  if (NeedsSwap(EphIsUnix))
    for (int i = 0; i < pRecSize / 8; ++i)
      Dest[i] = ByteSwap(Dest[i]);
}

void TJplEph::SPLIT(double X, double &I, double &F) {
  I = std::trunc(X);
  F = X - I;
  if (X < 0 && F != 0) {
    I = I - 1;
    F = F + 1;
  }
}

void TJplEph::INTERP(const double *Coef, const double T[2], int NCF, int NCM, int NA, int IFL, double *PV) {
  ORVA_ASSERT(NCF >= 1 && NCF <= MaxCoeffs && NCM >= 1 && NA >= 1 && (IFL == 1 || IFL == 2));
  // 1.
  ORVA_ASSERT(T[0] >= 0 && T[0] <= 1); // "Assert 1"
  // 2. Sub-interval and Chebyshev time.
  const double DNA = NA;
  const double DT1 = std::trunc(T[0]);
  const double Temp = DNA * T[0];
  int L = static_cast<int>(std::trunc(Temp - DT1)) + 1;
  double TC = 2.0 * (std::fmod(Temp, 1.0) + DT1) - 1.0;
  if (L > NA) {
    // NA*T rounded up to NA for a T just below 1: the end of the last sub-interval.
    L = NA;
    TC = 1.0;
  }
  ORVA_ASSERT(TC >= -1 && TC <= 1); // "Assert 2"
  // 3. A new Chebyshev time restarts the cached values.
  if (TC != PC[1]) {
    NP = 2;
    NV = 3;
    PC[1] = TC;
    TWOT = TC + TC;
  }
  // 4. Extend the Chebyshev values as far as needed.
  if (NP < NCF) {
    for (int k = NP; k < NCF; ++k)
      PC[k] = TWOT * PC[k - 1] - PC[k - 2];
    NP = NCF;
  }
  // 5. Positions: BUF(j, i, L) is Coef[(j-1) + NCF*(i-1) + NCF*NCM*(L-1)].
  const double *Sub = Coef + static_cast<size_t>(NCF) * NCM * (L - 1);
  for (int i = 0; i < NCM; ++i) {
    const double *C = Sub + static_cast<size_t>(NCF) * i;
    double S = 0;
    for (int j = NCF - 1; j >= 0; --j)
      S += PC[j] * C[j];
    PV[i] = S;
  }
  if (IFL <= 1) return;
  // 6. Velocities.
  const double VFAC = (DNA + DNA) / T[1];
  VC[2] = TWOT + TWOT;
  if (NV < NCF) {
    for (int k = NV; k < NCF; ++k)
      VC[k] = TWOT * VC[k - 1] + PC[k - 1] + PC[k - 1] - VC[k - 2];
    NV = NCF;
  }
  for (int i = 0; i < NCM; ++i) {
    const double *C = Sub + static_cast<size_t>(NCF) * i;
    double S = 0;
    for (int j = NCF - 1; j >= 1; --j)
      S += VC[j] * C[j];
    PV[NCM + i] = S * VFAC;
  }
}

void TJplEph::STATE(const double ET2[2], const int LIST[12], double PV[13][6], double PNUT[4]) {
  // 1.
  if (ET2[0] == 0) return;
  // 2. The date split for precision: J + F with J a half-integer and 0 <= F < 1.
  double A, B, C, D, E, F;
  SPLIT(ET2[0] - 0.5, A, B);
  SPLIT(ET2[1], C, D);
  double J = A + C + 0.5;
  F = B + D;
  SPLIT(F, E, F);
  J = J + E;
  const double *SS = pHeader.SS;
  // 3. (Written so that a date that is not a number fails too.)
  if (!(J + F >= SS[0] && J + F <= SS[1])) OrvaRaise("Requested JED not within ephemeris limits");
  // 4. Record number; the last instant belongs to the last record.
  int NR = static_cast<int>(std::trunc((J - SS[0]) / SS[2])) + 3;
  if (J == SS[1]) NR = NR - 1;
  ORVA_ASSERT(NR >= 3 && NR <= pNumRecs); // "Assert 3"
  // 5. Normalised time and units.
  double T[2];
  T[0] = ((J - ((NR - 3) * SS[2] + SS[0])) + F) / SS[2];
  T[1] = pKM ? SS[2] * 86400.0 : SS[2];
  const double AUFAC = pKM ? 1.0 : 1.0 / pHeader.AU;
  // Items requested without coefficients are refused before anything changes.
  if (!HasItem(11)) OrvaRaise("No " + ItemName(11) + " on the ephemeris file");
  for (int i = 0; i < 10; ++i)
    if (LIST[i] > 0 && !HasItem(i + 1)) OrvaRaise("No " + ItemName(i + 1) + " on the ephemeris file");
  // 6. The one-record cache.
  if (NR != pNRL) {
    pNRL = 0;
    GetRecord(NR, BUF.data());
    pNRL = NR;
  }
  // 7. The Sun, barycentric.
  INTERP(&BUF[static_cast<size_t>(IPT[10][0] - 1)], T, IPT[10][1], 3, IPT[10][2], 2, PVSUN);
  for (double &V : PVSUN)
    V *= AUFAC;
  // 8. The bodies.
  for (int i = 0; i < 10; ++i) {
    if (LIST[i] <= 0) continue;
    const int IFL = std::min(LIST[i], 2);
    INTERP(&BUF[static_cast<size_t>(IPT[i][0] - 1)], T, IPT[i][1], 3, IPT[i][2], IFL, PV[i]);
    for (int j = 0; j < 3 * IFL; ++j) {
      if (i <= 8 && !pBARY)
        PV[i][j] = PV[i][j] * AUFAC - PVSUN[j];
      else
        PV[i][j] = PV[i][j] * AUFAC;
    }
  }
  // 9. Nutations (not scaled).
  if (LIST[10] > 0 && HasItem(12))
    INTERP(&BUF[static_cast<size_t>(IPT[11][0] - 1)], T, IPT[11][1], 2, IPT[11][2], std::min(LIST[10], 2),
           PNUT);
  // 10. Librations (not scaled) into the slot of item 11.
  if (LIST[11] > 0 && HasItem(13))
    INTERP(&BUF[static_cast<size_t>(IPT[12][0] - 1)], T, IPT[12][1], 3, IPT[12][2], std::min(LIST[11], 2),
           PV[10]);
}

void TJplEph::PLEPH(double ET, int NTARG, int NCENT, double RRD[6]) {
  ORVA_ASSERT(NTARG >= 1 && NTARG <= 15);
  ORVA_ASSERT(NTARG >= 14 || (NCENT >= 1 && NCENT <= 13));
  // 1.
  for (int i = 0; i < 6; ++i)
    RRD[i] = 0;
  if (NTARG == NCENT) return;
  int LIST[12] = {};
  double PV[13][6] = {};
  const double ET2[2] = {ET, 0.0};
  // 2. Nutations.
  if (NTARG == 14) {
    if (!HasItem(12)) OrvaRaise("No nutations on the ephemeris file");
    LIST[10] = 2;
    double PNUT[4] = {};
    STATE(ET2, LIST, PV, PNUT);
    for (int i = 0; i < 4; ++i)
      RRD[i] = PNUT[i];
    return;
  }
  // 3. Librations.
  if (NTARG == 15) {
    if (!HasItem(13)) OrvaRaise("No librations on the ephemeris file");
    LIST[11] = 2;
    double PNUT[4] = {};
    STATE(ET2, LIST, PV, PNUT);
    for (int i = 0; i < 6; ++i)
      RRD[i] = PV[10][i];
    return;
  }
  // 4. Barycentric output from STATE; the list from both bodies.
  TFlagRestore KeepBary(pBARY);
  pBARY = true;
  for (int K : {NTARG, NCENT}) {
    if (K <= 10) LIST[K - 1] = 2;
    if (K == 10) LIST[2] = 2;
    if (K == 3) LIST[9] = 2;
    if (K == 13) LIST[2] = 2;
  }
  double PNUT[4] = {};
  STATE(ET2, LIST, PV, PNUT);
  // 5.
  auto Involved = [&](int K) { return NTARG == K || NCENT == K; };
  if (Involved(11))
    for (int i = 0; i < 6; ++i)
      PV[10][i] = PVSUN[i];
  if (Involved(12))
    for (int i = 0; i < 6; ++i)
      PV[11][i] = 0;
  if (Involved(13))
    for (int i = 0; i < 6; ++i)
      PV[12][i] = PV[2][i];
  // 6. The Earth-Moon pair: the geocentric Moon directly.
  if (NTARG * NCENT == 30 && NTARG + NCENT == 13) {
    for (int i = 0; i < 6; ++i)
      PV[2][i] = 0;
  } else {
    // 7. The Earth from the Earth-Moon barycentre, then the Moon barycentric.
    if (LIST[2] == 2)
      for (int i = 0; i < 6; ++i)
        PV[2][i] = PV[2][i] - PV[9][i] / (1.0 + pHeader.EMRAT);
    if (LIST[9] == 2)
      for (int i = 0; i < 6; ++i)
        PV[9][i] = PV[2][i] + PV[9][i];
  }
  // 8.
  for (int i = 0; i < 6; ++i)
    RRD[i] = PV[NTARG - 1][i] - PV[NCENT - 1][i];
}

double TJplEph::GetCVal(const std::string &CName) const {
  std::string Key = CName;
  if (Key.size() < 6) Key.resize(6, ' ');
  const int N = CValCount();
  if (Key.size() == 6)
    for (int i = 0; i < N; ++i)
      if (std::memcmp(pHeader.CNAM[i], Key.data(), 6) == 0) return pConstVal[static_cast<size_t>(i)];
  OrvaRaise("Constant " + CName + " not found");
}

void TJplEph::GetGM07(std::vector<double> &GM) const {
  if (GM.size() < 11) OrvaRaise("GetGM07: Output array too short");
  static const char *const Names[10] = {"GMS   ", "GM1   ", "GM2   ", "GMB   ", "GM4   ",
                                        "GM5   ", "GM6   ", "GM7   ", "GM8   ", "GM9   "};
  for (int i = 0; i < 10; ++i)
    GM[static_cast<size_t>(i)] = GetCVal(Names[i]);
  const double GMB = GM[3];
  GM[3] = GMB / (1.0 / pHeader.EMRAT + 1.0);
  GM[10] = GMB / (1.0 + pHeader.EMRAT);
}

void TJplEph::HelioStates(double ET, int IFL, double PV[13][6]) {
  pKM = false;
  pBARY = true;
  int LIST[12] = {};
  for (int i = 0; i < 10; ++i)
    LIST[i] = IFL;
  double PNUT[4] = {};
  const double ET2[2] = {ET, 0.0};
  STATE(ET2, LIST, PV, PNUT);
  // Item 3 becomes the Earth, the Moon barycentric, as in PLEPH; then all heliocentric.
  const int N = 3 * IFL;
  for (int j = 0; j < N; ++j)
    PV[2][j] = PV[2][j] - PV[9][j] / (1.0 + pHeader.EMRAT);
  for (int j = 0; j < N; ++j)
    PV[9][j] = PV[2][j] + PV[9][j];
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < N; ++j)
      PV[i][j] -= PVSUN[j];
}

void TJplEph::GetPos07(double ET, std::vector<std::array<double, 3>> &Pos) {
  if (Pos.size() < 11) OrvaRaise("GetPos07: Output array too short");
  double PV[13][6] = {};
  HelioStates(ET, 1, PV);
  Pos[0] = {0, 0, 0};
  for (size_t i = 1; i <= 10; ++i)
    for (size_t j = 0; j < 3; ++j)
      Pos[i][j] = PV[i - 1][j];
}

void TJplEph::GetPosVel(double ET, std::vector<std::array<double, 6>> &PosVel) {
  if (PosVel.size() < 11) OrvaRaise("GetPosVel: Output array too short");
  double PV[13][6] = {};
  HelioStates(ET, 2, PV);
  PosVel[0] = {0, 0, 0, 0, 0, 0};
  for (size_t i = 1; i <= 10; ++i)
    for (size_t j = 0; j < 6; ++j)
      PosVel[i][j] = PV[i - 1][j];
}

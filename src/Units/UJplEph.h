#pragma once
// TJplEph: reader of a JPL planetary and lunar ephemeris in the DE binary export layout.
// Positions and velocities of solar-system bodies at a Julian ephemeris date by
// Chebyshev interpolation, following JPL's reader routines STATE, INTERP, PLEPH and SPLIT.
//
// Index conventions: JPL counts items, bodies and list entries from 1; the C++ arrays here
// are 0-based, so LIST[0] is JPL's LIST(1) (Mercury), PV[2] is item 3 (the Earth-Moon
// barycentre), IPT[12] is item 13 (the lunar librations). Body numbers passed to PLEPH are
// JPL's (1 Mercury ... 15 librations).
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Record 1 of the file, the first 2856 bytes (offsets in the comments).
struct TEphHeader {
  char TTL1[84];       // 0
  char TTL2[84];       // 84
  char TTL3[84];       // 168
  char CNAM[400][6];   // 252
  double SS[3];        // 2652: first JD, last JD, days per record
  int32_t NCON;        // 2676
  double AU;           // 2680
  double EMRAT;        // 2688
  int32_t IPTL[12][3]; // 2696
  int32_t NUMDE;       // 2840
  int32_t IPTT[3];     // 2844
};

class TJplEph {
public:
  static constexpr int HeaderSize = 2856;
  static constexpr int BufDoubles = 1500; // BUF: 12000 bytes
  static constexpr int ConstBytes = 3200; // 400 constant values
  static constexpr int MaxCoeffs = 18;    // PC and VC hold 18 values

  // Create: opens FName read-only and validates it. IsUnix: byte-swap every value read
  // (the program always passes false). Raises EOrvaError "No JPL ephemeris file",
  // "File is not complete", "Buffer BUF is too short", or the input/output error.
  TJplEph(const std::string &FName, bool IsUnix);
  // The same on an in-memory image of a file (tests and the fuzz target); Name is used in
  // messages only.
  static std::unique_ptr<TJplEph> FromMemory(std::string Bytes, bool IsUnix,
                                             const std::string &Name = "<memory>");
  // Destroy: closes the file.
  ~TJplEph();
  TJplEph(const TJplEph &) = delete;
  TJplEph &operator=(const TJplEph &) = delete;

  // Data record RNum (byte-swapped if needed) into Dest, which holds BufDoubles values;
  // RNum < 3 or > NumRecs fills all BufDoubles values with zeros instead.
  void GetRecord(int RNum, double *Dest);
  // Record RNum (1 ... NumRecs) without byte swapping into Dest, RecSize bytes;
  // otherwise "GetRawRecord: RNum out of range".
  void GetRawRecord(int RNum, void *Dest);

  // ET2[0] + ET2[1] is the date. LIST[i] for items i+1 = 1 ... 10, then 11 = nutations,
  // 12 = librations: 0 skip, 1 position, 2 position and velocity. PV[i] receives item i+1
  // (librations in PV[10]); PNUT the nutations. ET2[0] = 0 returns at once.
  void STATE(const double ET2[2], const int LIST[12], double PV[13][6], double PNUT[4]);
  // RRD = state of NTARG relative to NCENT (bodies 1 ... 13); 14 nutations, 15 librations
  // (NCENT ignored). NTARG = NCENT gives zeros.
  void PLEPH(double ET, int NTARG, int NCENT, double RRD[6]);
  // Chebyshev interpolation of one item: Coef points at its first coefficient in BUF;
  // T[0] normalised time in [0, 1], T[1] the record length (days or seconds); NCF
  // coefficients per component, NCM components, NA sub-intervals, IFL 1 position, 2 position
  // and velocity. PV receives NCM positions followed by NCM velocities.
  void INTERP(const double *Coef, const double T[2], int NCF, int NCM, int NA, int IFL, double *PV);
  // (i, f) with i integral, 0 <= f < 1 and i + f = X.
  static void SPLIT(double X, double &I, double &F);

  // Value of the constant named CName (compared blank-padded to 6 characters);
  // "Constant NAME not found".
  double GetCVal(const std::string &CName) const;
  // GM of the Sun, Mercury ... Pluto with the Earth and the Moon split (GM[3] Earth,
  // GM[10] Moon). GM needs 11 entries.
  void GetGM07(std::vector<double> &GM) const;
  // Heliocentric positions (AU) / positions and velocities (AU, AU/day): row 0 the Sun
  // (zeros), rows 1 ... 10 the bodies 1 ... 10 (the Earth itself, not the Earth-Moon
  // barycentre, and the Moon heliocentric too). Sets IsKm false and IsBary true.
  // Pos needs 11 rows ("GetPos07: Output array too short").
  void GetPos07(double ET, std::vector<std::array<double, 3>> &Pos);
  void GetPosVel(double ET, std::vector<std::array<double, 6>> &PosVel);

  int64_t FileSize() const { return pFileSize; }
  int RecSize() const { return pRecSize; }
  int NumRecs() const { return pNumRecs; }
  const TEphHeader &Header() const { return pHeader; }
  // Constant value I (0-based, I < 400); CValCount() of them are in use.
  double CVal(int I) const { return pConstVal.at(static_cast<size_t>(I)); }
  int CValCount() const;
  // Title line 1 ... 3 without its trailing blanks.
  std::string Title(int Line) const;
  bool IsKm() const { return pKM; }
  void SetKm(bool V) { pKM = V; }
  bool IsBary() const { return pBARY; }
  void SetBary(bool V) { pBARY = V; }
  // Whether item I (1 ... 13) has coefficients on the file.
  bool HasItem(int Item) const;
  // Number of the record held in BUF (0 = none): the one-record cache.
  int CachedRecord() const { return pNRL; }
  // Number of records read from the file since creation (the cache's effect, for tests).
  int64_t RecordReads() const { return pRecordReads; }

private:
  TJplEph() = default;
  void Open(bool IsUnix);
  void ReadAt(int64_t Offset, void *Dest, size_t Size, bool ZeroFillShort);
  std::string ItemName(int Item) const;
  void HelioStates(double ET, int IFL, double PV[13][6]);

  std::string pName;
  std::FILE *EphFile = nullptr;
  bool EphIsOpen = false;
  bool pInMemory = false;
  std::string pMem;
  bool EphIsUnix = false;
  int64_t pFileSize = 0;
  int pRecSize = 0;
  int pNumRecs = 0;
  TEphHeader pHeader{};
  std::array<double, 400> pConstVal{};
  int IPT[13][3]{};
  std::array<double, BufDoubles> BUF{};
  int pNRL = 0;
  bool pKM = false;
  bool pBARY = false;
  int NP = 2, NV = 3;
  double TWOT = 0;
  double PC[MaxCoeffs]{};
  double VC[MaxCoeffs]{};
  double PVSUN[6]{};
  int64_t pRecordReads = 0;
};

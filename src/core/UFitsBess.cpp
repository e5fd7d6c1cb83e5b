#include "core/UFitsBess.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <type_traits>
#include <unordered_set>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/ULargeArray.h"
#include "core/USafeFile.h"

#define ORVA_UNIT "UFitsBess"

namespace {

constexpr int CardLen = 80;
constexpr int BlockLen = 2880;
constexpr int CardsPerBlock = BlockLen / CardLen;
constexpr int MaxHeaderCards = 36000;
const char *const AddedComment = "added by Orvalumetrix";

// Columns From..From+Len-1 (1-based) of a card, blanks where the card is shorter.
std::string Cols(const std::string &Card, int From, int Len) {
  std::string R(static_cast<size_t>(Len), ' ');
  for (int i = 0; i < Len; ++i) {
    size_t P = static_cast<size_t>(From - 1 + i);
    if (P < Card.size()) R[static_cast<size_t>(i)] = Card[P];
  }
  return R;
}

// Columns From..80 of a card.
std::string ColsFrom(const std::string &Card, int From) {
  return From > CardLen ? std::string() : Cols(Card, From, CardLen - From + 1);
}

std::string PadKey(const std::string &Key) {
  std::string K = Key.substr(0, 8);
  K.resize(8, ' ');
  return K;
}

// Cut to 80 characters and pad with blanks to 80.
std::string Finish(std::string Card, const std::string &Comment) {
  if (!Comment.empty()) Card += " / " + Comment;
  Card.resize(CardLen, ' ');
  return Card;
}

// The comment of a number or logical card: after the first "/" from column 31.
std::string CommentFrom(const std::string &Card, size_t Start) {
  if (Start >= Card.size()) return std::string();
  size_t P = Card.find('/', Start);
  if (P == std::string::npos || P >= static_cast<size_t>(CardLen)) return std::string();
  return Trim(std::string_view(Card).substr(P + 1, static_cast<size_t>(CardLen) - P - 1));
}

// A string value as the editor takes it: the text as typed, optionally between quotes (as
// ReadLine shows it); one leading and one trailing quote are not part of the string.
std::string EditedString(const std::string &Value) {
  std::string V = Value;
  if (!V.empty() && V.front() == '\'') V.erase(0, 1);
  if (!V.empty() && V.back() == '\'') V.pop_back();
  return V;
}

bool PlainIntegerText(const std::string &S) {
  size_t i = 0;
  while (i < S.size() && S[i] == ' ')
    ++i;
  if (i < S.size() && (S[i] == '-' || S[i] == '+')) ++i;
  if (i >= S.size()) return false;
  for (; i < S.size(); ++i)
    if (S[i] < '0' || S[i] > '9') return false;
  return true;
}

int64_t FileSizeOf(std::FILE *F) {
  struct stat St;
  if (::fstat(fileno(F), &St) != 0) return -1;
  return static_cast<int64_t>(St.st_size);
}

template <typename T> T LoadBE(const unsigned char *P) {
  using U = std::conditional_t<
      sizeof(T) == 1, uint8_t,
      std::conditional_t<sizeof(T) == 2, uint16_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;
  U V;
  std::memcpy(&V, P, sizeof V);
  if constexpr (std::endian::native == std::endian::little && sizeof(T) > 1) {
    if constexpr (sizeof(T) == 2) V = static_cast<U>(__builtin_bswap16(V));
    if constexpr (sizeof(T) == 4) V = __builtin_bswap32(V);
    if constexpr (sizeof(T) == 8) V = __builtin_bswap64(V);
  }
  T R;
  std::memcpy(&R, &V, sizeof R);
  return R;
}

// The extremes of the finite values met, in four independent lanes (a value that lowers the
// minimum cannot raise the maximum, so the lanes find the same extremes as one chain).
struct TLanes {
  static constexpr double Inf = std::numeric_limits<double>::infinity();
  double Mn[4] = {Inf, Inf, Inf, Inf}, Mx[4] = {-Inf, -Inf, -Inf, -Inf};
  void Add(int k, double V) {
    const bool Finite = std::fabs(V) <= std::numeric_limits<double>::max(); // not NaN, not inf
    Mn[k] = Finite && V < Mn[k] ? V : Mn[k];
    Mx[k] = Finite && V > Mx[k] ? V : Mx[k];
  }
  void Result(double &Lo, double &Hi) const {
    Lo = std::min(std::min(Mn[0], Mn[1]), std::min(Mn[2], Mn[3]));
    Hi = std::max(std::max(Mx[0], Mx[1]), std::max(Mx[2], Mx[3]));
  }
};

// One stored value as a physical value: raw x BSCALE + BZERO in extended precision (without
// scaling the plain conversion gives the same value and is much cheaper). An integer equal
// to BLANK is an undefined pixel; the comparison is with the stored integer, before scaling.
template <typename T, bool Scaled, bool Blanked>
inline double Physical(const unsigned char *P, long double S, long double Z, int64_t Blank) {
  const T R = LoadBE<T>(P);
  if constexpr (Blanked)
    if (static_cast<int64_t>(R) == Blank) return std::numeric_limits<double>::quiet_NaN();
  if constexpr (Scaled)
    return static_cast<double>(static_cast<long double>(R) * S + Z);
  else
    return static_cast<double>(R);
}

template <typename T, bool Scaled, bool Blanked>
void ConvertChunk(const unsigned char *Raw, size_t K, long double S, long double Z, int64_t Blank,
                  TDblArr1D &Out, TLanes &L) {
  // Converted in small blocks on the stack and appended from there: the loop keeps its
  // constants in registers, and the array is still written once.
  constexpr size_t Block = 1024;
  double Buf[Block];
  for (size_t First = 0; First < K; First += Block) {
    const size_t M = std::min(Block, K - First);
    const unsigned char *P = Raw + First * sizeof(T);
    size_t i = 0;
    for (; i + 4 <= M; i += 4)
      for (int k = 0; k < 4; ++k) {
        const double V = Physical<T, Scaled, Blanked>(P + (i + k) * sizeof(T), S, Z, Blank);
        L.Add(k, V);
        Buf[i + k] = V;
      }
    for (; i < M; ++i) {
      const double V = Physical<T, Scaled, Blanked>(P + i * sizeof(T), S, Z, Blank);
      L.Add(0, V);
      Buf[i] = V;
    }
    Out.insert(Out.end(), Buf, Buf + M);
  }
}

// Reads N values of type T from F in pieces that stay in the cache, converting each piece as
// it arrives and appending to Out (reserved for N). False when the file ends early.
template <typename T>
bool ReadValues(std::FILE *F, size_t N, double Scale, double Zero, bool HasBlank, int64_t Blank,
                TDblArr1D &Out, TLanes &L) {
  constexpr size_t ChunkValues = (size_t(1) << 18) / sizeof(T);
  std::unique_ptr<unsigned char[]> Buf(new unsigned char[ChunkValues * sizeof(T)]);
  const bool Scaled = !(Scale == 1.0 && Zero == 0.0);
  const bool Blanked = std::is_integral_v<T> && HasBlank;
  const long double S = Scale, Z = Zero;
  for (size_t Done = 0; Done < N;) {
    const size_t K = std::min(ChunkValues, N - Done);
    if (std::fread(Buf.get(), sizeof(T), K, F) != K) return false;
    if (Scaled) {
      if (Blanked)
        ConvertChunk<T, true, true>(Buf.get(), K, S, Z, Blank, Out, L);
      else
        ConvertChunk<T, true, false>(Buf.get(), K, S, Z, Blank, Out, L);
    } else {
      if (Blanked)
        ConvertChunk<T, false, true>(Buf.get(), K, S, Z, Blank, Out, L);
      else
        ConvertChunk<T, false, false>(Buf.get(), K, S, Z, Blank, Out, L);
    }
    Done += K;
  }
  return true;
}

} // namespace

TFitsBess::TFitsBess(const TFitsBess &Other) : pCards(Other.pCards) {}

TFitsBess &TFitsBess::operator=(const TFitsBess &Other) {
  if (this != &Other) pCards = Other.pCards;
  return *this;
}

const std::string &TFitsBess::Strings(int N) const {
  if (N < 0 || N >= Count()) OrvaRaise(Format("List index out of bounds (%d)", N));
  return pCards[static_cast<size_t>(N)];
}

void TFitsBess::SetStrings(int N, const std::string &Card) {
  if (N < 0 || N >= Count()) OrvaRaise(Format("List index out of bounds (%d)", N));
  pCards[static_cast<size_t>(N)] = Card;
}

void TFitsBess::Insert(int N, const std::string &Card) {
  if (N < 0 || N > Count()) OrvaRaise(Format("List index out of bounds (%d)", N));
  pCards.insert(pCards.begin() + N, Card);
}

void TFitsBess::Delete(int N) {
  if (N < 0 || N >= Count()) OrvaRaise(Format("List index out of bounds (%d)", N));
  pCards.erase(pCards.begin() + N);
}

int TFitsBess::IndexOfKey(const std::string &Key) const {
  std::string K = PadKey(Key);
  for (size_t i = 0; i < pCards.size(); ++i)
    if (pCards[i].compare(0, 8, K) == 0 && pCards[i].size() >= 8) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------- typed reads

namespace {
// A string as a card stores it has every quote doubled; this is the string itself.
std::string UndoubleQuotes(const std::string &S) {
  std::string R;
  R.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    R += S[i];
    if (S[i] == '\'' && i + 1 < S.size() && S[i + 1] == '\'') ++i;
  }
  return R;
}

// Position (0-based, in S) of the quote that closes the string opened at Open, stepping
// over doubled quotes, or npos.
size_t ClosingQuote(const std::string &S, size_t Open) {
  size_t P = Open + 1;
  for (;;) {
    size_t Q = S.find('\'', P);
    if (Q == std::string::npos) return Q;
    if (Q + 1 < S.size() && S[Q + 1] == '\'') {
      P = Q + 2;
      continue;
    }
    return Q;
  }
}

// The card of Key with "=" in column 9 and a blank in column 10, or nullptr.
const std::string *ValueCard(const std::vector<std::string> &Cards, int Index) {
  if (Index < 0) return nullptr;
  const std::string &C = Cards[static_cast<size_t>(Index)];
  if (C.size() < 10 || C[8] != '=' || C[9] != ' ') return nullptr;
  return &C;
}
} // namespace

bool TFitsBess::ReadBoo(const std::string &Key, bool &Value, std::string &Strg, std::string &Comment) const {
  Value = false;
  Strg.clear();
  Comment.clear();
  const std::string *C = ValueCard(pCards, IndexOfKey(Key));
  if (!C) return false;
  std::string T = Trim(Cols(*C, 11, 20));
  if (T.empty() || (T[0] != 'T' && T[0] != 'F')) return false;
  Strg = T.substr(0, 1);
  Value = T[0] == 'T';
  Comment = CommentFrom(*C, 30);
  return true;
}

bool TFitsBess::ReadInt(const std::string &Key, int32_t &Value, std::string &Strg,
                        std::string &Comment) const {
  Value = 0;
  Strg.clear();
  Comment.clear();
  const std::string *C = ValueCard(pCards, IndexOfKey(Key));
  if (!C) return false;
  std::string T = Trim(Cols(*C, 11, 20));
  if (T.empty()) return false;
  Strg = T;
  if (!TryStrToInt(T, Value)) Value = 0;
  Comment = CommentFrom(*C, 30);
  return true;
}

bool TFitsBess::ReadDbl(const std::string &Key, double &Value, std::string &Strg,
                        std::string &Comment) const {
  Value = 0;
  Strg.clear();
  Comment.clear();
  const std::string *C = ValueCard(pCards, IndexOfKey(Key));
  if (!C) return false;
  std::string T = Trim(Cols(*C, 11, 20));
  if (T.empty()) return false;
  double V = 0;
  if (!TryStrToFloat(T, V)) return false;
  Value = V;
  Strg = T;
  Comment = CommentFrom(*C, 30);
  return true;
}

bool TFitsBess::ReadStr(const std::string &Key, std::string &Value, std::string &Comment) const {
  Value.clear();
  Comment.clear();
  const std::string *C = ValueCard(pCards, IndexOfKey(Key));
  if (!C) return false;
  // Positions are kept relative to the card so that the comment search can follow.
  std::string Rest = ColsFrom(*C, 11);
  size_t Open = Rest.find('\'');
  if (Open == std::string::npos) return false;
  size_t P = Open + 1;
  for (;;) {
    size_t Q = Rest.find('\'', P);
    if (Q == std::string::npos) return false;
    if (Q + 1 < Rest.size() && Rest[Q + 1] == '\'') {
      P = Q + 2; // a doubled quote inside the string
      continue;
    }
    Value = UndoubleQuotes(Rest.substr(Open + 1, Q - Open - 1));
    Comment = CommentFrom(*C, 10 + Q + 1);
    return true;
  }
}

// ---------------------------------------------------------------- typed writes

void TFitsBess::ReplaceOrAppend(const std::string &Key, std::string Card) {
  int I = IndexOfKey(Key);
  if (I >= 0)
    pCards[static_cast<size_t>(I)] = std::move(Card);
  else
    pCards.push_back(std::move(Card));
}

void TFitsBess::WriteBoo(const std::string &Key, bool Value, const std::string &Comment) {
  ORVA_ASSERT(Key.size() == 8);
  ReplaceOrAppend(Key, Finish(Key + "=" + std::string(20, ' ') + (Value ? "T" : "F"), Comment));
}

void TFitsBess::WriteInt(const std::string &Key, int64_t Value, const std::string &Comment) {
  ORVA_ASSERT(Key.size() == 8);
  ReplaceOrAppend(Key, Finish(Key + "= " + Format("%20lld", static_cast<long long>(Value)), Comment));
}

void TFitsBess::WriteDbl(const std::string &Key, double Value, const std::string &Comment) {
  ORVA_ASSERT(Key.size() == 8);
  std::string V = Format("%20.10g", Value);
  // A real value always shows a decimal point (1.0, not 1).
  if (PlainIntegerText(V)) V = Format("%20.1f", Value);
  ReplaceOrAppend(Key, Finish(Key + "= " + V, Comment));
}

void TFitsBess::WriteStr(const std::string &Key, const std::string &Value, const std::string &Comment) {
  ORVA_ASSERT(Key.size() == 8);
  const std::string Stored = QuoteString(Value);
  // A value cut at column 80 would lose its closing quote and make the file invalid.
  if (Stored.size() > static_cast<size_t>(MaxStringLength))
    OrvaRaise("The value of " + Trim(Key) + " is too long for a FITS header card (" +
              std::to_string(Stored.size()) + " characters, at most " + std::to_string(MaxStringLength) +
              ")");
  ReplaceOrAppend(Key, Finish(Key + "= '" + Stored + "'", Comment));
}

// ---------------------------------------------------------------- keyword accessors

int32_t TFitsBess::ReadIntOrFail(const char *Key) const {
  int32_t V;
  std::string S, C;
  if (!ReadInt(PadKey(Key), V, S, C)) OrvaRaise(std::string("Keyword ") + Trim(Key) + " not defined");
  return V;
}

double TFitsBess::ReadDblOr(const char *Key, double Default) const {
  double V;
  std::string S, C;
  return ReadDbl(PadKey(Key), V, S, C) ? V : Default;
}

std::string TFitsBess::ReadStrOr(const char *Key, const char *Default) const {
  std::string V, C;
  return ReadStr(PadKey(Key), V, C) ? V : std::string(Default);
}

void TFitsBess::SetIntKey(const char *Key, int32_t V, const char *DefaultComment) {
  int32_t Old;
  std::string S, C;
  ReadInt(PadKey(Key), Old, S, C);
  if (C.empty() && DefaultComment) C = DefaultComment;
  WriteInt(PadKey(Key), V, C);
}

void TFitsBess::SetDblKey(const char *Key, double V) {
  double Old;
  std::string S, C;
  ReadDbl(PadKey(Key), Old, S, C);
  WriteDbl(PadKey(Key), V, C);
}

void TFitsBess::SetStrKey(const char *Key, const std::string &V) {
  std::string Old, C;
  ReadStr(PadKey(Key), Old, C);
  WriteStr(PadKey(Key), V, C);
}

int32_t TFitsBess::BITPIX() const { return ReadIntOrFail("BITPIX"); }
void TFitsBess::SetBITPIX(int32_t V) { SetIntKey("BITPIX", V, "number of bits per data pixel"); }
int32_t TFitsBess::NAXIS() const { return ReadIntOrFail("NAXIS"); }
void TFitsBess::SetNAXIS(int32_t V) { SetIntKey("NAXIS", V, "number of axes"); }
int32_t TFitsBess::NAXIS1() const { return ReadIntOrFail("NAXIS1"); }
void TFitsBess::SetNAXIS1(int32_t V) { SetIntKey("NAXIS1", V, "number of horizontal pixels"); }
double TFitsBess::BSCALE() const { return ReadDblOr("BSCALE", 1.0); }
void TFitsBess::SetBSCALE(double V) { SetDblKey("BSCALE", V); }
double TFitsBess::BZERO() const { return ReadDblOr("BZERO", 0.0); }
void TFitsBess::SetBZERO(double V) { SetDblKey("BZERO", V); }
std::string TFitsBess::OBJNAME() const { return ReadStrOr("OBJNAME", " "); }
void TFitsBess::SetOBJNAME(const std::string &V) { SetStrKey("OBJNAME", V); }
std::string TFitsBess::DATE_OBS() const { return ReadStrOr("DATE-OBS", " "); }
void TFitsBess::SetDATE_OBS(const std::string &V) { SetStrKey("DATE-OBS", V); }
double TFitsBess::EXPTIME() const { return ReadDblOr("EXPTIME", 0.0); }
void TFitsBess::SetEXPTIME(double V) { SetDblKey("EXPTIME", V); }
std::string TFitsBess::BSS_INST() const { return ReadStrOr("BSS_INST", " "); }
void TFitsBess::SetBSS_INST(const std::string &V) { SetStrKey("BSS_INST", V); }
std::string TFitsBess::BSS_SITE() const { return ReadStrOr("BSS_SITE", " "); }
void TFitsBess::SetBSS_SITE(const std::string &V) { SetStrKey("BSS_SITE", V); }
std::string TFitsBess::OBSERVER() const { return ReadStrOr("OBSERVER", " "); }
void TFitsBess::SetOBSERVER(const std::string &V) { SetStrKey("OBSERVER", V); }
double TFitsBess::CRVAL1() const { return ReadDblOr("CRVAL1", 0.0); }
void TFitsBess::SetCRVAL1(double V) { SetDblKey("CRVAL1", V); }
double TFitsBess::CDELT1() const { return ReadDblOr("CDELT1", 0.0); }
void TFitsBess::SetCDELT1(double V) { SetDblKey("CDELT1", V); }

double TFitsBess::CRPIX1() const {
  double V;
  std::string S, C;
  if (ReadDbl("CRPIX1  ", V, S, C)) return V;
  // Some writers quote the reference pixel.
  if (ReadStr("CRPIX1  ", S, C)) return StrToFloat(Trim(S));
  return 0.0;
}
void TFitsBess::SetCRPIX1(double V) { SetDblKey("CRPIX1", V); }
std::string TFitsBess::CUNIT1() const { return ReadStrOr("CUNIT1", " "); }
void TFitsBess::SetCUNIT1(const std::string &V) { SetStrKey("CUNIT1", V); }
std::string TFitsBess::CTYPE1() const { return ReadStrOr("CTYPE1", " "); }
void TFitsBess::SetCTYPE1(const std::string &V) { SetStrKey("CTYPE1", V); }
double TFitsBess::BSS_VHEL() const { return ReadDblOr("BSS_VHEL", 0.0); }
void TFitsBess::SetBSS_VHEL(double V) { SetDblKey("BSS_VHEL", V); }
std::string TFitsBess::BSS_TELL() const { return ReadStrOr("BSS_TELL", " "); }
void TFitsBess::SetBSS_TELL(const std::string &V) { SetStrKey("BSS_TELL", V); }
std::string TFitsBess::BSS_COSM() const { return ReadStrOr("BSS_COSM", " "); }
void TFitsBess::SetBSS_COSM(const std::string &V) { SetStrKey("BSS_COSM", V); }
std::string TFitsBess::BSS_NORM() const { return ReadStrOr("BSS_NORM", " "); }
void TFitsBess::SetBSS_NORM(const std::string &V) { SetStrKey("BSS_NORM", V); }

// ---------------------------------------------------------------- editor operations

int TFitsBess::IsNumber(const std::string &Value) {
  if (Value == "T" || Value == "F") return 3;
  int64_t I;
  if (TryStrToInt64(Value, I)) return 0;
  double D;
  if (TryStrToFloat(Value, D)) return 1;
  return -1;
}

void TFitsBess::ReadLine(int N, std::string &Key, std::string &Value, std::string &Comment, int &Typ) const {
  const std::string &Card = Strings(N);
  Key = Cols(Card, 1, 8);
  Comment.clear();
  // Commentary, and any card without a value (CONTINUE, a keyword without "= "): its text
  // is shown as it stands and the card is kept unchanged.
  if (Key == "        " || Key == "COMMENT " || Key == "HISTORY " || Cols(Card, 9, 2) != "= ") {
    Value = Trim(ColsFrom(Card, 9));
    Typ = -1;
    return;
  }
  std::string Padded = Cols(Card, 1, CardLen);
  size_t SearchStart; // 0-based position from which the comment is looked for
  std::string Rest = Trim(ColsFrom(Padded, 11));
  if (!Rest.empty() && Rest[0] == '\'') {
    size_t Open = Padded.find('\'');
    size_t Close = ClosingQuote(Padded, Open);
    if (Close == std::string::npos) {
      Value = "'" + UndoubleQuotes(Padded.substr(Open + 1)) + "'";
      SearchStart = CardLen;
    } else {
      Value = "'" + UndoubleQuotes(Padded.substr(Open + 1, Close - Open - 1)) + "'";
      SearchStart = Close + 1;
    }
    Typ = 2;
  } else {
    Value = Trim(Cols(Padded, 11, 20));
    Typ = IsNumber(Value);
    if (Typ == -1) OrvaRaise("illegal FITS value:" + Value);
    SearchStart = 30;
  }
  Comment = CommentFrom(Padded, SearchStart);
}

std::string TFitsBess::ComposeLine(const std::string &Key, const std::string &Value, int Typ,
                                   const std::string &Comment) {
  ORVA_ASSERT(Key.size() == 8);
  std::string Card;
  switch (Typ) {
  case 0:
  case 1:
  case 3:
    ORVA_ASSERT(ValueFits(Value, Typ));
    Card = Key + "= " + std::string(20 - Value.size(), ' ') + Value;
    break;
  case 2:
    ORVA_ASSERT(ValueFits(Value, Typ));
    Card = Key + "= '" + QuoteString(EditedString(Value)) + "'";
    break;
  default:
    ORVA_ASSERT(ValueFits(Value, Typ));
    Card = Key + " " + Value;
    break;
  }
  return Finish(Card, Comment);
}

std::string TFitsBess::QuoteString(const std::string &Value) {
  std::string R;
  R.reserve(Value.size() + 2);
  for (char C : Value) {
    R += C;
    if (C == '\'') R += '\'';
  }
  return R;
}

bool TFitsBess::ValueFits(const std::string &Value, int Typ) {
  switch (Typ) {
  case 0:
  case 1:
  case 3:
    return Value.size() <= static_cast<size_t>(MaxNumberLength);
  case 2:
    return QuoteString(EditedString(Value)).size() <= static_cast<size_t>(MaxStringLength);
  default:
    return Value.size() <= static_cast<size_t>(MaxCommentaryLength);
  }
}

void TFitsBess::NewHeader(int32_t nNAXIS1) {
  pCards.clear();
  WriteBoo("SIMPLE  ", true, "this file conforms to the FITS standard");
  WriteInt("BITPIX  ", -32, "number of bits per data pixel");
  WriteInt("NAXIS   ", 1, "number of axes");
  WriteInt("NAXIS1  ", nNAXIS1, "number of horizontal pixels");
  WriteDbl("BSCALE  ", 1.0, "");
  WriteDbl("BZERO   ", 0.0, "");
  WriteDbl("CRVAL1  ", 0.0, "");
  WriteDbl("CDELT1  ", 1.0, "");
  WriteDbl("CRPIX1  ", 1.0, "");
  WriteStr("CUNIT1  ", "Angstrom", "");
  WriteStr("CTYPE1  ", "Wavelength", "");
}

// ---------------------------------------------------------------- files

namespace {

// Reads header blocks from the current position of F up to the END card; the non-blank cards
// are appended to Cards. Returns the bytes read (a multiple of 2880). A short block or more
// than MaxHeaderCards cards without END raise NotValid.
int64_t ReadHeaderBlocks(std::FILE *F, std::vector<std::string> &Cards, const std::string &NotValid) {
  int64_t Bytes = 0;
  char Block[BlockLen];
  const size_t First = Cards.size();
  for (;;) {
    if (std::fread(Block, 1, BlockLen, F) != static_cast<size_t>(BlockLen)) OrvaRaise(NotValid);
    Bytes += BlockLen;
    for (int c = 0; c < CardsPerBlock; ++c) {
      std::string Card(Block + c * CardLen, CardLen);
      // Only the keyword END itself ends the header, not ENDTIME or ENDDATE.
      if (Card.compare(0, 8, "END     ") == 0) return Bytes;
      if (Card.find_first_not_of(' ') != std::string::npos) Cards.push_back(std::move(Card));
    }
    if (Cards.size() - First > static_cast<size_t>(MaxHeaderCards)) OrvaRaise(NotValid);
  }
}

bool KeyIs(const std::string &Card, const char *Key8) { return Card.compare(0, 8, Key8) == 0; }

// NAXISn (n = 1...999) as a keyword of 8 characters.
bool IsNaxisN(const std::string &Key8) {
  if (Key8.compare(0, 5, "NAXIS") != 0) return false;
  std::string Rest = Trim(Key8.substr(5));
  return !Rest.empty() && Rest.find_first_not_of("0123456789") == std::string::npos;
}

// The keywords that describe an image's data and axis: in an image extension they replace
// those of the (empty) primary header.
bool IsImageDescriptionKey(const std::string &Key8) {
  static const char *const Keys[] = {"BITPIX  ", "NAXIS   ", "BSCALE  ", "BZERO   ", "BLANK   ", "CRVAL1  ",
                                     "CDELT1  ", "CRPIX1  ", "CUNIT1  ", "CTYPE1  ", "CD1_1   ", "DC-FLAG "};
  for (const char *K : Keys)
    if (Key8 == K) return true;
  return IsNaxisN(Key8);
}

bool IsCommentaryKey(const std::string &Key8) {
  return Key8 == "COMMENT " || Key8 == "HISTORY " || Key8 == "        " || Key8 == "CONTINUE";
}

// Ascii case-insensitive equality.
bool SameText(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    char X = A[i], Y = B[i];
    if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 32);
    if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 32);
    if (X != Y) return false;
  }
  return true;
}

} // namespace

TAxisUnitKind ParseAxisUnit(std::string_view Unit, double &Factor) {
  std::string U = Trim(Unit);
  // Blanks inside ('0.1 nm', 'cm -1') do not matter.
  U.erase(std::remove(U.begin(), U.end(), ' '), U.end());
  struct TUnit {
    const char *Name;
    double Factor;
  };
  static const TUnit Lengths[] = {{"ANGSTROM", 1},
                                  {"ANGSTROMS", 1},
                                  {"ANGSTROEM", 1},
                                  {"ANGSTROEMS", 1},
                                  {"A", 1},
                                  {"AA", 1},
                                  {"\xC3\x85", 1},
                                  {"\xE2\x84\xAB", 1},
                                  {"\xC5", 1},
                                  {"0.1NM", 1},
                                  {"1E-10M", 1},
                                  {"NM", 10},
                                  {"NANOMETER", 10},
                                  {"NANOMETERS", 10},
                                  {"NANOMETRE", 10},
                                  {"NANOMETRES", 10},
                                  {"UM", 1e4},
                                  {"MICRON", 1e4},
                                  {"MICRONS", 1e4},
                                  {"MICROMETER", 1e4},
                                  {"MICROMETERS", 1e4},
                                  {"MICROMETRE", 1e4},
                                  {"MICROMETRES", 1e4},
                                  {"\xC2\xB5M", 1e4},
                                  {"\xCE\xBCM", 1e4},
                                  {"MM", 1e7},
                                  {"CM", 1e8},
                                  {"M", 1e10},
                                  {"METER", 1e10},
                                  {"METERS", 1e10},
                                  {"METRE", 1e10},
                                  {"METRES", 1e10}};
  // "Angstrom" spelled with non-ASCII letters: the A with ring and the o with diaeresis.
  static const char *const AngstromUtf8[] = {"\xC3\x85NGSTR\xC3\x96M", "\xC3\x85ngstr\xC3\xB6m",
                                             "ANGSTR\xC3\x96M", "Angstr\xC3\xB6m"};
  for (const TUnit &L : Lengths)
    if (SameText(U, L.Name)) {
      Factor = L.Factor;
      return TAxisUnitKind::Length;
    }
  for (const char *A : AngstromUtf8)
    if (SameText(U, A) || SameText(U, std::string(A) + "s")) {
      Factor = 1;
      return TAxisUnitKind::Length;
    }
  static const char *const Wavenumbers[] = {"CM-1", "CM^-1", "CM**-1", "CM^(-1)", "1/CM", "/CM", "CM**(-1)"};
  for (const char *W : Wavenumbers)
    if (SameText(U, W)) {
      Factor = 1;
      return TAxisUnitKind::Wavenumber;
    }
  Factor = 0;
  return TAxisUnitKind::Unknown;
}

std::string UnitInCtype(const std::string &Ctype) {
  const std::string T = Trim(Ctype);
  double F;
  std::vector<std::string> Candidates{T};
  for (const char *Br : {"()", "[]"}) {
    size_t Open = T.find(Br[0]);
    size_t Close = Open == std::string::npos ? Open : T.find(Br[1], Open + 1);
    if (Close != std::string::npos) Candidates.push_back(T.substr(Open + 1, Close - Open - 1));
  }
  size_t Blank = T.find_last_of(' ');
  if (Blank != std::string::npos) Candidates.push_back(T.substr(Blank + 1));
  for (const std::string &C : Candidates)
    if (!Trim(C).empty() && ParseAxisUnit(C, F) != TAxisUnitKind::Unknown) return Trim(C);
  return std::string();
}

bool IsLogCtype(const std::string &Ctype) {
  const std::string T = UpperCase(Trim(Ctype));
  return T.rfind("WAVE-LOG", 0) == 0 || T.rfind("AWAV-LOG", 0) == 0;
}

bool IsTableStructureKey(const std::string &Key8) {
  static const char *const Fixed[] = {"XTENSION", "PCOUNT  ", "GCOUNT  ", "TFIELDS ", "THEAP   ", "EXTNAME ",
                                      "EXTVER  ", "EXTLEVEL", "INHERIT ", "CHECKSUM", "DATASUM "};
  for (const char *K : Fixed)
    if (Key8 == K) return true;
  // TTYPEn, TFORMn, TUNITn and the other column keywords: T, letters, then the column number.
  if (Key8.size() < 2 || Key8[0] != 'T') return false;
  std::string K = Trim(Key8);
  size_t Digits = K.find_first_of("0123456789");
  if (Digits == std::string::npos || Digits < 2) return false;
  if (K.find_first_not_of("0123456789", Digits) != std::string::npos) return false;
  static const char *const Stems[] = {"TTYPE", "TFORM", "TUNIT", "TSCAL", "TZERO", "TNULL", "TDISP",
                                      "TDIM",  "TLMIN", "TLMAX", "TDMIN", "TDMAX", "TCTYP", "TCUNI",
                                      "TCRVL", "TCDLT", "TCRPX", "TCROT", "TBCOL"};
  const std::string Stem = K.substr(0, Digits);
  for (const char *S : Stems)
    if (Stem == S) return true;
  return false;
}

double TFitsBess::AxisStep() const {
  double V;
  std::string S, C;
  if (ReadDbl("CDELT1  ", V, S, C)) return V;
  if (ReadDbl("CD1_1   ", V, S, C)) return V;
  return 0.0;
}

void TFitsBess::SetOneAxis(int32_t N) {
  for (int i = Count() - 1; i >= 0; --i) {
    const std::string Key = Cols(pCards[static_cast<size_t>(i)], 1, 8);
    if (IsNaxisN(Key) && Key != "NAXIS1  ") Delete(i);
  }
  SetNAXIS(1);
  const int Naxis = IndexOfKey("NAXIS   ");
  int I1 = IndexOfKey("NAXIS1  ");
  if (I1 >= 0 && I1 != Naxis + 1) {
    Delete(I1);
    I1 = -1;
  }
  if (I1 < 0) {
    Insert(Naxis + 1, Finish("NAXIS1  = " + Format("%20d", N), "number of horizontal pixels"));
  } else {
    int32_t Old;
    std::string S, C;
    if (!ReadInt("NAXIS1  ", Old, S, C) || Old != N) SetNAXIS1(N);
  }
}

void TFitsBess::CheckImageHeader(const std::string &FName) {
  const std::string NotValid = FName + ": not a valid FITS file";
  int32_t I;
  double D;
  std::string S, C;
  int32_t Naxis;
  if (!ReadInt("NAXIS   ", Naxis, S, C)) OrvaRaise(NotValid);
  if (Naxis != 1) {
    // A 2-D or 3-D image whose extra axes are 1 long is a spectrum (a one-row image above
    // all); anything else is not one.
    bool Ok = Naxis == 2 || Naxis == 3;
    for (int a = 2; Ok && a <= Naxis; ++a) {
      int32_t Na;
      Ok = ReadInt(PadKey("NAXIS" + std::to_string(a)), Na, S, C) && Na == 1;
    }
    if (!Ok) OrvaRaise(FName + ": only NAXIS = 1 is supported");
    if (!ReadInt("NAXIS1  ", I, S, C)) OrvaRaise(NotValid);
    SetOneAxis(I);
  }
  if (!ReadInt("NAXIS1  ", I, S, C)) OrvaRaise(NotValid);
  if (!ReadDbl("CRVAL1  ", D, S, C)) OrvaRaise(FName + ": CRVAL1 is missing");
  // CD1_1 (the WCS matrix) is the same step when CDELT1 is not given.
  if (!ReadDbl("CDELT1  ", D, S, C) && !ReadDbl("CD1_1   ", D, S, C))
    OrvaRaise(FName + ": CDELT1 is missing");
  if (!ReadDbl("CRPIX1  ", D, S, C)) {
    if (!ReadStr("CRPIX1  ", S, C) || !TryStrToFloat(Trim(S), D)) OrvaRaise(FName + ": CRPIX1 is missing");
  }
}

void TFitsBess::ReadHeader(const std::string &FName, bool KeepStream) {
  pCards.clear();
  pExtCards.clear();
  pLayout = TFitsLayout::PrimaryImage;
  pFName = FName;
  CloseStream();
  pStream.reset(std::fopen(FName.c_str(), "rb"));
  if (!pStream) OrvaRaise("Cannot open file \"" + FName + "\". " + std::strerror(errno));
  try {
    pFileSize = FileSizeOf(pStream.get());
    const std::string NotValid = FName + ": not a valid FITS file";
    pHeaderBytes = ReadHeaderBlocks(pStream.get(), pCards, NotValid);

    bool B;
    int32_t I;
    std::string S, C;
    if (!ReadBoo("SIMPLE  ", B, S, C) || !B) OrvaRaise(NotValid);
    if (!ReadInt("BITPIX  ", I, S, C)) OrvaRaise(NotValid);
    int32_t Naxis;
    if (!ReadInt("NAXIS   ", Naxis, S, C)) OrvaRaise(NotValid);
    if (Naxis == 0) {
      // An empty primary HDU: archives put the spectrum into the first extension, which
      // starts right after the primary header.
      std::vector<std::string> Ext;
      if (pFileSize <= pHeaderBytes) OrvaRaise(FName + ": the primary HDU is empty and no extension follows");
      const int64_t ExtBytes = ReadHeaderBlocks(pStream.get(), Ext, NotValid);
      std::string Xt;
      if (Ext.empty() || !KeyIs(Ext[0], "XTENSION")) OrvaRaise(NotValid);
      {
        TFitsBess E;
        E.pCards = {Ext[0]};
        if (!E.ReadStr("XTENSION", Xt, C)) OrvaRaise(NotValid);
        Xt = UpperCase(Trim(Xt));
      }
      pHeaderBytes += ExtBytes;
      if (Xt == "IMAGE") {
        pLayout = TFitsLayout::ExtensionImage;
        // The extension's description of its data and axis replaces the primary's; its
        // other cards are added where the primary lacks them. The scaling of the primary's
        // (absent) data never applies to the extension's. Keys are looked up in sets: both
        // headers may hold tens of thousands of cards.
        std::unordered_set<std::string> ExtKeys;
        for (const std::string &Card : Ext)
          ExtKeys.insert(Cols(Card, 1, 8));
        for (int i = Count() - 1; i >= 0; --i) {
          const std::string Key = Cols(pCards[static_cast<size_t>(i)], 1, 8);
          if (Key == "BITPIX  " || Key == "NAXIS   " || !IsImageDescriptionKey(Key)) continue;
          if (Key == "BSCALE  " || Key == "BZERO   " || Key == "BLANK   " || ExtKeys.count(Key)) Delete(i);
        }
        std::unordered_set<std::string> Have;
        for (const std::string &Card : pCards)
          Have.insert(Cols(Card, 1, 8));
        std::vector<std::string> Axes; // NAXISn, which follow NAXIS in their order
        for (const std::string &Card : Ext) {
          const std::string Key = Cols(Card, 1, 8);
          if (IsTableStructureKey(Key)) continue;
          if (Key == "BITPIX  " || Key == "NAXIS   ") {
            pCards[static_cast<size_t>(IndexOfKey(Key))] = Card;
          } else if (IsNaxisN(Key)) {
            Axes.push_back(Card);
          } else if (IsCommentaryKey(Key) || Have.insert(Key).second) {
            Add(Card);
          }
        }
        pCards.insert(pCards.begin() + IndexOfKey("NAXIS   ") + 1, Axes.begin(), Axes.end());
      } else if (Xt == "BINTABLE") {
        pLayout = TFitsLayout::ExtensionTable;
        pExtCards = std::move(Ext);
        std::unordered_set<std::string> Have;
        for (const std::string &Card : pCards)
          Have.insert(Cols(Card, 1, 8));
        for (const std::string &Card : pExtCards) {
          const std::string Key = Cols(Card, 1, 8);
          if (IsTableStructureKey(Key) || Key == "BITPIX  " || IsNaxisN(Key) || Key == "NAXIS   ") continue;
          if (IsCommentaryKey(Key) || Have.insert(Key).second) Add(Card);
        }
        // The table's rows are known once its structure is read; the header already says
        // what the spectrum will be: one axis of 32-bit floats.
        SetBITPIX(-32);
        SetOneAxis(0);
        if (!KeepStream) CloseStream();
        return;
      } else {
        OrvaRaise(FName + ": extension type " + Xt + " is not supported");
      }
    }
    CheckImageHeader(FName);
    if (!ReadStr("CUNIT1  ", S, C)) {
      // A unit named in CTYPE1 ('Wavelength (nm)') is the unit of the axis.
      std::string T;
      std::string U = ReadStr("CTYPE1  ", T, C) ? UnitInCtype(T) : std::string();
      WriteStr("CUNIT1  ", U.empty() ? "Angstrom" : U, AddedComment);
    }
    if (!ReadStr("CTYPE1  ", S, C) || Trim(S).empty()) WriteStr("CTYPE1  ", "Wavelength", AddedComment);
  } catch (...) {
    CloseStream();
    throw;
  }
  if (!KeepStream) CloseStream();
}

int64_t TFitsBess::DataBytesAvailable() const { return pFileSize - pHeaderBytes; }

void TFitsBess::ReadSpectrum(TDblArr1D &Spectrum) {
  if (!pStream) return;
  int64_t N;
  try {
    N = NAXIS1();
  } catch (...) {
    CloseStream();
    throw;
  }
  if (static_cast<int64_t>(Spectrum.size()) != N) {
    CloseStream();
    OrvaRaise("TFitsBess.ReadSpectrum: Incorrect image size");
  }
  double Lo, Hi;
  ReadData(Spectrum, Lo, Hi);
}

void TFitsBess::ReadSpectrumFresh(TDblArr1D &Spectrum, double &Lo, double &Hi) {
  if (!pStream) return;
  ReadData(Spectrum, Lo, Hi);
}

void TFitsBess::ReadData(TDblArr1D &Spectrum, double &Lo, double &Hi) {
  try {
    double Zero = BZERO(), Scale = BSCALE();
    int32_t N = NAXIS1();
    int32_t Bitpix = BITPIX();
    int Bytes;
    switch (Bitpix) {
    case 8:
      Bytes = 1;
      break;
    case 16:
      Bytes = 2;
      break;
    case 32:
    case -32:
      Bytes = 4;
      break;
    case 64:
    case -64:
      Bytes = 8;
      break;
    default:
      OrvaRaise(Format("Unknown BITPIX value: %1d", Bitpix));
    }
    // BLANK marks undefined pixels of integer data (it means nothing for floating point).
    int64_t Blank = 0;
    bool HasBlank = false;
    {
      int32_t I;
      std::string S, C;
      HasBlank = Bitpix > 0 && ReadInt("BLANK   ", I, S, C) && TryStrToInt64(S, Blank);
    }
    const std::string Short = pFName + ": not a FITS file";
    // Never allocate more than the file can hold, whatever the header says.
    int64_t Need = static_cast<int64_t>(N) * Bytes;
    if (N < 0 || Need > DataBytesAvailable()) OrvaRaise(Short);
    if (std::fseek(pStream.get(), static_cast<long>(pHeaderBytes), SEEK_SET) != 0) OrvaRaise(Short);
    // The values are written once each, straight into the array (never zeroed first), and
    // the extremes are found on the way: one pass over the data.
    ReserveFresh(Spectrum, static_cast<size_t>(N));
    const size_t Count = static_cast<size_t>(N);
    std::FILE *F = pStream.get();
    TLanes L;
    bool Ok = false;
    switch (Bitpix) {
    case 8:
      Ok = ReadValues<uint8_t>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    case 16:
      Ok = ReadValues<int16_t>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    case 32:
      Ok = ReadValues<int32_t>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    case 64:
      Ok = ReadValues<int64_t>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    case -32:
      Ok = ReadValues<float>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    case -64:
      Ok = ReadValues<double>(F, Count, Scale, Zero, HasBlank, Blank, Spectrum, L);
      break;
    }
    if (!Ok) OrvaRaise(Short);
    L.Result(Lo, Hi);
  } catch (...) {
    CloseStream();
    throw;
  }
  CloseStream();
}

std::string TFitsBess::ReadRawData(int64_t Bytes) {
  std::string Raw;
  try {
    const std::string Short = pFName + ": not a FITS file";
    if (!pStream || Bytes < 0 || Bytes > DataBytesAvailable()) OrvaRaise(Short);
    if (std::fseek(pStream.get(), static_cast<long>(pHeaderBytes), SEEK_SET) != 0) OrvaRaise(Short);
    Raw.resize(static_cast<size_t>(Bytes));
    if (Bytes > 0 && std::fread(Raw.data(), 1, Raw.size(), pStream.get()) != Raw.size()) OrvaRaise(Short);
  } catch (...) {
    CloseStream();
    throw;
  }
  CloseStream();
  return Raw;
}

namespace {
// A card whose value starts with a quote must close it: such a card (a value cut at column
// 80, or one read from a file that had it) would make the whole file unreadable.
void CheckStringCard(const std::string &Card) {
  if (Card.compare(8, 2, "= ") != 0) return;
  const size_t Open = Card.find_first_not_of(' ', 10);
  if (Open == std::string::npos || Card[Open] != '\'') return;
  if (ClosingQuote(Card, Open) == std::string::npos)
    OrvaRaise("The value of " + Trim(Cols(Card, 1, 8)) + " has no closing quote");
}
} // namespace

std::string TFitsBess::Serialize_32(const TDblArr1D &Spec) const {
  ORVA_ASSERT(BITPIX() == -32);
  ORVA_ASSERT(static_cast<int64_t>(Spec.size()) == NAXIS1());
  size_t NCards = pCards.size() + 1;
  size_t HeaderCards = (NCards + CardsPerBlock - 1) / CardsPerBlock * CardsPerBlock;
  size_t DataBytes = (Spec.size() * 4 + BlockLen - 1) / BlockLen * BlockLen;
  std::string Out;
  Out.reserve(HeaderCards * CardLen + DataBytes);
  for (const std::string &Card : pCards) {
    ORVA_ASSERT(Card.size() == static_cast<size_t>(CardLen));
    // BLANK describes integer data only; the standard forbids it with BITPIX -32.
    if (Card.compare(0, 8, "BLANK   ") == 0) continue;
    CheckStringCard(Card);
    Out += Card;
  }
  Out += "END";
  Out.append(HeaderCards * CardLen - Out.size(), ' ');
  size_t Start = Out.size();
  Out.resize(Start + DataBytes, '\0');
  unsigned char *P = reinterpret_cast<unsigned char *>(Out.data() + Start);
  for (size_t i = 0; i < Spec.size(); ++i) {
    uint32_t V = std::bit_cast<uint32_t>(static_cast<float>(Spec[i]));
    P[4 * i] = static_cast<unsigned char>(V >> 24);
    P[4 * i + 1] = static_cast<unsigned char>(V >> 16);
    P[4 * i + 2] = static_cast<unsigned char>(V >> 8);
    P[4 * i + 3] = static_cast<unsigned char>(V);
  }
  return Out;
}

void TFitsBess::SaveToFile_32(const std::string &FName, const TDblArr1D &Spec) const {
  SafeWriteFile(FName, Serialize_32(Spec));
}

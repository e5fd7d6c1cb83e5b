#include "core/UFitsBess.h"

#include <bit>
#include <cstring>
#include <sys/stat.h>

#include "core/UErrors.h"
#include "core/UFormat.h"
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

// raw x BSCALE + BZERO in extended precision; without scaling the plain conversion gives
// the same value and is much cheaper. Raw points into the output array itself (the raw
// values were read into its first bytes): going from the last value to the first, each
// 8-byte result lands on raw bytes that have already been converted.
template <typename T>
void Convert(const unsigned char *Raw, size_t N, double Scale, double Zero, double *Out) {
  if (Scale == 1.0 && Zero == 0.0) {
    for (size_t i = N; i-- > 0;)
      Out[i] = static_cast<double>(LoadBE<T>(Raw + i * sizeof(T)));
  } else {
    const long double S = Scale, Z = Zero;
    for (size_t i = N; i-- > 0;)
      Out[i] = static_cast<double>(static_cast<long double>(LoadBE<T>(Raw + i * sizeof(T))) * S + Z);
  }
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
    Value = Rest.substr(Open + 1, Q - Open - 1);
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
  ReplaceOrAppend(Key, Finish(Key + "= '" + Value + "'", Comment));
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
  if (Key == "        " || Key == "COMMENT " || Key == "HISTORY ") {
    Value = Trim(ColsFrom(Card, 9));
    Typ = -1;
    return;
  }
  ORVA_ASSERT(Cols(Card, 9, 2) == "= ");
  std::string Padded = Cols(Card, 1, CardLen);
  size_t SearchStart; // 0-based position from which the comment is looked for
  std::string Rest = Trim(ColsFrom(Padded, 11));
  if (!Rest.empty() && Rest[0] == '\'') {
    size_t Open = Padded.find('\'');
    size_t Close = Padded.find('\'', Open + 1);
    if (Close == std::string::npos) {
      Value = "'" + Padded.substr(Open + 1) + "'";
      SearchStart = CardLen;
    } else {
      Value = "'" + Padded.substr(Open + 1, Close - Open - 1) + "'";
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
    ORVA_ASSERT(Value.size() <= 20);
    Card = Key + "= " + std::string(20 - Value.size(), ' ') + Value;
    break;
  case 2: {
    std::string V = Value.empty() ? std::string("''") : Value;
    if (V.front() != '\'') V = "'" + V;
    if (V.size() < 2 || V.back() != '\'') V += "'";
    ORVA_ASSERT(2 + V.size() <= 72);
    Card = Key + "= " + V;
    break;
  }
  default:
    Card = Key + " " + Value.substr(0, 71);
    break;
  }
  return Finish(Card, Comment);
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

void TFitsBess::ReadHeader(const std::string &FName, bool KeepStream) {
  pCards.clear();
  pFName = FName;
  CloseStream();
  pStream.reset(std::fopen(FName.c_str(), "rb"));
  if (!pStream) OrvaRaise("Cannot open file \"" + FName + "\". " + std::strerror(errno));
  try {
    pFileSize = FileSizeOf(pStream.get());
    const std::string NotValid = FName + ": not a valid FITS file";
    pHeaderBytes = 0;
    char Block[BlockLen];
    bool Complete = false;
    while (!Complete) {
      if (std::fread(Block, 1, BlockLen, pStream.get()) != static_cast<size_t>(BlockLen)) OrvaRaise(NotValid);
      pHeaderBytes += BlockLen;
      for (int c = 0; c < CardsPerBlock; ++c) {
        std::string Card(Block + c * CardLen, CardLen);
        if (Card.compare(0, 3, "END") == 0) {
          Complete = true;
          break;
        }
        if (Card.find_first_not_of(' ') != std::string::npos) pCards.push_back(std::move(Card));
      }
      if (!Complete && Count() > MaxHeaderCards) OrvaRaise(NotValid);
    }

    bool B;
    int32_t I;
    double D;
    std::string S, C;
    if (!ReadBoo("SIMPLE  ", B, S, C) || !B) OrvaRaise(NotValid);
    if (!ReadInt("BITPIX  ", I, S, C)) OrvaRaise(NotValid);
    int32_t Naxis;
    if (!ReadInt("NAXIS   ", Naxis, S, C)) OrvaRaise(NotValid);
    if (Naxis != 1) {
      int32_t N2;
      if (!ReadInt("NAXIS2  ", N2, S, C) || N2 != 1) OrvaRaise(FName + ": only NAXIS = 1 is supported");
      // A one-row image counts as a spectrum.
      Delete(IndexOfKey("NAXIS2  "));
      SetNAXIS(1);
    }
    if (!ReadInt("NAXIS1  ", I, S, C)) OrvaRaise(NotValid);
    if (!ReadDbl("CRVAL1  ", D, S, C)) OrvaRaise(FName + ": CRVAL1 is missing");
    if (!ReadDbl("CDELT1  ", D, S, C)) OrvaRaise(FName + ": CDELT1 is missing");
    if (!ReadDbl("CRPIX1  ", D, S, C)) {
      if (!ReadStr("CRPIX1  ", S, C) || !TryStrToFloat(Trim(S), D)) OrvaRaise(FName + ": CRPIX1 is missing");
    }
    if (!ReadStr("CUNIT1  ", S, C)) WriteStr("CUNIT1  ", "Angstrom", AddedComment);
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
  try {
    double Zero = BZERO(), Scale = BSCALE();
    int32_t N = NAXIS1();
    if (static_cast<int64_t>(Spectrum.size()) != N) OrvaRaise("TFitsBess.ReadSpectrum: Incorrect image size");
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
    const std::string Short = pFName + ": not a FITS file";
    // Never allocate more than the file can hold, whatever the header says.
    int64_t Need = static_cast<int64_t>(N) * Bytes;
    if (N < 0 || Need > DataBytesAvailable()) OrvaRaise(Short);
    if (std::fseek(pStream.get(), static_cast<long>(pHeaderBytes), SEEK_SET) != 0) OrvaRaise(Short);
    // The data part is read in one piece into the result's own storage (8 bytes per value
    // hold any raw type) and converted there: no second array of the raw type.
    unsigned char *Raw = reinterpret_cast<unsigned char *>(Spectrum.data());
    if (Need > 0 && std::fread(Raw, 1, static_cast<size_t>(Need), pStream.get()) != static_cast<size_t>(Need))
      OrvaRaise(Short);
    size_t Count = static_cast<size_t>(N);
    double *Out = Spectrum.data();
    switch (Bitpix) {
    case 8:
      Convert<uint8_t>(Raw, Count, Scale, Zero, Out);
      break;
    case 16:
      Convert<int16_t>(Raw, Count, Scale, Zero, Out);
      break;
    case 32:
      Convert<int32_t>(Raw, Count, Scale, Zero, Out);
      break;
    case 64:
      Convert<int64_t>(Raw, Count, Scale, Zero, Out);
      break;
    case -32:
      Convert<float>(Raw, Count, Scale, Zero, Out);
      break;
    case -64:
      Convert<double>(Raw, Count, Scale, Zero, Out);
      break;
    }
  } catch (...) {
    CloseStream();
    throw;
  }
  CloseStream();
}

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

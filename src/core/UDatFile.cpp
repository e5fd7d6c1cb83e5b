#include "core/UDatFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UDatFile"

namespace {

TMessageSink &Sink() {
  static TMessageSink S;
  return S;
}

// The whole file in memory: text spectra are small next to memory, and one read is the
// fastest way to get them.
std::string LoadFile(const std::string &FName) {
  std::FILE *F = std::fopen(FName.c_str(), "rb");
  if (!F) OrvaRaise("Cannot open file \"" + FName + "\". " + std::strerror(errno));
  std::string Buf;
  struct stat St;
  size_t Size = ::fstat(fileno(F), &St) == 0 && St.st_size > 0 ? static_cast<size_t>(St.st_size) : 0;
  // One read into a buffer of the file's size; then whatever a growing file still holds.
  Buf.resize(Size);
  size_t Got = Size ? std::fread(Buf.data(), 1, Size, F) : 0;
  Buf.resize(Got);
  char Chunk[1 << 16];
  size_t N;
  if (Got == Size)
    while ((N = std::fread(Chunk, 1, sizeof Chunk, F)) > 0) Buf.append(Chunk, N);
  bool Failed = std::ferror(F) != 0;
  int Err = errno;
  std::fclose(F);
  if (Failed) OrvaRaise("Cannot read file \"" + FName + "\". " + std::strerror(Err));
  return Buf;
}

// Lines as a text reader sees them: each LF ends one; a last line without LF counts too.
int64_t CountLines(std::string_view S) {
  int64_t N = 0;
  const char *P = S.data(), *E = S.data() + S.size();
  while (P < E) {
    const void *Q = std::memchr(P, '\n', static_cast<size_t>(E - P));
    ++N;
    if (!Q) break;
    P = static_cast<const char *>(Q) + 1;
  }
  return N;
}

// Position after the end of the line that holds Pos (after its LF), or the end.
size_t SkipLine(std::string_view S, size_t Pos) {
  if (Pos >= S.size()) return S.size();
  const void *Q = std::memchr(S.data() + Pos, '\n', S.size() - Pos);
  return Q ? static_cast<size_t>(static_cast<const char *>(Q) - S.data()) + 1 : S.size();
}

// The fast form's number token: skip characters of code <= 32 (line ends too), take up to 64
// following characters of code > 32. At the end of the file a missing token reads as 0.
double ReadToken(std::string_view S, size_t &Pos) {
  const size_t N = S.size();
  const char *D = S.data();
  // Numbers written right-aligned start after runs of blanks: skip those eight at a time.
  while (Pos + 8 <= N && std::memcmp(D + Pos, "        ", 8) == 0) Pos += 8;
  while (Pos < N && static_cast<unsigned char>(D[Pos]) <= 32) ++Pos;
  if (Pos >= N) return 0.0;
  const size_t Start = Pos;
  const size_t Limit = N - Start < 64 ? N : Start + 64;
  // The common case, a plain decimal number ended by a blank or a line end, goes straight to
  // from_chars, which also finds its end; anything else (a sign "+", "inf", garbage) takes the
  // full conversion and its checks.
  auto Numeric = [](char C) { return (C >= '0' && C <= '9') || C == '.'; };
  const char C0 = D[Start], C1 = Start + 1 < Limit ? D[Start + 1] : '\0';
  double V;
  if (Numeric(C0) || (C0 == '-' && Numeric(C1))) {
    auto [Ptr, Ec] = std::from_chars(D + Start, D + Limit, V, std::chars_format::general);
    const size_t End = static_cast<size_t>(Ptr - D);
    if (Ec == std::errc() && (End == N || (End < Limit && static_cast<unsigned char>(D[End]) <= 32))) {
      Pos = End;
      return V;
    }
  }
  while (Pos < Limit && static_cast<unsigned char>(D[Pos]) > 32) ++Pos;
  if (!TryStrToFloat(S.substr(Start, Pos - Start), V)) OrvaRaise("Invalid numeric input");
  return V;
}

std::string_view LineAt(std::string_view S, size_t &Pos) {
  size_t End = SkipLine(S, Pos);
  std::string_view L = S.substr(Pos, End - Pos);
  Pos = End;
  if (!L.empty() && L.back() == '\n') L.remove_suffix(1);
  if (!L.empty() && L.back() == '\r') L.remove_suffix(1);
  return L;
}

} // namespace

void SetDatMessageSink(TMessageSink S) { Sink() = std::move(S); }

void ShowDatMessage(const std::string &Msg) {
  if (Sink()) Sink()(Msg);
}

TSimpleParser &SharedSimpleParser() {
  static TSimpleParser P;
  return P;
}

bool TSpec32::ReadDat(const std::string &FName, int colx, int coly, int header) {
  ORVA_ASSERT(header >= 0 && colx > 0 && coly > 0);
  SetFromFullName(FName);
  std::string Text = LoadFile(FName);
  std::string_view S = Text;
  int64_t Lines = CountLines(S);
  int64_t Points = Lines - header;
  if (Points <= 0) {
    ShowDatMessage("No data lines in " + FName);
    return false;
  }
  if (Points > INT32_MAX) OrvaRaise(FName + ": too many lines");
  SetSize(static_cast<int32_t>(Points));
  size_t Pos = 0;
  for (int i = 0; i < header; ++i)
    Pos = SkipLine(S, Pos);

  if (colx == 1 && coly == 2) {
    for (int32_t i = 0; i < pSize; ++i) {
      DataX[static_cast<size_t>(i)] = ReadToken(S, Pos);
      DataY[static_cast<size_t>(i)] = ReadToken(S, Pos);
      // A token that ended exactly at a line end leaves Pos on the LF: skip that line only.
      Pos = SkipLine(S, Pos);
    }
  } else {
    TSimpleParser &Parser = SharedSimpleParser();
    const size_t Need = static_cast<size_t>(std::max(colx, coly));
    bool Tabs = false;
    std::string Line;
    for (int32_t i = 0; i < pSize; ++i) {
      Line.assign(LineAt(S, Pos));
      if (i == 0) Tabs = Line.find('\t') != std::string::npos;
      if (Tabs)
        for (char &C : Line)
          if (C == '\t') C = ' ';
      Parser.ParseBlank(Line);
      if (Parser.Fields().size() < Need) {
        ShowDatMessage("Too few columns in " + FName);
        return false;
      }
      double X, Y;
      if (!TryStrToFloat(Parser.Strings(colx - 1), X) || !TryStrToFloat(Parser.Strings(coly - 1), Y)) {
        ShowDatMessage("Illegal numbers in " + FName);
        return false;
      }
      DataX[static_cast<size_t>(i)] = X;
      DataY[static_cast<size_t>(i)] = Y;
    }
  }

  UpdateSpec();
  pEquidistant = IsEquidistant();
  pFitsBess->NewHeader(pSize);
  if (pEquidistant) {
    pFitsBess->SetCRVAL1(DataX[0]);
    // One point has no step; the default CDELT1 of the new header stays.
    if (pSize > 1) pFitsBess->SetCDELT1((DataX[static_cast<size_t>(pSize - 1)] - DataX[0]) / (pSize - 1));
  }
  return true;
}

std::string DatText(const TSpec32 &Spec) {
  std::string Out;
  const size_t N = static_cast<size_t>(Spec.Size());
  Out.resize(N * 33 + 64);
  size_t Len = 0;
  char Buf[128];
  for (size_t i = 0; i < N; ++i) {
    int L = FormatG(Buf, 15, 10, Spec.DataX[i]);
    Buf[L++] = ' ';
    L += FormatG(Buf + L, 15, 10, Spec.DataY[i]);
    Buf[L++] = '\r';
    Buf[L++] = '\n';
    if (Len + static_cast<size_t>(L) > Out.size()) Out.resize(Out.size() * 2 + 128);
    std::memcpy(Out.data() + Len, Buf, static_cast<size_t>(L));
    Len += static_cast<size_t>(L);
  }
  Out.resize(Len);
  return Out;
}

void WriteDat(const TSpec32 &Spec, const std::string &FName) { SafeWriteFile(FName, DatText(Spec)); }

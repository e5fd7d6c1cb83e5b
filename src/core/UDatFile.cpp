#include "core/UDatFile.h"

#include <algorithm>
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

// A line whose first character other than a blank or a tab is "#" is a comment: it is no
// point and is not counted.
bool CommentLine(std::string_view Line) {
  size_t P = Line.find_first_not_of(" \t");
  return P != std::string_view::npos && Line[P] == '#';
}

// The fast form's number token: skip characters of code <= 32 (line ends too), take up to 64
// following characters of code > 32. At the end of the file a missing token reads as 0.
// With Comments, a token starting with "#" is a comment to the end of its line, and the
// search goes on after it. A token that is not a number gives false, with Pos at its start.
bool ReadToken(std::string_view S, size_t &Pos, double &V, bool Comments) {
  const size_t N = S.size();
  const char *D = S.data();
  for (;;) {
    // Numbers written right-aligned start after runs of blanks: skip those eight at a time.
    while (Pos + 8 <= N && std::memcmp(D + Pos, "        ", 8) == 0) Pos += 8;
    while (Pos < N && static_cast<unsigned char>(D[Pos]) <= 32) ++Pos;
    if (Pos >= N) {
      V = 0.0;
      return true;
    }
    if (!Comments || D[Pos] != '#') break;
    const void *Q = std::memchr(D + Pos, '\n', N - Pos);
    Pos = Q ? static_cast<size_t>(static_cast<const char *>(Q) - D) : N;
  }
  const size_t Start = Pos;
  const size_t Limit = N - Start < 64 ? N : Start + 64;
  // The common case, a plain decimal number ended by a blank or a line end, goes straight to
  // from_chars, which also finds its end; anything else (a sign "+", "inf", garbage) takes the
  // full conversion and its checks.
  auto Numeric = [](char C) { return (C >= '0' && C <= '9') || C == '.'; };
  const char C0 = D[Start], C1 = Start + 1 < Limit ? D[Start + 1] : '\0';
  if (Numeric(C0) || (C0 == '-' && Numeric(C1))) {
    auto [Ptr, Ec] = std::from_chars(D + Start, D + Limit, V, std::chars_format::general);
    const size_t End = static_cast<size_t>(Ptr - D);
    if (Ec == std::errc() && (End == N || (End < Limit && static_cast<unsigned char>(D[End]) <= 32))) {
      Pos = End;
      return true;
    }
  }
  while (Pos < Limit && static_cast<unsigned char>(D[Pos]) > 32) ++Pos;
  if (!TryStrToFloat(S.substr(Start, Pos - Start), V)) {
    Pos = Start;
    return false;
  }
  return true;
}

// 1-based number of the line that holds position Pos.
int64_t LineNumberAt(std::string_view S, size_t Pos) {
  return 1 + std::count(S.begin(), S.begin() + static_cast<std::ptrdiff_t>(std::min(Pos, S.size())), '\n');
}

// The file name and line for a message about one line of a text file.
std::string Where(const std::string &FName, int64_t Line) { return FName + ", line " + std::to_string(Line); }

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
  size_t Pos = 0;
  for (int i = 0; i < header; ++i)
    Pos = SkipLine(S, Pos);
  // Lines starting with "#" after the header are comments. A file without any "#" is read
  // exactly as before: every line after the header is a point.
  const bool Comments = std::memchr(S.data() + Pos, '#', S.size() - Pos) != nullptr;
  int64_t Points = CountLines(S) - header;
  if (Comments) {
    Points = 0;
    for (size_t P = Pos; P < S.size();)
      Points += !CommentLine(LineAt(S, P));
  }
  if (Points <= 0) {
    ShowDatMessage("No data lines in " + FName);
    return false;
  }
  if (Points > INT32_MAX) OrvaRaise(FName + ": too many lines");
  SetSize(static_cast<int32_t>(Points));

  if (colx == 1 && coly == 2) {
    for (int32_t i = 0; i < pSize; ++i) {
      if (!ReadToken(S, Pos, DataX[static_cast<size_t>(i)], Comments) ||
          !ReadToken(S, Pos, DataY[static_cast<size_t>(i)], Comments)) {
        const size_t End = std::min(S.find_first_of(" \t\r\n", Pos), std::min(S.size(), Pos + 64));
        OrvaRaise("Invalid numeric input in " + Where(FName, LineNumberAt(S, Pos)) + ": '" +
                  std::string(S.substr(Pos, End - Pos)) + "'");
      }
      // A token that ended exactly at a line end leaves Pos on the LF: skip that line only.
      Pos = SkipLine(S, Pos);
    }
  } else {
    TSimpleParser &Parser = SharedSimpleParser();
    const size_t Need = static_cast<size_t>(std::max(colx, coly));
    bool Tabs = false;
    std::string Line;
    int64_t LineNo = header; // of the line last read
    for (int32_t i = 0; i < pSize; ++i) {
      Line.assign(LineAt(S, Pos));
      ++LineNo;
      if (Comments && CommentLine(Line)) {
        --i;
        continue;
      }
      if (i == 0) Tabs = Line.find('\t') != std::string::npos;
      if (Tabs)
        for (char &C : Line)
          if (C == '\t') C = ' ';
      Parser.ParseBlank(Line);
      if (Parser.Fields().size() < Need) {
        ShowDatMessage("Too few columns in " + Where(FName, LineNo));
        return false;
      }
      double X, Y;
      if (!TryStrToFloat(Parser.Strings(colx - 1), X) || !TryStrToFloat(Parser.Strings(coly - 1), Y)) {
        ShowDatMessage("Illegal numbers in " + Where(FName, LineNo));
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

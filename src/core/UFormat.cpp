#include "core/UFormat.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <system_error>

#include "core/UErrors.h"

namespace {

// One "C" locale object for the whole run; uselocale switches only the calling thread.
locale_t CLocale() {
  static locale_t L = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return L;
}

class TCLocaleScope {
public:
  TCLocaleScope() : pOld(uselocale(CLocale())) {}
  ~TCLocaleScope() { uselocale(pOld); }

private:
  locale_t pOld;
};

// Accepts an optional leading "+" that from_chars does not take.
std::string_view StripPlus(std::string_view S) {
  if (S.size() > 1 && S[0] == '+' && S[1] != '-' && S[1] != '+') S.remove_prefix(1);
  return S;
}

} // namespace

std::string Format(const char *Fmt, ...) {
  TCLocaleScope Scope;
  char Small[256];
  va_list Args;
  va_start(Args, Fmt);
  va_list Copy;
  va_copy(Copy, Args);
  int N = std::vsnprintf(Small, sizeof Small, Fmt, Args);
  va_end(Args);
  std::string Result;
  if (N < 0) {
    va_end(Copy);
    return Result;
  }
  if (static_cast<size_t>(N) < sizeof Small) {
    Result.assign(Small, static_cast<size_t>(N));
  } else {
    Result.resize(static_cast<size_t>(N) + 1);
    std::vsnprintf(Result.data(), Result.size(), Fmt, Copy);
    Result.resize(static_cast<size_t>(N));
  }
  va_end(Copy);
  return Result;
}

std::string_view TrimView(std::string_view S) {
  size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= 32)
    ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= 32)
    --E;
  return S.substr(B, E - B);
}

std::string Trim(std::string_view S) { return std::string(TrimView(S)); }

std::string TrimRight(std::string_view S) {
  size_t E = S.size();
  while (E > 0 && static_cast<unsigned char>(S[E - 1]) <= 32)
    --E;
  return std::string(S.substr(0, E));
}

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char &C : R)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return R;
}

bool TryStrToFloat(std::string_view Text, double &Value) {
  std::string_view S = StripPlus(TrimView(Text));
  if (S.empty()) return false;
  // from_chars would also take "inf"/"nan" and hex-less forms; a user's number is decimal.
  char C0 = S[0] == '-' ? (S.size() > 1 ? S[1] : '\0') : S[0];
  if (!((C0 >= '0' && C0 <= '9') || C0 == '.')) return false;
  double V = 0;
  auto [Ptr, Ec] = std::from_chars(S.data(), S.data() + S.size(), V, std::chars_format::general);
  if (Ptr != S.data() + S.size()) return false;
  if (Ec == std::errc::result_out_of_range) {
    // Overflow is refused; underflow gives the nearest representable value.
    TCLocaleScope Scope;
    V = std::strtod(std::string(S).c_str(), nullptr);
    if (std::isinf(V)) return false;
    Value = V;
    return true;
  }
  if (Ec != std::errc()) return false;
  Value = V;
  return true;
}

bool TryStrToInt64(std::string_view Text, int64_t &Value) {
  std::string_view S = StripPlus(TrimView(Text));
  if (S.empty()) return false;
  int64_t V = 0;
  auto [Ptr, Ec] = std::from_chars(S.data(), S.data() + S.size(), V, 10);
  if (Ec != std::errc() || Ptr != S.data() + S.size()) return false;
  Value = V;
  return true;
}

bool TryStrToInt(std::string_view Text, int32_t &Value) {
  int64_t V = 0;
  if (!TryStrToInt64(Text, V) || V < INT32_MIN || V > INT32_MAX) return false;
  Value = static_cast<int32_t>(V);
  return true;
}

double StrToFloat(std::string_view Text) {
  double V = 0;
  if (!TryStrToFloat(Text, V)) OrvaRaise("'" + std::string(Text) + "' is not a valid floating point value");
  return V;
}

int32_t StrToInt(std::string_view Text) {
  int32_t V = 0;
  if (!TryStrToInt(Text, V)) OrvaRaise("'" + std::string(Text) + "' is not a valid integer value");
  return V;
}

int64_t StrToInt64(std::string_view Text) {
  int64_t V = 0;
  if (!TryStrToInt64(Text, V)) OrvaRaise("'" + std::string(Text) + "' is not a valid integer value");
  return V;
}

int FormatG(char *Buf, int Width, int Precision, double Value) {
  char Tmp[64];
  auto [Ptr, Ec] = std::to_chars(Tmp, Tmp + sizeof Tmp, Value, std::chars_format::general, Precision);
  int Len = Ec == std::errc() ? static_cast<int>(Ptr - Tmp) : 0;
  int Pad = Width > Len ? Width - Len : 0;
  std::memset(Buf, ' ', static_cast<size_t>(Pad));
  std::memcpy(Buf + Pad, Tmp, static_cast<size_t>(Len));
  return Pad + Len;
}

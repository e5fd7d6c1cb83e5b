#include "core/UIniFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <strings.h>

#include "core/UFormat.h"
#include "core/USafeFile.h"

namespace {
bool SameText(const std::string &A, const std::string &B) {
  return A.size() == B.size() && ::strncasecmp(A.c_str(), B.c_str(), A.size()) == 0;
}
} // namespace

std::string IniFloatText(double Value) { return Format("%.15g", Value); }

TIniFile::TIniFile(const std::string &FName) {
  std::ifstream F(FName, std::ios::binary);
  if (!F) return;
  std::ostringstream S;
  S << F.rdbuf();
  LoadFromText(S.str());
}

void TIniFile::LoadFromText(const std::string &Text) {
  pSections.clear();
  TSection *Cur = nullptr;
  size_t Pos = 0;
  while (Pos < Text.size()) {
    size_t End = Text.find('\n', Pos);
    if (End == std::string::npos) End = Text.size();
    std::string Line = Trim(std::string_view(Text).substr(Pos, End - Pos));
    Pos = End + 1;
    if (Line.empty() || Line[0] == ';') continue;
    if (Line[0] == '[') {
      size_t Close = Line.find(']');
      std::string Name = Close == std::string::npos ? Line.substr(1) : Line.substr(1, Close - 1);
      Cur = const_cast<TSection *>(FindSection(Name));
      if (!Cur) {
        pSections.push_back({Name, {}});
        Cur = &pSections.back();
      }
      continue;
    }
    size_t Eq = Line.find('=');
    if (!Cur || Eq == std::string::npos) continue;
    std::string Key = Trim(std::string_view(Line).substr(0, Eq));
    std::string Val = Trim(std::string_view(Line).substr(Eq + 1));
    bool Found = false;
    for (auto &E : Cur->Entries)
      if (SameText(E.first, Key)) {
        Found = true; // the first entry of a key wins, as with the platform's routines
        break;
      }
    if (!Found && !Key.empty()) Cur->Entries.emplace_back(Key, Val);
  }
}

std::string TIniFile::SaveToText() const {
  std::string Out;
  for (size_t i = 0; i < pSections.size(); ++i) {
    if (i > 0) Out += "\n";
    Out += "[" + pSections[i].Name + "]\n";
    for (const auto &E : pSections[i].Entries)
      Out += E.first + "=" + E.second + "\n";
  }
  return Out;
}

void TIniFile::SaveToFile(const std::string &FName) const { SafeWriteFile(FName, SaveToText()); }

const TIniFile::TSection *TIniFile::FindSection(const std::string &Name) const {
  for (const TSection &S : pSections)
    if (SameText(S.Name, Name)) return &S;
  return nullptr;
}

bool TIniFile::ValueExists(const std::string &Section, const std::string &Key) const {
  const TSection *S = FindSection(Section);
  if (!S) return false;
  for (const auto &E : S->Entries)
    if (SameText(E.first, Key)) return true;
  return false;
}

std::string TIniFile::ReadString(const std::string &Section, const std::string &Key,
                                 const std::string &Default) const {
  const TSection *S = FindSection(Section);
  if (!S) return Default;
  for (const auto &E : S->Entries)
    if (SameText(E.first, Key)) return E.second;
  return Default;
}

double TIniFile::ReadFloat(const std::string &Section, const std::string &Key, double Default) const {
  double V;
  return TryStrToFloat(ReadString(Section, Key, ""), V) ? V : Default;
}

int TIniFile::ReadInteger(const std::string &Section, const std::string &Key, int Default) const {
  int32_t V;
  return TryStrToInt(ReadString(Section, Key, ""), V) ? V : Default;
}

void TIniFile::WriteString(const std::string &Section, const std::string &Key, const std::string &Text) {
  // One entry is one line.
  std::string Value = Text;
  for (char &C : Value)
    if (C == '\r' || C == '\n') C = ' ';
  TSection *S = const_cast<TSection *>(FindSection(Section));
  if (!S) {
    pSections.push_back({Section, {}});
    S = &pSections.back();
  }
  for (auto &E : S->Entries)
    if (SameText(E.first, Key)) {
      E.second = Value;
      return;
    }
  S->Entries.emplace_back(Key, Value);
}

void TIniFile::WriteFloat(const std::string &Section, const std::string &Key, double Value) {
  WriteString(Section, Key, IniFloatText(Value));
}

void TIniFile::WriteInteger(const std::string &Section, const std::string &Key, int Value) {
  WriteString(Section, Key, std::to_string(Value));
}

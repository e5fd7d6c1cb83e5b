#include "cli/UCliCommon.h"

#include <algorithm>
#include <cstdio>

#include "core/UErrors.h"
#include "core/UFormat.h"

TCliArgs::TCliArgs(const std::vector<std::string> &Args, const std::vector<std::string> &ValueOptions,
                   const std::vector<std::string> &FlagOptions) {
  auto Contains = [](const std::vector<std::string> &V, const std::string &S) {
    return std::find(V.begin(), V.end(), S) != V.end();
  };
  bool OnlyPositional = false;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string &A = Args[i];
    if (!OnlyPositional && A == "--") {
      OnlyPositional = true;
      continue;
    }
    if (OnlyPositional || A.size() < 3 || A.compare(0, 2, "--") != 0) {
      pPositional.push_back(A);
      continue;
    }
    std::string Name = A.substr(2), Val;
    bool HasInline = false;
    if (size_t Eq = Name.find('='); Eq != std::string::npos) {
      Val = Name.substr(Eq + 1);
      Name.resize(Eq);
      HasInline = true;
    }
    if (Contains(ValueOptions, Name)) {
      if (!HasInline) {
        if (i + 1 >= Args.size()) throw ECliUsage{"option --" + Name + " needs a value"};
        Val = Args[++i];
      }
      pValues[Name] = Val;
    } else if (Contains(FlagOptions, Name) && !HasInline) {
      pValues[Name] = "";
    } else {
      throw ECliUsage{"unknown option --" + Name};
    }
  }
}

bool TCliArgs::Has(const std::string &Name) const { return pValues.count(Name) > 0; }

std::string TCliArgs::Value(const std::string &Name, const std::string &Default) const {
  auto It = pValues.find(Name);
  return It == pValues.end() ? Default : It->second;
}

int TCliArgs::IntValue(const std::string &Name, int Default) const {
  auto It = pValues.find(Name);
  if (It == pValues.end()) return Default;
  int32_t V = 0;
  if (!TryStrToInt(It->second, V))
    throw ECliUsage{"--" + Name + ": '" + It->second + "' is not a valid integer value"};
  return V;
}

double TCliArgs::FloatValue(const std::string &Name, double Default) const {
  auto It = pValues.find(Name);
  if (It == pValues.end()) return Default;
  double V = 0;
  if (!TryStrToFloat(It->second, V))
    throw ECliUsage{"--" + Name + ": '" + It->second + "' is not a valid floating point value"};
  return V;
}

void CliError(const std::string &Msg) { std::fprintf(stderr, "orvalumetrix-cli: %s\n", Msg.c_str()); }

std::vector<const TCliCommand *> &CliExtraCommands() {
  static std::vector<const TCliCommand *> Extra;
  return Extra;
}

#pragma once
// Shared pieces of the command-line front end: the command table and the option reader.
#include <map>
#include <string>
#include <vector>

// Bad usage: printed with the command's usage text, exit code 2.
struct ECliUsage {
  std::string Msg;
};

struct TCliCommand {
  const char *Name;
  const char *Summary;
  const char *Usage; // full help text of the command
  int (*Run)(const std::vector<std::string> &Args);
  std::string (*Help)() = nullptr; // when the help text is made at run time (replaces Usage)
};

// Each command unit defines one of these; main.cpp lists them.
extern const TCliCommand CliInfoCommand;
extern const TCliCommand CliConvertCommand;
extern const TCliCommand CliOpCommand;
extern const TCliCommand CliBaryCommand;
extern const TCliCommand CliEphemerisCommand;

// Further command units register themselves: a static TCliCommandRegistrar in the unit adds the
// command after the ones listed above.
std::vector<const TCliCommand *> &CliExtraCommands();
struct TCliCommandRegistrar {
  explicit TCliCommandRegistrar(const TCliCommand &C) { CliExtraCommands().push_back(&C); }
};

// Options of the form "--name value" and flags "--name"; everything else is positional.
class TCliArgs {
public:
  // ValueOptions: names (without "--") that take a value; FlagOptions: names that do not.
  TCliArgs(const std::vector<std::string> &Args, const std::vector<std::string> &ValueOptions,
           const std::vector<std::string> &FlagOptions = {});
  bool Has(const std::string &Name) const;
  std::string Value(const std::string &Name, const std::string &Default) const;
  int IntValue(const std::string &Name, int Default) const;
  double FloatValue(const std::string &Name, double Default) const;
  const std::vector<std::string> &Positional() const { return pPositional; }

private:
  std::map<std::string, std::string> pValues;
  std::vector<std::string> pPositional;
};

// "orvalumetrix-cli: " + Msg on stderr.
void CliError(const std::string &Msg);

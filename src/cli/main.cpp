// orvalumetrix-cli: the program's computations on files, for batch work and scripting.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/UCliCommon.h"
#include "core/UErrors.h"

namespace {

std::vector<const TCliCommand *> AllCommands() {
  std::vector<const TCliCommand *> C = {&CliInfoCommand, &CliConvertCommand, &CliOpCommand, &CliBaryCommand,
                                        &CliEphemerisCommand};
  C.insert(C.end(), CliExtraCommands().begin(), CliExtraCommands().end());
  return C;
}

void PrintHelp(std::FILE *Out) {
  std::fprintf(Out, "Usage: orvalumetrix-cli COMMAND [OPTIONS] ARGS...\n\n"
                    "Runs Orvalumetrix's computations on spectrum files.\n\nCommands:\n");
  for (const TCliCommand *C : AllCommands())
    std::fprintf(Out, "  %-10s %s\n", C->Name, C->Summary);
  std::fprintf(Out, "\n'orvalumetrix-cli COMMAND --help' describes a command.\n");
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    PrintHelp(stderr);
    return 2;
  }
  std::string Name = argv[1];
  if (Name == "--help" || Name == "-h" || Name == "help") {
    PrintHelp(stdout);
    return 0;
  }
  const TCliCommand *Cmd = nullptr;
  for (const TCliCommand *C : AllCommands())
    if (Name == C->Name) Cmd = C;
  if (!Cmd) {
    CliError("unknown command '" + Name + "'");
    PrintHelp(stderr);
    return 2;
  }
  std::vector<std::string> Args(argv + 2, argv + argc);
  for (const std::string &A : Args)
    if (A == "--help" || A == "-h") {
      std::fputs(Cmd->Help ? Cmd->Help().c_str() : Cmd->Usage, stdout);
      return 0;
    }
  try {
    return Cmd->Run(Args);
  } catch (const ECliUsage &E) {
    CliError(E.Msg);
    std::fputs(Cmd->Help ? Cmd->Help().c_str() : Cmd->Usage, stderr);
    return 2;
  } catch (const std::exception &E) {
    CliError(E.what());
    return 1;
  }
}

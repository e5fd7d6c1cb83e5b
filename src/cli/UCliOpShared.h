#pragma once
// What the operations of "op" share: where results go, how they are named and written, how
// refusals are reported; and the table through which further operation units add names.
#include <memory>
#include <string>
#include <vector>

#include "cli/UCliCommon.h"
#include "cli/UCliRead.h"
#include "ops/UOpResult.h"
#include "ops/UOpRun.h"

class TSpec32;

struct TOpContext {
  std::string OutDir = ".";
  bool Fits = false;
  int Untitled = 0; // the "Untitled-N" counter of this run
  int Rc = 0;
};

// "orvalumetrix-cli: " + Msg; the exit code becomes 1.
void Refused(TOpContext &C, const std::string &Msg);
// Names (as the file list would), builds and writes one result; prints the file written.
// Named: from Source's name with the result's suffix; otherwise an "Untitled-N" name.
void WriteResult(TOpContext &C, const TSpec32 *Source, const TOpResult &R, const TSpec32 *HeaderSource,
                 bool Named);
// The same with the name made from FName and the result's suffix as the file list makes it
// (FName empty: the next "Untitled-N"); Source, when given, is checked for the warning about
// values that became infinite.
void WriteNamedResult(TOpContext &C, const std::string &FName, const TOpResult &R,
                      const TSpec32 *HeaderSource, const TSpec32 *Source);
// The spectrum name and the full file name in the output folder for a result: the output folder
// is created when it does not exist, and an "Untitled-N" name skips every N whose file is there
// already (a named result replaces its file, as saving under the same name would).
struct TResultFile {
  std::string Name, File;
};
TResultFile ResultFile(TOpContext &C, const std::string &FName, const std::string &History);
// Where a run of an operation puts things on the command line: each result written as a file
// (its name printed on stdout, its warning on stderr), each refusal on stderr with exit code 1,
// a notice on stderr as "NAME: text" (it does not change the exit code).
class TCliSink : public TOpSink {
public:
  explicit TCliSink(TOpContext &C) : pC(C) {}
  void Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
              const std::string &Warning) override;
  void Refused(const std::string &Message) override;
  void Notice(const TSpec32 &Source, const std::string &Text) override;

private:
  TOpContext &pC;
};
// RunOperation over the files with a TCliSink.
TOpRunEnd RunOnFiles(TOpContext &C, const std::vector<std::unique_ptr<TSpec32>> &Specs, const TOpStep &Step,
                     const TOpRunRules &Rules = {});
// RunWhole with a TCliSink.
TOpRunEnd RunWholeCli(TOpContext &C, TOpOutcome Outcome, const std::vector<const TSpec32 *> &Sources,
                      const std::string &FName = std::string());
// The files read, for a run over them.
std::vector<const TSpec32 *> Pointers(const std::vector<std::unique_ptr<TSpec32>> &Specs);
// Exactly one of the flags may be given; returns its index.
int OneOf(const TCliArgs &A, const std::vector<std::string> &Flags, const char *What);
// Reads every file (usage error when there is none).
std::vector<std::unique_ptr<TSpec32>> ReadAll(const std::vector<std::string> &Files, const TReadOptions &O);
// The options every operation takes: --out DIR, --fits, --colx, --coly, --header. ValueOptions
// and FlagOptions are the operation's own.
TCliArgs OpArgs(const std::vector<std::string> &Rest, std::vector<std::string> ValueOptions,
                std::vector<std::string> FlagOptions, TOpContext &C, TReadOptions &O);

// Further operations: a unit defines a static TCliOpRegistrar with its name, its lines for
// the help text and its body (which receives the arguments after the name and returns the
// exit code).
struct TCliOpExtension {
  const char *Name;
  const char *Usage;
  int (*Run)(const std::vector<std::string> &Rest);
};
std::vector<TCliOpExtension> &CliOpExtensions();
struct TCliOpRegistrar {
  explicit TCliOpRegistrar(const TCliOpExtension &E) { CliOpExtensions().push_back(E); }
};

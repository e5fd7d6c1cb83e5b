#include "cli/UCliOpShared.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "shell/UFileListCore.h"

void Refused(TOpContext &C, const std::string &Msg) {
  CliError(Msg);
  C.Rc = 1;
}

TResultFile ResultFile(TOpContext &C, const std::string &FName, const std::string &History) {
  namespace fs = std::filesystem;
  const fs::path Dir(C.OutDir.empty() ? std::string(".") : C.OutDir);
  std::error_code Ec;
  if (!fs::is_directory(Dir, Ec)) {
    fs::create_directories(Dir, Ec);
    if (Ec || !fs::is_directory(Dir, Ec))
      OrvaRaise("Cannot create the folder '" + C.OutDir + "'" + (Ec ? ": " + Ec.message() : std::string()));
  }
  const std::string Ext = C.Fits ? ".fits" : ".dat";
  TResultFile F;
  for (;;) {
    F.Name = ResultName(FName, History, C.Untitled);
    F.File = (Dir / (F.Name + Ext)).string();
    if (!FName.empty() || !fs::exists(fs::symlink_status(F.File, Ec))) break;
  }
  return F;
}

namespace {

// Names, builds and writes one result; the warning (if any) on stderr before the file's name.
void WriteWarned(TOpContext &C, const std::string &FName, const TOpResult &R, const TSpec32 *HeaderSource,
                 const std::string &Warning) {
  const TResultFile F = ResultFile(C, FName, R.History);
  std::unique_ptr<TSpec32> S = BuildResultSpec(F.Name, R, HeaderSource);
  if (!Warning.empty()) CliError(F.Name + Warning);
  if (C.Fits)
    SaveSpecAsFits(*S, F.File);
  else
    WriteDat(*S, F.File);
  std::printf("%s\n", F.File.c_str());
  std::fflush(stdout);
}

} // namespace

void WriteNamedResult(TOpContext &C, const std::string &FName, const TOpResult &R,
                      const TSpec32 *HeaderSource, const TSpec32 *Source) {
  WriteWarned(C, FName, R, HeaderSource, Source ? ResultWarning({Source}, R) : std::string());
}

// Names, builds and writes one result; prints the file written.
void WriteResult(TOpContext &C, const TSpec32 *Source, const TOpResult &R, const TSpec32 *HeaderSource,
                 bool Named) {
  WriteNamedResult(C, Named && Source ? Source->FileName() : std::string(), R, HeaderSource, Source);
}

void TCliSink::Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
                      const std::string &Warning) {
  WriteWarned(pC, FName, R, HeaderSource, Warning);
}

void TCliSink::Refused(const std::string &Message) { ::Refused(pC, Message); }

void TCliSink::Notice(const TSpec32 &Source, const std::string &Text) {
  // On a terminal the fixed text alone would not say which file it concerns.
  CliError(Source.FileName() + ": " + Text);
}

TOpRunEnd RunOnFiles(TOpContext &C, const std::vector<std::unique_ptr<TSpec32>> &Specs, const TOpStep &Step,
                     const TOpRunRules &Rules) {
  TCliSink Sink(C);
  return RunOperation(Pointers(Specs), Step, Sink, Rules);
}

TOpRunEnd RunWholeCli(TOpContext &C, TOpOutcome Outcome, const std::vector<const TSpec32 *> &Sources,
                      const std::string &FName) {
  TCliSink Sink(C);
  return RunWhole(std::move(Outcome), Sources, Sink, FName);
}

std::vector<const TSpec32 *> Pointers(const std::vector<std::unique_ptr<TSpec32>> &Specs) {
  std::vector<const TSpec32 *> P;
  for (const auto &S : Specs)
    P.push_back(S.get());
  return P;
}

// Exactly one of the flags may be given; returns its index.
int OneOf(const TCliArgs &A, const std::vector<std::string> &Flags, const char *What) {
  int Found = -1;
  for (size_t i = 0; i < Flags.size(); ++i)
    if (A.Has(Flags[i])) {
      if (Found >= 0) throw ECliUsage{std::string("give only one ") + What};
      Found = static_cast<int>(i);
    }
  if (Found < 0) throw ECliUsage{std::string("give one ") + What};
  return Found;
}

std::vector<std::unique_ptr<TSpec32>> ReadAll(const std::vector<std::string> &Files, const TReadOptions &O) {
  if (Files.empty()) throw ECliUsage{"no file given"};
  std::vector<std::unique_ptr<TSpec32>> Specs;
  for (const std::string &F : Files)
    Specs.push_back(ReadForCli(F, O));
  return Specs;
}
TCliArgs OpArgs(const std::vector<std::string> &Rest, std::vector<std::string> ValueOptions,
                std::vector<std::string> FlagOptions, TOpContext &C, TReadOptions &O) {
  for (const char *V : {"out", "colx", "coly", "header"})
    ValueOptions.push_back(V);
  FlagOptions.push_back("fits");
  TCliArgs A(Rest, ValueOptions, FlagOptions);
  C.OutDir = A.Value("out", ".");
  C.Fits = A.Has("fits");
  O = ReadOptions(A);
  return A;
}

std::vector<TCliOpExtension> &CliOpExtensions() {
  static std::vector<TCliOpExtension> Table;
  return Table;
}

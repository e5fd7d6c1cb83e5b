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

void WriteNamedResult(TOpContext &C, const std::string &FName, const TOpResult &R,
                      const TSpec32 *HeaderSource, const TSpec32 *Source) {
  const TResultFile F = ResultFile(C, FName, R.History);
  std::unique_ptr<TSpec32> S = BuildResultSpec(F.Name, R, HeaderSource);
  if (Source) {
    std::string W = NonFiniteWarning(*Source, R);
    if (!W.empty()) CliError(F.Name + W);
  }
  if (C.Fits)
    SaveSpecAsFits(*S, F.File);
  else
    WriteDat(*S, F.File);
  std::printf("%s\n", F.File.c_str());
  std::fflush(stdout);
}

// Names, builds and writes one result; prints the file written.
void WriteResult(TOpContext &C, const TSpec32 *Source, const TOpResult &R, const TSpec32 *HeaderSource,
                 bool Named) {
  WriteNamedResult(C, Named && Source ? Source->FileName() : std::string(), R, HeaderSource, Source);
}

// Writes every result of a source, or reports its refusal.
void Deliver(TOpContext &C, const TSpec32 &Source, const TOpOutcome &O) {
  if (!O.Ok()) {
    Refused(C, Source.FileName() + O.Condition);
    return;
  }
  for (const TOpResult &R : O.Results)
    WriteResult(C, &Source, R, &Source, true);
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

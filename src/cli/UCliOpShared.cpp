#include "cli/UCliOpShared.h"

#include <cstdio>
#include <filesystem>

#include "core/UDatFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "shell/UFileListCore.h"

void Refused(TOpContext &C, const std::string &Msg) {
  CliError(Msg);
  C.Rc = 1;
}

// Names, builds and writes one result; prints the file written.
void WriteResult(TOpContext &C, const TSpec32 *Source, const TOpResult &R, const TSpec32 *HeaderSource,
                 bool Named) {
  std::string Name = ResultName(Named && Source ? Source->FileName() : std::string(), R.History, C.Untitled);
  std::unique_ptr<TSpec32> S = BuildResultSpec(Name, R, HeaderSource);
  if (Source) {
    std::string W = NonFiniteWarning(*Source, R);
    if (!W.empty()) CliError(Name + W);
  }
  std::string File = (std::filesystem::path(C.OutDir) / (Name + (C.Fits ? ".fits" : ".dat"))).string();
  if (C.Fits)
    SaveSpecAsFits(*S, File);
  else
    WriteDat(*S, File);
  std::printf("%s\n", File.c_str());
  std::fflush(stdout);
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

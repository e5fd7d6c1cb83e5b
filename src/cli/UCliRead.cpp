#include "cli/UCliRead.h"

#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

TReadOptions ReadOptions(const TCliArgs &A) {
  TReadOptions O;
  O.ColX = A.IntValue("colx", 1);
  O.ColY = A.IntValue("coly", 2);
  O.Header = A.IntValue("header", 0);
  if (O.ColX <= 0 || O.ColY <= 0) throw ECliUsage{"Column numbers must be > 0"};
  if (O.Header < 0) throw ECliUsage{"--header must be >= 0"};
  return O;
}

// Reads a file as the file list does; conditions the reader shows in a message box become
// the error that the command reports.
std::unique_ptr<TSpec32> ReadForCli(const std::string &FName, const TReadOptions &O) {
  std::string Shown;
  SetDatMessageSink([&Shown](const std::string &M) { Shown = M; });
  std::unique_ptr<TSpec32> Spec;
  try {
    Spec = ReadSpecFile(FName, O.ColX, O.ColY, O.Header);
  } catch (...) {
    SetDatMessageSink(nullptr);
    throw;
  }
  SetDatMessageSink(nullptr);
  if (!Spec) throw EOrvaError(Shown.empty() ? FName + ": cannot be read" : Shown);
  return Spec;
}

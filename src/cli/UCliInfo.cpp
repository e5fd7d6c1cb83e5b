// The commands "info" and "convert".
#include <cstdio>
#include <memory>
#include <string>

#include "cli/UCliCommon.h"
#include "cli/UCliRead.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

namespace {

void PrintInfo(const std::string &FName, const TSpec32 &S) {
  std::string Out;
  Out += "file: " + FName + "\n";
  Out += Format("points: %d\n", S.Size());
  Out += std::string("equidistant: ") + (S.Equidistant() ? "Y" : "N") + "\n";
  Out += Format("min: %1.10g\nmax: %1.10g\n", S.MinVal(), S.MaxVal());
  if (S.Size() > 0) Out += Format("x-first: %1.10g\nx-last: %1.10g\n", S.DataX.front(), S.DataX.back());
  // Where a FITS spectrum was found and what its x-axis is.
  const TSpecOrigin &O = S.Origin();
  if (!O.Axis.empty()) {
    Out += "source: " + O.Source + "\n";
    Out += "axis: " + O.Axis + "\n";
    const bool RowIndex = O.Source.find("(row index)") != std::string::npos;
    Out += std::string("x-unit: ") +
           (RowIndex                              ? "row index"
            : O.Kind == TAxisUnitKind::Wavenumber ? "wavenumber (cm-1)"
                                                  : "Angstrom") +
           "\n";
  }
  Out += "header:\n";
  for (const std::string &Card : S.FitsBess().Cards())
    Out += TrimRight(Card) + "\n";
  std::fputs(Out.c_str(), stdout);
}

int RunInfo(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"colx", "coly", "header"});
  TReadOptions O = ReadOptions(A);
  if (A.Positional().empty()) throw ECliUsage{"no file given"};
  int Rc = 0;
  bool First = true;
  for (const std::string &FName : A.Positional()) {
    try {
      std::unique_ptr<TSpec32> S = ReadForCli(FName, O);
      if (!First) std::fputs("\n", stdout);
      First = false;
      PrintInfo(FName, *S);
    } catch (const std::exception &E) {
      std::fflush(stdout);
      CliError(E.what());
      Rc = 1;
    }
  }
  return Rc;
}

int RunConvert(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"colx", "coly", "header"});
  TReadOptions O = ReadOptions(A);
  if (A.Positional().size() != 2) throw ECliUsage{"convert needs IN and OUT"};
  const std::string &In = A.Positional()[0];
  const std::string &Out = A.Positional()[1];
  std::unique_ptr<TSpec32> S = ReadForCli(In, O);
  std::string Ext = UpperCase(ExtractFileExt(Out));
  if (Ext == ".DAT") {
    WriteDat(*S, Out);
  } else if (Ext == ".FIT" || Ext == ".FITS") {
    SaveSpecAsFits(*S, Out);
  } else {
    throw EOrvaError("File type " + ExtractFileExt(Out) + " is not supported for writing");
  }
  return 0;
}

} // namespace

const TCliCommand CliInfoCommand{
    "info", "print points, range and header of spectrum files",
    "Usage: orvalumetrix-cli info [--colx N] [--coly N] [--header N] FILE...\n\n"
    "Prints one block per file (blocks separated by an empty line): file, points,\n"
    "equidistant (Y/N), min, max, x-first, x-last, then \"header:\" and every header card.\n"
    "For FITS files three lines come before the header: source (primary image,\n"
    "extension 1 image, or extension 1 table columns WAVE/FLUX), axis (linear, log or\n"
    "table) and x-unit (Angstrom, wavenumber (cm-1) or row index).\n"
    "Text files (.dat .txt .ascii) are read with x in column --colx (1), y in column\n"
    "--coly (2), after --header (0) skipped lines; lines starting with # are comments.\n"
    ".fit/.fits files are read as FITS: a 1-D image in the primary HDU or, after an\n"
    "empty primary, in the first extension (image or binary table). A file that\n"
    "cannot be read is reported by name and the next file is read.\n",
    RunInfo};

const TCliCommand CliConvertCommand{
    "convert", "convert a spectrum between .dat and FITS",
    "Usage: orvalumetrix-cli convert [--colx N] [--coly N] [--header N] IN OUT\n\n"
    "Reads IN as 'info' does and writes OUT by its extension: .dat as a text column file,\n"
    ".fit/.fits as a FITS file with BITPIX -32 (the spectrum must be equidistant).\n",
    RunConvert};

#include "core/USpecFiles.h"

#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"

TSpecFileKind SpecFileKind(const std::string &FName) {
  std::string Ext = UpperCase(ExtractFileExt(FName));
  if (Ext == ".DAT" || Ext == ".TXT" || Ext == ".ASCII") return TSpecFileKind::Text;
  if (Ext == ".FIT" || Ext == ".FITS") return TSpecFileKind::Fits;
  return TSpecFileKind::Unsupported;
}

std::unique_ptr<TSpec32> ReadSpecFile(const std::string &FName, int ColX, int ColY, int Header) {
  // Every message about a file that fails names the file: when several files are opened at
  // once, the user must know which one it was.
  try {
    switch (SpecFileKind(FName)) {
    case TSpecFileKind::Text: {
      auto S = std::make_unique<TSpec32>();
      if (!S->ReadDat(FName, ColX, ColY, Header)) return nullptr;
      return S;
    }
    case TSpecFileKind::Fits: {
      auto S = std::make_unique<TSpec32>();
      S->ReadFits(FName);
      return S;
    }
    default:
      ShowDatMessage("File type " + ExtractFileExt(FName) + " is not supported: " + FName);
      return nullptr;
    }
  } catch (const EOrvaError &E) {
    const std::string Msg = E.what();
    if (Msg.find(FName) != std::string::npos) throw;
    throw EOrvaError(FName + ": " + Msg);
  }
}

void PrepareFitsHeader(TSpec32 &Spec) {
  if (!Spec.Equidistant()) OrvaRaise("x-values not equidistant; resample spectrum");
  TFitsBess &H = Spec.FitsBess();
  const int32_t N = Spec.Size();
  H.SetBITPIX(-32);
  H.SetCRPIX1(1);
  H.SetCRVAL1(N > 0 ? Spec.DataX[0] : 0.0);
  if (N > 1) H.SetCDELT1((Spec.DataX[static_cast<size_t>(N - 1)] - Spec.DataX[0]) / (N - 1));
  // The data are written as physical single-precision values with x in Angstrom: scaling
  // cards kept from an integer file, or a unit of nm, would make a reader apply them again.
  double Old;
  std::string S, C;
  if (H.ReadDbl("BSCALE  ", Old, S, C) && Old != 1.0) H.SetBSCALE(1.0);
  if (H.ReadDbl("BZERO   ", Old, S, C) && Old != 0.0) H.SetBZERO(0.0);
  if (UpperCase(Trim(H.CUNIT1())) == "NM") H.SetCUNIT1("Angstrom");
  // Undefined pixels are NaN now; BLANK is not allowed with floating-point data.
  for (int I; (I = H.IndexOfKey("BLANK   ")) >= 0;)
    H.Delete(I);
  H.SetNAXIS1(N);
}

void SaveSpecAsFits(TSpec32 &Spec, const std::string &FName) {
  PrepareFitsHeader(Spec);
  Spec.FitsBess().SaveToFile_32(FName, Spec.DataY);
}

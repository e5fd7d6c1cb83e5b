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
  // x is held in Angstrom whatever length unit the source used, on a linear axis: a unit
  // other than Angstrom, a logarithmic axis type, DC-FLAG, the CD1_1 matrix or table cards
  // would describe a different axis. Wavenumbers and units set by x-axis conversions stay.
  {
    std::string Unit;
    double Factor;
    if (H.ReadStr("CUNIT1  ", Unit, C) && ParseAxisUnit(Unit, Factor) == TAxisUnitKind::Length &&
        Trim(Unit) != "Angstrom")
      H.SetCUNIT1("Angstrom");
    std::string Type;
    if (H.ReadStr("CTYPE1  ", Type, C)) {
      const std::string InType = UnitInCtype(Type);
      if (IsLogCtype(Type) ||
          (!InType.empty() && ParseAxisUnit(InType, Factor) == TAxisUnitKind::Length && Factor != 1))
        H.SetCTYPE1("Wavelength");
    }
    double Step;
    if (N <= 1 && !H.ReadDbl("CDELT1  ", Step, S, C)) H.SetCDELT1(H.AxisStep() != 0 ? H.AxisStep() : 1.0);
    for (int I = H.Count() - 1; I >= 0; --I) {
      const std::string Key = H.Strings(I).substr(0, 8);
      // Names and checksums of the file's HDUs are left as they were read.
      const bool Kept = Key == "EXTNAME " || Key == "EXTVER  " || Key == "EXTLEVEL" || Key == "INHERIT " ||
                        Key == "CHECKSUM" || Key == "DATASUM ";
      if (Key == "DC-FLAG " || Key == "CD1_1   " || (IsTableStructureKey(Key) && !Kept)) H.Delete(I);
    }
    int32_t Naxis;
    if (!H.ReadInt("NAXIS   ", Naxis, S, C) || Naxis != 1) H.SetOneAxis(N);
  }
  // Undefined pixels are NaN now; BLANK is not allowed with floating-point data.
  for (int I; (I = H.IndexOfKey("BLANK   ")) >= 0;)
    H.Delete(I);
  H.SetNAXIS1(N);
}

void SaveSpecAsFits(TSpec32 &Spec, const std::string &FName) {
  PrepareFitsHeader(Spec);
  Spec.FitsBess().SaveToFile_32(FName, Spec.DataY);
}

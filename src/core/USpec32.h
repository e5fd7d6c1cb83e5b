#pragma once
// One spectrum in memory: x and y values, the name and folder it came from, its FITS header
// and a few derived values. The file list owns every spectrum; windows and tools hold plain
// references.
#include <cstdint>
#include <memory>
#include <string>

#include "core/UFitsBess.h"
#include "core/USpecTypes.h"

// Where a spectrum read from a FITS file came from, for the user's information.
struct TSpecOrigin {
  std::string Source; // "primary image", "extension 1 image", "extension 1 table columns WAVE/FLUX"
  std::string Axis;   // "linear", "log" or "table"; empty for spectra not read from FITS
  TAxisUnitKind Kind = TAxisUnitKind::Length; // x in Angstrom, or wavenumbers in cm-1
};

class TFileListItem; // the file-list row showing a spectrum (defined by the window layer)
class TProfile32;    // the plot window showing a spectrum (defined by the window layer)

class TSpec32 {
public:
  TSpec32();
  ~TSpec32();
  TSpec32(const TSpec32 &) = delete;
  TSpec32 &operator=(const TSpec32 &) = delete;

  // Fresh spectrum of Nx points: x[i] = i, y[i] = Val; header copied from Info (then BITPIX
  // = -32 and NAXIS1 = Nx) or rebuilt with NewHeader(Nx). Used through the file list.
  void NewSpec(const std::string &Name, int32_t Nx, double Val, const TSpec32 *Info);
  // Recomputes MinVal and MaxVal from the finite values of DataY (NaN when there is none; the
  // equidistance flag is left alone) and counts a new version of the data. Whoever changes
  // DataY in place calls it, so that the list and the plot window (which keeps per-block
  // extremes of y) see the new values.
  void UpdateSpec();
  uint64_t DataVersion() const { return pDataVersion; }
  // Equal x-steps within 1e-5 of the mean step (decreasing x is never equidistant).
  bool IsEquidistant() const;
  // Same x-axis as Other, relative to the magnitude of this spectrum's mean step; Msg says
  // why not. A mean step of zero (first and last x equal, more than one point) is refused.
  bool CompareXValues(const TSpec32 &Other, std::string &Msg) const;

  // Text column file; reports failures through the error sink and returns false.
  // (The reading itself lives in UDatFile.)
  bool ReadDat(const std::string &FName, int colx, int coly, int header);
  // FITS file: a one-dimensional image (primary, or the first extension after an empty
  // primary), linear or logarithmic in x (CTYPE1 'WAVE-LOG', DC-FLAG = 1), or a binary table
  // in the first extension; raises EOrvaError on failure.
  void ReadFits(const std::string &FName);
  // Set by ReadFits; empty Source and Axis for any other spectrum.
  const TSpecOrigin &Origin() const { return pOrigin; }

  // Resizes both arrays and sets the point count (values of new points are 0).
  void SetSize(int32_t N);
  // Sets the count, the derived values and the equidistance flag after the arrays were filled.
  void FinishFromArrays();

  TFileListItem *Creator() const { return pCreator; }
  void SetCreator(TFileListItem *C) { pCreator = C; }
  TProfile32 *Profile32() const { return pProfile32; }
  void SetProfile32(TProfile32 *P) { pProfile32 = P; }
  const std::string &FilePath() const { return pFilePath; }
  void SetFilePath(const std::string &S) { pFilePath = S; }
  const std::string &FileName() const { return pFileName; }
  void SetFileName(const std::string &S) { pFileName = S; }
  // Splits a full file name into folder (with trailing separator) and name.
  void SetFromFullName(const std::string &FullName);
  std::string FullName() const { return pFilePath + pFileName; }
  bool Unsaved() const { return pFilePath.empty(); }
  TFitsBess &FitsBess() { return *pFitsBess; }
  const TFitsBess &FitsBess() const { return *pFitsBess; }
  int32_t Size() const { return pSize; }
  double MinVal() const { return pMinVal; }
  double MaxVal() const { return pMaxVal; }
  bool Equidistant() const { return pEquidistant; }
  void SetEquidistant(bool E) { pEquidistant = E; }

  TDblArr1D DataX;
  TDblArr1D DataY;

private:
  void ReadFitsData(const std::string &FName);
  void ReadFitsLogAxis(const std::string &FName, double Factor);
  void ReadFitsTable(const std::string &FName);
  TSpecOrigin pOrigin;
  TFileListItem *pCreator = nullptr;
  TProfile32 *pProfile32 = nullptr;
  std::string pFilePath;
  std::string pFileName;
  std::unique_ptr<TFitsBess> pFitsBess;
  int32_t pSize = 0;
  double pMinVal = 0;
  uint64_t pDataVersion = 0;
  double pMaxVal = 0;
  bool pEquidistant = false;
};

// The min/max scan over finite values only: from the first finite y, a smaller one lowers
// min, otherwise a larger one raises max. NaN and infinities are passed over; with no finite
// value both results are NaN. N <= 0 leaves both unchanged.
void MinMaxScan(const TDblArr1D &Y, int32_t N, double &MinVal, double &MaxVal);
void MinMaxScanRaw(const double *Y, int32_t N, double &MinVal, double &MaxVal);

#pragma once
// Spectra stored as a FITS binary table (XTENSION = 'BINTABLE'): a wavelength column and a
// flux column, either one value per row or one row holding both as arrays (the layout of the
// big archives' one-dimensional spectrum products).
#include <cstdint>
#include <string>
#include <vector>

#include "core/UFitsBess.h"
#include "core/USpecTypes.h"

struct TTableColumn {
  std::string Name;               // TTYPEn, trimmed
  std::string Unit;               // TUNITn, trimmed
  std::string Form;               // TFORMn, trimmed
  char Type = 0;                  // the TFORM letter: B I J K E D are numeric; L X A C M P Q are not read
  int64_t Repeat = 0;             // values per row
  int64_t Width = 0;              // bytes per row
  int64_t Offset = 0;             // first byte within a row
  double Scale = 1.0, Zero = 0.0; // TSCALn, TZEROn
  bool HasNull = false;           // TNULLn of an integer column
  int64_t Null = 0;
};

struct TTableLayout {
  int64_t RowBytes = 0; // NAXIS1
  int64_t Rows = 0;     // NAXIS2
  std::vector<TTableColumn> Columns;
};

// The columns of a binary table from the cards of its header. Every size is checked before
// anything is allocated: rows x row width beyond DataBytes (what the file holds after the
// header), a TFIELDS beyond 999, a repeat count or column wider than a row are refused with an
// error that names FName.
TTableLayout ParseBinTable(const std::vector<std::string> &Cards, const std::string &FName,
                           int64_t DataBytes);

struct TTableSpectrum {
  TDblArr1D X, Y;
  std::string WaveColumn; // empty when x is the row (or element) index, 0-based
  std::string FluxColumn;
  TAxisUnitKind Kind = TAxisUnitKind::Length; // x in Angstrom, or wavenumbers in cm-1
};

// The spectrum in the table data Data (Size bytes, at least RowBytes x Rows). Wavelength
// columns: WAVE, WAVELENGTH, LAMBDA (in TUNITn, Angstrom when none) or LOGLAM (log10 of
// Angstrom); flux columns: FLUX, FLUX_REDUCED, COUNTS, DATA (names in any case, the first of
// each list present is taken). A table without a flux column, a column that is not numeric and
// arrays of differing lengths are refused with an error that names FName.
TTableSpectrum ReadTableSpectrum(const TTableLayout &L, const unsigned char *Data, size_t Size,
                                 const std::string &FName);

#pragma once
// What the file list and the small shell windows compute, free of any window: the names of
// results, the texts of a list row, the straight-line fit of the x-axis check, the strictly
// increasing check, the rows of the text window and the quit warning's text.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/USpecTypes.h"

class TSpec32;

// Columns of the file list, in order.
enum TListColumn : int {
  lcFileName = 0,
  lcDataPoints,
  lcEqu,
  lcDateObs,
  lcExposure,
  lcMin,
  lcMax,
  lcPath,
  lcCount
};
using TListRow = std::array<std::string, lcCount>;

// The texts of a spectrum's row: name, point count, "Y"/"N", DATE-OBS (or " "), the EXPTIME
// value as written in the card (or " "), min and max with "%1.6g", the folder.
TListRow ListRowTexts(const TSpec32 &Spec);
std::string EquText(bool Equidistant);
// "%1.6g"; a spectrum without any finite value has NaN there and shows "NaN".
std::string MinMaxText(double Value);

// The order of two rows when the list is sorted by Column: names, dates and folders as text
// ignoring letter case, counts, exposures, minima and maxima as numbers ("Y" after "N").
// Cells without a value (a blank exposure, a NaN minimum) come after all others. Negative,
// zero or positive like strcmp; zero keeps the rows' order (the sort is stable).
int CompareListCells(int Column, const TSpec32 &A, const TSpec32 &B);

// The name of a computed spectrum: FName with the extension of its file-name part replaced by
// History (appended when there is none). An empty FName takes the next "Untitled-N" from
// UntitledCounter, which the caller keeps for the whole run.
std::string ResultName(const std::string &FName, const std::string &History, int &UntitledCounter);

// The deviation of the x-axis from a linear one: (b i + a) - x[i] for the line fitted to
// (i, x[i]).
TDblArr1D XAxisResiduals(const TDblArr1D &X, int32_t n);

// The lines of the spectrum check: one per index whose x is not above the largest x before
// it, or the single line saying the values increase strictly.
std::vector<std::string> CheckSpectrumLines(const TDblArr1D &X, int32_t n);

// The text window shows at most this many points.
constexpr int32_t TextWindowMaxLines = 5000;
// Index, x with "%1.8g", y with "%1.7g".
std::array<std::string, 3> TextWindowRow(const TSpec32 &Spec, int32_t i);
std::string TextWindowLimitText(int32_t n);

// A message about the file FName as the user sees it: with "FName: " in front unless it names
// the file already (by its full name or its name alone). An empty FName leaves it as it is.
std::string MessageNamingFile(const std::string &Msg, const std::string &FName);

// "1 unsaved spectrum", "3 unsaved spectra".
std::string UnsavedText(int N);
// The question before closing selected spectra of which N are unsaved.
std::string CloseUnsavedText(int N);

// Width of a new plot window for a main window of MainWidth pixels.
int ProfileWidth(int MainWidth);

// Converts a filter of description|pattern pairs ("*.dat|*.dat|*.*|*.*") into the list of
// (description, patterns) pairs; patterns split at ";".
struct TFilterEntry {
  std::string Description;
  std::vector<std::string> Patterns;
};
std::vector<TFilterEntry> ParseFileFilter(const std::string &Filter);

#pragma once
// The sample ranges the selection tools work on: what a plot window's SelectRange selects, the
// limits typed into "From" and "To" (in wavelength or in index) of the statistics, normalize
// and crop tools, and the selection text the panels show. Qt-free: panels and the command line
// call the same functions.
#include <string>
#include <string_view>

#include "core/USpecTypes.h"
#include "ops/UOpResult.h"

// A half-open range of samples [Sel0, Sel1), as a plot window keeps its selection.
struct TSampleRange {
  int Sel0 = 0, Sel1 = 0;
  bool Empty() const { return Sel1 <= Sel0; }
  int Count() const { return Empty() ? 0 : Sel1 - Sel0; }
};

// What SelectRange(FromInd, ToInd) of a plot window with N points selects:
// From = max(FromInd, 0), E = min(ToInd, N - 1); nothing when From >= E, else [From, E)
// (the sample at E is not part of the selection).
TSampleRange SelectRangeSamples(int FromInd, int ToInd, int N);

enum class TLimitMode { Wavelength, Index };

// Which tool checks the typed limits: "Select From-To" of the statistics tool and "Normalize"
// refuse To < From; "Crop" refuses From >= To.
enum class TLimitRule { Select, Normalize, Crop };

// The outcome of the typed limits: the indices I0, I1 (for Select the arguments of SelectRange,
// for Normalize and Crop the first and last sample, both included), or the message the panel
// shows in its error box (Error non-empty; then nothing changes).
struct TTypedLimits {
  int I0 = 0, I1 = 0;
  std::string Error;
  bool Ok() const { return Error.empty(); }
};

// The typed limits From and To (the edit texts) for the increasing x[0 .. N-1]:
// wavelength mode parses numbers, index mode integers (a text that is no number raises the
// general conversion error). Wavelength mode: From < x[0], To > x[N-1] (or no points at all)
// is "Wavelength values out of bound"; then the nearest
// indices of From and To. Index mode: From < 0 or To > N-1 is "Index values out of bound".
// Order: "To < From" for Select and Normalize (From = To allowed), "From >= To" for Crop,
// checked on the typed values and again on the nearest indices.
TTypedLimits TypedLimits(TLimitRule Rule, TLimitMode Mode, const TDblArr1D &X, int N, std::string_view From,
                         std::string_view To);

// The panels' selection text: "%1d point selected (index %1d)" for fewer than two samples,
// "%1d points selected (index %1d .. index %1d)" otherwise (Ind1 is the last sample, included).
std::string SelectionText(int N, int Ind0, int Ind1);

// What the normalize and crop tools make from a spectrum: the new spectrum, or the message of
// their error box.
struct TToolOutcome {
  std::string Error;
  TOpResult Result;
  bool Ok() const { return Error.empty(); }
};

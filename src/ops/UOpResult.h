#pragma once
// What an operation computes for one source spectrum, before anything is listed: the new
// spectra (name suffix, x, y, equidistance flag), or the condition that refused the source.
// The dialogs and the command-line front end turn these into file-list entries or files.
#include <memory>
#include <string>
#include <vector>

#include "core/USpecTypes.h"

class TSpec32;

struct TOpResult {
  std::string History; // suffix for the new name ("-crop"); empty: an "Untitled-" name
  TDblArr1D X, Y;
  bool Equidistant = true;
};

struct TOpOutcome {
  // Non-empty when the source is refused: the text that follows its file name in the
  // message (": x-values not equidistant").
  std::string Condition;
  std::vector<TOpResult> Results;
  // The refusal ends the whole loop over the selected spectra (the others are not processed).
  bool EndsLoop = false;
  bool Ok() const { return Condition.empty(); }
};

inline TOpOutcome OpRefused(const std::string &Condition, bool EndsLoop = false) {
  return TOpOutcome{Condition, {}, EndsLoop};
}

// When a result holds infinite or undefined values where its sources held finite ones
// (a division by zero, a power that is not a real number), the text the user is told once
// for that spectrum; empty otherwise.
std::string NonFiniteWarning(const TSpec32 &Source, const TOpResult &Result);

// The new spectrum of a result outside the file list (the command-line front end): named
// Name, header copied from HeaderSource (then BITPIX -32, NAXIS1 = points) or a fresh one,
// x, y and the equidistance flag from the result, minimum and maximum computed.
std::unique_ptr<TSpec32> BuildResultSpec(const std::string &Name, const TOpResult &R,
                                         const TSpec32 *HeaderSource);

#pragma once
// Runs an operation over several spectra with the message policy that the dialogs and the
// command-line front end share, so that both treat a refused spectrum the same way:
// - an optional check over all spectra comes first; when it refuses, its text is told and
//   nothing is made;
// - then, spectrum by spectrum in the given order, the operation's outcome: a refused spectrum
//   is told as its file name followed by the condition (": x-values not equidistant") and the
//   next one is processed, unless the refusal ends the loop (results made before it stay);
// - every result is handed on with the warning about values that became infinite.
// Where results and messages go is the sink's business: the dialogs list results in the file
// list and show message boxes, the command-line front end writes files and prints to stderr.
#include <functional>
#include <string>
#include <vector>

#include "ops/UOpResult.h"

class TSpec32;

class TOpSink {
public:
  virtual ~TOpSink() = default;
  // One result: named from FName with the result's suffix (FName empty: the next "Untitled-"
  // name), header copied from HeaderSource (none: a fresh header). Warning is empty, or the
  // text that follows the new spectrum's name when it holds infinite or undefined values where
  // its sources held none.
  virtual void Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
                      const std::string &Warning) = 0;
  // A refusal, complete as the user is told it.
  virtual void Refused(const std::string &Message) = 0;
  // Something worth telling about a spectrum that is processed all the same (not a failure).
  virtual void Notice(const TSpec32 &Source, const std::string &Text) = 0;
};

// How a run ended; a dialog closes only after Completed.
enum class TOpRunEnd {
  Completed, // every spectrum was processed (refused ones told)
  Stopped,   // a refusal ended the loop; results made before it stay
  Refused    // refused as a whole (by the check before the loop): nothing was made
};

// The check over all spectra before anything is made: empty, or the complete refusal text.
using TOpRunCheck = std::function<std::string(const std::vector<const TSpec32 *> &)>;
// A check of one spectrum at a time, the first refused one told as its file name followed by
// the condition the check returns (as the loop tells a refusal).
TOpRunCheck EverySpectrum(std::function<std::string(const TSpec32 &)> Condition);

struct TOpRunRules {
  // Results named after their source (else "Untitled-" names) ...
  bool NameFromSource = true;
  // ... and with a copy of its header (else a fresh one).
  bool HeaderFromSource = true;
  // Spectra every result is also made from (the right-hand operand), for the warning.
  std::vector<const TSpec32 *> AlsoFrom;
  TOpRunCheck Check;
};

// The operation on one spectrum.
using TOpStep = std::function<TOpOutcome(const TSpec32 &)>;

TOpRunEnd RunOperation(const std::vector<const TSpec32 *> &Sources, const TOpStep &Step, TOpSink &Sink,
                       const TOpRunRules &Rules = {});

// One outcome made from several spectra together (or from none): a refusal is told with its
// text as it stands; the results are named from FName (empty: "Untitled-") with a fresh
// header, warned about when every one of Sources was finite (no warning without sources).
TOpRunEnd RunWhole(TOpOutcome Outcome, const std::vector<const TSpec32 *> &Sources, TOpSink &Sink,
                   const std::string &FName = std::string());

// The warning for a result made from Sources: told only when every source was finite (values
// that were infinite already are the user's own); empty without sources.
std::string ResultWarning(const std::vector<const TSpec32 *> &Sources, const TOpResult &R);

#define ORVA_UNIT "UOpRun"
#include "ops/UOpRun.h"

#include <utility>

#include "core/UErrors.h"
#include "core/USpec32.h"

TOpRunCheck EverySpectrum(std::function<std::string(const TSpec32 &)> Condition) {
  return [Condition = std::move(Condition)](const std::vector<const TSpec32 *> &Specs) {
    for (const TSpec32 *S : Specs)
      if (std::string C = Condition(*S); !C.empty()) return S->FileName() + C;
    return std::string();
  };
}

std::string ResultWarning(const std::vector<const TSpec32 *> &Sources, const TOpResult &R) {
  std::string Warning;
  for (const TSpec32 *S : Sources) {
    Warning = NonFiniteWarning(*S, R);
    if (Warning.empty()) break;
  }
  return Warning;
}

TOpRunEnd RunOperation(const std::vector<const TSpec32 *> &Sources, const TOpStep &Step, TOpSink &Sink,
                       const TOpRunRules &Rules) {
  if (Rules.Check)
    if (std::string Refusal = Rules.Check(Sources); !Refusal.empty()) {
      Sink.Refused(Refusal);
      return TOpRunEnd::Refused;
    }
  for (const TSpec32 *S : Sources) {
    ORVA_ASSERT(S != nullptr);
    TOpOutcome O = Step(*S);
    if (!O.Ok()) {
      Sink.Refused(S->FileName() + O.Condition);
      if (O.EndsLoop) return TOpRunEnd::Stopped;
      continue;
    }
    std::vector<const TSpec32 *> From{S};
    From.insert(From.end(), Rules.AlsoFrom.begin(), Rules.AlsoFrom.end());
    for (TOpResult &R : O.Results) {
      ORVA_ASSERT(R.X.size() == R.Y.size());
      const std::string Warning = ResultWarning(From, R);
      Sink.Result(Rules.NameFromSource ? S->FileName() : std::string(), std::move(R),
                  Rules.HeaderFromSource ? S : nullptr, Warning);
    }
  }
  return TOpRunEnd::Completed;
}

TOpRunEnd RunWhole(TOpOutcome Outcome, const std::vector<const TSpec32 *> &Sources, TOpSink &Sink,
                   const std::string &FName) {
  if (!Outcome.Ok()) {
    Sink.Refused(Outcome.Condition);
    return TOpRunEnd::Refused;
  }
  for (TOpResult &R : Outcome.Results) {
    ORVA_ASSERT(R.X.size() == R.Y.size());
    const std::string Warning = ResultWarning(Sources, R);
    Sink.Result(FName, std::move(R), nullptr, Warning);
  }
  return TOpRunEnd::Completed;
}

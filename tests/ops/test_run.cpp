// The run of an operation over several spectra: which messages are told, which results are
// handed on with which names, headers and warnings, and when the loop stops. The operation is
// scripted per spectrum name, so every case is worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "core/USpec32.h"
#include "ops/OpsTestUtil.h"
#include "ops/UOpRun.h"

namespace {

const double Inf = std::numeric_limits<double>::infinity();
const std::string NonFinite =
    ": the result holds infinite or undefined values (a division by zero or a power "
    "that is not a real number)";

// Records what a run hands on, in order, as one line per event.
class TRecordingSink : public TOpSink {
public:
  void Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
              const std::string &Warning) override {
    Events.push_back("result " + (FName.empty() ? std::string("<untitled>") : FName) + R.History +
                     " header " + (HeaderSource ? HeaderSource->FileName() : std::string("<fresh>")) +
                     (Warning.empty() ? "" : " warned"));
    Warnings.push_back(Warning);
  }
  void Refused(const std::string &Message) override { Events.push_back("refused " + Message); }
  void Notice(const TSpec32 &Source, const std::string &Text) override {
    Events.push_back("notice " + Source.FileName() + " " + Text);
  }
  std::vector<std::string> Events, Warnings;
};

// What the scripted operation does with a spectrum of a given name.
struct TScript {
  std::string Condition; // empty: accepted
  bool EndsLoop = false;
  double Y = 1; // the result's single y-value
};

struct TRunFixture {
  TSpec32 A, B, C;
  std::vector<const TSpec32 *> All{&A, &B, &C};
  std::vector<std::string> Called;
  TRunFixture() {
    MakeSpec(A, {1, 2}, {1, 2}, "a.dat");
    MakeSpec(B, {1, 2}, {3, 4}, "b.dat");
    MakeSpec(C, {1, 2}, {5, Inf}, "c.dat");
  }
  TOpStep Step(std::map<std::string, TScript> Script) {
    return [this, Script](const TSpec32 &S) {
      Called.push_back(S.FileName());
      const auto It = Script.find(S.FileName());
      const TScript T = It == Script.end() ? TScript{} : It->second;
      if (!T.Condition.empty()) return OpRefused(T.Condition, T.EndsLoop);
      TOpOutcome O;
      O.Results.push_back(TOpResult{"-op", {1}, {T.Y}, true});
      return O;
    };
  }
};

TEST(OpRun, PerSpectrumPolicy) {
  struct TRow {
    const char *What;
    std::map<std::string, TScript> Script;
    TOpRunEnd End;
    std::vector<std::string> Called, Events;
  };
  const std::vector<TRow> Rows = {
      {"all accepted",
       {},
       TOpRunEnd::Completed,
       {"a.dat", "b.dat", "c.dat"},
       {"result a.dat-op header a.dat", "result b.dat-op header b.dat", "result c.dat-op header c.dat"}},
      {"refusal in the middle: told with the name in front, the next spectrum goes on",
       {{"b.dat", {": x-values not equidistant"}}},
       TOpRunEnd::Completed,
       {"a.dat", "b.dat", "c.dat"},
       {"result a.dat-op header a.dat", "refused b.dat: x-values not equidistant",
        "result c.dat-op header c.dat"}},
      {"a refusal that ends the loop: the result before it stays, the rest is not read",
       {{"b.dat", {" is not equidistant", true}}},
       TOpRunEnd::Stopped,
       {"a.dat", "b.dat"},
       {"result a.dat-op header a.dat", "refused b.dat is not equidistant"}},
      {"the first spectrum ends the loop",
       {{"a.dat", {" is not equidistant", true}}},
       TOpRunEnd::Stopped,
       {"a.dat"},
       {"refused a.dat is not equidistant"}},
      {"every spectrum refused, none ending the loop",
       {{"a.dat", {": From >= To"}}, {"b.dat", {": From >= To"}}, {"c.dat", {": From >= To"}}},
       TOpRunEnd::Completed,
       {"a.dat", "b.dat", "c.dat"},
       {"refused a.dat: From >= To", "refused b.dat: From >= To", "refused c.dat: From >= To"}},
      // a.dat and b.dat are finite: an infinite result is warned about; c.dat held an infinite
      // value already, so its infinite result is the user's own.
      {"results with infinite values",
       {{"a.dat", {"", false, Inf}}, {"b.dat", {"", false, std::nan("")}}, {"c.dat", {"", false, Inf}}},
       TOpRunEnd::Completed,
       {"a.dat", "b.dat", "c.dat"},
       {"result a.dat-op header a.dat warned", "result b.dat-op header b.dat warned",
        "result c.dat-op header c.dat"}},
  };
  for (const TRow &R : Rows) {
    TRunFixture F;
    TRecordingSink Sink;
    EXPECT_EQ(RunOperation(F.All, F.Step(R.Script), Sink), R.End) << R.What;
    EXPECT_EQ(F.Called, R.Called) << R.What;
    EXPECT_EQ(Sink.Events, R.Events) << R.What;
    for (const std::string &W : Sink.Warnings)
      EXPECT_TRUE(W.empty() || W == NonFinite) << R.What << ": " << W;
  }
}

TEST(OpRun, CheckBeforeAnythingIsMade) {
  TRunFixture F;
  TRecordingSink Sink;
  TOpRunRules Rules;
  // b.dat and c.dat both fail; the first one is told, and no spectrum is read.
  Rules.Check = EverySpectrum([](const TSpec32 &S) {
    return S.FileName() == "a.dat" ? std::string() : std::string(": the new grid reaches outside");
  });
  EXPECT_EQ(RunOperation(F.All, F.Step({}), Sink, Rules), TOpRunEnd::Refused);
  EXPECT_TRUE(F.Called.empty());
  EXPECT_EQ(Sink.Events, std::vector<std::string>{"refused b.dat: the new grid reaches outside"});

  // A check of the whole list gives its text as it stands; a check that passes lets the loop run.
  TRecordingSink Sink2;
  Rules.Check = [](const std::vector<const TSpec32 *> &L) {
    return L.size() == 3 ? std::string("a.dat, b.dat: different x-values") : std::string();
  };
  EXPECT_EQ(RunOperation(F.All, F.Step({}), Sink2, Rules), TOpRunEnd::Refused);
  EXPECT_EQ(Sink2.Events, std::vector<std::string>{"refused a.dat, b.dat: different x-values"});
  TRecordingSink Sink3;
  EXPECT_EQ(RunOperation({&F.A}, F.Step({}), Sink3, Rules), TOpRunEnd::Completed);
  EXPECT_EQ(Sink3.Events, std::vector<std::string>{"result a.dat-op header a.dat"});
}

TEST(OpRun, NamesHeadersAndTheOtherOperand) {
  TRunFixture F;
  // Named after the source with a fresh header (the left-hand operands of "nS x S"); the
  // right-hand operand counts for the warning: c.dat is infinite already, so nothing is told.
  TOpRunRules Rules;
  Rules.HeaderFromSource = false;
  Rules.AlsoFrom = {&F.C};
  TRecordingSink Sink;
  EXPECT_EQ(RunOperation({&F.A, &F.B}, F.Step({{"a.dat", {"", false, Inf}}}), Sink, Rules),
            TOpRunEnd::Completed);
  EXPECT_EQ(Sink.Events,
            (std::vector<std::string>{"result a.dat-op header <fresh>", "result b.dat-op header <fresh>"}));
  // With a finite right-hand operand the same result is warned about.
  Rules.AlsoFrom = {&F.B};
  TRecordingSink Sink2;
  RunOperation({&F.A}, F.Step({{"a.dat", {"", false, Inf}}}), Sink2, Rules);
  EXPECT_EQ(Sink2.Events, std::vector<std::string>{"result a.dat-op header <fresh> warned"});
  EXPECT_EQ(Sink2.Warnings, std::vector<std::string>{NonFinite});
  // "Untitled-" names.
  Rules = {};
  Rules.NameFromSource = false;
  TRecordingSink Sink3;
  RunOperation({&F.A}, F.Step({}), Sink3, Rules);
  EXPECT_EQ(Sink3.Events, std::vector<std::string>{"result <untitled>-op header a.dat"});
}

TEST(OpRun, OneResultFromSeveralSpectra) {
  TRunFixture F;
  auto Outcome = [](double Y) {
    TOpOutcome O;
    O.Results.push_back(TOpResult{"", {1, 2}, {1, Y}, true});
    return O;
  };
  struct TRow {
    const char *What;
    TOpOutcome O;
    std::vector<const TSpec32 *> Sources;
    std::string FName;
    TOpRunEnd End;
    std::vector<std::string> Events;
  };
  const std::vector<TRow> Rows = {
      {"refused: the text as it stands, nothing made",
       OpRefused("Spectra do not overlap"),
       {&F.A, &F.B},
       "",
       TOpRunEnd::Refused,
       {"refused Spectra do not overlap"}},
      {"a refusal marked as ending the loop is still a refusal of the whole",
       OpRefused("Unequal", true),
       {},
       "",
       TOpRunEnd::Refused,
       {"refused Unequal"}},
      {"finite sources, infinite result",
       Outcome(Inf),
       {&F.A, &F.B},
       "",
       TOpRunEnd::Completed,
       {"result <untitled> header <fresh> warned"}},
      {"one source infinite already",
       Outcome(Inf),
       {&F.A, &F.C},
       "",
       TOpRunEnd::Completed,
       {"result <untitled> header <fresh>"}},
      {"no sources: never warned",
       Outcome(Inf),
       {},
       "Planck",
       TOpRunEnd::Completed,
       {"result Planck header <fresh>"}},
      {"finite result",
       Outcome(2),
       {&F.A, &F.B},
       "",
       TOpRunEnd::Completed,
       {"result <untitled> header <fresh>"}},
  };
  for (const TRow &R : Rows) {
    TRecordingSink Sink;
    EXPECT_EQ(RunWhole(R.O, R.Sources, Sink, R.FName), R.End) << R.What;
    EXPECT_EQ(Sink.Events, R.Events) << R.What;
  }
}

TEST(OpRun, ErrorsEndTheRunAndKeepWhatWasMade) {
  // A general error in the middle (a number that does not convert) ends the command; the
  // result made before it has been handed on.
  TRunFixture F;
  TRecordingSink Sink;
  const TOpStep Step = [&](const TSpec32 &S) {
    if (S.FileName() == "b.dat") throw std::runtime_error("'x' is not a valid floating point value");
    return F.Step({})(S);
  };
  EXPECT_THROW(RunOperation(F.All, Step, Sink), std::runtime_error);
  EXPECT_EQ(Sink.Events, std::vector<std::string>{"result a.dat-op header a.dat"});
}

} // namespace

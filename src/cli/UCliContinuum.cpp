// The operation "continuum" of "op": the smoothing spline tool on marks given as index ranges,
// writing the spline ("-smooth") and the spectrum divided by it ("-cont").
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/UCliCommon.h"
#include "cli/UCliOpShared.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "tools/UToolSmoothSplineCore.h"

namespace {

// "i0-i1,i2-i3,...": inclusive index ranges (a single "i" is i-i). Numbers that are no
// integers raise the conversion error; a malformed list is a usage error.
std::vector<std::pair<int, int>> ParseMarks(const std::string &Text) {
  std::vector<std::pair<int, int>> R;
  std::string_view Rest(Text);
  while (true) {
    const size_t Comma = Rest.find(',');
    const std::string_view Item = TrimView(Rest.substr(0, Comma));
    if (Item.empty()) throw ECliUsage{"--marks: empty range in '" + Text + "'"};
    // The dash that separates the two indices (a leading sign belongs to the first number).
    const size_t Dash = Item.find('-', 1);
    const int A = StrToInt(Item.substr(0, Dash));
    const int B = Dash == std::string_view::npos ? A : StrToInt(Item.substr(Dash + 1));
    if (A > B) throw ECliUsage{"--marks: range '" + std::string(Item) + "' runs backwards"};
    R.emplace_back(A, B);
    if (Comma == std::string_view::npos) break;
    Rest.remove_prefix(Comma + 1);
  }
  return R;
}

int RunContinuum(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"marks", "method", "param", "guess", "slider"}, {}, C, O);
  if (!A.Has("marks")) throw ECliUsage{"continuum needs --marks"};
  if (!A.Has("method")) throw ECliUsage{"continuum needs --method 1, 2 or 3"};
  const int MethodNo = A.IntValue("method", 2);
  if (MethodNo < 1 || MethodNo > 3) throw ECliUsage{"--method: give 1, 2 or 3"};
  const auto Method = static_cast<TSplineMethod>(MethodNo);
  const bool ByGuess = OneOf(A, {"param", "guess"}, "of --param and --guess") == 1;
  if (!ByGuess && A.Has("slider")) throw ECliUsage{"--slider goes with --guess"};
  TSplineTolerance Tol = TSplineTolerance::One;
  if (ByGuess) {
    const std::string G = A.Value("guess", "");
    if (G == "0.1")
      Tol = TSplineTolerance::Tenth;
    else if (G == "1")
      Tol = TSplineTolerance::One;
    else if (G == "10")
      Tol = TSplineTolerance::Ten;
    else
      throw ECliUsage{"--guess: give 0.1, 1 or 10 (percent)"};
  }
  const int Slider = A.IntValue("slider", SplineSliderMax);
  if (Slider < 0 || Slider > SplineSliderMax) throw ECliUsage{"--slider: give 0 ... 320"};
  const double Param = ByGuess ? 0.0 : A.FloatValue("param", 0);
  const std::vector<std::pair<int, int>> Marks = ParseMarks(A.Value("marks", ""));

  for (auto &S : ReadAll(A.Positional(), O)) {
    const std::string Name = S->FileName();
    TSmoothSplineData D(S->Size());
    bool InRange = true;
    for (const auto &[I0, I1] : Marks) {
      if (I0 < 0 || I1 >= S->Size()) {
        InRange = false;
        break;
      }
      D.MarkInterval(I0, I1, true);
    }
    if (!InRange) {
      Refused(C, Name + ": Index values out of bound");
      continue;
    }
    double P = Param;
    if (ByGuess) {
      const TSplineGuess G = GuessMaxParameter(S->DataY, *D.SelProf(), Tol);
      if (!G.Ok()) {
        Refused(C, Name + ": " + G.Info);
        continue;
      }
      D.Guess = G.Guess;
      D.TbPos = Slider;
      P = SplineParam(Slider, G.Guess);
    }
    const TSplineOutcome Out = D.Compute(*S, Method, P);
    if (!Out.Ok()) {
      Refused(C, Name + ": " + Out.Error);
      continue;
    }
    std::printf("file: %s\nknots: %d\nparam: %s\np: %s\nsfq: %s\n", Name.c_str(), Out.Knots,
                Format("%.17g", Out.Param).c_str(), Format("%.17g", Out.P).c_str(),
                Format("%.17g", Out.Sfq).c_str());
    std::fflush(stdout);
    // The last spline of an iteration that stopped short is kept, as the panel keeps it.
    if (!Out.Notice.empty()) CliError(Name + ": " + Out.Notice);
    WriteResult(C, S.get(), D.StoreSpline(*S).Result, S.get(), true);
    const TToolOutcome Cont = D.StoreContinuum(*S);
    if (!Cont.Ok()) {
      Refused(C, Name + ": " + Cont.Error);
      continue;
    }
    // The header of the source, marked as continuum-normalised.
    TSpec32 Header;
    Header.NewSpec(Name, S->Size(), 0, S.get());
    SetContinuumNormKey(Header.FitsBess());
    WriteResult(C, S.get(), Cont.Result, &Header, true);
  }
  return C.Rc;
}

const TCliOpRegistrar
    ContinuumOp({"continuum",
                 "  continuum --marks RANGES --method 1|2|3 (--param S | --guess 0.1|1|10 [--slider P])\n"
                 "                                         the smoothing spline tool: RANGES marks samples\n"
                 "                                         (\"i0-i1,i2-i3\", indices included, as \"add\n"
                 "                                         interval\"); knots by method 1 (marked samples),\n"
                 "                                         2 (gaps bridged) or 3 (run averages); smoothing\n"
                 "                                         parameter S, or guessed with the tolerance in %\n"
                 "                                         and scaled by the slider P (0 ... 320, default\n"
                 "                                         320); prints file, knots, param, p, sfq (%.17g)\n"
                 "                                         and writes the spline (-smooth) and the\n"
                 "                                         spectrum divided by it (-cont)\n",
                 RunContinuum});

} // namespace

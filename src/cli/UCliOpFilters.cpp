// "op filter", "op evaluate" and "op polroot": the Filters dialog, the Evaluate dialog and the
// root of a polynomial, from the command line, through the dialogs' own core functions.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/UCliOpShared.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UFiltersCore.h"
#include "ops/UNToolsCore.h"

namespace {

int RunFilter(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"moving", "gauss", "ext", "savgol", "left", "right"}, {}, C, O);
  int K = OneOf(A, {"moving", "gauss", "savgol"}, "of --moving --gauss --savgol");
  if (K == 0) {
    const int64_t H = A.IntValue("moving", 0);
    RunOnFiles(C, ReadAll(A.Positional(), O), [H](const TSpec32 &S) { return OpMovingAverage(S, H); });
  } else if (K == 1) {
    const double FWHM = A.FloatValue("gauss", 0);
    const std::string E = A.Value("ext", "0");
    TFftExtension Ext;
    if (E == "0")
      Ext = TFftExtension::Zero;
    else if (E == "1")
      Ext = TFftExtension::One;
    else if (E == "linear")
      Ext = TFftExtension::Linear;
    else
      throw ECliUsage{"--ext takes 0, 1 or linear"};
    RunOnFiles(C, ReadAll(A.Positional(), O),
               [FWHM, Ext](const TSpec32 &S) { return OpGaussFilter(S, FWHM, Ext); });
  } else {
    if (!A.Has("left") || !A.Has("right")) throw ECliUsage{"savgol needs --left and --right"};
    auto Specs = ReadAll(A.Positional(), O);
    // As the dialog: the weights before any spectrum, and a refusal ends the loop.
    const TSavGolWeights W =
        SavGolWeights(A.IntValue("savgol", 0), A.IntValue("left", 0), A.IntValue("right", 0));
    RunOnFiles(C, Specs, [&W](const TSpec32 &S) { return OpSavGolFilter(S, W); });
  }
  return C.Rc;
}

int RunEvaluate(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"x"}, {}, C, O);
  if (!A.Has("x")) throw ECliUsage{"evaluate needs --x"};
  const double X0 = A.FloatValue("x", 0);
  for (auto &S : ReadAll(A.Positional(), O))
    std::printf("%s\n", EvaluateLine(*S, X0).c_str());
  std::fflush(stdout);
  return C.Rc;
}

int RunPolRoot(const std::vector<std::string> &Rest) {
  TCliArgs A(Rest, {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "y", "guess", "acc"});
  if (!A.Positional().empty()) throw ECliUsage{"polroot takes no files"};
  if (!A.Has("y") || !A.Has("guess")) throw ECliUsage{"polroot needs --y and --guess"};
  TPolRootInput In;
  for (int k = 0; k < 7; ++k)
    In.A[k] = A.FloatValue("a" + std::to_string(k), 0);
  In.Y = A.FloatValue("y", 0);
  In.Guess = A.FloatValue("guess", 0);
  In.Acc = A.FloatValue("acc", 1e-6);
  TPolRootResult R = PolRoot(In);
  std::printf("%s\n", FormatPolRoot(R.X).c_str()); // the last iterate also on failure
  std::fflush(stdout);
  if (R.Ok()) return 0;
  CliError(R.Message);
  return 1;
}

const TCliOpRegistrar FilterOp{
    {"filter",
     "  filter --moving H | --gauss FWHM [--ext 0|1|linear] | --savgol ORDER --left NL --right NR\n"
     "                                         moving average over 2H+1 points (-fma), Gaussian\n"
     "                                         smoothing padded with 0, 1 or a line (-gauss),\n"
     "                                         Savitzky-Golay with periodic ends (-savgol)\n",
     RunFilter}};
const TCliOpRegistrar EvaluateOp{
    {"evaluate",
     "  evaluate --x X                         prints NAME<TAB>value at X of every\n"
     "                                         file (natural cubic spline)\n",
     RunEvaluate}};
const TCliOpRegistrar PolRootOp{
    {"polroot",
     "  polroot [--a0 A0 .. --a6 A6] --y Y --guess X [--acc 1e-6]\n"
     "                                         root of a0 + a1 x + ... + a6 x^6 = Y by Newton's\n"
     "                                         method from X (no files; missing coefficients 0)\n",
     RunPolRoot}};

} // namespace

// The command "op": one operation on files, results written as the file list would name them.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/UCliCommon.h"
#include "cli/UCliOpShared.h"
#include "cli/UCliRead.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpGridCore.h"
#include "ops/UOpResult.h"
#include "ops/UOpUnaryCore.h"
#include "shell/UFileListCore.h"

namespace {

const char *const OpUsage =
    "Usage: orvalumetrix-cli op NAME [OPTIONS] FILE... [--out DIR] [--fits]\n"
    "                           [--colx N] [--coly N] [--header N]\n\n"
    "Runs one operation on the files (read as 'info' reads them) and writes every result into\n"
    "DIR (default: the current folder; made when it does not exist) under the name the file list\n"
    "would give it (the source's name with the operation's suffix, or Untitled-N with the first\n"
    "N whose file is not in DIR yet), as .dat, or as FITS with --fits.\n"
    "Prints the name of every file written. A spectrum the operation refuses is reported\n"
    "(\"NAME: condition\") and the others go on; the exit code is then 1.\n\n"
    "Operations:\n"
    "  noise --sigma S                        y + Gaussian noise of standard deviation S (-noise)\n"
    "  fft [--modulus] [--power] [--real] [--imag] [--phase] [--hann]\n"
    "                                         Fourier transform outputs (-fftmod -fftpower ...),\n"
    "                                         with --hann of y times the Hann window\n"
    "  structure                              structure function (-struct)\n"
    "  number --add|--mul|--div|--pow|--clip-below|--clip-above R\n"
    "                                         y op R (-add -mul -div -pow -clip)\n"
    "  log10                                  log10(1 + y), 0 for y <= 0 (-log10)\n"
    "  pair --add|--sub|--mul|--div|--cross-correlate|--convolve|--deconvolve [--swap] S1 S2\n"
    "                                         S1 op S2 (Untitled-N)\n"
    "  each --add|--sub|--mul|--div|--cross-correlate|--convolve|--deconvolve --operand B FILE...\n"
    "                                         every FILE op B (-add -sub -mul -div -cc -cnv -dcn)\n"
    "  crop --from A --to B [--index]         keep the points from A to B, by x or by index (-crop)\n"
    "  resample (--from A --to B --step H | --union [--step H]) [--linear]\n"
    "           [--deriv-left D --deriv-right D]\n"
    "                                         onto a regular grid, natural cubic spline unless\n"
    "                                         derivatives are given (-spline, -lin); --union takes\n"
    "                                         the range every file covers, as the dialog's Range\n"
    "                                         of Union proposes it\n"
    "  zeros --count Z                        Z zero points after the last (-zeros)\n";

const std::vector<std::string> PairFlags = {"add",      "sub",       "mul", "div", "cross-correlate",
                                            "convolve", "deconvolve"};

int RunOp(const std::vector<std::string> &Args) {
  if (Args.empty()) throw ECliUsage{"no operation given"};
  const std::string Name = Args[0];
  std::vector<std::string> Rest(Args.begin() + 1, Args.end());
  const std::vector<std::string> Common = {"out", "colx", "coly", "header"};
  auto Values = [&](std::vector<std::string> V) {
    V.insert(V.end(), Common.begin(), Common.end());
    return V;
  };
  TOpContext C;
  auto Setup = [&](const TCliArgs &A) {
    C.OutDir = A.Value("out", ".");
    C.Fits = A.Has("fits");
    return ReadOptions(A);
  };

  if (Name == "noise") {
    TCliArgs A(Rest, Values({"sigma"}), {"fits"});
    TReadOptions O = Setup(A);
    if (!A.Has("sigma")) throw ECliUsage{"noise needs --sigma"};
    double Sigma = A.FloatValue("sigma", 0);
    for (auto &S : ReadAll(A.Positional(), O))
      Deliver(C, *S, OpNoise(*S, Sigma));
  } else if (Name == "fft") {
    TCliArgs A(Rest, Values({}), {"fits", "modulus", "power", "real", "imag", "phase", "hann"});
    TReadOptions O = Setup(A);
    TFftOutputs Out{A.Has("modulus"), A.Has("power"), A.Has("real"),
                    A.Has("imag"),    A.Has("phase"), A.Has("hann")};
    for (auto &S : ReadAll(A.Positional(), O))
      Deliver(C, *S, OpFourier(*S, Out));
  } else if (Name == "structure") {
    TCliArgs A(Rest, Values({}), {"fits"});
    TReadOptions O = Setup(A);
    for (auto &S : ReadAll(A.Positional(), O))
      Deliver(C, *S, OpStructure(*S));
  } else if (Name == "number") {
    const std::vector<std::string> Flags = {"add", "mul", "div", "pow", "clip-below", "clip-above"};
    TCliArgs A(Rest, Values(Flags), {"fits"});
    TReadOptions O = Setup(A);
    int K = OneOf(A, Flags, "of --add --mul --div --pow --clip-below --clip-above");
    double R = A.FloatValue(Flags[static_cast<size_t>(K)], 0);
    for (auto &S : ReadAll(A.Positional(), O))
      Deliver(C, *S, OpNumber(*S, static_cast<TNumberOp>(K), R));
  } else if (Name == "log10") {
    TCliArgs A(Rest, Values({}), {"fits"});
    TReadOptions O = Setup(A);
    for (auto &S : ReadAll(A.Positional(), O))
      Deliver(C, *S, OpLog10(*S));
  } else if (Name == "pair") {
    std::vector<std::string> Flags = PairFlags;
    Flags.push_back("swap");
    Flags.push_back("fits");
    TCliArgs A(Rest, Values({}), Flags);
    TReadOptions O = Setup(A);
    int K = OneOf(A, PairFlags, "operation");
    if (A.Positional().size() != 2) throw ECliUsage{"pair needs S1 and S2"};
    auto Specs = ReadAll(A.Positional(), O);
    TSpec32 *S1 = Specs[0].get(), *S2 = Specs[1].get();
    if (A.Has("swap")) std::swap(S1, S2);
    TOpOutcome Out = OpPair(*S1, *S2, static_cast<TPairOp>(K));
    if (!Out.Ok())
      Refused(C, Out.Condition);
    else
      for (const TOpResult &R : Out.Results)
        WriteResult(C, S1, R, nullptr, false);
  } else if (Name == "each") {
    std::vector<std::string> Flags = PairFlags;
    Flags.push_back("fits");
    TCliArgs A(Rest, Values({"operand"}), Flags);
    TReadOptions O = Setup(A);
    int K = OneOf(A, PairFlags, "operation");
    if (!A.Has("operand")) throw ECliUsage{"each needs --operand B"};
    auto Left = ReadAll(A.Positional(), O);
    std::unique_ptr<TSpec32> B = ReadForCli(A.Value("operand", ""), O);
    std::vector<const TSpec32 *> L;
    for (auto &S : Left)
      L.push_back(S.get());
    TPairOp Op = static_cast<TPairOp>(K);
    std::string Check = OpEachCheck(L, *B, Op);
    if (!Check.empty()) {
      Refused(C, Check); // nothing is made when one operand does not fit
    } else {
      for (auto &S : Left)
        WriteResult(C, S.get(), OpEachResult(*S, *B, Op), nullptr, true);
    }
  } else if (Name == "crop") {
    TCliArgs A(Rest, Values({"from", "to"}), {"fits", "index"});
    TReadOptions O = Setup(A);
    if (!A.Has("from") || !A.Has("to")) throw ECliUsage{"crop needs --from and --to"};
    for (auto &S : ReadAll(A.Positional(), O)) {
      if (A.Has("index"))
        Deliver(C, *S, OpCropIndex(*S, StrToInt(A.Value("from", "")), StrToInt(A.Value("to", ""))));
      else
        Deliver(C, *S, OpCropWavelength(*S, StrToFloat(A.Value("from", "")), StrToFloat(A.Value("to", ""))));
    }
  } else if (Name == "resample") {
    TCliArgs A(Rest, Values({"from", "to", "step", "deriv-left", "deriv-right"}),
               {"fits", "linear", "union"});
    TReadOptions O = Setup(A);
    auto Specs = ReadAll(A.Positional(), O);
    double From, To, Step;
    if (A.Has("union")) {
      std::vector<const TSpec32 *> L;
      for (auto &S : Specs)
        L.push_back(S.get());
      // The fields the dialog's "Range of Union" fills, read back as the dialog reads them.
      const TResampleProposal P = ProposeRangeOfUnion(L);
      From = StrToFloat(P.From);
      To = StrToFloat(P.To);
      Step = A.Has("step") ? A.FloatValue("step", 0) : StrToFloat(P.Step);
    } else {
      if (!A.Has("from") || !A.Has("to") || !A.Has("step"))
        throw ECliUsage{"resample needs --from, --to and --step (or --union)"};
      From = A.FloatValue("from", 0);
      To = A.FloatValue("to", 0);
      Step = A.FloatValue("step", 0);
    }
    bool Natural = !A.Has("deriv-left") && !A.Has("deriv-right");
    if (!Natural && (!A.Has("deriv-left") || !A.Has("deriv-right")))
      throw ECliUsage{"give both --deriv-left and --deriv-right"};
    TResampleGrid G = MakeResampleGrid(From, To, Step);
    // The grid must lie within every spectrum before anything is made.
    bool AllFit = true;
    for (auto &S : Specs)
      if (std::string Why = ResampleGridCheck(*S, G); !Why.empty()) {
        Refused(C, S->FileName() + Why);
        AllFit = false;
      }
    if (AllFit)
      for (auto &S : Specs)
        Deliver(C, *S,
                A.Has("linear") ? OpResampleLinear(*S, G)
                                : OpResampleSpline(*S, G, Natural, A.FloatValue("deriv-left", 0),
                                                   A.FloatValue("deriv-right", 0)));
  } else if (Name == "zeros") {
    TCliArgs A(Rest, Values({"count"}), {"fits"});
    TReadOptions O = Setup(A);
    if (!A.Has("count")) throw ECliUsage{"zeros needs --count"};
    int Z = A.IntValue("count", 0);
    for (auto &S : ReadAll(A.Positional(), O)) {
      TOpOutcome Out = OpAddZeros(*S, Z);
      Deliver(C, *S, Out);
      if (Out.EndsLoop) break; // as the dialog: the loop ends here
    }
  } else {
    for (const TCliOpExtension &E : CliOpExtensions())
      if (Name == E.Name) return E.Run(Rest);
    throw ECliUsage{"unknown operation '" + Name + "'"};
  }
  return C.Rc;
}

std::string OpHelp() {
  std::string H = OpUsage;
  for (const TCliOpExtension &E : CliOpExtensions())
    H += E.Usage;
  return H;
}

} // namespace

const TCliCommand CliOpCommand{"op", "run one operation on spectrum files", OpUsage, RunOp, OpHelp};

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
    "(\"NAME: condition\") and the others go on; the exit code is then 1. As in the dialogs,\n"
    "zeros and filter --savgol stop at a spectrum that is not equidistant, and a resample grid\n"
    "or an each operand that does not fit every file makes nothing (the first misfit is told).\n\n"
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
    RunOnFiles(C, ReadAll(A.Positional(), O), [Sigma](const TSpec32 &S) { return OpNoise(S, Sigma); });
  } else if (Name == "fft") {
    TCliArgs A(Rest, Values({}), {"fits", "modulus", "power", "real", "imag", "phase", "hann"});
    TReadOptions O = Setup(A);
    TFftOutputs Out{A.Has("modulus"), A.Has("power"), A.Has("real"),
                    A.Has("imag"),    A.Has("phase"), A.Has("hann")};
    RunOnFiles(C, ReadAll(A.Positional(), O), [&Out](const TSpec32 &S) { return OpFourier(S, Out); });
  } else if (Name == "structure") {
    TCliArgs A(Rest, Values({}), {"fits"});
    TReadOptions O = Setup(A);
    RunOnFiles(C, ReadAll(A.Positional(), O), [](const TSpec32 &S) { return OpStructure(S); });
  } else if (Name == "number") {
    const std::vector<std::string> Flags = {"add", "mul", "div", "pow", "clip-below", "clip-above"};
    TCliArgs A(Rest, Values(Flags), {"fits"});
    TReadOptions O = Setup(A);
    int K = OneOf(A, Flags, "of --add --mul --div --pow --clip-below --clip-above");
    double R = A.FloatValue(Flags[static_cast<size_t>(K)], 0);
    const TNumberOp Op = static_cast<TNumberOp>(K);
    RunOnFiles(C, ReadAll(A.Positional(), O), [Op, R](const TSpec32 &S) { return OpNumber(S, Op, R); });
  } else if (Name == "log10") {
    TCliArgs A(Rest, Values({}), {"fits"});
    TReadOptions O = Setup(A);
    RunOnFiles(C, ReadAll(A.Positional(), O), [](const TSpec32 &S) { return OpLog10(S); });
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
    RunWholeCli(C, OpPair(*S1, *S2, static_cast<TPairOp>(K)), {S1, S2});
  } else if (Name == "each") {
    std::vector<std::string> Flags = PairFlags;
    Flags.push_back("fits");
    TCliArgs A(Rest, Values({"operand"}), Flags);
    TReadOptions O = Setup(A);
    int K = OneOf(A, PairFlags, "operation");
    if (!A.Has("operand")) throw ECliUsage{"each needs --operand B"};
    auto Left = ReadAll(A.Positional(), O);
    std::unique_ptr<TSpec32> B = ReadForCli(A.Value("operand", ""), O);
    const TPairOp Op = static_cast<TPairOp>(K);
    // Nothing is made when one operand does not fit; each result is named after its left-hand
    // operand, with a fresh header.
    TOpRunRules Rules;
    Rules.HeaderFromSource = false;
    Rules.AlsoFrom = {B.get()};
    Rules.Check = [&B, Op](const std::vector<const TSpec32 *> &L) { return OpEachCheck(L, *B, Op); };
    RunOnFiles(
        C, Left,
        [&B, Op](const TSpec32 &S) {
          return TOpOutcome{{}, {OpEachResult(S, *B, Op)}, false};
        },
        Rules);
  } else if (Name == "crop") {
    TCliArgs A(Rest, Values({"from", "to"}), {"fits", "index"});
    TReadOptions O = Setup(A);
    if (!A.Has("from") || !A.Has("to")) throw ECliUsage{"crop needs --from and --to"};
    RunOnFiles(C, ReadAll(A.Positional(), O), [&A](const TSpec32 &S) {
      if (A.Has("index")) return OpCropIndex(S, StrToInt(A.Value("from", "")), StrToInt(A.Value("to", "")));
      return OpCropWavelength(S, StrToFloat(A.Value("from", "")), StrToFloat(A.Value("to", "")));
    });
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
    const bool Linear = A.Has("linear");
    const double DerivLeft = Natural ? 0.0 : A.FloatValue("deriv-left", 0);
    const double DerivRight = Natural ? 0.0 : A.FloatValue("deriv-right", 0);
    // The grid must lie within every spectrum before anything is made (the first that it
    // leaves is told, as in the dialog).
    TOpRunRules Rules;
    Rules.Check = EverySpectrum([&G](const TSpec32 &S) { return ResampleGridCheck(S, G); });
    RunOnFiles(
        C, Specs,
        [&](const TSpec32 &S) {
          return Linear ? OpResampleLinear(S, G) : OpResampleSpline(S, G, Natural, DerivLeft, DerivRight);
        },
        Rules);
  } else if (Name == "zeros") {
    TCliArgs A(Rest, Values({"count"}), {"fits"});
    TReadOptions O = Setup(A);
    if (!A.Has("count")) throw ECliUsage{"zeros needs --count"};
    int Z = A.IntValue("count", 0);
    // As the dialog: a spectrum that is not equidistant ends the loop.
    RunOnFiles(C, ReadAll(A.Positional(), O), [Z](const TSpec32 &S) { return OpAddZeros(S, Z); });
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

// The tools' computations on files: "stats" (the statistics tool on a typed range) and the
// operation "normalize" of "op" (the normalize tool on typed limits).
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/UCliCommon.h"
#include "cli/UCliOpShared.h"
#include "cli/UCliRead.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "tools/UToolNormalizeCore.h"
#include "tools/UToolRangeCore.h"
#include "tools/UToolStatisticsCore.h"

namespace {

const char *const StatsUsage =
    "Usage: orvalumetrix-cli stats [--index] --from A --to B [--colx N] [--coly N] [--header N]\n"
    "                              FILE...\n\n"
    "The statistics tool's results for the samples that its \"Select From-To\" selects: with\n"
    "--index the samples A ... B-1 (A, B integers, 0 <= A <= B <= points-1), otherwise the\n"
    "nearest samples i0 of wavelength A and i1 of B, and then i0 ... i1-1 (x[0] <= A <= B <=\n"
    "x[last]). A = B (or both nearest to the same sample) selects nothing: points: 0 and\n"
    "every other value empty.\n"
    "Prints one block of 'key: value' lines per file (blocks separated by an empty line):\n"
    "file, points, range, sum, integral, average, cog, sd, sn, sn-trend, ew, min, min-at,\n"
    "max, max-at, median, runs-average, runs-median, numbers as %.10g; min-at and max-at are\n"
    "positions within the selection (0-based). A value the tool leaves empty (too few\n"
    "samples, a zero divisor) is printed as 'key:' with nothing after it.\n"
    "Limits the tool refuses are reported (\"NAME: Index values out of bound\") and the next\n"
    "file is read; the exit code is then 1.\n";

void Line(std::string &Out, const char *Key, const std::optional<double> &V) {
  Out += Key;
  Out += V ? Format(": %.10g\n", *V) : std::string(":\n");
}

const char *const StatsKeys[] = {"range",  "sum",      "integral",     "average",    "cog",    "sd",
                                 "sn",     "sn-trend", "ew",           "min",        "min-at", "max",
                                 "max-at", "median",   "runs-average", "runs-median"};

std::string StatsBlock(const std::string &FName, const TSpec32 &S, const TSampleRange &Sel) {
  std::string Out = "file: " + FName + "\n" + Format("points: %d\n", Sel.Count());
  if (Sel.Empty()) {
    // Nothing selected: the tool waits for a selection and shows no result.
    for (const char *Key : StatsKeys)
      Out += std::string(Key) + ":\n";
    return Out;
  }
  const size_t A = static_cast<size_t>(Sel.Sel0), N = static_cast<size_t>(Sel.Count());
  const TStatisticsResult R =
      ToolStatistics(std::span<const double>(S.DataX).subspan(A, N),
                     std::span<const double>(S.DataY).subspan(A, N), Sel.Sel0, S.Equidistant());
  Line(Out, "range", R.Range);
  Line(Out, "sum", R.Sum);
  Line(Out, "integral", R.Integral);
  Line(Out, "average", R.Average);
  Line(Out, "cog", R.Cog);
  Line(Out, "sd", R.Sd);
  Line(Out, "sn", R.SN);
  Line(Out, "sn-trend", R.SNTrend);
  Line(Out, "ew", R.EW);
  Line(Out, "min", R.Min);
  Out += Format("min-at: %d\n", R.MinAt);
  Line(Out, "max", R.Max);
  Out += Format("max-at: %d\n", R.MaxAt);
  Line(Out, "median", R.Median);
  Line(Out, "runs-average", R.RunsAverage);
  Line(Out, "runs-median", R.RunsMedian);
  return Out;
}

// --from and --to are required; --index chooses the index mode.
TLimitMode LimitArgs(const TCliArgs &A, const char *Command) {
  if (!A.Has("from") || !A.Has("to")) throw ECliUsage{std::string(Command) + " needs --from and --to"};
  const TLimitMode Mode = A.Has("index") ? TLimitMode::Index : TLimitMode::Wavelength;
  // A limit that is no number ends the command before the first file, as the panel's
  // conversion error ends its command.
  for (const char *Key : {"from", "to"})
    if (Mode == TLimitMode::Index)
      StrToInt(A.Value(Key, ""));
    else
      StrToFloat(A.Value(Key, ""));
  return Mode;
}

int RunStats(const std::vector<std::string> &Args) {
  TCliArgs A(Args, {"from", "to", "colx", "coly", "header"}, {"index"});
  const TReadOptions O = ReadOptions(A);
  const TLimitMode Mode = LimitArgs(A, "stats");
  if (A.Positional().empty()) throw ECliUsage{"no file given"};
  int Rc = 0;
  bool First = true;
  for (const std::string &FName : A.Positional()) {
    try {
      std::unique_ptr<TSpec32> S = ReadForCli(FName, O);
      const TTypedLimits L =
          TypedLimits(TLimitRule::Select, Mode, S->DataX, S->Size(), A.Value("from", ""), A.Value("to", ""));
      if (!L.Ok()) {
        std::fflush(stdout);
        CliError(S->FileName() + ": " + L.Error);
        Rc = 1;
        continue;
      }
      const std::string Block = StatsBlock(FName, *S, SelectRangeSamples(L.I0, L.I1, S->Size()));
      if (!First) std::fputs("\n", stdout);
      First = false;
      std::fputs(Block.c_str(), stdout);
    } catch (const std::exception &E) {
      std::fflush(stdout);
      CliError(E.what());
      Rc = 1;
    }
  }
  return Rc;
}

int RunNormalize(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"from", "to"}, {"index"}, C, O);
  const TLimitMode Mode = LimitArgs(A, "normalize");
  // Each file on its own typed limits, told and skipped when they do not fit it, as the
  // operations treat a refused spectrum.
  RunOnFiles(C, ReadAll(A.Positional(), O), [&](const TSpec32 &S) {
    const TTypedLimits L =
        TypedLimits(TLimitRule::Normalize, Mode, S.DataX, S.Size(), A.Value("from", ""), A.Value("to", ""));
    TToolOutcome Out = L.Ok() ? ToolNormalize(S, L.I0, L.I1) : TToolOutcome{L.Error, {}};
    if (!Out.Ok()) return OpRefused(": " + Out.Error);
    TOpOutcome R;
    R.Results.push_back(std::move(Out.Result));
    return R;
  });
  return C.Rc;
}

const TCliCommand CliStatsCommand{"stats", "statistics of a range of samples, as the statistics tool",
                                  StatsUsage, RunStats};
const TCliCommandRegistrar StatsRegistrar(CliStatsCommand);

const TCliOpRegistrar
    NormalizeOp({"normalize",
                 "  normalize [--index] --from A --to B     y divided by the mean y of the points A ... B\n"
                 "                                         (both included), by x (nearest points) or\n"
                 "                                         by index (-norm)\n",
                 RunNormalize});

} // namespace

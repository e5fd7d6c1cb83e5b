// "measure": the measuring tools on a typed range of samples. "extremum" is the FWHM/extremum
// tool, "profile" the Gauss/Voigt panel's profile fit. Further kinds add themselves through
// TCliMeasureRegistrar (cli/UCliMeasure.h).
#include "cli/UCliMeasure.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/UCliCommon.h"
#include "cli/UCliRead.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "tools/UToolMaximumCore.h"
#include "tools/UToolProfileFitCore.h"
#include "tools/UToolRangeCore.h"

std::vector<const TCliMeasure *> &CliMeasures() {
  static std::vector<const TCliMeasure *> Measures;
  return Measures;
}

namespace {

const char *const SelectionHelp =
    "The samples are those the statistics tool's \"Select From-To\" selects: with --index the\n"
    "samples A ... B-1 (A, B integers, 0 <= A <= B <= points-1), otherwise the nearest samples\n"
    "i0 of wavelength A and i1 of B, and then i0 ... i1-1 (x[0] <= A <= B <= x[last]).\n"
    "Every file gets a block of 'key: value' lines (blocks separated by an empty line); what the\n"
    "tool would show in a message box goes to stderr as 'NAME: message'. The exit code is 1\n"
    "when any message was printed, 2 for bad usage.\n"
    "Common options: --colx N, --coly N, --header N (text column files).\n";

std::string MeasureHelp() {
  std::string H = "Usage: orvalumetrix-cli measure KIND [OPTIONS] FILE...\n\nKinds:\n";
  for (const TCliMeasure *M : CliMeasures())
    H += Format("  %-10s %s\n", M->Name, M->Summary);
  H += "\n";
  H += SelectionHelp;
  for (const TCliMeasure *M : CliMeasures()) {
    H += "\n";
    H += M->Usage;
  }
  return H;
}

int RunMeasure(const std::vector<std::string> &Args) {
  if (Args.empty()) throw ECliUsage{"measure needs a KIND"};
  for (const TCliMeasure *M : CliMeasures())
    if (Args[0] == M->Name) return M->Run(std::vector<std::string>(Args.begin() + 1, Args.end()));
  throw ECliUsage{"unknown measure '" + Args[0] + "'"};
}

// The typed limits of --from and --to (--index chooses the index mode); a limit that is no
// number ends the command before the first file, as the panels' conversion error does.
TLimitMode LimitArgs(const TCliArgs &A, const char *Kind) {
  if (!A.Has("from") || !A.Has("to")) throw ECliUsage{std::string(Kind) + " needs --from and --to"};
  const TLimitMode Mode = A.Has("index") ? TLimitMode::Index : TLimitMode::Wavelength;
  for (const char *Key : {"from", "to"})
    if (Mode == TLimitMode::Index)
      StrToInt(A.Value(Key, ""));
    else
      StrToFloat(A.Value(Key, ""));
  return Mode;
}

// One block per file: Measure(name, spectrum, selected range) returns the block or throws
// EOrvaError with the message the tool would show.
template <class F> int ForEachFile(const TCliArgs &A, TLimitMode Mode, F Measure) {
  const TReadOptions O = ReadOptions(A);
  if (A.Positional().empty()) throw ECliUsage{"no file given"};
  int Rc = 0;
  bool First = true;
  for (const std::string &FName : A.Positional()) {
    std::unique_ptr<TSpec32> S;
    try {
      S = ReadForCli(FName, O);
      const TTypedLimits L =
          TypedLimits(TLimitRule::Select, Mode, S->DataX, S->Size(), A.Value("from", ""), A.Value("to", ""));
      if (!L.Ok()) throw EOrvaError(L.Error);
      std::string Warning;
      const std::string Block = Measure(FName, *S, SelectRangeSamples(L.I0, L.I1, S->Size()), Warning);
      if (!First) std::fputs("\n", stdout);
      First = false;
      std::fputs(Block.c_str(), stdout);
      if (!Warning.empty()) {
        std::fflush(stdout);
        CliError(S->FileName() + ": " + Warning);
        Rc = 1;
      }
    } catch (const std::exception &E) {
      std::fflush(stdout);
      CliError(S ? S->FileName() + ": " + E.what() : std::string(E.what()));
      Rc = 1;
    }
  }
  return Rc;
}

std::span<const double> Part(const TDblArr1D &V, const TSampleRange &Sel) {
  return std::span<const double>(V).subspan(static_cast<size_t>(Sel.Sel0), static_cast<size_t>(Sel.Count()));
}

// ---- extremum ----

const char *const ExtremumUsage =
    "measure extremum [--index] --from A --to B [--degree 2|4] [--points M] FILE...\n"
    "  The FWHM/extremum tool: a polynomial of degree 2 or 4 (default 4) through M samples\n"
    "  (default 5; raised to degree+1, lowered to the selection) around the extreme sample.\n"
    "  Prints file, points, degree, fit-points (M as used), type (Maximum or Minimum), extremum,\n"
    "  location, fwhm (%.10g; empty when the width failed, with \"Calculation of FWHM failed\"\n"
    "  on stderr), one 'residual:' line per fitted sample and rms-residuals (both %1.3g, in y\n"
    "  units, as the tool's residual list). Fewer than 5 samples, \"No Maximum or Minimum\" and\n"
    "  \"Extremum not found\" are messages and print no block.\n";

int RunExtremum(const std::vector<std::string> &Args) {
  const TCliArgs A(Args, {"from", "to", "degree", "points", "colx", "coly", "header"}, {"index"});
  const int Degree = A.IntValue("degree", 4);
  if (Degree != 2 && Degree != 4) throw ECliUsage{"--degree must be 2 or 4"};
  const int Points = A.IntValue("points", 5);
  const TLimitMode Mode = LimitArgs(A, "measure extremum");
  return ForEachFile(
      A, Mode,
      [&](const std::string &FName, const TSpec32 &S, const TSampleRange &Sel, std::string &Warning) {
        if (Sel.Count() < 5) throw EOrvaError(MaxTooFewText);
        const TMaximumResult R = ToolMaximum(Part(S.DataX, Sel), Part(S.DataY, Sel), Degree, Points);
        if (!R.Ok()) throw EOrvaError(R.Error);
        std::string B = "file: " + FName + "\n";
        B += Format("points: %d\ndegree: %d\nfit-points: %d\n", Sel.Count(), R.Degree, R.NPoints);
        B += R.Sign < 1 ? "type: Minimum\n" : "type: Maximum\n";
        B += Format("extremum: %.10g\nlocation: %.10g\n", R.Extremum, R.Location);
        if (R.FwhmOk()) {
          B += Format("fwhm: %.10g\n", R.Fwhm);
        } else {
          B += "fwhm:\n";
          Warning = MaxFwhmFailedText;
        }
        for (double Res : R.Residuals)
          B += Format("residual: %1.3g\n", Res);
        B += Format("rms-residuals: %1.3g\n", R.RmsResiduals);
        return B;
      });
}

// ---- profile ----

const char *const ProfileUsage =
    "measure profile [--voigt] --baseline 0|1|X1:Y1,X2:Y2 [--index] --from A --to B FILE...\n"
    "  The Gauss/Voigt panel's fit: a Gaussian (or with --voigt a Voigt profile) on a fixed\n"
    "  baseline, fitted to the selected samples by Levenberg-Marquardt. --baseline 0 or 1 fixes\n"
    "  the baseline at that value; X1:Y1,X2:Y2 is the straight line through the two points\n"
    "  (x1, y1) and (x2, y2), for example 6540:1.02,6585:0.98.\n"
    "  Prints file, points, shape (Gauss or Voigt), type (Absorption or Emission), centre, fwhm,\n"
    "  depth (absorption) or height (emission), area (the line's integral over all x), ew (the\n"
    "  equivalent width -area / baseline at the centre; empty when that baseline is not\n"
    "  positive), sigma (Gauss) or doppler-width and damping (Voigt), each followed by its\n"
    "  standard error as KEY-error, and rms-residuals; numbers %.10g. A fit that fails is a\n"
    "  message and prints no block.\n";

TFitBaseline ParseBaseline(const std::string &Text) {
  double V = 0;
  if (Text.find(',') == std::string::npos) {
    if (!TryStrToFloat(Text, V))
      throw ECliUsage{"--baseline: '" + Text + "' is no number and no X1:Y1,X2:Y2"};
    return TFitBaseline::Fixed(V);
  }
  TBaselinePoint P[2];
  const size_t Comma = Text.find(',');
  const std::string Parts[2] = {Text.substr(0, Comma), Text.substr(Comma + 1)};
  for (int I = 0; I < 2; ++I) {
    const size_t Colon = Parts[I].find(':');
    if (Colon == std::string::npos || !TryStrToFloat(Parts[I].substr(0, Colon), P[I].X) ||
        !TryStrToFloat(Parts[I].substr(Colon + 1), P[I].Y))
      throw ECliUsage{"--baseline: '" + Text + "' is not of the form X1:Y1,X2:Y2"};
  }
  const std::optional<TFitBaseline> B = BaselineThrough(P[0], P[1]);
  if (!B) throw ECliUsage{std::string("--baseline: ") + ProfSameXText};
  return *B;
}

std::string ValueLines(const char *Key, double V, double Err) {
  return Format("%s: %.10g\n%s-error: %.10g\n", Key, V, Key, Err);
}

int RunProfile(const std::vector<std::string> &Args) {
  const TCliArgs A(Args, {"from", "to", "baseline", "colx", "coly", "header"}, {"index", "voigt"});
  if (!A.Has("baseline")) throw ECliUsage{"measure profile needs --baseline"};
  const TFitBaseline Baseline = ParseBaseline(A.Value("baseline", ""));
  const TProfileShape Shape = A.Has("voigt") ? TProfileShape::Voigt : TProfileShape::Gauss;
  const TLimitMode Mode = LimitArgs(A, "measure profile");
  return ForEachFile(
      A, Mode, [&](const std::string &FName, const TSpec32 &S, const TSampleRange &Sel, std::string &) {
        const TProfileFitResult R = ToolProfileFit(Part(S.DataX, Sel), Part(S.DataY, Sel), Shape, Baseline);
        if (!R.Ok()) throw EOrvaError(R.Error);
        std::string B = "file: " + FName + "\n" + Format("points: %d\n", R.N);
        B += Shape == TProfileShape::Voigt ? "shape: Voigt\n" : "shape: Gauss\n";
        B += R.Absorption() ? "type: Absorption\n" : "type: Emission\n";
        B += ValueLines("centre", R.Centre, R.CentreErr);
        B += ValueLines("fwhm", R.Fwhm, R.FwhmErr);
        B += ValueLines(R.Absorption() ? "depth" : "height", std::fabs(R.Amplitude), R.AmplitudeErr);
        B += ValueLines("area", R.Area, R.AreaErr);
        if (R.EW)
          B += ValueLines("ew", *R.EW, *R.EWErr);
        else
          B += "ew:\new-error:\n";
        if (Shape == TProfileShape::Gauss) {
          B += ValueLines("sigma", R.Width, R.WidthErr);
        } else {
          B += ValueLines("doppler-width", R.Width, R.WidthErr);
          B += ValueLines("damping", R.Damping, R.DampingErr);
        }
        B += Format("rms-residuals: %.10g\n", R.RmsResiduals);
        return B;
      });
}

const TCliMeasure ExtremumMeasure{"extremum", "extremum and FWHM of a line, as the FWHM/Extremum tool",
                                  ExtremumUsage, RunExtremum};
const TCliMeasure ProfileMeasure{"profile", "Gauss or Voigt profile fit, as the Gauss/Voigt panel's Fit",
                                 ProfileUsage, RunProfile};
const TCliMeasureRegistrar ExtremumRegistrar(ExtremumMeasure);
const TCliMeasureRegistrar ProfileRegistrar(ProfileMeasure);

const TCliCommand CliMeasureCommand{"measure", "measuring tools on a range of samples (kinds: see --help)",
                                    "", RunMeasure, MeasureHelp};
const TCliCommandRegistrar MeasureRegistrar(CliMeasureCommand);

} // namespace

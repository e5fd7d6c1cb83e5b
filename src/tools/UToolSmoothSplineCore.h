#pragma once
// What the smoothing spline (continuum) tool computes: the marks of continuum samples per plot
// window, the knots made from them by the three methods, the guess of the maximum smoothing
// parameter, the slider's scale, the spline at every sample, and the two results "-smooth" (the
// spline) and "-cont" (the spectrum divided by it). Qt-free: the panel reads its controls, calls
// these and draws; "orvalumetrix-cli op continuum" calls the same functions.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/USpecTypes.h"
#include "tools/USmoothSpline.h"
#include "tools/UToolRangeCore.h"

class TSpec32;
class TFitsBess;

// The texts the panel shows.
inline constexpr const char *SplineMsgSelectPoints = "Select points";                    // error box
inline constexpr const char *SplineMsgSelectMore = "Select more points";                 // error box
inline constexpr const char *SplineMsgGuessMore = "select more points";                  // information box
inline constexpr const char *SplineMsgChooseGuess = "Choose a \"Max. Parameter\" Value"; // error box
inline constexpr const char *SplineMsgDivision = "Division by zero, spectrum can not be normalized";
inline constexpr const char *SplineMsgNotReached = "Smoothing parameter not reached"; // information box

// "Method 1": every marked sample is a knot. "Method 2": the same, and every interior gap is
// bridged by knots on the straight line across it. "Method 3": one knot per run of marked
// samples at the run's mean x and mean y.
enum class TSplineMethod { Method1 = 1, Method2 = 2, Method3 = 3 };

// "Tolerance" of "Guess Max. Parameter": "0.1%", "1%", "10%".
enum class TSplineTolerance { Tenth, One, Ten };
// 0.001, 0.01, 0.1
double ToleranceFraction(TSplineTolerance T);

// The slider runs 0 ... SplineSliderMax; the smoothing parameter is Pos / 320 * Guess.
inline constexpr int SplineSliderMax = 320;
double SplineParam(int Pos, double Guess);

// What a slider move does. Ignored when Pos equals LastPos (the position acted on last);
// otherwise LastPos := Pos and either the 10 ms timer is restarted (Compute) or, with no
// maximum parameter (Guess = 0), the error SplineMsgChooseGuess is shown (NeedGuess).
enum class TSliderAction { Ignore, Compute, NeedGuess };
TSliderAction SliderChanged(int Pos, int &LastPos, double Guess);

struct TSplineKnots {
  TDblArr1D X, Y;
};
// The knots that Method makes from the marked samples (Sel[i]) of x and y (all of size N).
// Method 2 bridges a gap only when the last marked sample before it has an index of 1 or more.
TSplineKnots SplineKnots(TSplineMethod Method, std::span<const double> X, std::span<const double> Y,
                         const std::vector<bool> &Sel);

// "Guess Max. Parameter": with k marked samples (k > 4) and m the median of their y (SelectKth,
// the upper middle value for even k), (t m)^2 k for the tolerance fraction t; Info is
// SplineMsgGuessMore when k <= 4 (and Guess is then not to be used).
struct TSplineGuess {
  std::string Info;
  double Guess = 0;
  bool Ok() const { return Info.empty(); }
};
TSplineGuess GuessMaxParameter(std::span<const double> Y, const std::vector<bool> &Sel, TSplineTolerance T);

// The outcome of computing the spline. Error (SplineMsgSelectPoints, SplineMsgSelectMore): shown
// in an error box, nothing changed. Notice (SplineMsgNotReached): the smoothing parameter was not
// reached within the iteration's cap; the spline of its last step is kept and drawn.
struct TSplineOutcome {
  std::string Error, Notice;
  int Knots = 0;    // knots the spline went through
  double Param = 0; // the smoothing parameter S asked for
  double P = 0;     // the p the iteration ended with
  double Sfq = 0;   // the spline's sum of squared residuals at the knots
  int Steps = 0;    // solves of the iteration
  bool Ok() const { return Error.empty(); }
};

// The tool's per-window data: the marks (SelProf, shared with the selection overlay as its flag
// array), the spline at every sample (SmoProf, shared with the spline overlay; zeros until a
// spline is computed), the maximum parameter and the slider position of that window.
class TSmoothSplineData {
public:
  explicit TSmoothSplineData(int N);
  int NVal() const { return pN; }
  const std::shared_ptr<std::vector<bool>> &SelProf() const { return pSelProf; }
  const std::shared_ptr<TDblArr1D> &SmoProf() const { return pSmoProf; }
  // Marks ("add interval", Add true) or unmarks the samples Ind0 ... Ind1 (both included;
  // 0 <= Ind0 <= Ind1 < N is an internal condition).
  void MarkInterval(int Ind0, int Ind1, bool Add);
  void SelectAll();
  void ClearAll();
  // True once a spline has been computed (the spline overlay is then enabled).
  bool HasSpline() const { return pHasSpline; }

  // The knots of Method from the marks of S (N samples), the smoothing spline through them for
  // the parameter Param, and its value at every x of S into SmoProf.
  TSplineOutcome Compute(const TSpec32 &S, TSplineMethod Method, double Param);
  // "Store Spline": x of S, y the spline ("-smooth"), equidistance from the test on x.
  TToolOutcome StoreSpline(const TSpec32 &S) const;
  // "Store Spectrum/Spline": y of S divided by the spline ("-cont"); refused with
  // SplineMsgDivision when the spline is 0 at any sample (so always before a spline exists).
  // The caller marks the new spectrum's header with SetContinuumNormKey.
  TToolOutcome StoreContinuum(const TSpec32 &S) const;

  double Guess = 0; // the maximum smoothing parameter of this window
  int TbPos = 0;    // the slider position of this window

private:
  int pN;
  std::shared_ptr<std::vector<bool>> pSelProf;
  std::shared_ptr<TDblArr1D> pSmoProf;
  bool pHasSpline = false;
  TSmoothSplineWork pWork; // kept between slider steps
};

// BSS_NORM := "Orvalumetrix " followed by the program's version: the header of a "-cont" result.
void SetContinuumNormKey(TFitsBess &H);

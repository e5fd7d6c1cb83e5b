#pragma once
// The line-profile fit of the Gauss/Voigt panel: a Gaussian or a Voigt profile on a fixed
// baseline, fitted to the selected samples by Levenberg-Marquardt, with the line's centre, FWHM,
// depth or height, area and equivalent width and their standard errors. Qt-free: the panel and
// "orvalumetrix-cli measure profile" call the same functions.
//
// Models, with B(x) the baseline and x0 the centre:
//   Gauss: y = B(x) + A exp(-u^2 / 2),            u = (x - x0) / sigma
//   Voigt: y = B(x) + A H(a, v) / H(a, 0),        v = (x - x0) / D
// A is the signed amplitude (negative for an absorption line), sigma the Gaussian standard
// deviation, D the Doppler width and a the damping ratio of the Voigt function H (Units/UVoigt),
// so that A is the line's height above or depth below the baseline at its centre in both models.
#include <optional>
#include <span>
#include <string>

#include "core/USpecTypes.h"
#include "tools/UToolGaussVoigtCore.h"

enum class TProfileShape { Gauss, Voigt };

// The baseline the fit is made on: the straight line through two points, or a constant.
struct TFitBaseline {
  double X0 = 0, Y0 = 0, Slope = 0;
  double Value(double X) const { return Y0 + Slope * (X - X0); }
  static TFitBaseline Fixed(double Y) { return TFitBaseline{0.0, Y, 0.0}; }
};
// The straight line through Left and Right; empty when both lie at the same x.
std::optional<TFitBaseline> BaselineThrough(const TBaselinePoint &Left, const TBaselinePoint &Right);

// The messages of the fit (shown in the panel's error box).
inline constexpr const char *ProfSameXText = "The two baseline points lie at the same x";
inline constexpr const char *ProfNoLineText = "No line above or below the baseline";
inline constexpr const char *ProfNoConvergenceText = "The profile fit did not converge";
inline constexpr const char *ProfCentreOutsideText = "The fitted line centre lies outside the selection";

struct TProfileFitResult {
  std::string Error; // non-empty: the fit failed, nothing below is valid
  TProfileShape Shape = TProfileShape::Gauss;
  int N = 0;          // fitted samples
  int Iterations = 0; // Levenberg-Marquardt steps
  // Fitted parameters and their standard errors (the covariance scaled by the residual
  // variance chi^2 / (n - number of parameters), as the samples carry no errors of their own).
  double Amplitude = 0, AmplitudeErr = 0; // A (y units)
  double Centre = 0, CentreErr = 0;       // x0 (x units)
  double Width = 0, WidthErr = 0;         // sigma (Gauss) or D (Voigt), x units
  double Damping = 0, DampingErr = 0;     // a (Voigt only)
  // Derived quantities with errors propagated through the parameters' covariance.
  double Fwhm = 0, FwhmErr = 0; // Gauss 2 sqrt(2 ln 2) sigma; Voigt from H(a, v) = H(a, 0) / 2
  double Area = 0,
         AreaErr = 0; // integral of the line over all x: A sigma sqrt(2 pi) or A D sqrt(pi) / H(a, 0)
  // Equivalent width -Area / B(x0) (x units, positive for an absorption line); empty when the
  // baseline at the centre is not positive (a line on a zero baseline has an area only).
  std::optional<double> EW, EWErr;
  double RmsResiduals = 0; // sqrt(chi^2 / n), y units
  bool Absorption() const { return Amplitude < 0; }
  bool Ok() const { return Error.empty(); }
};

// The fewest samples a fit takes: the number of parameters plus two (5 for Gauss, 6 for Voigt).
int ProfileFitMinPoints(TProfileShape Shape);
// "Select at least %1d points!"
std::string ProfileFitTooFewText(TProfileShape Shape);

// Fits the profile to x[0 .. n-1], y[0 .. n-1] (x increasing) on the baseline. Start values: the
// largest deviation from the baseline (in the direction of the sum of the deviations) for A and
// x0, its half-maximum width for the width; a Voigt fit starts from a Gaussian fit with a = 0.5.
// Fewer than ProfileFitMinPoints samples give ProfileFitTooFewText in Error.
TProfileFitResult ToolProfileFit(std::span<const double> X, std::span<const double> Y, TProfileShape Shape,
                                 const TFitBaseline &Baseline);

// The fitted profile at x, baseline included (the panel's overlay).
double ProfileFitValue(const TProfileFitResult &R, const TFitBaseline &Baseline, double X);
TDblArr1D ProfileFitCurve(const TProfileFitResult &R, const TFitBaseline &Baseline,
                          std::span<const double> X);

// FWHM of the Voigt profile H(a, v) in units of v (2 sqrt(ln 2) for a = 0).
double VoigtFwhm(double a);

// The panel's texts: the centre "%1.8g", the other values "%1.6g", standard errors "%1.2g"; EW
// empty when it is.
struct TProfileFitTexts {
  std::string Type; // "Absorption" or "Emission"
  std::string Centre, CentreErr, Fwhm, FwhmErr, Depth, DepthErr, EW, EWErr, Area, AreaErr;
  std::string DepthCaption; // "Depth" or "Height"
};
TProfileFitTexts ProfileFitTexts(const TProfileFitResult &R);

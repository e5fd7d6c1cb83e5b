#pragma once
// What the FWHM/extremum tool computes for a selection: whether it holds an emission or an
// absorption line, the extremum of a polynomial of degree 2 or 4 fitted to a few samples around
// the extreme sample (position and height or depth), the full width at half maximum, and the fit
// residuals. Qt-free: the panel and "orvalumetrix-cli measure extremum" call the same functions.
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The messages of the tool's error boxes.
inline constexpr const char *MaxNoExtremumText = "No Maximum or Minimum";
inline constexpr const char *MaxNotFoundText = "Extremum not found";
inline constexpr const char *MaxFwhmFailedText = "Calculation of FWHM failed";
inline constexpr const char *MaxTooFewText = "Select at least 5 points!";

// The degree of the "Polynomial" choice: 2 for index 0 ("Degree 2"), 4 for index 1 ("Degree 4").
int MaximumDegree(int PolyIndex);

// The number of fitted samples m for the typed Points, the degree d and n selected samples:
// m <= d becomes d + 1, then m > n becomes n. The panel writes m back into its edit.
int MaximumPoints(int Points, int Degree, int N);
// The same for the edit text; a text that is no integer raises the general conversion error.
int MaximumPoints(std::string_view PointsText, int Degree, int N);

// The half-maximum width on the sign-adjusted values w[0 .. n-1] (the line points upwards) around
// the peak sample K, at the level H measured from zero: the crossings of H by the straight lines
// between the first samples below H on either side of K and their inner neighbours.
// Returns xR - xL, or -1 when a side never falls below H or its slope points the wrong way.
double MaximumFwhm(std::span<const double> X, std::span<const double> W, int K, double H);

struct TMaximumResult {
  int NPoints = 0;               // m, the number of fitted samples (also when the computation failed)
  int Degree = 0;                // d
  std::string Error;             // MaxNoExtremumText or MaxNotFoundText: nothing below is valid
  int Sign = 1;                  // +1 emission ("Maximum"), -1 absorption ("Minimum")
  double Extremum = 0;           // the polynomial's extremum in y units (negative for a dip below zero)
  double Location = 0;           // its position in x units
  double Fwhm = -1;              // < 0: the width failed (MaxFwhmFailedText), the other results stand
  std::vector<double> Residuals; // fit minus data at the m fitted samples, in y units
  double RmsResiduals = 0;
  bool Ok() const { return Error.empty(); }
  bool FwhmOk() const { return Fwhm > 0; }
};

// The computation for the selected samples x[0 .. n-1], y[0 .. n-1] (x increasing, n >= 5: an
// internal condition; the panel shows MaxTooFewText instead). Degree 2 or 4; Points as typed.
TMaximumResult ToolMaximum(std::span<const double> X, std::span<const double> Y, int Degree, int Points);

// The panel's texts for a result: the label "Maximum" / "Minimum", extremum, location and FWHM
// "%1.5f" (FWHM empty when it failed), and the memo lines ("Residuals", "---------", one
// "%1.3g" line per residual, "RMS residuals: %1.3g"). A failed result gives the cleared texts:
// "Extremum" and everything else empty.
struct TMaximumTexts {
  std::string Extrem, Extremum, Location, Fwhm;
  std::vector<std::string> Memo;
};
TMaximumTexts MaximumTexts(const TMaximumResult &R);
// The cleared results of the panel.
TMaximumTexts MaximumClearedTexts();

#pragma once
// What the Gauss/Voigt panel takes from a selection: the baseline point (mean x, mean y of the
// selected samples) and the texts of its labels. Qt-free.
#include <span>
#include <string>

struct TBaselinePoint {
  double X = 0, Y = 0;
};

// The means of x and y over the selection (n >= 1: internal condition).
TBaselinePoint BaselinePoint(std::span<const double> X, std::span<const double> Y);

// "Baseline left : %1.7g, %1.7g" (Left) or "Baseline right: %1.7g, %1.7g".
std::string BaselineText(bool Left, const TBaselinePoint &P);
// "%1d points selected".
std::string GaussVoigtSelectionText(int N);

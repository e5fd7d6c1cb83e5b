#pragma once
// What the statistics tool computes for a selection of samples, and the texts its panel shows.
// Qt-free: the panel and "orvalumetrix-cli stats" call the same functions.
#include <optional>
#include <span>
#include <string>

// Every result for the selected samples x[0 .. n-1], y[0 .. n-1] (n >= 1). A result that is
// undefined for the selection (too few samples, a zero divisor) is empty; the panel then shows
// an empty field.
struct TStatisticsResult {
  int N = 0;                      // number of samples
  int Ind0 = 0, Ind1 = -1;        // first and last selected sample in the spectrum (Ind1 included)
  double Range = 0;               // x[n-1] - x[0]
  double Sum = 0;                 // sum of y
  std::optional<double> Integral; // n >= 3: each sample times the width of its bin
  double Average = 0;             // sum / n
  std::optional<double> Cog;      // centre of gravity sum(x y) / sum(y); empty when sum(y) = 0
  std::optional<double> Sd;       // n >= 2: standard deviation about the average, divisor n - 1
  std::optional<double> SN;       // average / sd, when sd > 0
  std::optional<double> SNTrend;  // n > 3: average / residual sd of a straight line y = a + b x
  std::optional<double> EW;       // n > 1: equivalent width of 1 - y (continuum-normalised y)
  double Min = 0, Max = 0;        // extremes of y (the first of equal values wins)
  int MinAt = 0, MaxAt = 0;       // their positions within the selection (0-based)
  double Median = 0;              // for even n the upper of the two middle values
  std::optional<double> RunsAverage, RunsMedian; // runs tests about the average and the median
};

// All results for the selection; Ind0 is the spectrum index of x[0], Equidistant the spectrum's
// equidistance flag (which chooses the integral rule). Raises the internal consistency failure
// when the selection is empty or x and y differ in length.
TStatisticsResult ToolStatistics(std::span<const double> X, std::span<const double> Y, int Ind0,
                                 bool Equidistant);

// Wald-Wolfowitz runs test of y about Threshold: values flagged y >= t or y < t with counts
// p and q, R = 1 + the number of flag changes between neighbours, mu = 2 p q / n + 1,
// sigma^2 = (mu - 1)(mu - 2)/(n - 1); z = (R - mu)/sigma. Empty when z is undefined (n < 2,
// all values on one side, or a non-finite result).
std::optional<double> RunsTest(std::span<const double> Y, double Threshold);

// The texts of the panel's result fields (empty for an empty result).
struct TStatisticsTexts {
  std::string NArr; // selection text
  std::string Range, Sum, Integral, Average, Cog, Sd, SN, SNTrend, EW;
  std::string Min, MinAt, Max, MaxAt, Median, RunsAverage, RunsMedian;
};
// Most numbers "%1.5g"; the centre of gravity and both runs tests "%1.3f"; the positions
// of the extremes "at I = %1d".
TStatisticsTexts StatisticsTexts(const TStatisticsResult &R);

#pragma once
// Ordinary least-squares straight line with its error estimates.
#include <span>

struct TStraightLineFit {
  double b = 0.0;  // slope
  double a = 0.0;  // intercept
  double s = 0.0;  // residual standard deviation, sqrt(sum (b x + a - y)^2 / (n - 2))
  double sb = 0.0; // standard error of the slope, s / sqrt(sum (x - mean x)^2)
  double sa = 0.0; // standard error of the intercept, s sqrt(mean x^2 / sum (x - mean x)^2 + 1/n)
};

// y = a + b x through (x[i], y[i]), i = 0 ... n-1 (n >= 1), from sums centred on the means.
// For n < 3 the three error values are 0. When all x are equal there is no slope: b = 0 and
// a = mean y (errors 0).
TStraightLineFit FitStraightLine(int n, std::span<const double> x, std::span<const double> y);

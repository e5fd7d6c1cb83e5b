#pragma once
// The cubic smoothing spline of the continuum tool: among all functions f with
// sum(((y[i] - f(x[i])) / dy[i])^2) <= S the one with the least integral of f''^2.
// Method: C. de Boor, A Practical Guide to Splines (Springer 1978), ch. XIV, routine SMOOTH with
// its helpers SETUPQ (the banded matrices of the knot spacings) and CHOL1D (the banded solve for
// a given p), the smoothing parameter p found by a secant iteration on rho, p = rho / (1 + rho).
// For a given p the spline minimises p * sum(((y - f) / dy)^2) + (1 - p) * int(f''^2); p = 1
// interpolates (natural cubic spline), p = 0 is the weighted least-squares straight line.
// Every step is linear in the number of knots. Qt-free.
#include <span>
#include <vector>

#include "core/USpecTypes.h"

// The secant iteration stops after this many solves; the spline of the last one is kept.
constexpr int SmoothSplineMaxSteps = 50;

// A fitted spline: the knots, the spline's values a and second derivatives c at the knots
// (c is 0 at both end knots: natural ends), and how the fit went.
struct TSmoothSplineFit {
  TDblArr1D X, A, C;
  double P = 1;        // the p of the last solve (1: interpolation, 0: straight line)
  double P1 = 0;       // 1 - p, kept apart (the iteration computes it as 1 / (1 + rho))
  double Sfq = 0;      // sum(((y[i] - a[i]) / dy[i])^2) of that solve
  int Steps = 0;       // solves of the secant iteration (0 when none was needed)
  bool Reached = true; // false: the iteration stopped before |sfq - S| <= 0.01 S

  // The spline at x: the cubic of knot interval j with x[j] <= x < x[j+1] (below the first knot
  // the first interval, at or above the last knot the last one).
  double Value(double x) const;
  // Value at every x of Xs into Out (same length).
  void Evaluate(std::span<const double> Xs, std::span<double> Out) const;
};

// Work storage of SmoothSpline; whoever computes splines of the same size repeatedly keeps one.
struct TSmoothSplineWork {
  TDblArr1D Buf;
};

// The smoothing spline through n >= 2 knots x (strictly increasing; otherwise the general error
// "Smoothing spline: knot x values are not strictly increasing"), values y, weights dy (empty:
// 1 for every knot; otherwise n values > 0; y must be finite, else the general error
// "Smoothing spline: the knot values are not all finite") and smoothing parameter S:
// S <= 0 interpolates (p = 1); otherwise p = 0 (the straight line) when its residual sum is
// within S, else the secant iteration on rho until |sfq - S| <= 0.01 S, at most
// SmoothSplineMaxSteps solves (Reached false when the cap or a step that leads nowhere ends it).
TSmoothSplineFit SmoothSpline(std::span<const double> X, std::span<const double> Y,
                              std::span<const double> Dy, double S, TSmoothSplineWork *Work = nullptr);

// One solve for a given 0 <= p <= 1 (the building block of SmoothSpline; Steps = 0).
TSmoothSplineFit SmoothSplineForP(std::span<const double> X, std::span<const double> Y,
                                  std::span<const double> Dy, double P);

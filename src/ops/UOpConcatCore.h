#pragma once
// "Concatenate": joins spectra that share one regular x-grid and overlap pairwise (consecutive
// wavelength segments of one observation, typically) into one spectrum. A central part of
// every overlap is blended; before it the overlap keeps the earlier segment's data, after it
// the later one's.
#include <vector>

#include "ops/UOpResult.h"

class TSpec32;

// The tolerance test of the sampling checks: A and B compared in units of the leading decade
// of the larger of |A| and |B| (absolutely when either is 0). True when they differ by more
// than Eps.
bool StepsDiffer(double Eps, double A, double B);

enum class TConcatMethod { Simple, Weighted };

// Specs in selection order; SizePercent is the share of each overlap that is blended, in
// percent (0 ... 100). The checks, in order: the size lies within 0 ... 100; every spectrum is
// equidistant and has a sampling interval; the steps agree with the first spectrum's
// ("Unequal sampling interval"); neighbours in selection order lie on one grid ("Unequal
// sampling phase"); neighbours sorted by their last x overlap ("Spectra do not overlap");
// while blending, no segment reaches before the accumulated result and paired x-values agree
// within 1e-6. A refusal's Condition is the complete message (with the spectrum's name in
// front where it concerns one spectrum). The result has an empty History (an "Untitled-" name)
// and is equidistant.
TOpOutcome OpConcatenate(const std::vector<const TSpec32 *> &Specs, TConcatMethod Method, double SizePercent);

// Positions of Specs in the order they are joined: ascending last x (ties: the one starting
// first comes first, so that a segment never starts before the one it is joined to merely
// because of the selection order).
std::vector<int> ConcatOrder(const std::vector<const TSpec32 *> &Specs);

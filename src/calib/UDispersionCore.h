#pragma once
// Applying a dispersion function: the new x of every point is a polynomial of degree up to 6
// of its old x, x' = a0 + a1 x + ... + a6 x^6, evaluated in extended precision.
#include <array>

#include "ops/UOpResult.h"

class TSpec32;

using TDispersionCoeffs = std::array<long double, 7>; // a0 ... a6

// a0 + x (a1 + x (a2 + x (a3 + x (a4 + x (a5 + x a6))))), in long double.
long double DispersionValue(const TDispersionCoeffs &A, long double X);

// The spectrum with x' = DispersionValue(x) and y unchanged (suffix "-disp"); its
// equidistance is tested on the new x.
TOpOutcome OpDispersion(const TSpec32 &S, const TDispersionCoeffs &A);

#pragma once
// Applying a dispersion function: the new x of every point is a polynomial of degree up to 6
// of its old x, x' = a0 + a1 x + ... + a6 x^6, evaluated in extended precision.
#include <array>

#include "ops/UOpResult.h"

class TSpec32;

using TDispersionCoeffs = std::array<long double, 7>; // a0 ... a6

// a0 + x (a1 + x (a2 + x (a3 + x (a4 + x (a5 + x a6))))), in long double.
long double DispersionValue(const TDispersionCoeffs &A, long double X);

// The coefficients in use before any are chosen: the identity x' = x.
inline constexpr TDispersionCoeffs DispersionIdentity{0, 1, 0, 0, 0, 0, 0};

// The spectrum with x' = DispersionValue(x) and y unchanged (suffix "-disp"); its
// equidistance is tested on the new x. A polynomial that is not strictly monotonic over the
// spectrum's x-values (two different x that end up on the same x', an order that is kept for
// some points and reversed for others, or x' that are not finite) would turn the spectrum
// into something no plot or operation can use: refused with DispersionNotMonotonic.
TOpOutcome OpDispersion(const TSpec32 &S, const TDispersionCoeffs &A);
extern const char *const DispersionNotMonotonic;

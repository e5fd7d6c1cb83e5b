#pragma once
// Integration by Simpson's rule and the complementary error function.
#include "numeric/UNrBase.h"

// Integral of func over [a, b] by Simpson's rule on successively halved steps (trapezoid sums
// combined by Richardson's rule). steps on entry: the most refinements allowed (the last one uses
// 2^(steps-1) intervals); on return: the refinement at which two successive estimates agreed to
// the fraction eps, or 0 when none did within the limit (the last estimate is returned then).
// At least 6 refinements are made before agreement is accepted, so that a coarse sampling that
// happens to agree is not taken for convergence.
double dqsimp(const TNrFunc1 &func, double a, double b, double eps, int &steps);

// erfc(x) = 1 - erf(x).
double derfcc(double x);

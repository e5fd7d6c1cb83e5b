#pragma once
// Savitzky-Golay smoothing and differentiation coefficients.
#include "numeric/UNrBase.h"

// c[1..np]: the weights of a window of nl samples left and nr samples right of the current one
// (np >= nl + nr + 1) that give the coefficient of u^ld of the least-squares polynomial of degree
// m through the window, u the offset in samples (ld = 0: the smoothed value; the ld-th
// derivative is ld! times the result). Wrap-around order: c[1 + j] weighs the sample j places to
// the left (j = 0 ... nl), c[np + 1 - j] the sample j places to the right (j = 1 ... nr); the
// rest of c is zero. Errors: negative window sizes, np too small, ld > m, m > nl + nr.
void dsavgol(TNrVector c, int np, int nl, int nr, int ld, int m);

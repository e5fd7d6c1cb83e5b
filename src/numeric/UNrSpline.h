#pragma once
// Interpolating cubic splines.
#include "numeric/UNrBase.h"

// Second derivatives y2[1..n] of the cubic spline through (x[i], y[i]), x increasing.
// yp1, ypn: first derivatives at x[1] and x[n]; a value above 0.99e30 asks for a natural end
// (zero second derivative) instead. Two equal x values are an error.
void dspline(TNrConstVector x, TNrConstVector y, int n, double yp1, double ypn, TNrVector y2);

// y = the spline of dspline at x (outside x[1] ... x[n] the end pieces are extended).
void dsplint(TNrConstVector xa, TNrConstVector ya, TNrConstVector y2a, int n, double x, double &y);

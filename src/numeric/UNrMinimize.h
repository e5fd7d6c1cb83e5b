#pragma once
// Minimisation of a function of several variables without derivatives.
#include "numeric/UNrBase.h"

// Downhill simplex (Nelder and Mead 1965). p: ndim+1 vertices (rows) of ndim values each;
// y[i] = funk(p[i]) on entry. Iterates until the fractional spread of the function values over the
// simplex, 2 |y_max - y_min| / (|y_max| + |y_min|), falls below ftol. On return p and y hold the
// contracted simplex and its values, with the best vertex in row 1; nfunk is the number of
// function evaluations. More than 5000 evaluations is an error.
void damoeba(TNrMatrix p, TNrVector y, int ndim, double ftol, const TNrMultiFunc &funk, int &nfunk);

// Direction-set method (Powell 1964) with Brent line searches. p[1..n]: start point in, minimum
// out; xi: n x n matrix whose columns are the start directions (usually the unit vectors) and on
// return the final directions; ftol: fractional tolerance on the function value of one iteration;
// iter: iterations made; fret: the function value at p. More than 200 iterations is an error.
void dpowell(TNrVector p, TNrMatrix xi, int n, double ftol, int &iter, double &fret,
             const TNrMultiFunc &func);

#pragma once
// The program's numerical helpers on 0-based vectors of doubles: Fourier transform, least-squares
// fits, cubic splines, minimisers, Savitzky-Golay kernels, selection and sorting.
//
// Most are thin adapters to the 1-based routines of numeric/ (the views of numeric/UNrBase.h
// give them their indexing over the caller's storage; nothing is copied for that). Errors the
// routines report reach the caller as the general error (EOrvaError) carrying their text; bad
// arguments are internal consistency failures of UNumRec.
#include <cstdint>
#include <span>
#include <vector>

#include "core/USpecTypes.h"
#include "numeric/UNrBase.h"

// A matrix as rows of 0-based vectors: M[i][j] is column j of row i.
using TDblMatrix = std::vector<TDblArr1D>;

// Installs the error hook that turns the routines' error texts into the general error. Done once
// at start-up (also by this unit's static initialisation); calling it again does no harm.
void InstallNumRecErrorHook();

// n >= 1 with exactly one bit set.
bool IsPowerOf2(int32_t n);

// In-place, unnormalised transform of n complex values (data[2k] real, data[2k+1] imaginary part
// of value k): isign = +1 gives H(k) = sum_j h(j) exp(+2 pi i jk/n), isign = -1 the same with
// exp(-2 pi i jk/n), so forward then inverse gives n times the input. Output k is frequency k for
// k <= n/2 and -(n-k) above. n must be a power of 2 ("Fourier1D: %1d no power of 2").
void Fourier1D(int n, std::span<double> data, int isign);

// Levenberg-Marquardt fit of y = a1 + a2 x + a3 exp(-u^2/2), u = (x - a4)/a5 (a straight
// background plus a Gaussian of amplitude a3, centre a4 and standard deviation a5) to n points
// with unit weights. a1 ... a5: start values in, the last values reached out. With fitSlope false
// a2 stays at its start value. Returns the number of steps when the fit converged (parameter
// changes of an accepted step within 1e-5, and within 1e-4 relative for a5), -1 when it had not
// converged within 51 steps.
int FitGaussLinear(int n, std::span<const double> x, std::span<const double> y, bool fitSlope, double &a1,
                   double &a2, double &a3, double &a4, double &a5);

// Linear least squares by SVD: a[0 .. ma-1] (the coefficients of basis functions 1 ... ma), chisq,
// and the ma x ma covariance matrix cvm (resized when smaller) for ndata points with standard
// deviations sig.
void SvdFit(int ndata, std::span<const double> x, std::span<const double> y, std::span<const double> sig,
            const TNrBasisFunc &basis, int ma, std::span<double> a, double &chisq, TDblMatrix &cvm);

// Basis of powers: p[1 .. np] = 1, x, x^2, ...
void PolyBasis(double x, TNrVector p, int np);

// Least-squares polynomial y = sum_k coef[k] x^k of degree 1 ... 4 (below n) through n points,
// computed in coordinates scaled to about -n/2 ... n/2 (x) and 0 ... 1 (y) and transformed back.
// coef[0 .. 4] (coef must hold 5 values; entries above the degree are 0). Always true.
bool FitPolynomial(std::span<const double> x, std::span<const double> y, int n, int degree,
                   std::span<double> coef);

// Cubic spline through n points (x increasing): second derivatives y2[0 .. n-1]. yp1, ypn: first
// derivatives at both ends; above 0.99e30 (1e35 by custom) a natural end.
void SplineSetup(std::span<const double> x, std::span<const double> y, int n, double yp1, double ypn,
                 std::span<double> y2);
TDblArr1D SplineSetup(std::span<const double> x, std::span<const double> y, int n, double yp1, double ypn);
// The spline of SplineSetup at x.
double SplineValue(std::span<const double> xa, std::span<const double> ya, std::span<const double> y2a, int n,
                   double x);

// Downhill simplex: p holds ndim+1 vertices of ndim values, y their function values; both are
// updated to the simplex contracted around a minimum (best vertex first). funk receives the
// parameters as a 1-based vector. Returns in nfunk the number of function evaluations.
void AmoebaMinimize(TDblMatrix &p, std::span<double> y, int ndim, double ftol, const TNrMultiFunc &funk,
                    int &nfunk);

// Powell's direction-set method: p (n values) start point in, minimum out; xi: n x n matrix whose
// columns are the start directions, the final directions out; iter: iterations; fret: the value
// at p. func receives the parameters as a 1-based vector.
void PowellMinimize(std::span<double> p, TDblMatrix &xi, int n, double ftol, int &iter, double &fret,
                    const TNrMultiFunc &func);

// Savitzky-Golay convolution weights c[0 .. np-1] for nl samples left and nr right (np = nl + nr + 1),
// polynomial degree m, derivative order ld: c[i] weighs the sample at offset i - nl, so the filtered
// value at k is sum_i c[i] y[k - nl + i].
void SavGolKernel(int np, int nl, int nr, int ld, int m, std::span<double> c);
TDblArr1D SavGolKernel(int np, int nl, int nr, int ld, int m);

// The k-th smallest (k counted from 1) of arr[0 .. n-1] by quick-select; arr is reordered.
double SelectKth(int k, int n, std::span<double> arr);

// The 0-based positions that list arr[0 .. n-1] in ascending order (arr is untouched).
// A partition stack deeper than 50 entries raises "NSTACK too small in index".
std::vector<int> IndexSort(int n, std::span<const double> arr);

namespace numrec_detail {
// IndexSort with a stack of NStack entries instead of 50 (to exercise the overflow guard).
std::vector<int> IndexSortStack(int n, std::span<const double> arr, int NStack);
} // namespace numrec_detail

#pragma once
// Least-squares fits: Levenberg-Marquardt for non-linear models, SVD for linear combinations of
// basis functions.
#include "numeric/UNrBase.h"

// One Levenberg-Marquardt step (Marquardt 1963) for the model funcs with parameters a[1..ma],
// fitted to (x[i], y[i]) with standard deviations sig[i], i = 1..ndata.
//  - alamda < 0 on entry: initialisation (alamda becomes 0.001), followed by the first step.
//  - alamda > 0: one step. A step that lowers chi-square is taken: a, alpha and chisq take the new
//    values and alamda shrinks tenfold; otherwise a stays, chisq keeps the previous best value and
//    alamda grows tenfold.
//  - alamda = 0: no step; covar becomes the covariance matrix and alpha the curvature matrix of the
//    current a, both ma x ma with zero rows and columns for fixed parameters.
// ia[j] = 0 holds a[j] fixed. Between calls alpha holds the curvature matrix of the free parameters
// (upper left mfit x mfit block); the rest of the state lives inside the routine, so one fit runs
// at a time per thread, from its alamda < 0 call to its alamda = 0 call.
// Errors: a singular curvature matrix, alamda = 0 before any initialisation.
void dmrqmin(TNrConstVector x, TNrConstVector y, TNrConstVector sig, int ndata, TNrVector a, TNrIntVector ia,
             int ma, TNrMatrix covar, TNrMatrix alpha, double &chisq, const TNrMrqFunc &funcs,
             double &alamda);

// Linear least squares by singular value decomposition: a[1..ma] minimises
// chisq = sum_i ((y[i] - sum_j a[j] X_j(x[i])) / sig[i])^2 for the basis X_1 ... X_ma of funcs.
// Singular values below 1e-12 of the largest are set to zero (their combinations are left out).
// u (ndata x ma), v (ma x ma) and w (ma) receive the decomposition in the form dsvdvar reads.
void dsvdfit(TNrConstVector x, TNrConstVector y, TNrConstVector sig, int ndata, TNrVector a, int ma,
             TNrMatrix u, TNrMatrix v, TNrVector w, double &chisq, const TNrBasisFunc &funcs);

// Covariance matrix cvm (ma x ma) of the coefficients of dsvdfit from its v and w.
void dsvdvar(TNrMatrix v, int ma, TNrVector w, TNrMatrix cvm);

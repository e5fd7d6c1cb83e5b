#pragma once
// Discrete Fourier transform of a complex vector, in place (FFTW underneath).
#include "numeric/UNrBase.h"

// data[1..2nn]: nn complex values, real and imaginary part interleaved. nn must be a power of 2.
// isign = +1: H(k) = sum_j h(j) exp(+2 pi i jk/nn); isign = -1: the same with exp(-2 pi i jk/nn).
// Unnormalised; output k is frequency k for k <= nn/2 and -(nn-k) above (wrap-around order).
void dfour1(TNrVector data, int nn, int isign);

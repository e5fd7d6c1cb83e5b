#pragma once
// The unary operations: additive Gaussian noise, the Fourier transform with its five
// outputs, and the structure function.
#include <vector>

#include "ops/UOpResult.h"

class TSpec32;

// y' = y + GaussNoise(sigma, 0); suffix "-noise".
TOpOutcome OpNoise(const TSpec32 &S, double Sigma);

struct TFftOutputs {
  bool Modulus = false, SqrModulus = false, Real = false, Imaginary = false, Phase = false;
  // y is multiplied by the Hann window w[j] = (1 - cos(2 pi j/(n-1)))/2 before the transform
  // (0 at both ends, 1 in the middle; a single point keeps weight 1).
  bool Hann = false;
};
// The unnormalised forward transform (sign +1, wrap-around order) computed once, one result
// per chosen output in the order modulus, square modulus, real, imaginary, phase (degrees);
// x' = the element index. Refuses ": Size not a power of 2", then ": x-values not equidistant".
TOpOutcome OpFourier(const TSpec32 &S, const TFftOutputs &Out);

// y'[tau] = (1/n) sum_j (y[(j + tau) mod n] - y[j])^2, x'[tau] = x[tau]; suffix "-struct".
// Refuses ": x-values not equidistant".
TOpOutcome OpStructure(const TSpec32 &S);

// The structure function itself: through the FFT (circular autocorrelation) in n log n,
// and the literal n^2 sum (used for small n, and by tests and benchmarks as the reference).
TDblArr1D StructureFunction(const TDblArr1D &Y);
TDblArr1D StructureFunctionDirect(const TDblArr1D &Y);

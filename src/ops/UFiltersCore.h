#pragma once
// The three smoothing filters of "Filters": a moving average over 2h + 1 points, a Gaussian of
// given FWHM applied by Fourier convolution, and the Savitzky-Golay polynomial filter with
// periodic ends. Each result keeps the source's x-values and its equidistance flag.
#include <cstdint>

#include "core/USpecTypes.h"
#include "ops/UOpResult.h"

class TSpec32;

// How the Gauss filter pads a spectrum up to the next power of 2 before the transform.
enum class TFftExtension {
  Zero,  // "fixed at 0"
  One,   // "fixed at 1"
  Linear // "linear": a straight line from the last value back to the first
};

// y'[j] = mean of y[j-h .. j+h] for j = h ... n-h-1; the first and the last h points stay 0.
// h is taken as |HWidth|. Suffix "-fma"; no precondition.
TDblArr1D MovingAverage(const TDblArr1D &Y, int64_t HWidth);
TOpOutcome OpMovingAverage(const TSpec32 &S, int64_t HWidth);

// Gaussian smoothing with standard deviation sigma = |FWHM| / sqrt(8 ln 2) in x units, Dx the
// x-step: the data padded to N = the next power of 2 (by Ext), circularly convolved with the
// sampled Gaussian normalised to sum 1, the padding dropped.
TDblArr1D GaussFilter(const TDblArr1D &Y, double Dx, double FWHM, TFftExtension Ext);
// Suffix "-gauss"; refuses " not equidistant in x" (the other spectra go on).
TOpOutcome OpGaussFilter(const TSpec32 &S, double FWHM, TFftExtension Ext);

// The Savitzky-Golay smoothing kernel c[0 .. nl+nr] for polynomial order |Order|, |Left| points
// to the left and |Right| to the right; c[i] weighs the sample at offset i - nl. Parameters the
// routine cannot use (an order above nl + nr, for example) raise the general error with its text.
struct TSavGolWeights {
  int NL = 0, NR = 0;
  TDblArr1D C;
};
TSavGolWeights SavGolWeights(int64_t Order, int64_t Left, int64_t Right);
// y'[j] = sum_k c[k + nl] y[(j + k) mod n], k = -nl ... nr: the spectrum taken as periodic, so
// windows that reach past an end (or are longer than the spectrum) wrap around. Long windows
// go through the FFT (SavGolUsesFft), short ones and data holding infinite or undefined values
// (which a transform would spread over the whole spectrum) are summed directly.
TDblArr1D SavGolFilter(const TDblArr1D &Y, const TSavGolWeights &W);
// The two ways, for tests and benchmarks: the literal sum, n (nl + nr + 1) multiply-adds, and
// the same periodic sum as a circular correlation through the FFT, O(n log n) whatever the
// window (a window longer than the spectrum is first folded onto n weights).
TDblArr1D SavGolFilterDirect(const TDblArr1D &Y, const TSavGolWeights &W);
TDblArr1D SavGolFilterFft(const TDblArr1D &Y, const TSavGolWeights &W);
// True when the transform is the cheaper way for N points and Np weights.
bool SavGolUsesFft(size_t N, size_t Np);
// Suffix "-savgol"; refuses " is not equidistant", which ends the loop over the spectra.
TOpOutcome OpSavGolFilter(const TSpec32 &S, const TSavGolWeights &W);

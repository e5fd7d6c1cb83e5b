#pragma once
// Spectrum and number (y op r, log10), and spectrum and spectrum (point by point, and the
// Fourier operations: cross-correlation, convolution, deconvolution).
#include <string>

#include "ops/UOpResult.h"

class TSpec32;

enum class TNumberOp { Add, Multiply, Divide, Power, ClipBelow, ClipAbove };
// y' = y op r with the suffixes "-add", "-mul", "-div", "-pow", "-clip"; x and the
// equidistance flag copied. An integral r is applied by repeated multiplication (negative y
// allowed; a negative r gives the reciprocal).
TOpOutcome OpNumber(const TSpec32 &S, TNumberOp Op, double R);
// y raised to the power r as the operation computes it.
double PowerOf(double Y, double R);

// y' = log10(y + 1) for y > 0, else 0; suffix "-log10".
TOpOutcome OpLog10(const TSpec32 &S);

enum class TPairOp { Add, Subtract, Multiply, Divide, CrossCorrelate, Convolve, DeConvolve };

// Point by point A op B on A's x-axis (the caller has compared the axes); History as given.
TOpResult PairPointwise(const TSpec32 &A, const TSpec32 &B, TPairOp Op, const std::string &History);

// The Fourier operations on A's n points, B read over the same n indices (B must have at
// least n points, else the general error). Cross-correlation pads to the next power of 2 N,
// standardises both (spread with divisor n - 2) and gives N points on the lag axis;
// convolution and deconvolution give n points on the index axis, lag 0 of B at the middle.
TOpResult PairFourier(const TSpec32 &A, const TSpec32 &B, TPairOp Op, const std::string &History);

// The two dialogs' rules: which checks, which names.
// "S x S -> S": S1 op S2. Refusal texts are shown as they stand (no file name in front).
TOpOutcome OpPair(const TSpec32 &S1, const TSpec32 &S2, TPairOp Op);
// "nS x S -> S": the checks of all left-hand operands against B, done before anything is made
// (the refusal text is complete: "A, B: message" or "x-values are not equidistant"); then
// one result per left-hand operand with OpEachResult.
std::string OpEachCheck(const std::vector<const TSpec32 *> &Left, const TSpec32 &B, TPairOp Op);
TOpResult OpEachResult(const TSpec32 &A, const TSpec32 &B, TPairOp Op);

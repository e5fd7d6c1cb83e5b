#pragma once
// Operations on the x-grid: crop by wavelength or index, resampling onto a regular grid
// (linear or cubic spline), and zero padding.
#include <string>
#include <vector>

#include "ops/UOpResult.h"

class TSpec32;

// The index of the point nearest to v in increasing x[0 .. n-1] (a tie goes to the upper
// point); -1 when v lies outside x[0] ... x[n-1].
int NearestIndex(const TDblArr1D &X, int N, double V);

// Keeps points i1 ... i2; suffix "-crop". Refusals ": Wavelength values out of bound",
// ": Index values out of bound", ": From >= To".
TOpOutcome OpCropWavelength(const TSpec32 &S, double From, double To);
TOpOutcome OpCropIndex(const TSpec32 &S, int From, int To);

struct TResampleGrid {
  double From = 0, Step = 0;
  // m = floor((to - from)/step) + 1: the grid never passes To. A quotient within 1e-9 (relative)
  // below a whole number counts as that number, so that 6500 ... 6510 in steps of 0.1 keeps its
  // last point although the quotient comes out as 99.99999999999.
  int Count = 0;
  double At(int K) const { return K * Step + From; }
  // How far an end of the grid may lie outside a spectrum's x-range and still count as inside:
  // 1e-9 of the grid's extent (Count - 1 steps), at least a few units in the last place of X.
  double EndTolerance(double X) const;
};
// The grid of the three fields; a step that is not positive or a To below From is refused
// with the general error.
TResampleGrid MakeResampleGrid(double From, double To, double Step);
// "Range of Union": the largest first x, the smallest last x, the mean step of the last spectrum.
void RangeOfUnion(const std::vector<const TSpec32 *> &Specs, double &From, double &To, double &Step);
// The three fields "Range of Union" fills: that range with From rounded up and To rounded down
// at "%1.3f", and the step at "%1.5f", so that the grid read back from the texts lies inside
// every spectrum. Where those digits cannot say so (a range narrower than 0.001, a step below
// 0.000005) more digits are shown. Spectra whose x-values do not increase, or that have no
// range in common, raise the general error.
struct TResampleProposal {
  std::string From, To, Step;
};
TResampleProposal ProposeRangeOfUnion(const std::vector<const TSpec32 *> &Specs);
// Empty when every grid point lies within the spectrum's x-range (up to the grid's end
// tolerance), else the refusal text.
std::string ResampleGridCheck(const TSpec32 &S, const TResampleGrid &G);

// Linear: suffix "-lin"; cubic spline: "-spline" with natural ends (Natural) or the end
// derivatives dy/dx given. The result's equidistance flag is tested on the result.
TOpOutcome OpResampleLinear(const TSpec32 &S, const TResampleGrid &G);
TOpOutcome OpResampleSpline(const TSpec32 &S, const TResampleGrid &G, bool Natural, double DerivLeft,
                            double DerivRight);

// Z points with y = 0 after the last, x continuing with the mean step; suffix "-zeros".
// Refuses " is not equidistant" (the dialog's loop ends there) and a single point, which has
// no step to continue.
TOpOutcome OpAddZeros(const TSpec32 &S, int Z);

#pragma once
// Line detection and peak width on the y-values of a selected stretch of a spectrum.
#include <span>

// Whether y[0 .. n-1] (n >= 5) holds a line standing out from the baseline. The baseline is the
// straight line through the first and last sample (in sample index) when removeSlope is set, else
// the end sample farther from the largest |y|. absorption is always written (true: the line points
// downwards); nExtrema, written only when a line is found, counts the local maxima of the
// oriented, baseline-corrected values above a tenth of their maximum.
bool DetectLine(std::span<const double> y, int n, bool removeSlope, int &nExtrema, bool &absorption);

// Height and full width at half maximum of the highest sample of y (an upward line on a baseline
// near 0) with x increasing around it. The top is refined by the parabola through the three
// samples around the highest; the half-maximum crossings are interpolated linearly.
// Returns false for a peak on the edge or a side that never falls below half maximum.
// iPeak, iLeft, iRight: the highest sample and the first samples below half maximum on either side,
// each written as soon as it is found. clean: the parabola gave a top and both crossings were
// interpolated (false at entry).
bool MeasurePeak(std::span<const double> x, std::span<const double> y, int n, double &fwhm, bool &clean,
                 int &iPeak, int &iLeft, int &iRight);

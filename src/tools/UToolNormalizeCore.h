#pragma once
// What the normalize and crop tools make: the spectrum divided by the mean y of a stretch
// ("-norm"), and a stretch copied into a spectrum of its own ("-crop"). The stretch comes from
// a mouse selection (pInd0 ... pInd1) or from TypedLimits (UToolRangeCore). Qt-free: the panels
// and "orvalumetrix-cli op normalize" call the same functions.
#include "tools/UToolRangeCore.h"

class TSpec32;

// The whole spectrum divided by the mean of y[I0 ... I1] (both included): all N points, x
// unchanged, the source's equidistance flag; suffix "-norm". A mean of exactly 0 is refused
// with "Mean value in selected area equals zero". 0 <= I0 <= I1 < N is an internal condition.
TToolOutcome ToolNormalize(const TSpec32 &S, int I0, int I1);

// The samples I0 ... I1 (both included) with the source's equidistance flag; suffix "-crop".
// 0 <= I0 <= I1 < N is an internal condition.
TToolOutcome ToolCrop(const TSpec32 &S, int I0, int I1);

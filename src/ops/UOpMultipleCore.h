#pragma once
// "Multiple Operations": all selected spectra combined point by point into one spectrum, on
// the x-axis of the first: their sum, their average or their product.
#include <string>
#include <vector>

#include "ops/UOpResult.h"

class TSpec32;

enum class TMultipleOp { Add, Average, Multiply };

// One message for every spectrum after the first whose x-axis differs from the first one's
// ("FIRST, OTHER: Number of data points differ"); empty when all agree.
std::vector<std::string> MultipleCheck(const std::vector<const TSpec32 *> &Specs);

// Sum (from 0), sum divided by the number of spectra, or product (from 1), the spectra taken
// in the order given; x and the equidistance flag of the first; an empty History (an
// "Untitled-" name). Refused with the first message of MultipleCheck when an axis differs.
TOpOutcome OpMultiple(const std::vector<const TSpec32 *> &Specs, TMultipleOp Op);

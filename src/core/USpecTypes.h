#pragma once
#include <vector>

// A growable 0-based array of 64-bit floats.
using TDblArr1D = std::vector<double>;

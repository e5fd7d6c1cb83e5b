#pragma once
// Storage for the large value arrays of a spectrum that are filled once, value by value.
#include <cstddef>

#include "core/USpecTypes.h"

// Empties A and reserves room for N values without writing them (a following push_back per
// value fills each element once; resize would first zero all of them). Arrays of several
// megabytes are backed by huge pages where the system offers them: a 2^24-point spectrum
// otherwise spends most of its reading time in the kernel, mapping 4 KB pages one by one.
void ReserveFresh(TDblArr1D &A, size_t N);

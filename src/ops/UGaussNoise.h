#pragma once
// Normally distributed random values from a shuffled uniform source (a table of 97 uniform
// values in [0, 1) stirred by the value last drawn), one Box-Muller value per call.

// sigma * sqrt(-2 ln u1) * cos(2 pi u2) + mu.
double GaussNoise(double Sigma, double Mu);
// The next value of the shuffled uniform source, in [0, 1).
double ShuffledUniform();
// Restarts the source from a fixed seed (the program seeds it from the clock at start).
void SeedShuffledUniform(unsigned long long Seed);

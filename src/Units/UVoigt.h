#pragma once
// The Voigt function H(a, x) = (a/pi) Int exp(-t^2) / (a^2 + (x - t)^2) dt over all t: the profile
// of a line broadened by Doppler motion and damping, x the distance from the line centre in
// Doppler widths, a the ratio of the damping to the Doppler width. H(a, x) = Re w(x + i a), the
// Faddeeva function; H(0, x) = exp(-x^2); H(a, 0) = exp(a^2) erfc(a).
double Voigt(double x, double a);

#pragma once
// The computations of two small dialogs: the value of a spectrum at one x by a natural cubic
// spline ("Evaluate"), and the root of a polynomial of degree up to 6 by Newton's method
// ("Root of Polynomial").
#include <string>

class TSpec32;

// The natural cubic spline through the spectrum's points, at X0. An X0 outside the x-range is
// extrapolated with the cubic of the end interval.
double EvaluateAt(const TSpec32 &S, double X0);
// The result line of one spectrum: its file name, a tab, the value in "%1.6g".
std::string EvaluateLine(const TSpec32 &S, double X0);

// p(x) = a0 + a1 x + ... + a6 x^6 = Y, solved from Guess by Newton steps in extended precision
// until a step is shorter than |Acc|, at most 20 steps.
struct TPolRootInput {
  long double A[7] = {0, 0, 0, 0, 0, 0, 0};
  long double Y = 0;
  long double Guess = 0;
  long double Acc = 1e-6L;
};
struct TPolRootResult {
  long double X = 0; // the last iterate (the root when Message is empty)
  int Steps = 0;
  // Empty on success; otherwise what the user is told: "Too many iterations", or that the
  // derivative vanished at an iterate (where a Newton step is not defined).
  std::string Message;
  bool Ok() const { return Message.empty(); }
};
TPolRootResult PolRoot(const TPolRootInput &In);
// x as the result field shows it: "%1.10g".
std::string FormatPolRoot(long double X);

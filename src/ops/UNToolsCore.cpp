#define ORVA_UNIT "UNToolsCore"
#include "ops/UNToolsCore.h"

#include <cmath>

#include "Units/UNumRec.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

// A boundary derivative above 0.99e30 asks the spline for a natural end.
constexpr double NaturalEnd = 1e35;
constexpr int MaxSteps = 20;

} // namespace

double EvaluateAt(const TSpec32 &S, double X0) {
  const int N = static_cast<int>(S.DataX.size());
  TDblArr1D Y2 = SplineSetup(S.DataX, S.DataY, N, NaturalEnd, NaturalEnd);
  return SplineValue(S.DataX, S.DataY, Y2, N, X0);
}

std::string EvaluateLine(const TSpec32 &S, double X0) {
  return S.FileName() + Format("%s%1.6g", "\t", EvaluateAt(S, X0));
}

TPolRootResult PolRoot(const TPolRootInput &In) {
  const long double *A = In.A;
  const long double Acc = std::fabs(In.Acc);
  TPolRootResult R;
  long double X = In.Guess;
  bool Converged = false;
  while (R.Steps < MaxSteps) {
    long double F = ((((((A[6] * X + A[5]) * X + A[4]) * X + A[3]) * X + A[2]) * X + A[1]) * X + A[0]) - In.Y;
    long double D = ((((6 * A[6] * X + 5 * A[5]) * X + 4 * A[4]) * X + 3 * A[3]) * X + 2 * A[2]) * X + A[1];
    if (F == 0) { // x solves the equation already, whatever the slope there
      Converged = true;
      break;
    }
    if (D == 0) {
      R.X = X;
      R.Message = "The derivative of the polynomial is 0 at x = " + FormatPolRoot(X) +
                  ": choose another x-value (guess)";
      return R;
    }
    long double Delta = F / D;
    X -= Delta;
    ++R.Steps;
    if (std::fabs(Delta) < Acc) {
      Converged = true;
      break;
    }
  }
  R.X = X;
  if (!Converged) R.Message = "Too many iterations";
  return R;
}

std::string FormatPolRoot(long double X) { return Format("%1.10Lg", X); }

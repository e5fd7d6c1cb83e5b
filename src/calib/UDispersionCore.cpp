#include "calib/UDispersionCore.h"

#include "core/UErrors.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UDispersionCore"

long double DispersionValue(const TDispersionCoeffs &A, long double X) {
  return A[0] + X * (A[1] + X * (A[2] + X * (A[3] + X * (A[4] + X * (A[5] + X * A[6])))));
}

TOpOutcome OpDispersion(const TSpec32 &S, const TDispersionCoeffs &A) {
  ORVA_ASSERT(S.DataX.size() == S.DataY.size());
  TOpResult R;
  R.History = "-disp";
  R.X.resize(S.DataX.size());
  for (size_t j = 0; j < S.DataX.size(); ++j)
    R.X[j] = static_cast<double>(DispersionValue(A, static_cast<long double>(S.DataX[j])));
  R.Y = S.DataY;
  // The equidistance test of the spectrum record, on the new x.
  TSpec32 T;
  T.DataX = R.X;
  T.DataY = R.Y;
  T.FinishFromArrays();
  R.Equidistant = T.Equidistant();
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

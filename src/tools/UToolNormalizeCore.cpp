#include "tools/UToolNormalizeCore.h"

#include "core/UErrors.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UToolNormalizeCore"

TToolOutcome ToolNormalize(const TSpec32 &S, int I0, int I1) {
  const int N = S.Size();
  ORVA_ASSERT(0 <= I0 && I0 <= I1 && I1 < N);
  double Sum = 0;
  for (int i = I0; i <= I1; ++i)
    Sum += S.DataY[static_cast<size_t>(i)];
  const double Mean = Sum / (I1 - I0 + 1);
  TToolOutcome O;
  if (Mean == 0) {
    O.Error = "Mean value in selected area equals zero";
    return O;
  }
  O.Result.History = "-norm";
  O.Result.X.assign(S.DataX.begin(), S.DataX.begin() + N);
  O.Result.Y.resize(static_cast<size_t>(N));
  for (size_t i = 0; i < static_cast<size_t>(N); ++i)
    O.Result.Y[i] = S.DataY[i] / Mean;
  O.Result.Equidistant = S.Equidistant();
  return O;
}

TToolOutcome ToolCrop(const TSpec32 &S, int I0, int I1) {
  ORVA_ASSERT(0 <= I0 && I0 <= I1 && I1 < S.Size());
  TToolOutcome O;
  O.Result.History = "-crop";
  O.Result.X.assign(S.DataX.begin() + I0, S.DataX.begin() + I1 + 1);
  O.Result.Y.assign(S.DataY.begin() + I0, S.DataY.begin() + I1 + 1);
  O.Result.Equidistant = S.Equidistant();
  return O;
}

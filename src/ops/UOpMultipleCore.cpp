#define ORVA_UNIT "UOpMultipleCore"
#include "ops/UOpMultipleCore.h"

#include "core/UErrors.h"
#include "core/USpec32.h"

std::vector<std::string> MultipleCheck(const std::vector<const TSpec32 *> &Specs) {
  ORVA_ASSERT(!Specs.empty());
  std::vector<std::string> Messages;
  const TSpec32 &First = *Specs[0];
  for (size_t i = 1; i < Specs.size(); ++i) {
    std::string Msg;
    if (!First.CompareXValues(*Specs[i], Msg))
      Messages.push_back(First.FileName() + ", " + Specs[i]->FileName() + ": " + Msg);
  }
  return Messages;
}

TOpOutcome OpMultiple(const std::vector<const TSpec32 *> &Specs, TMultipleOp Op) {
  const std::vector<std::string> Messages = MultipleCheck(Specs);
  if (!Messages.empty()) return OpRefused(Messages.front());
  const TSpec32 &First = *Specs[0];
  const size_t N = First.DataX.size();
  TOpResult R;
  R.Equidistant = First.Equidistant();
  R.X = First.DataX;
  R.Y.assign(N, Op == TMultipleOp::Multiply ? 1.0 : 0.0);
  for (const TSpec32 *S : Specs) {
    // CompareXValues compared the point counts; the arrays must hold them too.
    ORVA_ASSERT(S->DataY.size() >= N);
    const double *Sy = S->DataY.data();
    if (Op == TMultipleOp::Multiply)
      for (size_t i = 0; i < N; ++i)
        R.Y[i] *= Sy[i];
    else
      for (size_t i = 0; i < N; ++i)
        R.Y[i] += Sy[i];
  }
  if (Op == TMultipleOp::Average) {
    const double Count = static_cast<double>(Specs.size());
    for (double &V : R.Y)
      V /= Count;
  }
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

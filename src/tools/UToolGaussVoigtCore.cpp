#include "tools/UToolGaussVoigtCore.h"

#include "core/UErrors.h"
#include "core/UFormat.h"

#define ORVA_UNIT "UToolGaussVoigtCore"

TBaselinePoint BaselinePoint(std::span<const double> X, std::span<const double> Y) {
  ORVA_ASSERT(!X.empty() && X.size() == Y.size());
  TBaselinePoint P;
  for (size_t i = 0; i < X.size(); ++i) {
    P.X += X[i];
    P.Y += Y[i];
  }
  P.X /= static_cast<double>(X.size());
  P.Y /= static_cast<double>(Y.size());
  return P;
}

std::string BaselineText(bool Left, const TBaselinePoint &P) {
  return Format(Left ? "Baseline left : %1.7g, %1.7g" : "Baseline right: %1.7g, %1.7g", P.X, P.Y);
}

std::string GaussVoigtSelectionText(int N) { return Format("%1d points selected", N); }

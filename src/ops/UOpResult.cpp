#include "ops/UOpResult.h"

#include <cmath>

#include "core/USpec32.h"

std::unique_ptr<TSpec32> BuildResultSpec(const std::string &Name, const TOpResult &R,
                                         const TSpec32 *HeaderSource) {
  auto S = std::make_unique<TSpec32>();
  S->NewSpec(Name, static_cast<int32_t>(R.X.size()), 0.0, HeaderSource);
  S->DataX = R.X;
  S->DataY = R.Y;
  S->SetEquidistant(R.Equidistant);
  S->UpdateSpec();
  return S;
}

std::string NonFiniteWarning(const TSpec32 &Source, const TOpResult &Result) {
  bool SourceFinite = true;
  for (double V : Source.DataY)
    if (!std::isfinite(V)) {
      SourceFinite = false;
      break;
    }
  if (!SourceFinite) return std::string();
  for (double V : Result.Y)
    if (!std::isfinite(V))
      return ": the result holds infinite or undefined values (a division by zero or a power that is "
             "not a real number)";
  return std::string();
}

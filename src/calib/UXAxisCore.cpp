#include "calib/UXAxisCore.h"

#include "Units/UCiddor.h"
#include "core/UErrors.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UXAxisCore"

const char *const CenterOutsideText = "Center Wavelength outside of Profile";

namespace {

// The equidistance test of the spectrum record, on a result's x.
bool TestEquidistant(const TDblArr1D &X) {
  TSpec32 T;
  T.DataX = X;
  T.DataY.assign(X.size(), 0.0);
  T.FinishFromArrays();
  return T.Equidistant();
}

template <class F> TOpOutcome MapX(const TSpec32 &S, const char *History, F &&Fx) {
  ORVA_ASSERT(S.DataX.size() == S.DataY.size());
  TOpResult R;
  R.History = History;
  R.X.resize(S.DataX.size());
  for (size_t i = 0; i < S.DataX.size(); ++i)
    R.X[i] = Fx(S.DataX[i]);
  R.Y = S.DataY;
  R.Equidistant = TestEquidistant(R.X);
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

} // namespace

TOpOutcome OpVacToAir(const TSpec32 &S) {
  return MapX(S, "-air", [](double X) { return VacToAirEdlen(X); });
}

TOpOutcome OpAirToVac(const TSpec32 &S) {
  return MapX(S, "-vac", [](double X) { return AirToVacEdlen(X); });
}

TOpOutcome OpWavenumber(const TSpec32 &S) {
  ORVA_ASSERT(S.DataX.size() == S.DataY.size());
  const size_t N = S.DataX.size();
  TOpResult R;
  R.History = "-wnwl";
  R.X.resize(N);
  R.Y.resize(N);
  for (size_t i = 0; i < N; ++i) {
    R.X[N - 1 - i] = 1e8 / S.DataX[i];
    R.Y[N - 1 - i] = S.DataY[i];
  }
  R.Equidistant = TestEquidistant(R.X);
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

void CheckCenterWavelength(double Center) {
  // Every velocity would be infinite: no spectrum is made of that.
  if (Center == 0.0) OrvaRaise("Center Wavelength must not be 0");
}

TOpOutcome OpVelocity(const TSpec32 &S, double Center) {
  CheckCenterWavelength(Center);
  return MapX(S, "-kms", [Center](double X) { return (X / Center - 1.0) * XAxisLightSpeed; });
}

bool CenterOutsideProfile(const TSpec32 &S, double Center) {
  if (S.DataX.empty()) return true;
  return Center < S.DataX.front() || Center > S.DataX.back();
}

#include "ops/UOpGridCore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UOpGridCore"

namespace {

TOpOutcome One(TOpResult R) {
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

TOpOutcome Crop(const TSpec32 &S, int I1, int I2) {
  TOpResult R;
  R.History = "-crop";
  R.Equidistant = S.Equidistant();
  R.X.assign(S.DataX.begin() + I1, S.DataX.begin() + I2 + 1);
  R.Y.assign(S.DataY.begin() + I1, S.DataY.begin() + I2 + 1);
  return One(std::move(R));
}

TOpResult GridResult(const TResampleGrid &G, const char *History) {
  TOpResult R;
  R.History = History;
  R.X.resize(static_cast<size_t>(G.Count));
  R.Y.resize(static_cast<size_t>(G.Count));
  for (int k = 0; k < G.Count; ++k)
    R.X[static_cast<size_t>(k)] = G.At(k);
  return R;
}

bool TestEquidistant(const TDblArr1D &X) {
  TSpec32 T;
  T.DataX = X;
  T.DataY.assign(X.size(), 0.0);
  T.FinishFromArrays();
  return T.Equidistant();
}

} // namespace

int NearestIndex(const TDblArr1D &X, int N, double V) {
  if (N <= 0) return -1;
  if (V < X[0]) return -1;
  if (V == X[0]) return 0;
  if (V > X[static_cast<size_t>(N - 1)]) return -1;
  if (V == X[static_cast<size_t>(N - 1)]) return N - 1;
  int I = 1;
  while (I < N && !(V < X[static_cast<size_t>(I)]))
    ++I;
  ORVA_ASSERT(I < N);
  double F =
      (V - X[static_cast<size_t>(I - 1)]) / (X[static_cast<size_t>(I)] - X[static_cast<size_t>(I - 1)]);
  ORVA_ASSERT(F >= 0 && F <= 1);
  return F >= 0.5 ? I : I - 1;
}

TOpOutcome OpCropWavelength(const TSpec32 &S, double From, double To) {
  const int N = S.Size();
  if (N < 1 || From < S.DataX[0] || To > S.DataX[static_cast<size_t>(N - 1)])
    return OpRefused(": Wavelength values out of bound");
  if (From >= To) return OpRefused(": From >= To");
  int I1 = NearestIndex(S.DataX, N, From), I2 = NearestIndex(S.DataX, N, To);
  if (I1 < 0 || I2 < 0) return OpRefused(": Wavelength values out of bound"); // x not increasing
  if (I1 >= I2) return OpRefused(": From >= To");
  return Crop(S, I1, I2);
}

TOpOutcome OpCropIndex(const TSpec32 &S, int From, int To) {
  if (From < 0 || To > S.Size() - 1) return OpRefused(": Index values out of bound");
  if (From >= To) return OpRefused(": From >= To");
  return Crop(S, From, To);
}

namespace {

// The number of steps of the grid From ... To: the quotient rounded down, with a quotient within
// 1e-9 (relative) below a whole number taken as that number. Checked by the callers.
double GridSteps(double From, double To, double Step) {
  const double Q = (To - From) / Step;
  return std::floor(Q + 1e-9 * std::max(Q, 1.0));
}

// V with Digits decimals, rounded up (Up) or down, so that the number read back from the text is
// not below V (Up) or not above it.
std::string DecimalText(double V, int Digits, bool Up) {
  const double Unit = std::pow(10.0, -Digits);
  std::string T = Format("%.*f", Digits, V);
  double P = StrToFloat(T);
  // Printing rounds to the nearest: one unit more (less) is enough then, up to rounding in the
  // sum, which the second round mends.
  for (int i = 0; i < 3 && (Up ? P < V : P > V); ++i) {
    T = Format("%.*f", Digits, Up ? P + Unit : P - Unit);
    P = StrToFloat(T);
  }
  if (P == 0 && !T.empty() && T[0] == '-') T.erase(0, 1); // "-0.000"
  return T;
}

// True when the grid read back from the texts is one the resampler takes for every spectrum
// (its size limit aside, which more digits cannot mend).
bool ProposalFits(const TResampleProposal &P, const std::vector<const TSpec32 *> &Specs) {
  const double From = StrToFloat(P.From), To = StrToFloat(P.To), Step = StrToFloat(P.Step);
  if (!(Step > 0) || !(To >= From)) return false;
  const double M = GridSteps(From, To, Step);
  if (!(M < 1e8)) return true;
  TResampleGrid G;
  G.From = From;
  G.Step = Step;
  G.Count = static_cast<int>(M) + 1;
  for (const TSpec32 *S : Specs)
    if (!ResampleGridCheck(*S, G).empty()) return false;
  return true;
}

} // namespace

double TResampleGrid::EndTolerance(double X) const {
  return std::max(1e-9 * Step * std::max(Count - 1, 1),
                  4 * std::numeric_limits<double>::epsilon() * std::fabs(X));
}

TResampleGrid MakeResampleGrid(double From, double To, double Step) {
  if (!(Step > 0)) OrvaRaise("Step must be > 0");
  if (!(To >= From)) OrvaRaise("From must not be larger than To");
  const double M = GridSteps(From, To, Step);
  if (!(M < 1e8)) OrvaRaise(Format("The grid would hold more than 100000000 points (%1.6g)", M + 1));
  TResampleGrid G;
  G.From = From;
  G.Step = Step;
  G.Count = static_cast<int>(M) + 1;
  return G;
}

void RangeOfUnion(const std::vector<const TSpec32 *> &Specs, double &From, double &To, double &Step) {
  ORVA_ASSERT(!Specs.empty());
  From = -std::numeric_limits<double>::infinity();
  To = std::numeric_limits<double>::infinity();
  for (const TSpec32 *S : Specs) {
    ORVA_ASSERT(S->Size() > 0);
    if (S->DataX.front() > From) From = S->DataX.front();
    if (S->DataX.back() < To) To = S->DataX.back();
  }
  const TSpec32 &Last = *Specs.back();
  const int N = Last.Size();
  Step = N > 1 ? (Last.DataX[static_cast<size_t>(N - 1)] - Last.DataX[0]) / (N - 1) : 0.0;
}

TResampleProposal ProposeRangeOfUnion(const std::vector<const TSpec32 *> &Specs) {
  ORVA_ASSERT(!Specs.empty());
  for (const TSpec32 *S : Specs) {
    if (S->Size() < 2 || S->DataX.size() < 2)
      OrvaRaise(S->FileName() + ": at least two points are needed to resample");
    const double A = S->DataX.front(), B = S->DataX.back();
    if (!std::isfinite(A) || !std::isfinite(B) || !(B > A))
      OrvaRaise(S->FileName() + ": x-values do not increase");
  }
  double From, To, Step;
  RangeOfUnion(Specs, From, To, Step);
  if (!(From <= To)) OrvaRaise("The selected spectra have no x-range in common");
  // The shown precision first; more digits only where it cannot express a grid inside the range.
  for (int Extra = 0; Extra <= 14; ++Extra) {
    TResampleProposal P{DecimalText(From, 3 + Extra, true), DecimalText(To, 3 + Extra, false),
                        Format("%.*f", 5 + Extra, Step)};
    if (ProposalFits(P, Specs)) return P;
  }
  // The spectra's own values, which read back exactly.
  TResampleProposal P{Format("%.17g", From), Format("%.17g", To), Format("%.17g", Step)};
  ORVA_ASSERT(ProposalFits(P, Specs));
  return P;
}

std::string ResampleGridCheck(const TSpec32 &S, const TResampleGrid &G) {
  const int N = S.Size();
  if (N < 2) return ": at least two points are needed to resample";
  double Lo = S.DataX[0], Hi = S.DataX[static_cast<size_t>(N - 1)];
  double First = G.At(0), Last = G.At(G.Count - 1);
  if (!(First >= Lo - G.EndTolerance(Lo)) || !(Last <= Hi + G.EndTolerance(Hi)))
    return Format(": the new grid (%1.6g ... %1.6g) reaches outside the x-range %1.6g ... %1.6g", First, Last,
                  Lo, Hi);
  return std::string();
}

TOpOutcome OpResampleLinear(const TSpec32 &S, const TResampleGrid &G) {
  const int N = S.Size();
  if (std::string C = ResampleGridCheck(S, G); !C.empty()) return OpRefused(C);
  TOpResult R = GridResult(G, "-lin");
  const TDblArr1D &X = S.DataX, &Y = S.DataY;
  int J = 0;
  for (int k = 0; k < G.Count; ++k) {
    // Grid ends within the end tolerance outside the range are taken at the range's end.
    const double V = std::min(std::max(R.X[static_cast<size_t>(k)], X[0]), X[static_cast<size_t>(N - 1)]);
    // The bracketing search goes on from the interval found last; the last interval serves
    // for V = x[n-1].
    if (V < X[static_cast<size_t>(J)]) J = 0;
    while (J < N - 2 && V > X[static_cast<size_t>(J + 1)])
      ++J;
    ORVA_ASSERT(X[static_cast<size_t>(J)] <= V && V <= X[static_cast<size_t>(J + 1)]);
    double T = (V - X[static_cast<size_t>(J)]) / (X[static_cast<size_t>(J + 1)] - X[static_cast<size_t>(J)]);
    R.Y[static_cast<size_t>(k)] =
        Y[static_cast<size_t>(J)] + (Y[static_cast<size_t>(J + 1)] - Y[static_cast<size_t>(J)]) * T;
  }
  R.Equidistant = TestEquidistant(R.X);
  return One(std::move(R));
}

TOpOutcome OpResampleSpline(const TSpec32 &S, const TResampleGrid &G, bool Natural, double DerivLeft,
                            double DerivRight) {
  const int N = S.Size();
  if (std::string C = ResampleGridCheck(S, G); !C.empty()) return OpRefused(C);
  double Yp1 = Natural ? 1e35 : DerivLeft, Ypn = Natural ? 1e35 : DerivRight;
  TDblArr1D Y2 = SplineSetup(S.DataX, S.DataY, N, Yp1, Ypn);
  TOpResult R = GridResult(G, "-spline");
  for (int k = 0; k < G.Count; ++k)
    R.Y[static_cast<size_t>(k)] = SplineValue(
        S.DataX, S.DataY, Y2, N,
        std::min(std::max(R.X[static_cast<size_t>(k)], S.DataX[0]), S.DataX[static_cast<size_t>(N - 1)]));
  R.Equidistant = TestEquidistant(R.X);
  return One(std::move(R));
}

TOpOutcome OpAddZeros(const TSpec32 &S, int Z) {
  if (!S.Equidistant()) return OpRefused(" is not equidistant", true);
  const int N = S.Size();
  if (N < 2) return OpRefused(": a single point has no step to continue");
  const double Step = (S.DataX[static_cast<size_t>(N - 1)] - S.DataX[0]) / (N - 1);
  if (Z == INT32_MIN) OrvaRaise(Format("%d zeros cannot be added", Z));
  const int Count = Z < 0 ? -Z : Z;
  TOpResult R;
  R.History = "-zeros";
  R.X = S.DataX;
  R.Y = S.DataY;
  R.X.resize(static_cast<size_t>(N) + static_cast<size_t>(Count));
  R.Y.resize(static_cast<size_t>(N) + static_cast<size_t>(Count), 0.0);
  for (int k = 1; k <= Count; ++k)
    R.X[static_cast<size_t>(N - 1 + k)] = S.DataX[static_cast<size_t>(N - 1)] + k * Step;
  R.Equidistant = TestEquidistant(R.X);
  return One(std::move(R));
}

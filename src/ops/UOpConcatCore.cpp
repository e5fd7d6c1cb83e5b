#define ORVA_UNIT "UOpConcatCore"
#include "ops/UOpConcatCore.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

namespace {

// Largest difference of paired x-values in a blended stretch.
constexpr double XAgreement = 1e-6;

// Round to the nearest integer, ties to the even one (independent of the FPU rounding mode).
double RoundHalfEven(double V) {
  if (std::fabs(V - std::trunc(V)) == 0.5) return 2.0 * std::round(V / 2.0);
  return std::round(V);
}

double Step(const TSpec32 &S) {
  const size_t N = S.DataX.size();
  return (S.DataX[N - 1] - S.DataX[0]) / static_cast<double>(N - 1);
}

double LastX(const TSpec32 &S) { return S.DataX.back(); }

// Empty when S can be joined at all (equidistant, with a positive finite step).
std::string SpectrumCondition(const TSpec32 &S) {
  if (!S.Equidistant()) return ": x-values not equidistant";
  if (S.Size() == 0 || S.DataX.size() != S.DataY.size() || S.DataX.size() != static_cast<size_t>(S.Size()))
    return ": holds no data points";
  if (S.Size() == 1) return ": a single point has no sampling interval";
  const double H = Step(S);
  if (!std::isfinite(H)) return ": x-values not equidistant";
  if (!(H > 0)) return ": x-values do not increase";
  return std::string();
}

// The blend's refusal: two x-values that should be one grid point are not.
std::string PairMessage(double A, double B) {
  return Format("Unequal sampling phase: x-values %1.12g and %1.12g of the overlap differ by more than 1e-6",
                A, B);
}

} // namespace

bool StepsDiffer(double Eps, double A, double B) {
  if (A == 0 || B == 0) return std::fabs(A - B) > Eps;
  const double E = std::floor(std::log10(std::max(std::fabs(A), std::fabs(B))));
  const double Decade = std::pow(10.0, E);
  return std::fabs(A / Decade - B / Decade) > Eps;
}

std::vector<int> ConcatOrder(const std::vector<const TSpec32 *> &Specs) {
  std::vector<double> Last(Specs.size());
  for (size_t i = 0; i < Specs.size(); ++i)
    Last[i] = LastX(*Specs[i]);
  std::vector<int> Order = IndexSort(static_cast<int>(Last.size()), std::span<const double>(Last));
  // Runs of equal last x: the segment that starts first is joined first (then selection order).
  for (size_t b = 0; b < Order.size();) {
    size_t e = b + 1;
    while (e < Order.size() && Last[static_cast<size_t>(Order[e])] == Last[static_cast<size_t>(Order[b])])
      ++e;
    std::sort(Order.begin() + static_cast<std::ptrdiff_t>(b), Order.begin() + static_cast<std::ptrdiff_t>(e),
              [&](int P, int Q) {
                const double Fp = Specs[static_cast<size_t>(P)]->DataX[0];
                const double Fq = Specs[static_cast<size_t>(Q)]->DataX[0];
                return Fp != Fq ? Fp < Fq : P < Q;
              });
    b = e;
  }
  return Order;
}

TOpOutcome OpConcatenate(const std::vector<const TSpec32 *> &Specs, TConcatMethod Method,
                         double SizePercent) {
  ORVA_ASSERT(!Specs.empty());
  const double P = SizePercent / 100;
  // Outside 0 ... 100 % the blended stretch would reach beyond the overlap (or be empty).
  if (!(P >= 0 && P <= 1)) return OpRefused("Relative size of overlapping region must lie within 0 - 100%");

  for (const TSpec32 *S : Specs)
    if (std::string Why = SpectrumCondition(*S); !Why.empty()) return OpRefused(S->FileName() + Why);

  const double H = Step(*Specs[0]);
  for (size_t i = 1; i < Specs.size(); ++i)
    if (StepsDiffer(1e-6, Step(*Specs[i]), H)) return OpRefused("Unequal sampling interval");

  const std::vector<int> Order = ConcatOrder(Specs);
  std::vector<const TSpec32 *> Sorted;
  for (int i : Order)
    Sorted.push_back(Specs[static_cast<size_t>(i)]);

  // The phase is tested in selection order: neighbours there must lie on one grid.
  for (size_t i = 1; i < Specs.size(); ++i) {
    const double T = std::fabs((Specs[i]->DataX[0] - Specs[i - 1]->DataX[0]) / H);
    if (!(std::fabs(T - std::round(T)) <= 1e-4)) return OpRefused("Unequal sampling phase");
  }

  // Touching ends count as one shared point.
  for (size_t k = 1; k < Sorted.size(); ++k) {
    const double First = Sorted[k]->DataX[0], PrevLast = LastX(*Sorted[k - 1]);
    if (First > PrevLast && StepsDiffer(1e-6, First, PrevLast)) return OpRefused("Spectra do not overlap");
  }

  size_t Total = 0;
  for (const TSpec32 *S : Specs)
    Total += S->DataX.size();
  TOpResult R;
  R.History.clear();
  R.Equidistant = true;
  TDblArr1D &X = R.X, &Y = R.Y;
  X.reserve(Total);
  Y.reserve(Total);
  X = Sorted[0]->DataX;
  Y = Sorted[0]->DataY;

  for (size_t k = 1; k < Sorted.size(); ++k) {
    const TSpec32 &S = *Sorted[k];
    const TDblArr1D &Sx = S.DataX, &Sy = S.DataY;
    const double M = static_cast<double>(Sx.size());
    const double Len = static_cast<double>(X.size());
    // Grid positions, computed in floating point and clamped before they become indices.
    const double Id = std::max(RoundHalfEven((Sx[0] - X[0]) / H), 0.0);
    const double Ld = std::min(RoundHalfEven((Sx.back() - X[0]) / H), Len - 1);
    const double Nd = std::max(RoundHalfEven((X[0] - Sx[0]) / H), 0.0);
    const double Qd = std::min(RoundHalfEven((X.back() - Sx[0]) / H), Len - 1);
    // A segment reaching before the accumulated result ends at or after its end too (the
    // segments are joined by ascending last x): it covers everything joined so far, and its
    // points before X[0] would have nowhere to go.
    if (Nd > 0)
      return OpRefused("One spectrum covers another entirely: its points before the others would be lost");
    // Within the tolerance of the overlap test a segment may still begin one grid point past
    // the end: then there is no shared point to blend.
    if (Id > Ld) return OpRefused("Spectra do not overlap");
    const int I = static_cast<int>(Id), L = static_cast<int>(Ld), N = static_cast<int>(Nd),
              Q = static_cast<int>(Qd);
    // Steps that differ within the accepted tolerance still drift apart over a long stretch: the
    // overlap then counts a different number of points on the two grids, or reaches past the
    // segment's end. The paired x-values where the two counts part no longer agree, which is
    // what the blend reports.
    if (L - I != Q - N || Q > static_cast<int>(M) - 1) {
      const int K = std::max(std::min({L - I, Q - N, static_cast<int>(M) - 1 - N}), 0);
      return OpRefused(PairMessage(X[static_cast<size_t>(I + K)], Sx[static_cast<size_t>(N + K)]));
    }
    const int Lo = static_cast<int>(RoundHalfEven((1 - P) * (L - I) * 0.5));
    const int C = (L - I) - 2 * Lo + 1;
    ORVA_ASSERT(C >= 1);
    ORVA_ASSERT(I + Lo >= 0 && I + Lo + C <= static_cast<int>(Len));
    ORVA_ASSERT(N + Lo >= 0 && N + Lo + C <= static_cast<int>(M));
    const bool Weighted = Method == TConcatMethod::Weighted && C >= 2;
    for (int j = 0; j < C; ++j) {
      const size_t Ix = static_cast<size_t>(I + Lo + j), Is = static_cast<size_t>(N + Lo + j);
      const double A = X[Ix], B = Sx[Is];
      if (!(std::fabs(A - B) <= XAgreement)) return OpRefused(PairMessage(A, B));
      if (Weighted) {
        const double W = static_cast<double>(j) / (C - 1);
        X[Ix] = (1 - W) * A + W * B;
        Y[Ix] = (1 - W) * Y[Ix] + W * Sy[Is];
      } else {
        X[Ix] = (A + B) / 2;
        Y[Ix] = (Y[Ix] + Sy[Is]) / 2;
      }
    }
    // The accumulated points after the blended stretch give way to the segment's own.
    const size_t Keep = static_cast<size_t>(I + Lo + C);
    X.resize(Keep);
    Y.resize(Keep);
    const size_t From = static_cast<size_t>(Q - Lo + 1);
    ORVA_ASSERT(From <= Sx.size());
    X.insert(X.end(), Sx.begin() + static_cast<std::ptrdiff_t>(From), Sx.end());
    Y.insert(Y.end(), Sy.begin() + static_cast<std::ptrdiff_t>(From), Sy.end());
  }

  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

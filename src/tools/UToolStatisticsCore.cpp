#include "tools/UToolStatisticsCore.h"

#include <cmath>
#include <vector>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "numeric/UStraightLine.h"
#include "tools/UToolRangeCore.h"

#define ORVA_UNIT "UToolStatisticsCore"

std::optional<double> RunsTest(std::span<const double> Y, double Threshold) {
  const size_t N = Y.size();
  if (N < 2) return std::nullopt;
  double P = 0;
  double Runs = 1;
  bool Prev = Y[0] >= Threshold;
  for (size_t i = 0; i < N; ++i) {
    const bool Up = Y[i] >= Threshold;
    if (Up) P += 1;
    if (i > 0 && Up != Prev) Runs += 1;
    Prev = Up;
  }
  const double Nd = static_cast<double>(N);
  const double Q = Nd - P;
  const double Mu = 2 * P * Q / Nd + 1;
  const double Var = (Mu - 1) * (Mu - 2) / (Nd - 1);
  if (!(Var > 0)) return std::nullopt;
  const double Z = (Runs - Mu) / std::sqrt(Var);
  if (!std::isfinite(Z)) return std::nullopt;
  return Z;
}

TStatisticsResult ToolStatistics(std::span<const double> X, std::span<const double> Y, int Ind0,
                                 bool Equidistant) {
  ORVA_ASSERT(!Y.empty() && X.size() == Y.size());
  const int N = static_cast<int>(Y.size());
  const size_t n = Y.size();
  TStatisticsResult R;
  R.N = N;
  R.Ind0 = Ind0;
  R.Ind1 = Ind0 + N - 1;
  R.Range = X[n - 1] - X[0];

  double S = 0, Sxy = 0;
  for (size_t i = 0; i < n; ++i) {
    S += Y[i];
    Sxy += X[i] * Y[i];
  }
  R.Sum = S;

  if (N >= 3) {
    if (Equidistant) {
      R.Integral = (X[n - 1] - X[0]) / (N - 1) * S;
    } else {
      // Each sample weighted by the width of its own bin; the end samples by the full distance
      // to their neighbour.
      double I = (X[1] - X[0]) * Y[0] + (X[n - 1] - X[n - 2]) * Y[n - 1];
      for (size_t i = 1; i + 1 < n; ++i)
        I += 0.5 * (X[i + 1] - X[i - 1]) * Y[i];
      R.Integral = I;
    }
  }

  const double M = S / N;
  R.Average = M;
  if (S != 0) R.Cog = Sxy / S;

  double Sd = 0;
  if (N >= 2) {
    double Q = 0;
    for (size_t i = 0; i < n; ++i)
      Q += (Y[i] - M) * (Y[i] - M);
    Sd = std::sqrt(Q / (N - 1));
    R.Sd = Sd;
  }
  if (Sd > 0) R.SN = M / Sd;

  if (N > 3) {
    const TStraightLineFit F = FitStraightLine(N, X, Y);
    if (F.s > 0) R.SNTrend = M / F.s;
  }

  if (N > 1) {
    double W = (X[1] - X[0]) * (1 - Y[0]) / 2 + (X[n - 1] - X[n - 2]) * (1 - Y[n - 1]) / 2;
    for (size_t i = 0; i + 1 < n; ++i)
      W += (X[i + 1] - X[i]) * (1 - (Y[i] + Y[i + 1]) / 2);
    R.EW = W;
  }

  // With a single sample it is both extremes, at position 0.
  R.Min = R.Max = Y[0];
  for (size_t i = 1; i < n; ++i) {
    if (Y[i] < R.Min) {
      R.Min = Y[i];
      R.MinAt = static_cast<int>(i);
    }
    if (Y[i] > R.Max) {
      R.Max = Y[i];
      R.MaxAt = static_cast<int>(i);
    }
  }

  std::vector<double> Copy(Y.begin(), Y.end());
  R.Median = SelectKth(N / 2 + 1, N, Copy);

  R.RunsAverage = RunsTest(Y, M);
  R.RunsMedian = RunsTest(Y, R.Median);
  return R;
}

namespace {

std::string Text(const char *Fmt, const std::optional<double> &V) {
  return V ? Format(Fmt, *V) : std::string();
}

} // namespace

TStatisticsTexts StatisticsTexts(const TStatisticsResult &R) {
  const char *G = "%1.5g";
  TStatisticsTexts T;
  T.NArr = SelectionText(R.N, R.Ind0, R.Ind1);
  T.Range = Format(G, R.Range);
  T.Sum = Format(G, R.Sum);
  T.Integral = Text(G, R.Integral);
  T.Average = Format(G, R.Average);
  T.Cog = Text("%1.3f", R.Cog);
  T.Sd = Text(G, R.Sd);
  T.SN = Text(G, R.SN);
  T.SNTrend = Text(G, R.SNTrend);
  T.EW = Text(G, R.EW);
  T.Min = Format(G, R.Min);
  T.MinAt = Format("at I = %1d", R.MinAt);
  T.Max = Format(G, R.Max);
  T.MaxAt = Format("at I = %1d", R.MaxAt);
  T.Median = Format(G, R.Median);
  T.RunsAverage = Text("%1.3f", R.RunsAverage);
  T.RunsMedian = Text("%1.3f", R.RunsMedian);
  return T;
}

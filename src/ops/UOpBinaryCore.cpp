#include "ops/UOpBinaryCore.h"

#include <cmath>

#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UOpBinaryCore"

namespace {

TOpOutcome One(TOpResult R) {
  TOpOutcome O;
  O.Results.push_back(std::move(R));
  return O;
}

bool IsFourier(TPairOp Op) {
  return Op == TPairOp::CrossCorrelate || Op == TPairOp::Convolve || Op == TPairOp::DeConvolve;
}

const char *EachSuffix(TPairOp Op) {
  switch (Op) {
  case TPairOp::Add:
    return "-add";
  case TPairOp::Subtract:
    return "-sub";
  case TPairOp::Multiply:
    return "-mul";
  case TPairOp::Divide:
    return "-div";
  case TPairOp::CrossCorrelate:
    return "-cc";
  case TPairOp::Convolve:
    return "-cnv";
  case TPairOp::DeConvolve:
    return "-dcn";
  }
  return "";
}

} // namespace

double PowerOf(double Y, double R) {
  if (R == std::trunc(R) && std::fabs(R) <= 64) {
    // Repeated multiplication, as the operation is defined for integral powers.
    int K = static_cast<int>(std::fabs(R));
    double P = 1;
    for (int i = 0; i < K; ++i)
      P *= Y;
    return R < 0 ? 1.0 / P : P;
  }
  // Larger integral powers by the library (the same value to rounding, and a negative base
  // stays allowed); a non-integral power of a negative base is NaN.
  return std::pow(Y, R);
}

TOpOutcome OpNumber(const TSpec32 &S, TNumberOp Op, double R) {
  static const char *const Suffix[] = {"-add", "-mul", "-div", "-pow", "-clip", "-clip"};
  TOpResult Res;
  Res.History = Suffix[static_cast<int>(Op)];
  Res.Equidistant = S.Equidistant();
  Res.X = S.DataX;
  Res.Y.resize(S.DataY.size());
  for (size_t i = 0; i < S.DataY.size(); ++i) {
    double Y = S.DataY[i], V = 0;
    switch (Op) {
    case TNumberOp::Add:
      V = Y + R;
      break;
    case TNumberOp::Multiply:
      V = Y * R;
      break;
    case TNumberOp::Divide:
      V = Y / R;
      break;
    case TNumberOp::Power:
      V = PowerOf(Y, R);
      break;
    case TNumberOp::ClipBelow:
      V = Y > R ? Y : R;
      break;
    case TNumberOp::ClipAbove:
      V = Y >= R ? R : Y;
      break;
    }
    Res.Y[i] = V;
  }
  return One(std::move(Res));
}

TOpOutcome OpLog10(const TSpec32 &S) {
  TOpResult Res;
  Res.History = "-log10";
  Res.Equidistant = S.Equidistant();
  Res.X = S.DataX;
  Res.Y.resize(S.DataY.size());
  for (size_t i = 0; i < S.DataY.size(); ++i) {
    double V = S.DataY[i] + 1 > 1 ? S.DataY[i] + 1 : 1;
    Res.Y[i] = std::log10(V);
  }
  return One(std::move(Res));
}

TOpResult PairPointwise(const TSpec32 &A, const TSpec32 &B, TPairOp Op, const std::string &History) {
  ORVA_ASSERT(!IsFourier(Op));
  const size_t N = static_cast<size_t>(A.Size());
  if (B.DataY.size() < N) OrvaRaise("Number of data points differ");
  TOpResult R;
  R.History = History;
  R.Equidistant = A.Equidistant();
  R.X = A.DataX;
  R.Y.resize(N);
  for (size_t i = 0; i < N; ++i) {
    double a = A.DataY[i], b = B.DataY[i];
    R.Y[i] = Op == TPairOp::Add        ? a + b
             : Op == TPairOp::Subtract ? a - b
             : Op == TPairOp::Multiply ? a * b
                                       : a / b;
  }
  return R;
}

TOpResult PairFourier(const TSpec32 &A, const TSpec32 &B, TPairOp Op, const std::string &History) {
  ORVA_ASSERT(IsFourier(Op));
  const int n = A.Size();
  if (B.Size() < n) OrvaRaise(B.FileName() + " has fewer points than " + A.FileName());
  TOpResult R;
  R.History = History;
  R.Equidistant = A.Equidistant();
  if (Op == TPairOp::CrossCorrelate) {
    int N = 1;
    while (N < n)
      N *= 2;
    const int H = N / 2;
    auto Standardised = [&](const TDblArr1D &Y) {
      double M = 0;
      for (int k = 0; k < n; ++k)
        M += Y[static_cast<size_t>(k)];
      M /= n;
      double Q = 0;
      for (int k = 0; k < n; ++k)
        Q += (Y[static_cast<size_t>(k)] - M) * (Y[static_cast<size_t>(k)] - M);
      const double Sd = std::sqrt(Q / (n - 2));
      std::vector<double> C(2 * static_cast<size_t>(N), 0.0);
      for (int k = 0; k < N; ++k)
        C[2 * static_cast<size_t>(k)] = ((k < n ? Y[static_cast<size_t>(k)] : 0.0) - M) / Sd;
      return C;
    };
    std::vector<double> Ca = Standardised(A.DataY), Cb = Standardised(B.DataY);
    Fourier1D(N, Ca, +1);
    Fourier1D(N, Cb, +1);
    for (int k = 0; k < N; ++k) {
      double ar = Ca[2 * k], ai = Ca[2 * k + 1], br = Cb[2 * k], bi = -Cb[2 * k + 1];
      Ca[2 * k] = (ar * br - ai * bi) / N;
      Ca[2 * k + 1] = (ar * bi + ai * br) / N;
    }
    Fourier1D(N, Ca, -1);
    const double Step = n > 1 ? (A.DataX[static_cast<size_t>(n - 1)] - A.DataX[0]) / (n - 1) : 0.0;
    R.X.resize(static_cast<size_t>(N));
    R.Y.resize(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
      R.X[static_cast<size_t>(i)] = (i - H) * Step;
      R.Y[static_cast<size_t>(i)] = Ca[2 * static_cast<size_t>((H + i) % N)];
    }
    return R;
  }
  // Convolution and deconvolution: circular, on n points, no padding and no mean removal.
  std::vector<double> Ca(2 * static_cast<size_t>(n), 0.0), Cb(2 * static_cast<size_t>(n), 0.0);
  for (int k = 0; k < n; ++k) {
    Ca[2 * static_cast<size_t>(k)] = A.DataY[static_cast<size_t>(k)];
    Cb[2 * static_cast<size_t>(k)] = B.DataY[static_cast<size_t>(k)];
  }
  Fourier1D(n, Ca, +1);
  Fourier1D(n, Cb, +1);
  for (int k = 0; k < n; ++k) {
    double ar = Ca[2 * k], ai = Ca[2 * k + 1], br = Cb[2 * k], bi = Cb[2 * k + 1];
    if (Op == TPairOp::Convolve) {
      Ca[2 * k] = (ar * br - ai * bi) / n;
      Ca[2 * k + 1] = (ar * bi + ai * br) / n;
    } else {
      double Q = br * br + bi * bi; // A conj(B) / |B|^2 = A / B
      Ca[2 * k] = (ar * br + ai * bi) / Q / n;
      Ca[2 * k + 1] = (ai * br - ar * bi) / Q / n;
    }
  }
  Fourier1D(n, Ca, -1);
  R.X.resize(static_cast<size_t>(n));
  R.Y.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    R.X[static_cast<size_t>(i)] = i;
    R.Y[static_cast<size_t>(i)] = Ca[2 * static_cast<size_t>((n / 2 + i) % n)];
  }
  return R;
}

TOpOutcome OpPair(const TSpec32 &S1, const TSpec32 &S2, TPairOp Op) {
  if (!IsFourier(Op)) {
    std::string Msg;
    if (!S1.CompareXValues(S2, Msg)) return OpRefused(Msg);
    return One(PairPointwise(S1, S2, Op, ""));
  }
  if (!S1.Equidistant()) return OpRefused("X-values not equidistant");
  if (Op != TPairOp::CrossCorrelate && !IsPowerOf2(S1.Size()))
    return OpRefused("Number of points not a power of 2");
  return One(PairFourier(S1, S2, Op, ""));
}

std::string OpEachCheck(const std::vector<const TSpec32 *> &Left, const TSpec32 &B, TPairOp Op) {
  for (const TSpec32 *A : Left) {
    std::string Msg;
    if (!A->CompareXValues(B, Msg)) return A->FileName() + ", " + B.FileName() + ": " + Msg;
  }
  if (Op == TPairOp::Convolve || Op == TPairOp::DeConvolve) {
    if (!B.Equidistant()) return "x-values are not equidistant";
    if (!IsPowerOf2(B.Size())) return "Number of points not a power of 2";
  }
  return std::string();
}

TOpResult OpEachResult(const TSpec32 &A, const TSpec32 &B, TPairOp Op) {
  return IsFourier(Op) ? PairFourier(A, B, Op, EachSuffix(Op)) : PairPointwise(A, B, Op, EachSuffix(Op));
}


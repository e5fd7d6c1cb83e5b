#include "tools/UToolSmoothSplineCore.h"

#include "UVersion.h"
#include "Units/UNumRec.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/USpec32.h"

#define ORVA_UNIT "UToolSmoothSplineCore"

double ToleranceFraction(TSplineTolerance T) {
  switch (T) {
  case TSplineTolerance::Tenth:
    return 0.001;
  case TSplineTolerance::One:
    return 0.01;
  case TSplineTolerance::Ten:
    return 0.1;
  }
  OrvaAssertFail(ORVA_UNIT, __LINE__);
}

double SplineParam(int Pos, double Guess) { return static_cast<double>(Pos) / SplineSliderMax * Guess; }

TSliderAction SliderChanged(int Pos, int &LastPos, double Guess) {
  if (Pos == LastPos) return TSliderAction::Ignore;
  LastPos = Pos;
  return Guess != 0 ? TSliderAction::Compute : TSliderAction::NeedGuess;
}

TSplineKnots SplineKnots(TSplineMethod Method, std::span<const double> X, std::span<const double> Y,
                         const std::vector<bool> &Sel) {
  const size_t N = Sel.size();
  ORVA_ASSERT(X.size() >= N && Y.size() >= N);
  TSplineKnots K;
  K.X.reserve(N);
  K.Y.reserve(N);
  switch (Method) {
  case TSplineMethod::Method1:
    for (size_t i = 0; i < N; ++i)
      if (Sel[i]) {
        K.X.push_back(X[i]);
        K.Y.push_back(Y[i]);
      }
    break;
  case TSplineMethod::Method2: {
    // G: the last marked sample seen; a gap after it is bridged when the next marked sample
    // comes (so trailing unmarked samples are not), and only from a sample of index 1 or more.
    size_t G = 0;
    bool Seen = false;
    for (size_t i = 0; i < N; ++i) {
      if (!Sel[i]) continue;
      if (Seen && G >= 1 && i > G + 1) {
        const double Slope = (Y[i] - Y[G]) / (X[i] - X[G]);
        for (size_t k = G + 1; k < i; ++k) {
          K.X.push_back(X[k]);
          K.Y.push_back(Y[G] + Slope * (X[k] - X[G]));
        }
      }
      K.X.push_back(X[i]);
      K.Y.push_back(Y[i]);
      G = i;
      Seen = true;
    }
    break;
  }
  case TSplineMethod::Method3:
    for (size_t i = 0; i < N;) {
      if (!Sel[i]) {
        ++i;
        continue;
      }
      double Sx = 0, Sy = 0;
      size_t Count = 0;
      for (; i < N && Sel[i]; ++i, ++Count) {
        Sx += X[i];
        Sy += Y[i];
      }
      K.X.push_back(Sx / static_cast<double>(Count));
      K.Y.push_back(Sy / static_cast<double>(Count));
    }
    break;
  default:
    OrvaAssertFail(ORVA_UNIT, __LINE__);
  }
  return K;
}

TSplineGuess GuessMaxParameter(std::span<const double> Y, const std::vector<bool> &Sel, TSplineTolerance T) {
  ORVA_ASSERT(Y.size() >= Sel.size());
  TDblArr1D V;
  for (size_t i = 0; i < Sel.size(); ++i)
    if (Sel[i]) V.push_back(Y[i]);
  TSplineGuess G;
  const int K = static_cast<int>(V.size());
  if (K <= 4) {
    G.Info = SplineMsgGuessMore;
    return G;
  }
  const double M = SelectKth(K / 2 + 1, K, V);
  const double Tm = ToleranceFraction(T) * M;
  G.Guess = Tm * Tm * K;
  return G;
}

TSmoothSplineData::TSmoothSplineData(int N)
    : pN(N), pSelProf(std::make_shared<std::vector<bool>>(static_cast<size_t>(N), false)),
      pSmoProf(std::make_shared<TDblArr1D>(static_cast<size_t>(N), 0.0)) {
  ORVA_ASSERT(N >= 0);
}

void TSmoothSplineData::MarkInterval(int Ind0, int Ind1, bool Add) {
  ORVA_ASSERT(0 <= Ind0 && Ind0 <= Ind1 && Ind1 < pN);
  std::vector<bool> &Sel = *pSelProf;
  for (int i = Ind0; i <= Ind1; ++i)
    Sel[static_cast<size_t>(i)] = Add;
}

void TSmoothSplineData::SelectAll() { pSelProf->assign(static_cast<size_t>(pN), true); }

void TSmoothSplineData::ClearAll() { pSelProf->assign(static_cast<size_t>(pN), false); }

TSplineOutcome TSmoothSplineData::Compute(const TSpec32 &S, TSplineMethod Method, double Param) {
  ORVA_ASSERT(S.Size() == pN);
  TSplineOutcome O;
  O.Param = Param;
  const TSplineKnots K = SplineKnots(Method, S.DataX, S.DataY, *pSelProf);
  O.Knots = static_cast<int>(K.X.size());
  if (K.X.empty()) {
    O.Error = SplineMsgSelectPoints;
    return O;
  }
  if (K.X.size() < 5) {
    O.Error = SplineMsgSelectMore;
    return O;
  }
  const TSmoothSplineFit F = SmoothSpline(K.X, K.Y, {}, Param, &pWork);
  O.P = F.P;
  O.Sfq = F.Sfq;
  O.Steps = F.Steps;
  if (!F.Reached) O.Notice = SplineMsgNotReached;
  F.Evaluate(std::span<const double>(S.DataX).first(static_cast<size_t>(pN)), *pSmoProf);
  pHasSpline = true;
  return O;
}

TToolOutcome TSmoothSplineData::StoreSpline(const TSpec32 &S) const {
  ORVA_ASSERT(S.Size() == pN);
  TToolOutcome O;
  O.Result.History = "-smooth";
  O.Result.X.assign(S.DataX.begin(), S.DataX.begin() + pN);
  O.Result.Y = *pSmoProf;
  O.Result.Equidistant = S.IsEquidistant();
  return O;
}

TToolOutcome TSmoothSplineData::StoreContinuum(const TSpec32 &S) const {
  ORVA_ASSERT(S.Size() == pN);
  TToolOutcome O;
  const TDblArr1D &Smo = *pSmoProf;
  TDblArr1D Y(static_cast<size_t>(pN));
  for (size_t i = 0; i < Y.size(); ++i) {
    if (Smo[i] == 0) {
      O.Error = SplineMsgDivision;
      return O;
    }
    Y[i] = S.DataY[i] / Smo[i];
  }
  O.Result.History = "-cont";
  O.Result.X.assign(S.DataX.begin(), S.DataX.begin() + pN);
  O.Result.Y = std::move(Y);
  O.Result.Equidistant = S.IsEquidistant();
  return O;
}

void SetContinuumNormKey(TFitsBess &H) { H.SetBSS_NORM(std::string("Orvalumetrix ") + ORVA_VERSION); }

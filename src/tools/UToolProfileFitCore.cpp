#include "tools/UToolProfileFitCore.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Units/UVoigt.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "numeric/UNrFit.h"

#define ORVA_UNIT "UToolProfileFitCore"

namespace {

constexpr double SqrtPi = 1.7724538509055160273;       // sqrt(pi)
constexpr double GaussFwhmFactor = 2.3548200450309493; // 2 sqrt(2 ln 2)
constexpr int MaxSteps = 200;

// H(a, 0) = exp(a^2) erfc(a), the Voigt function's peak, and its derivative by a.
double VoigtPeak(double a) { return Voigt(0.0, a); }
double VoigtPeakDa(double a) { return 2.0 * a * VoigtPeak(a) - 2.0 / SqrtPi; }

// Steps of the central differences of the Voigt function: its values carry the integration's
// relative accuracy of 1e-7, so steps of 1e-3 keep the derivatives' noise near 1e-4.
constexpr double VStep = 1e-3;
double AStep(double a) { return 1e-3 * std::max(a, 1e-2); }

// dH/da at (a, v) by central differences (one-sided where a - h would leave a > 0).
double VoigtDa(double a, double v) {
  const double H = AStep(a);
  if (a - H <= 0.0) return (Voigt(v, a + H) - Voigt(v, a)) / H;
  return (Voigt(v, a + H) - Voigt(v, a - H)) / (2.0 * H);
}

// The profile P (peak 1) and its derivatives by the centre, the width and the damping, with
// Y = A P. Widths and damping enter by their absolute values, so a step through zero mirrors
// the profile instead of leaving the model's domain.
struct TProfileModel {
  TProfileShape Shape;
  int NPar() const { return Shape == TProfileShape::Gauss ? 3 : 4; }

  void Eval(double X, TNrConstVector P, double &Y, TNrVector Dyda) const {
    const double A = P[1], X0 = P[2], WSign = P[3] < 0 ? -1.0 : 1.0, W = std::fabs(P[3]);
    if (Shape == TProfileShape::Gauss) {
      const double U = (X - X0) / W, E = std::exp(-0.5 * U * U);
      Y = A * E;
      Dyda[1] = E;
      Dyda[2] = A * E * U / W;
      Dyda[3] = WSign * A * E * U * U / W;
      return;
    }
    const double ASign = P[4] < 0 ? -1.0 : 1.0, Da = std::fabs(P[4]);
    const double V = (X - X0) / W, H0 = VoigtPeak(Da), H = Voigt(V, Da);
    const double DHdv = (Voigt(V + VStep, Da) - Voigt(V - VStep, Da)) / (2.0 * VStep);
    // With w = H + iL the Faddeeva function, dH/dv = -2vH + 2aL and dH/da = 2aH + 2vL - 2/sqrt(pi):
    // L from the first gives dH/da without two more integrals. For small a the division would
    // magnify the differences' noise, so there dH/da is differenced itself.
    double DHda = 0.0;
    if (Da >= 0.1) {
      const double L = (DHdv + 2.0 * V * H) / (2.0 * Da);
      DHda = 2.0 * Da * H + 2.0 * V * L - 2.0 / SqrtPi;
    } else {
      DHda = VoigtDa(Da, V);
    }
    Y = A * H / H0;
    Dyda[1] = H / H0;
    Dyda[2] = -A * DHdv / (H0 * W);
    Dyda[3] = -WSign * A * DHdv * V / (H0 * W);
    Dyda[4] = ASign * A * (DHda / H0 - H * VoigtPeakDa(Da) / (H0 * H0));
  }
};

struct TLmOutcome {
  bool Converged = false;
  int Steps = 0;
  double Chisq = 0;
  std::vector<std::vector<double>> Covar; // NPar x NPar, 0-based
};

// Levenberg-Marquardt on the deviations R from the baseline with unit weights. Converged when two
// steps taken in a row lower chi^2 insignificantly, or when no step lowers it any more (lambda
// grown beyond 1e10: the minimum is reached to rounding).
TLmOutcome RunFit(std::span<const double> X, std::span<const double> R, const TProfileModel &Model,
                  std::vector<double> &Par) {
  const int N = static_cast<int>(X.size()), Ma = Model.NPar();
  std::vector<double> Sig(X.size(), 1.0);
  std::vector<int> Ia(static_cast<size_t>(Ma), 1);
  TNrMatrixStore Covar(Ma, Ma), Alpha(Ma, Ma);
  TNrConstVector XV(X.data(), N), RV(R.data(), N), SigV(Sig.data(), N);
  TNrVector AV(Par.data(), Ma);
  TNrIntVector IaV(Ia.data(), Ma);
  auto Funcs = [&Model](double Xv, TNrConstVector A, double &Yv, TNrVector Dyda, int) {
    Model.Eval(Xv, A, Yv, Dyda);
  };
  TLmOutcome Out;
  double Alamda = -1.0, Chisq = 0.0;
  const int Dof = std::max(N - Ma, 1);
  int Small = 0;
  dmrqmin(XV, RV, SigV, N, AV, IaV, Ma, Covar.View(), Alpha.View(), Chisq, Funcs, Alamda);
  while (Out.Steps < MaxSteps) {
    const double ChiBefore = Chisq, LambdaBefore = Alamda;
    dmrqmin(XV, RV, SigV, N, AV, IaV, Ma, Covar.View(), Alpha.View(), Chisq, Funcs, Alamda);
    ++Out.Steps;
    if (Alamda < LambdaBefore) {
      // chi^2 / dof estimates the samples' variance s^2; a decrease below 1e-4 s^2 moves the
      // parameters by about a hundredth of their errors. Two such steps in a row end the fit.
      Small = ChiBefore - Chisq < 1e-4 * Chisq / Dof ? Small + 1 : 0;
      if (Small >= 2) {
        Out.Converged = true;
        break;
      }
    } else if (Alamda > 1e10 || Chisq == 0.0) {
      Out.Converged = true;
      break;
    }
  }
  Alamda = 0.0;
  dmrqmin(XV, RV, SigV, N, AV, IaV, Ma, Covar.View(), Alpha.View(), Chisq, Funcs, Alamda);
  Out.Chisq = Chisq;
  Out.Covar.assign(static_cast<size_t>(Ma), std::vector<double>(static_cast<size_t>(Ma)));
  for (int I = 1; I <= Ma; ++I)
    for (int J = 1; J <= Ma; ++J)
      Out.Covar[static_cast<size_t>(I - 1)][static_cast<size_t>(J - 1)] = Covar.At(I, J);
  return Out;
}

// sqrt(G C G^T) for the gradient G of a derived quantity.
double Propagate(const std::vector<std::vector<double>> &C, const std::vector<double> &G) {
  double S = 0.0;
  for (size_t I = 0; I < G.size(); ++I)
    for (size_t J = 0; J < G.size(); ++J)
      S += G[I] * C[I][J] * G[J];
  return std::sqrt(std::max(S, 0.0));
}

TProfileFitResult Failed(TProfileFitResult R, std::string Msg) {
  R.Error = std::move(Msg);
  return R;
}

} // namespace

std::optional<TFitBaseline> BaselineThrough(const TBaselinePoint &Left, const TBaselinePoint &Right) {
  if (Left.X == Right.X) return std::nullopt;
  return TFitBaseline{Left.X, Left.Y, (Right.Y - Left.Y) / (Right.X - Left.X)};
}

int ProfileFitMinPoints(TProfileShape Shape) { return Shape == TProfileShape::Gauss ? 5 : 6; }

std::string ProfileFitTooFewText(TProfileShape Shape) {
  return Format("Select at least %1d points!", ProfileFitMinPoints(Shape));
}

double VoigtFwhm(double a) {
  a = std::fabs(a);
  const double Half = 0.5 * VoigtPeak(a);
  // Bracket the half-maximum point, then bisect; H falls monotonically with |v|.
  double Lo = 0.0, Hi = 1.0;
  for (int I = 0; I < 60 && Voigt(Hi, a) > Half; ++I) {
    Lo = Hi;
    Hi *= 2.0;
  }
  for (int I = 0; I < 100 && Hi - Lo > 1e-13 * Hi; ++I) {
    const double Mid = 0.5 * (Lo + Hi);
    (Voigt(Mid, a) > Half ? Lo : Hi) = Mid;
  }
  return Lo + Hi; // twice the midpoint
}

TProfileFitResult ToolProfileFit(std::span<const double> X, std::span<const double> Y, TProfileShape Shape,
                                 const TFitBaseline &Baseline) {
  ORVA_ASSERT(X.size() == Y.size());
  TProfileFitResult Res;
  Res.Shape = Shape;
  Res.N = static_cast<int>(X.size());
  if (Res.N < ProfileFitMinPoints(Shape)) return Failed(Res, ProfileFitTooFewText(Shape));
  const size_t N = X.size();

  std::vector<double> R(N);
  double Sum = 0.0;
  for (size_t I = 0; I < N; ++I) {
    R[I] = Y[I] - Baseline.Value(X[I]);
    Sum += R[I];
  }
  // Start values from the largest deviation in the line's direction and its half-maximum width.
  const double S = Sum < 0 ? -1.0 : 1.0;
  size_t K = 0;
  for (size_t I = 1; I < N; ++I)
    if (S * R[I] > S * R[K]) K = I;
  if (!(S * R[K] > 0.0)) return Failed(Res, ProfNoLineText);
  size_t L = K, Rt = K;
  while (L > 0 && S * R[L] > 0.5 * S * R[K])
    --L;
  while (Rt + 1 < N && S * R[Rt] > 0.5 * S * R[K])
    ++Rt;
  double Fw = X[Rt] - X[L];
  if (!(Fw > 0.0)) Fw = 0.25 * (X[N - 1] - X[0]);
  if (!(Fw > 0.0)) return Failed(Res, ProfNoLineText);

  std::vector<double> Par = {R[K], X[K], Fw / GaussFwhmFactor};
  TLmOutcome Fit;
  try {
    Fit = RunFit(X, R, TProfileModel{TProfileShape::Gauss}, Par);
    if (Shape == TProfileShape::Voigt && Fit.Converged) {
      // The Voigt fit starts with a = 0.5 and the Doppler width that keeps the Gaussian's FWHM.
      const double A0 = 0.5, GaussFw = GaussFwhmFactor * std::fabs(Par[2]);
      Par = {Par[0], Par[1], GaussFw / VoigtFwhm(A0), A0};
      Fit = RunFit(X, R, TProfileModel{TProfileShape::Voigt}, Par);
    }
  } catch (const EOrvaError &E) {
    // A singular curvature matrix: the data do not determine the profile.
    return Failed(Res, std::string(ProfNoConvergenceText) + " (" + E.what() + ")");
  }
  Res.Iterations = Fit.Steps;
  if (!Fit.Converged) return Failed(Res, ProfNoConvergenceText);

  const int Ma = static_cast<int>(Par.size());
  const int Dof = Res.N - Ma;
  const double Var = Dof > 0 ? Fit.Chisq / Dof : 0.0;
  std::vector<std::vector<double>> C = Fit.Covar;
  for (auto &Row : C)
    for (double &V : Row)
      V *= Var;
  auto Err = [&C](int I) {
    return std::sqrt(std::max(C[static_cast<size_t>(I)][static_cast<size_t>(I)], 0.0));
  };

  Res.Amplitude = Par[0];
  Res.AmplitudeErr = Err(0);
  Res.Centre = Par[1];
  Res.CentreErr = Err(1);
  Res.Width = std::fabs(Par[2]);
  Res.WidthErr = Err(2);
  Res.RmsResiduals = std::sqrt(Fit.Chisq / Res.N);
  if (!(Res.Centre >= X[0] && Res.Centre <= X[N - 1])) return Failed(Res, ProfCentreOutsideText);

  // Gradients of the derived quantities by (A, x0, width[, a]).
  std::vector<double> GArea(static_cast<size_t>(Ma), 0.0), GFwhm(static_cast<size_t>(Ma), 0.0);
  if (Shape == TProfileShape::Gauss) {
    const double Root2Pi = std::sqrt(2.0 * std::numbers::pi);
    Res.Fwhm = GaussFwhmFactor * Res.Width;
    GFwhm[2] = GaussFwhmFactor;
    Res.Area = Res.Amplitude * Res.Width * Root2Pi;
    GArea[0] = Res.Width * Root2Pi;
    GArea[2] = Res.Amplitude * Root2Pi;
  } else {
    Res.Damping = std::fabs(Par[3]);
    Res.DampingErr = Err(3);
    const double Da = Res.Damping, D = Res.Width, H0 = VoigtPeak(Da);
    const double F = VoigtFwhm(Da), Ha = AStep(Da);
    const double DF = Da - Ha > 0.0 ? (VoigtFwhm(Da + Ha) - VoigtFwhm(Da - Ha)) / (2.0 * Ha)
                                    : (VoigtFwhm(Da + Ha) - F) / Ha;
    Res.Fwhm = D * F;
    GFwhm[2] = F;
    GFwhm[3] = D * DF;
    Res.Area = Res.Amplitude * D * SqrtPi / H0;
    GArea[0] = D * SqrtPi / H0;
    GArea[2] = Res.Amplitude * SqrtPi / H0;
    GArea[3] = -Res.Amplitude * D * SqrtPi * VoigtPeakDa(Da) / (H0 * H0);
  }
  // The error propagation works on the fitted parameters, whose width and damping entered the
  // model by absolute value: a negative fitted value turns the sign of their gradient entries.
  for (int I = 2; I < Ma; ++I)
    if (Par[static_cast<size_t>(I)] < 0) {
      GArea[static_cast<size_t>(I)] = -GArea[static_cast<size_t>(I)];
      GFwhm[static_cast<size_t>(I)] = -GFwhm[static_cast<size_t>(I)];
    }
  Res.FwhmErr = Propagate(C, GFwhm);
  Res.AreaErr = Propagate(C, GArea);
  const double Bc = Baseline.Value(Res.Centre);
  if (Bc > 0.0) {
    std::vector<double> GEW(static_cast<size_t>(Ma));
    for (size_t I = 0; I < GEW.size(); ++I)
      GEW[I] = -GArea[I] / Bc;
    GEW[1] = Res.Area * Baseline.Slope / (Bc * Bc);
    Res.EW = -Res.Area / Bc;
    Res.EWErr = Propagate(C, GEW);
  }
  return Res;
}

double ProfileFitValue(const TProfileFitResult &R, const TFitBaseline &Baseline, double X) {
  double P = 0.0;
  if (R.Shape == TProfileShape::Gauss) {
    const double U = (X - R.Centre) / R.Width;
    P = std::exp(-0.5 * U * U);
  } else {
    P = Voigt((X - R.Centre) / R.Width, R.Damping) / VoigtPeak(R.Damping);
  }
  return Baseline.Value(X) + R.Amplitude * P;
}

TDblArr1D ProfileFitCurve(const TProfileFitResult &R, const TFitBaseline &Baseline,
                          std::span<const double> X) {
  TDblArr1D Out(X.size());
  for (size_t I = 0; I < X.size(); ++I)
    Out[I] = ProfileFitValue(R, Baseline, X[I]);
  return Out;
}

TProfileFitTexts ProfileFitTexts(const TProfileFitResult &R) {
  TProfileFitTexts T;
  if (!R.Ok()) return T;
  T.Type = R.Absorption() ? "Absorption" : "Emission";
  T.DepthCaption = R.Absorption() ? "Depth" : "Height";
  T.Centre = Format("%1.8g", R.Centre);
  T.CentreErr = Format("%1.2g", R.CentreErr);
  T.Fwhm = Format("%1.6g", R.Fwhm);
  T.FwhmErr = Format("%1.2g", R.FwhmErr);
  T.Depth = Format("%1.6g", std::fabs(R.Amplitude));
  T.DepthErr = Format("%1.2g", R.AmplitudeErr);
  T.Area = Format("%1.6g", R.Area);
  T.AreaErr = Format("%1.2g", R.AreaErr);
  if (R.EW) {
    T.EW = Format("%1.6g", *R.EW);
    T.EWErr = Format("%1.2g", *R.EWErr);
  }
  return T;
}

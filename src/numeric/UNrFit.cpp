#include "numeric/UNrFit.h"

#include <Eigen/Dense>
#include <cmath>
#include <vector>

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// What a Levenberg-Marquardt fit keeps from one step to the next.
struct TMrqState {
  bool Active = false;
  int Ma = 0;
  std::vector<int> Free; // 1-based indices of the free parameters
  MatrixXd Alpha;        // curvature matrix at the current best parameters
  VectorXd Beta;         // half the negative gradient of chi-square there
  double OChisq = 0.0;   // chi-square of the current best parameters
};

thread_local TMrqState gMrq;

// Curvature matrix, gradient and chi-square of the model at the parameters A (free ones only).
void MrqCurvature(TNrConstVector x, TNrConstVector y, TNrConstVector sig, int ndata, TNrConstVector A, int ma,
                  const std::vector<int> &Free, const TNrMrqFunc &funcs, MatrixXd &Alpha, VectorXd &Beta,
                  double &Chisq) {
  const int MFit = static_cast<int>(Free.size());
  Alpha.setZero(MFit, MFit);
  Beta.setZero(MFit);
  Chisq = 0.0;
  std::vector<double> Dyda(static_cast<size_t>(ma), 0.0);
  VectorXd D(MFit);
  TNrVector DydaView(Dyda.data(), ma);
  for (int I = 1; I <= ndata; ++I) {
    double YMod = 0.0;
    funcs(x[I], A, YMod, DydaView, ma);
    double S = sig[I];
    double Sig2i = 1.0 / (S * S);
    double Dy = y[I] - YMod;
    for (int L = 0; L < MFit; ++L)
      D(L) = Dyda[static_cast<size_t>(Free[static_cast<size_t>(L)] - 1)];
    Alpha.selfadjointView<Eigen::Lower>().rankUpdate(D, Sig2i);
    Beta += (Dy * Sig2i) * D;
    Chisq += Dy * Dy * Sig2i;
  }
  Alpha = Alpha.selfadjointView<Eigen::Lower>();
}

// Writes the free-parameter block M into the ma x ma matrix Out, zeros for fixed parameters.
void SpreadFull(const MatrixXd &M, const std::vector<int> &Free, int ma, TNrMatrix Out) {
  for (int I = 1; I <= ma; ++I)
    for (int J = 1; J <= ma; ++J)
      Out[I][J] = 0.0;
  const int MFit = static_cast<int>(Free.size());
  for (int I = 0; I < MFit; ++I)
    for (int J = 0; J < MFit; ++J)
      Out[Free[static_cast<size_t>(I)]][Free[static_cast<size_t>(J)]] = M(I, J);
}

void WriteBlock(const MatrixXd &M, TNrMatrix Out) {
  for (int I = 0; I < M.rows(); ++I)
    for (int J = 0; J < M.cols(); ++J)
      Out[I + 1][J + 1] = M(I, J);
}

} // namespace

void dmrqmin(TNrConstVector x, TNrConstVector y, TNrConstVector sig, int ndata, TNrVector a, TNrIntVector ia,
             int ma, TNrMatrix covar, TNrMatrix alpha, double &chisq, const TNrMrqFunc &funcs,
             double &alamda) {
  TMrqState &St = gMrq;
  if (alamda < 0.0) {
    if (ma < 1) nrerror("dmrqmin: no parameters");
    St = TMrqState();
    St.Ma = ma;
    for (int J = 1; J <= ma; ++J)
      if (ia[J] != 0) St.Free.push_back(J);
    if (St.Free.empty()) nrerror("dmrqmin: all parameters are fixed");
    alamda = 0.001;
    MrqCurvature(x, y, sig, ndata, a, ma, St.Free, funcs, St.Alpha, St.Beta, chisq);
    St.OChisq = chisq;
    St.Active = true;
    WriteBlock(St.Alpha, alpha);
  } else if (!St.Active || St.Ma != ma) {
    nrerror("dmrqmin: fit not initialised");
  }

  const int MFit = static_cast<int>(St.Free.size());
  if (alamda == 0.0) {
    // Finalisation: the covariance matrix is the inverse of the curvature matrix.
    Eigen::FullPivLU<MatrixXd> Lu(St.Alpha);
    if (!St.Alpha.allFinite() || !Lu.isInvertible()) {
      St.Active = false;
      nrerror("dmrqmin: singular matrix");
    }
    SpreadFull(Lu.inverse(), St.Free, ma, covar);
    SpreadFull(St.Alpha, St.Free, ma, alpha);
    chisq = St.OChisq;
    St.Active = false;
    return;
  }

  // Marquardt's step: the diagonal of the curvature matrix enlarged by the factor 1 + alamda.
  MatrixXd Aug = St.Alpha;
  Aug.diagonal() *= (1.0 + alamda);
  WriteBlock(Aug, covar);
  bool Taken = false;
  if (Aug.allFinite() && St.Beta.allFinite()) {
    Eigen::FullPivLU<MatrixXd> Lu(Aug);
    if (!Lu.isInvertible()) nrerror("dmrqmin: singular matrix");
    VectorXd Da = Lu.solve(St.Beta);
    std::vector<double> ATry(a.Data(), a.Data() + ma);
    for (int L = 0; L < MFit; ++L)
      ATry[static_cast<size_t>(St.Free[static_cast<size_t>(L)] - 1)] += Da(L);
    MatrixXd TryAlpha;
    VectorXd TryBeta;
    double TryChisq = 0.0;
    MrqCurvature(x, y, sig, ndata, TNrConstVector(ATry.data(), ma), ma, St.Free, funcs, TryAlpha, TryBeta,
                 TryChisq);
    if (TryChisq < St.OChisq) {
      Taken = true;
      alamda *= 0.1;
      St.OChisq = TryChisq;
      St.Alpha = TryAlpha;
      St.Beta = TryBeta;
      for (int J = 1; J <= ma; ++J)
        a[J] = ATry[static_cast<size_t>(J - 1)];
      WriteBlock(St.Alpha, alpha);
    }
  }
  if (!Taken) alamda *= 10.0;
  chisq = St.OChisq;
}

void dsvdfit(TNrConstVector x, TNrConstVector y, TNrConstVector sig, int ndata, TNrVector a, int ma,
             TNrMatrix u, TNrMatrix v, TNrVector w, double &chisq, const TNrBasisFunc &funcs) {
  constexpr double TOL = 1.0e-12;
  if (ma < 1 || ndata < 1) nrerror("dsvdfit: no data or no coefficients");
  MatrixXd A(ndata, ma);
  VectorXd B(ndata);
  std::vector<double> Afunc(static_cast<size_t>(ma), 0.0);
  TNrVector AfuncView(Afunc.data(), ma);
  for (int I = 1; I <= ndata; ++I) {
    funcs(x[I], AfuncView, ma);
    double Tmp = 1.0 / sig[I];
    for (int J = 0; J < ma; ++J)
      A(I - 1, J) = Afunc[static_cast<size_t>(J)] * Tmp;
    B(I - 1) = y[I] * Tmp;
  }
  if (!A.allFinite() || !B.allFinite()) nrerror("dsvdfit: data or basis values not finite");
  // Columns are brought to unit length first: basis functions of very different size (the powers
  // of x over a wide range) would otherwise lose the small ones below the singular-value cut.
  VectorXd Scale = A.colwise().norm().transpose();
  for (int J = 0; J < ma; ++J)
    if (Scale(J) == 0.0) Scale(J) = 1.0;
  MatrixXd As = A * Scale.cwiseInverse().asDiagonal();
  Eigen::JacobiSVD<MatrixXd> Svd(As, Eigen::ComputeThinU | Eigen::ComputeThinV);
  VectorXd W = Svd.singularValues();
  const MatrixXd &U = Svd.matrixU();
  // With the scaling folded into V, dsvdvar's sum over V/W gives the covariance of the unscaled
  // coefficients directly.
  MatrixXd V = Scale.cwiseInverse().asDiagonal() * Svd.matrixV();
  double WMax = W.size() ? W.maxCoeff() : 0.0;
  double Thresh = TOL * WMax;
  VectorXd Sol = VectorXd::Zero(ma);
  for (int J = 0; J < W.size(); ++J) {
    if (W(J) <= Thresh || W(J) == 0.0) {
      W(J) = 0.0;
      continue;
    }
    Sol += (U.col(J).dot(B) / W(J)) * V.col(J);
  }
  // Fewer data than coefficients: the missing singular values are zero.
  for (int J = 1; J <= ma; ++J) {
    a[J] = Sol(J - 1);
    w[J] = J <= W.size() ? W(J - 1) : 0.0;
    for (int K = 1; K <= ma; ++K)
      v[J][K] = K <= V.cols() ? V(J - 1, K - 1) : 0.0;
  }
  for (int I = 1; I <= ndata; ++I)
    for (int J = 1; J <= ma; ++J)
      u[I][J] = J <= U.cols() ? U(I - 1, J - 1) : 0.0;
  chisq = (A * Sol - B).squaredNorm();
}

void dsvdvar(TNrMatrix v, int ma, TNrVector w, TNrMatrix cvm) {
  std::vector<double> Wti(static_cast<size_t>(ma) + 1, 0.0);
  for (int K = 1; K <= ma; ++K)
    if (w[K] != 0.0) Wti[static_cast<size_t>(K)] = 1.0 / (w[K] * w[K]);
  for (int I = 1; I <= ma; ++I) {
    for (int J = 1; J <= I; ++J) {
      double Sum = 0.0;
      for (int K = 1; K <= ma; ++K)
        Sum += v[I][K] * v[J][K] * Wti[static_cast<size_t>(K)];
      cvm[I][J] = Sum;
      cvm[J][I] = Sum;
    }
  }
}

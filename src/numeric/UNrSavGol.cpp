#include "numeric/UNrSavGol.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

// With A[k][j] = u_k^j for the window offsets u_k = -nl ... nr, the least-squares polynomial
// coefficients are P y with P = (A^T A)^-1 A^T; row ld of P holds the wanted weights. Offsets are
// scaled to at most 1 in magnitude before the decomposition, which keeps the powers of long
// windows comparable, and the scale is taken out of row ld afterwards.
void dsavgol(TNrVector c, int np, int nl, int nr, int ld, int m) {
  if (nl < 0 || nr < 0 || ld < 0 || m < 0 || np < nl + nr + 1 || ld > m || nl + nr < m)
    nrerror("dsavgol: bad arguments");
  const int NW = nl + nr + 1;
  const double S = std::max(1, std::max(nl, nr));
  Eigen::MatrixXd A(NW, m + 1);
  for (int K = 0; K < NW; ++K) {
    double U = (K - nl) / S, Pw = 1.0;
    for (int J = 0; J <= m; ++J) {
      A(K, J) = Pw;
      Pw *= U;
    }
  }
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> Qr(A);
  if (Qr.rank() < m + 1) nrerror("dsavgol: singular system");
  // Only row ld of P is wanted: with A Pi = Q R, P = Pi R^-1 Q^T, so that row is
  // Q R^-T Pi^T e_ld. Solving for it alone costs the window times the order, where forming P
  // would take the square of the window (gigabytes for a window of some ten thousand points).
  const int M1 = m + 1;
  Eigen::VectorXd E = Eigen::VectorXd::Zero(M1);
  E(ld) = 1.0;
  const Eigen::VectorXd PE = Qr.colsPermutation().transpose() * E;
  const Eigen::VectorXd V =
      Qr.matrixR().topLeftCorner(M1, M1).triangularView<Eigen::Upper>().transpose().solve(PE);
  Eigen::VectorXd Full = Eigen::VectorXd::Zero(NW);
  Full.head(M1) = V;
  const Eigen::VectorXd Row = (Qr.householderQ() * Full) / std::pow(S, ld);
  for (int J = 1; J <= np; ++J)
    c[J] = 0.0;
  for (int K = 0; K < NW; ++K) {
    int Offset = K - nl; // position relative to the current sample
    int Index = ((np - Offset) % np) + 1;
    c[Index] = Row(K);
  }
}

#pragma once
#include <cmath>
#include <initializer_list>

#include "core/USpec32.h"

// A spectrum with the given x and y (equidistance tested as the readers do).
inline void MakeSpec(TSpec32 &S, const TDblArr1D &X, const TDblArr1D &Y, const char *Name = "s.dat") {
  S.NewSpec(Name, static_cast<int>(X.size()), 0, nullptr);
  S.DataX = X;
  S.DataY = Y;
  S.FinishFromArrays();
}

inline TDblArr1D Ramp(int N, double X0, double Step) {
  TDblArr1D X(N);
  for (int i = 0; i < N; ++i)
    X[i] = X0 + i * Step;
  return X;
}

#pragma once
// Common ground of our numerical routines: the 1-based views they work on and the error hook.
//
// The routines index vectors from 1 and matrices as arrays of 1-based rows. The views below give
// that indexing over storage that the rest of the program keeps 0-based: element I of a view is
// element I-1 of the storage, and no data is copied. Every access is range-checked.
#include <functional>
#include <type_traits>
#include <vector>

// Raises the general error "Range check error" (an index outside 1 ... N).
[[noreturn]] void NrRangeError(int Index, int N);

template <class T> class TNrView {
public:
  constexpr TNrView() = default;
  // First: the storage's element 0, which the view calls element 1; N: the number of elements.
  constexpr TNrView(T *First, int N) : pFirst(First), pN(N) {}
  template <class U>
  requires(std::is_convertible_v<U *, T *> &&
           !std::is_same_v<U, T>) constexpr TNrView(const TNrView<U> &Other)
      : pFirst(Other.Data()), pN(Other.Size()) {}

  T &operator[](int I) const {
    if (I < 1 || I > pN) [[unlikely]]
      NrRangeError(I, pN);
    return pFirst[I - 1];
  }
  int Size() const { return pN; }
  // The 0-based storage behind the view.
  T *Data() const { return pFirst; }

private:
  T *pFirst = nullptr;
  int pN = 0;
};

using TNrVector = TNrView<double>;
using TNrConstVector = TNrView<const double>;
using TNrIntVector = TNrView<const int>;

// A matrix as a 1-based array of 1-based rows; M[i][j] is column j of row i.
class TNrMatrix {
public:
  TNrMatrix() = default;
  TNrMatrix(const TNrVector *Rows, int NRows) : pRows(Rows, NRows) {}
  TNrVector operator[](int I) const { return pRows[I]; }
  int Rows() const { return pRows.Size(); }

private:
  TNrView<const TNrVector> pRows;
};

// Work storage for a matrix of NRows x NCols doubles, all zero, with its row views.
class TNrMatrixStore {
public:
  TNrMatrixStore(int NRows, int NCols);
  TNrMatrixStore(const TNrMatrixStore &) = delete;
  TNrMatrixStore &operator=(const TNrMatrixStore &) = delete;
  TNrMatrix View() const { return TNrMatrix(pRows.data(), static_cast<int>(pRows.size())); }
  double &At(int I, int J) { return pData[static_cast<size_t>(I - 1) * pNCols + (J - 1)]; }

private:
  int pNCols;
  std::vector<double> pData;
  std::vector<TNrVector> pRows;
};

// Row views over rows of the caller's storage (a vector of rows of at least NCols values each).
// This is the per-call array of row addresses; it lives as long as the object.
class TNrRowViews {
public:
  TNrRowViews(std::vector<std::vector<double>> &Rows, int NRows, int NCols);
  TNrMatrix View() const { return TNrMatrix(pRows.data(), static_cast<int>(pRows.size())); }

private:
  std::vector<TNrVector> pRows;
};

// The view of a whole 0-based vector.
inline TNrVector NrView(std::vector<double> &V) { return TNrVector(V.data(), static_cast<int>(V.size())); }
inline TNrConstVector NrView(const std::vector<double> &V) {
  return TNrConstVector(V.data(), static_cast<int>(V.size()));
}

// Callback shapes of the routines.
// Model of dmrqmin: Y and the derivatives Dyda[1..Na] of the model at X for the parameters A.
using TNrMrqFunc = std::function<void(double X, TNrConstVector A, double &Y, TNrVector Dyda, int Na)>;
// Basis of dsvdfit: P[1..Np] = the basis functions at X.
using TNrBasisFunc = std::function<void(double X, TNrVector P, int Np)>;
// Function of several variables for damoeba and dpowell: V[1..n].
using TNrMultiFunc = std::function<double(TNrConstVector V)>;
// Integrand of dqsimp.
using TNrFunc1 = std::function<double(double X)>;

// Error hook. A routine that fails calls nrerror with its own text; nrerror hands the text to the
// installed handler, which is expected to raise. If none is installed, or the handler returns,
// nrerror raises the general error (EOrvaError) with the text itself, so the routine is always left.
using TNrErrorHandler = void (*)(const char *Text);
void setnrerror(TNrErrorHandler Handler);
[[noreturn]] void nrerror(const char *Text);

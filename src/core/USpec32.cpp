#include "core/USpec32.h"

#include <cmath>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"

#define ORVA_UNIT "USpec32"

void MinMaxScan(const TDblArr1D &Y, int32_t N, double &MinVal, double &MaxVal) {
  if (N <= 0) return;
  // min = max = y[0]; a smaller y lowers min, otherwise a larger one raises max. A value that
  // lowers min can never raise max, so the two updates are independent, and NaN values after
  // the first never count: four independent lanes give the same result, without the chain of
  // dependent comparisons that would make this the slowest step of reading a file.
  const double *P = Y.data();
  double Mn[4] = {P[0], P[0], P[0], P[0]}, Mx[4] = {P[0], P[0], P[0], P[0]};
  int32_t i = 1;
  for (; i + 4 <= N; i += 4)
    for (int k = 0; k < 4; ++k) {
      double V = P[i + k];
      Mn[k] = V < Mn[k] ? V : Mn[k];
      Mx[k] = V > Mx[k] ? V : Mx[k];
    }
  for (; i < N; ++i) {
    Mn[0] = P[i] < Mn[0] ? P[i] : Mn[0];
    Mx[0] = P[i] > Mx[0] ? P[i] : Mx[0];
  }
  for (int k = 1; k < 4; ++k) {
    Mn[0] = Mn[k] < Mn[0] ? Mn[k] : Mn[0];
    Mx[0] = Mx[k] > Mx[0] ? Mx[k] : Mx[0];
  }
  MinVal = Mn[0];
  MaxVal = Mx[0];
}

TSpec32::TSpec32() : pFitsBess(std::make_unique<TFitsBess>()) {}

TSpec32::~TSpec32() = default;

void TSpec32::NewSpec(const std::string &Name, int32_t Nx, double Val, const TSpec32 *Info) {
  ORVA_ASSERT(Nx >= 0);
  pFilePath.clear();
  pFileName = Name;
  pSize = Nx;
  pMinVal = Val;
  pMaxVal = Val;
  if (Info) {
    *pFitsBess = Info->FitsBess();
    pFitsBess->SetBITPIX(-32);
    pFitsBess->SetNAXIS1(Nx);
  } else {
    pFitsBess->NewHeader(Nx);
  }
  DataX.resize(static_cast<size_t>(Nx));
  DataY.assign(static_cast<size_t>(Nx), Val);
  for (int32_t i = 0; i < Nx; ++i)
    DataX[static_cast<size_t>(i)] = i;
  pEquidistant = true;
}

void TSpec32::UpdateSpec() {
  MinMaxScan(DataY, pSize, pMinVal, pMaxVal);
  ++pDataVersion;
}

bool TSpec32::IsEquidistant() const {
  int32_t M = pSize - 1;
  if (M < 1) return true;
  const double Step = (DataX[static_cast<size_t>(M)] - DataX[0]) / M;
  const double Tol = 1e-5 * Step;
  for (int32_t j = 1; j <= M; ++j)
    if (std::fabs(DataX[static_cast<size_t>(j)] - DataX[static_cast<size_t>(j - 1)] - Step) > Tol)
      return false;
  return true;
}

bool TSpec32::CompareXValues(const TSpec32 &Other, std::string &Msg) const {
  if (Other.pSize != pSize) {
    Msg = "Number of data points differ";
    return false;
  }
  const int32_t N = pSize;
  const double Step = N > 1 ? (DataX[static_cast<size_t>(N - 1)] - DataX[0]) / (N - 1) : 0.0;
  for (int32_t i = 0; i < N; ++i) {
    double A = DataX[static_cast<size_t>(i)], B = Other.DataX[static_cast<size_t>(i)];
    if (A == B) continue;
    // Written as "not <=" so that a zero or NaN step reports the difference.
    if (!(std::fabs(B - A) / Step <= 1e-5)) {
      Msg = "X-values differ at index " + std::to_string(i);
      return false;
    }
  }
  Msg.clear();
  return true;
}

void TSpec32::SetSize(int32_t N) {
  ORVA_ASSERT(N >= 0);
  pSize = N;
  DataX.resize(static_cast<size_t>(N));
  DataY.resize(static_cast<size_t>(N));
}

void TSpec32::FinishFromArrays() {
  ORVA_ASSERT(DataX.size() == DataY.size());
  pSize = static_cast<int32_t>(DataX.size());
  UpdateSpec();
  pEquidistant = IsEquidistant();
}

void TSpec32::SetFromFullName(const std::string &FullName) {
  pFilePath = ExtractFilePath(FullName);
  pFileName = ExtractFileName(FullName);
}

void TSpec32::ReadFits(const std::string &FName) {
  SetFromFullName(FName);
  TFitsBess &H = *pFitsBess;
  H.ReadHeader(FName, true);
  try {
    ReadFitsData(FName);
  } catch (...) {
    H.CloseStream();
    throw;
  }
}

void TSpec32::ReadFitsData(const std::string &FName) {
  TFitsBess &H = *pFitsBess;
  std::string Unit = UpperCase(Trim(H.CUNIT1()));
  double Factor;
  if (Unit == "NM")
    Factor = 10;
  else if (Unit == "ANGSTROM")
    Factor = 1;
  else
    OrvaRaise(Unit + ": wavelength units unknown");
  int32_t N = H.NAXIS1();
  int32_t Bitpix = H.BITPIX();
  int Bytes = Bitpix == 8                       ? 1
              : Bitpix == 16                    ? 2
              : (Bitpix == 32 || Bitpix == -32) ? 4
              : (Bitpix == 64 || Bitpix == -64) ? 8
                                                : 0;
  if (Bytes == 0) OrvaRaise(Format("Unknown BITPIX value: %1d", Bitpix));
  // The arrays are sized from NAXIS1 only once the file is known to hold that much data:
  // a hostile header must not make us allocate more than the file's size.
  if (N <= 0 || static_cast<int64_t>(N) * Bytes > H.DataBytesAvailable())
    OrvaRaise(FName + ": not a FITS file");
  double Crval = H.CRVAL1(), Cdelt = H.CDELT1(), Crpix = H.CRPIX1();
  pSize = N;
  DataY.resize(static_cast<size_t>(N));
  H.ReadSpectrum(DataY);
  // x and the equidistance test in one pass (the arithmetic of IsEquidistant: the mean step
  // from the first and last x, each step compared with it). x is appended to reserved
  // storage, so that its 8 bytes per point are written once, not zeroed first. The previous x
  // is computed again rather than read back, the same expression giving the same value.
  const double Px = Crpix, Dx = Cdelt, Vx = Crval, Fx = Factor;
  auto XAt = [Px, Dx, Vx, Fx](int32_t i) { return ((i - Px) * Dx + Vx) * Fx; };
  DataX.clear();
  DataX.reserve(static_cast<size_t>(N));
  DataX.push_back(XAt(1));
  bool Equi = true;
  if (N > 1) {
    const double Step = (XAt(N) - XAt(1)) / (N - 1);
    const double Tol = 1e-5 * Step;
    int Bad = 0;
    for (int32_t i = 1; i < N; ++i) {
      const double Xi = XAt(i + 1);
      DataX.push_back(Xi);
      Bad |= std::fabs(Xi - XAt(i) - Step) > Tol;
    }
    Equi = Bad == 0;
  }
  UpdateSpec();
  pEquidistant = Equi;
}

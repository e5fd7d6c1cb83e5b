#pragma once
// "Apply Dispersion Function": replaces the x-values of the selected spectra by a polynomial
// of degree up to 6 of the old x-values. The coefficients are typed into the input fields and
// transferred with ">>>>>", or handed over by the dispersion tool (SetPolyParam); the ones in
// use are shown in the read-only fields and are the ones applied.
#include <array>

#include "calib/UDispersionCore.h"
#include "ops/UOpTemplate.h"

class QLineEdit;

class TDispersionFunction : public TOpTemplate {
  Q_OBJECT
public:
  explicit TDispersionFunction(TSpecList &FileList, QWidget *Parent = nullptr);

  // The coefficients of a fit of degree up to 4 (a5 = a6 = 0); the input fields stay as they are.
  void SetPolyParam(double A0, double A1, double A2, double A3, double A4);
  // ">>>>>": the input fields into the coefficients in use, field by field.
  void BuTransferClick();
  // "Clear Coeff.": the input fields back to the identity 0, 1, 0, ...; the coefficients in
  // use are unchanged.
  void BuClearClick();

  // pA0 ... pA6.
  const TDispersionCoeffs &Coeffs() const { return pA; }

  std::array<QLineEdit *, 7> EdA;    // the input fields a0 ... a6
  std::array<QLineEdit *, 7> EdUsed; // the coefficients in use, read-only
  QPushButton *BuTransfer;
  QPushButton *BuClear;

protected:
  void Apply() override;

private:
  void ShowCoeff(size_t I);
  // The identity until the first transfer, so that applying before any transfer copies x.
  TDispersionCoeffs pA = DispersionIdentity;
};

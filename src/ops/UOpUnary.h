#pragma once
// "Unary Operations": additive Gaussian noise, the Fourier transform of each spectrum with
// up to five outputs, and the structure function. The active page decides the operation.
#include "ops/UOpTemplate.h"

class QCheckBox;
class QLineEdit;
class QTabWidget;

class TOpUnary : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpUnary(TSpecList &FileList, QWidget *Parent = nullptr);

  QTabWidget *TabOps;
  QWidget *PgNoise;
  QWidget *PgFFT;
  QWidget *PgStructure;
  QLineEdit *EdNoise;
  QCheckBox *CbModulus;
  QCheckBox *CbSqrModulus;
  QCheckBox *CbReal;
  QCheckBox *CbImaginary;
  QCheckBox *CbPhase;

protected:
  void Apply() override;
};

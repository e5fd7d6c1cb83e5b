#pragma once
// "Filters": smooths each selected spectrum with a moving average, a Gaussian of given FWHM
// (Fourier convolution) or a Savitzky-Golay polynomial filter; the active page decides which.
#include "ops/UOpTemplate.h"

class QLineEdit;
class QTabWidget;
class TRadioGroup;

class TFilters : public TOpTemplate {
  Q_OBJECT
public:
  explicit TFilters(TSpecList &FileList, QWidget *Parent = nullptr);

  QTabWidget *TabFilters;
  QWidget *PgMovingAverage;
  QWidget *PgGauss;
  QWidget *PgSavGol;
  QLineEdit *EdHWidth;
  QLineEdit *EdFWHM;
  // "fixed at 0", "fixed at 1", "linear".
  TRadioGroup *RgFFTExt;
  QLineEdit *EdSGOrder;
  QLineEdit *EdSGLeft;
  QLineEdit *EdSGRight;

protected:
  void Apply() override;
};

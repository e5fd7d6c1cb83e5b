#pragma once
// "FFT": the Fourier transform of each selected spectrum, optionally through a Hann window,
// with up to five outputs.
#include "ops/UNToolsTemplate.h"

class QCheckBox;
class QGroupBox;

class TNToolsFFT : public TNToolsTemplate {
  Q_OBJECT
public:
  explicit TNToolsFFT(TSpecList &FileList, QWidget *Parent = nullptr);

  QGroupBox *GbOptions;
  QCheckBox *CbModulus;
  QCheckBox *CbSqrModulus;
  QCheckBox *CbReal;
  QCheckBox *CbImaginary;
  QCheckBox *CbPhase;
  QCheckBox *CbHannWindow;

protected:
  void Apply() override;
};

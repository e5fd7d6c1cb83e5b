#pragma once
// "Add zeros": appends points with y = 0 to each selected spectrum, x continuing with the
// spectrum's mean step (typically up to a power-of-2 length for the Fourier operations).
#include "ops/UOpTemplate.h"

class QLineEdit;

class TOpAddZeros : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpAddZeros(TSpecList &FileList, QWidget *Parent = nullptr);

  QLineEdit *EdZero;

protected:
  void Apply() override;
  void FormShowDone() override;
};

#pragma once
// "Crop": keeps the stretch of each selected spectrum between two x-values (nearest points)
// or between two indices.
#include "ops/UOpTemplate.h"

class QLineEdit;
class TRadioGroup;

class TOpCrop : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpCrop(TSpecList &FileList, QWidget *Parent = nullptr);

  // "From - To (Wavelength)", "From - To (Index)".
  TRadioGroup *RgMethod;
  QLineEdit *EdFrom;
  QLineEdit *EdTo;

protected:
  void Apply() override;
};

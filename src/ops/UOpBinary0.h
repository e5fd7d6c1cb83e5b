#pragma once
// "Binary Operations S x R": every y of each selected spectrum combined with one number.
#include "ops/UOpTemplate.h"

class QLineEdit;
class TRadioGroup;

class TOpBinary0 : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpBinary0(TSpecList &FileList, QWidget *Parent = nullptr);

  // "Add", "Multiply", "Divide", "Raise to Power", "Clip below", "Clip above".
  TRadioGroup *RgOp;
  QLineEdit *EdVal;

protected:
  void Apply() override;
  void FormShowDone() override;
};

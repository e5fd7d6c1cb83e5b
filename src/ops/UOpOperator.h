#pragma once
// "Operator(S)": a fixed function applied to every y of each selected spectrum.
#include "ops/UOpTemplate.h"

class TRadioGroup;

class TOpOperator : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpOperator(TSpecList &FileList, QWidget *Parent = nullptr);

  // "Log10".
  TRadioGroup *RgOp;

protected:
  void Apply() override;
};

#pragma once
// "Multiple Operations S x S x S ...": the sum, the average or the product of all selected
// spectra, point by point, as one new spectrum. When an x-axis differs from the first
// spectrum's, the dialog says so on opening and OK stays disabled.
#include "ops/UOpTemplate.h"

class TRadioGroup;

class TOpMultiple : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpMultiple(TSpecList &FileList, QWidget *Parent = nullptr);

  // Point count of the first selected spectrum (the result's).
  int Size() const { return pSize; }

  // "Add", "Average", "Multiply".
  TRadioGroup *RgOp;

protected:
  void Apply() override;
  void FormShowLocked() override;
  void FormShowDone() override;

private:
  int pSize = 0;
};

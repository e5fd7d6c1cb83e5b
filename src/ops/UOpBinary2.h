#pragma once
// "Binary Operations S x S" for several selected spectra (the left-hand operands), each
// combined with one spectrum that is listed but not selected (the right-hand operand).
#include "ops/UOpTemplate.h"

class QComboBox;
class TRadioGroup;

class TOpBinary2 : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpBinary2(TSpecList &FileList, QWidget *Parent = nullptr);

  TSpec32 *Source1() const { return pSource1; }
  TSpec32 *Source2() const { return pSource2; }
  // The spectrum of the chosen right-hand entry, or nullptr when the list is empty.
  TSpec32 *Operand() const;

  // "Add", "Subtract", "Multiply", "Divide", "Cross-correlate", "Convolve", "De-Convolve".
  TRadioGroup *RgOp;
  QComboBox *CbOperand;
  // Says why OK is disabled when every listed spectrum is selected.
  QLabel *LaNoOperand;

protected:
  void Apply() override;
  void FormShowLocked() override;
  void FormShowDone() override;

private:
  TSpec32 *pSource1 = nullptr;
  TSpec32 *pSource2 = nullptr;
  // The spectra of CbOperand's entries, in the same order.
  std::vector<TSpec32 *> pOperands;
};

#pragma once
// "Concatenate": joins the selected spectra, segments of one x-grid that overlap pairwise,
// into one new spectrum. A refusal leaves the dialog open.
#include "ops/UOpTemplate.h"

class QLineEdit;
class TRadioGroup;

class TOpConcatenate : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpConcatenate(TSpecList &FileList, QWidget *Parent = nullptr);

  // "Simple average of overlapping region(s)", "Weighted average of overlapping region(s)".
  TRadioGroup *RgMethod;
  // The blended share of each overlap, in percent.
  QLineEdit *EdSize;

protected:
  void Apply() override;
  void FormShowDone() override;
};

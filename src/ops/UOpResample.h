#pragma once
// "Re-sample": interpolates each selected spectrum onto one regular grid, linearly or with a
// cubic spline. "Range of Union" proposes the range every selected spectrum covers.
#include "ops/UOpTemplate.h"

class QCheckBox;
class QLineEdit;
class TRadioGroup;

class TOpResample : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpResample(TSpecList &FileList, QWidget *Parent = nullptr);

  // "Range of Union": From, To ("%1.3f", rounded inwards) and Step ("%1.5f") from the selected
  // spectra, a grid that "Re-sample" always takes.
  void Button1Click();

  QLineEdit *EdFromWL;
  QLineEdit *EdToWL;
  QLineEdit *EdStepWL;
  QPushButton *Button1;
  // "Linear", "Cubic Splines".
  TRadioGroup *RgInterpolation;
  // The spline controls, shown while "Cubic Splines" is chosen.
  QWidget *PaSpline;
  QCheckBox *CbNatSpline;
  // The end derivatives and their labels, shown while "Natural Spline" is unchecked.
  QLabel *LaDerivLeft;
  QLineEdit *EdDerivLeft;
  QLabel *LaDerivRight;
  QLineEdit *EdDerivRight;

protected:
  void Apply() override;

private:
  void UpdateVisibility();
};

#pragma once
// "Normalize": divides the spectrum of the current plot window by the mean y of a stretch and shows the
// result ("-norm") in a window of its own. The stretch is the mouse selection
// (with "Select with Mouse": every selection makes a new spectrum at once) or the typed limits
// in wavelength or index (the command "Normalize"). Nothing is kept per window.
#include "tools/UToolControls.h"
#include "tools/UToolSelection.h"

class QAction;
class QLineEdit;
class QPushButton;
class TRadioGroup;

class TToolNormalize : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolNormalize(TToolHost &Host, QWidget *Parent = nullptr);

  // The normalize tool keeps nothing per window.
  class TLocalData : public ::TLocalData {};

  // "Normalize" on the typed limits.
  void ActionNormalizeExecute();
  // Enabling of the command (run when the application is idle).
  void ActionList1Update();

  // "Normalize Method": "Select with Mouse", "From - To (Wavelength)", "From - To (Index)".
  TRadioGroup *RgMethod;
  QLineEdit *EdFrom;
  QLineEdit *EdTo;
  QAction *ActionNormalize;
  QPushButton *BuNormalize;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  // Makes and shows the new spectrum of the samples I0 ... I1 (both included).
  void Normalize(int I0, int I1);

  TRangeControls pRange;
};

#pragma once
// "Crop": copies a stretch of the spectrum of the current plot window into a spectrum of its own
// ("-crop") and shows it in a window of its own. The stretch is the mouse selection
// (with "Select with Mouse": every selection makes a new spectrum at once) or the typed limits
// in wavelength or index (the command "Crop"). Nothing is kept per window.
#include "tools/UToolControls.h"
#include "tools/UToolSelection.h"

class QAction;
class QLineEdit;
class QPushButton;
class TRadioGroup;

class TToolCrop : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolCrop(TToolHost &Host, QWidget *Parent = nullptr);

  // The crop tool keeps nothing per window.
  class TLocalData : public ::TLocalData {};

  // "Crop" on the typed limits.
  void ActionCropExecute();
  // Enabling of the command (run when the application is idle).
  void ActionList1Update();

  // "Crop Method": "Select with Mouse", "From - To (Wavelength)", "From - To (Index)".
  TRadioGroup *RgMethod;
  QLineEdit *EdFrom;
  QLineEdit *EdTo;
  QAction *ActionCrop;
  QPushButton *BuCrop;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  // Makes and shows the new spectrum of the samples I0 ... I1 (both included).
  void Crop(int I0, int I1);

  TRangeControls pRange;
};

#pragma once
// "Statistics": summary statistics of the samples selected in the current plot window. The
// range comes from the mouse, from "Select all" or from typed limits in wavelength or index.
// Nothing is kept per window, so a window switch clears the display.
#include "tools/UToolControls.h"
#include "tools/UToolSelection.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;

class TToolStatistics : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolStatistics(TToolHost &Host, QWidget *Parent = nullptr);

  // The statistics keep nothing per window.
  class TLocalData : public ::TLocalData {};

  // "Select all": the whole spectrum of the current window.
  void BuSelectAllClick();
  // "Select From-To": the typed limits selected in the current window.
  void ActionSelectExecute();
  // Enabling of the commands (run when the application is idle).
  void ActionList1Update();

  // "Interval": "Select with Mouse", "From - To (Wavelength)", "From - To (Index)".
  TRadioGroup *RgMethod;
  QLineEdit *EdFrom;
  QLineEdit *EdTo;
  QPushButton *BuSelectAll;
  QAction *ActionSelect;
  QPushButton *BuSelect;
  QLabel *LaNArr;
  // "Y-Axis"
  QLabel *LaSum;
  QLabel *LaAverage;
  QLabel *LaMedian;
  QLabel *LaSD;
  QLabel *LaMin;
  QLabel *LaMinAt;
  QLabel *LaMax;
  QLabel *LaMaxAt;
  // "X-Axis"
  QLabel *LaRange;
  QLabel *LaCog;
  QLabel *LaIntegral;
  QLabel *LaEW;
  // "Div."
  QLabel *LaSN;
  QLabel *LaSNTrend;
  QLabel *LaRunsAverage;
  QLabel *LaRunsMedian;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  TRangeControls pRange;
};

#pragma once
// "FWHM/Extremum": for the samples selected in the current plot window it decides between an
// emission and an absorption line, fits a polynomial of degree 2 or 4 to a few samples around
// the extreme sample and shows the extremum's value and position, the full width at half
// maximum and the fit residuals. Nothing is kept per window, so a window switch clears it.
#include <cstdint>

#include "tools/UToolSelection.h"

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TRadioGroup;

class TToolMaximum : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolMaximum(TToolHost &Host, QWidget *Parent = nullptr);

  // The tool keeps nothing per window.
  class TLocalData : public ::TLocalData {};

  // "Re-Calculate": the computation again for the current selection (after the degree or the
  // number of points changed).
  void ActionCalculateExecute();
  // Enabling of "Re-Calculate" (run when the application is idle).
  void ActionList1Update();

  int32_t Degree() const { return pDegree; }
  int32_t NPoints() const { return pNPoints; }
  int32_t Sign() const { return pSign; }
  bool SpecOK() const { return pSpecOK; }

  // "Polynomial": "Degree 2", "Degree 4".
  TRadioGroup *RgPoly;
  QLineEdit *EdNPoints;
  QAction *ActionCalculate;
  QPushButton *BuCalculate;
  QLabel *LaExtrem;
  QLineEdit *EdExtremum;
  QLineEdit *EdLocation;
  QLineEdit *EdFWHM;
  QPlainTextEdit *Memo1;
  QLabel *LaNArr;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  // The fit for pXArr, pYArr with the degree and number of points of the controls.
  void Compute();
  void ClearResults();

  int32_t pDegree = 2;
  int32_t pNPoints = 3;
  int32_t pSign = 1;
  bool pSpecOK = false; // a selection of at least 5 samples is present
};

#pragma once
// "Tool2": a development panel. It reports the selection and, on "Smooth", shows a red curve
// over the spectrum that it keeps per plot window (the curve is not computed: it stays at zero).
#include <cstdint>
#include <memory>

#include "core/USpecTypes.h"
#include "tools/UToolSelection.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TOverlayProfile;

class TTool2 : public TToolSelection {
  Q_OBJECT
public:
  explicit TTool2(TToolHost &Host, QWidget *Parent = nullptr);

  // What the tool keeps for each window: its curve (an object of the window's overlay list,
  // which owns it) with the values that curve shares, and the parameter.
  class TLocalData : public ::TLocalData {
  public:
    TOverlayProfile *Smooth = nullptr;
    double Param = 0;
    int32_t NVal = 0;
    std::shared_ptr<TDblArr1D> YVal;
  };

  // "Smooth": the window's curve, made on first use, drawn in red.
  void BuSmoothClick();
  // Enabling of "Smooth" (run when the application is idle).
  void ActionList1Update();

  double Param() const { return pParam; }
  TOverlayProfile *Smooth() const { return pSmooth; }

  QLabel *LaNArr;
  QLineEdit *EdParam;
  QPushButton *BuSmooth;

  void Disconnect(TProfile32 &Window) override;
  void Hide() override;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  // The current window's curve (none before the first "Smooth" there); it belongs to the
  // window's overlay list and is forgotten whenever the tool leaves that window.
  TOverlayProfile *pSmooth = nullptr;
  double pParam = 0;
};

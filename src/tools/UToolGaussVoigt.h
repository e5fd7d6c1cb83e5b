#pragma once
// "Gauss / Voigt Fit": the user marks the baseline stretches left and right of a line; the panel
// shows the mean point of each. It keeps the "Baseline of Fit" choice per plot window.
#include <cstdint>

#include "tools/UToolSelection.h"

class QLabel;
class TRadioGroup;

class TToolGaussVoigt : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolGaussVoigt(TToolHost &Host, QWidget *Parent = nullptr);

  class TLocalData : public ::TLocalData {
  public:
    int32_t ldBaseLineInd = 0; // the "Baseline of Fit" choice
    bool ldLeftOK = false;
  };

  // "Baseline of Fit": "select left", "select right", "fixed at 0", "fixed at 1".
  TRadioGroup *RgBaseLine;
  QLabel *LaNArr;
  QLabel *LaBLLeft;
  QLabel *LaBLRight;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;
};

#pragma once
// "Gauss / Voigt Fit": the user marks the baseline stretches left and right of a line; the panel
// shows the mean point of each. "Fit" fits a Gaussian or a Voigt profile on the chosen baseline
// (the straight line through the two baseline points, or fixed at 0 or 1) and draws it over the
// spectrum. The choice, the baseline points, the fitted curve and its results are kept per plot
// window.
#include <cstdint>
#include <memory>
#include <optional>

#include "core/USpecTypes.h"
#include "tools/UToolGaussVoigtCore.h"
#include "tools/UToolProfileFitCore.h"
#include "tools/UToolSelection.h"

class QAction;
class QLabel;
class QPushButton;
class TOverlayProfile;
class TRadioGroup;

// A baseline stretch: its mean point and the first and last sample (included) it was taken from.
struct TBaselineStretch {
  TBaselinePoint P;
  int32_t Ind0 = 0, Ind1 = 0;
};

class TToolGaussVoigt : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolGaussVoigt(TToolHost &Host, QWidget *Parent = nullptr);

  class TLocalData : public ::TLocalData {
  public:
    int32_t ldBaseLineInd = 0; // the "Baseline of Fit" choice
    bool ldLeftOK = false;     // the left baseline point is present
    std::optional<TBaselineStretch> ldLeft, ldRight;
    // The fitted profile (an object of the window's overlay list, which owns it; none before the
    // first fit there), the values it shares, and what the fit gave.
    TOverlayProfile *ldFit = nullptr;
    std::shared_ptr<TDblArr1D> ldFitY;
    std::optional<TProfileFitResult> ldFitResult;
  };

  // "Fit": the chosen profile fitted on the chosen baseline; on the straight line through the
  // two baseline points it takes the samples from the first stretch to the last, on a fixed
  // baseline the current selection.
  void ActionFitExecute();
  // Enabling of "Fit" and the text saying what it will fit or what is missing (run when the
  // application is idle).
  void ActionList1Update();

  // The current window's fit (none before a fit there or after one that failed).
  const TProfileFitResult *FitResult() const;

  // "Baseline of Fit": "select left", "select right", "fixed at 0", "fixed at 1".
  TRadioGroup *RgBaseLine;
  QLabel *LaNArr;
  QLabel *LaBLLeft;
  QLabel *LaBLRight;
  // "Profile": "Gauss", "Voigt".
  TRadioGroup *RgProfile;
  QAction *ActionFit;
  QPushButton *BuFit;
  QLabel *LaFitBase;
  // The results: line type, and value and standard error of centre, FWHM, depth or height,
  // equivalent width and area.
  QLabel *LaType;
  QLabel *LaCentre, *LaCentreErr;
  QLabel *LaFWHM, *LaFWHMErr;
  QLabel *LaDepthCaption, *LaDepth, *LaDepthErr;
  QLabel *LaEW, *LaEWErr;
  QLabel *LaArea, *LaAreaErr;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  struct TFitPlan {
    bool Ok = false;
    std::string Text;        // what the fit will use, or what is missing
    int32_t I0 = 0, I1 = -1; // samples of the spectrum, included
    bool Straight = false;
    double Fixed = 0;
  };
  TFitPlan PlanFit() const;
  void ShowFit(const TProfileFitResult *R);

  bool pHaveSelection = false; // pXArr holds the window's current selection
};

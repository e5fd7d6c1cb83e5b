#pragma once
// "Smoothing Spline": continuum normalisation with a smoothing cubic spline. Mouse selections mark
// (or unmark) continuum samples of the current plot window; the marks become knots by one of
// three methods; the slider, scaled by the maximum smoothing parameter (typed or guessed from
// the noise of the marked samples), sets how much the spline smooths. "Store Spline" makes the
// spline a new spectrum ("-smooth"), "Store Spectrum/Spline" the spectrum divided by it ("-cont").
// Marks, spline, maximum parameter and slider position are kept per window; all arithmetic is in
// UToolSmoothSplineCore.
#include <QColor>
#include <cstdint>

#include "tools/UToolSelection.h"
#include "tools/UToolSmoothSplineCore.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class TOverlayProfile;
class TOverlaySelection;
class TRadioGroup;

class TToolSmoothSpline : public TToolSelection {
  Q_OBJECT
public:
  explicit TToolSmoothSpline(TToolHost &Host, QWidget *Parent = nullptr);

  // What the tool keeps for each window: the marks, the spline, the maximum parameter and the
  // slider position (Data), and the three overlay objects, which belong to the window's overlay
  // list and share the marks and the spline with Data.
  class TLocalData : public ::TLocalData {
  public:
    explicit TLocalData(int32_t N) : Data(N) {}
    TSmoothSplineData Data;
    TOverlaySelection *OvlSelect = nullptr; // the spectrum, coloured by the marks
    TOverlayProfile *OvlHide = nullptr;     // the spectrum in white (never enabled)
    TOverlayProfile *OvlSmooth = nullptr;   // the spline, once there is one
  };

  // The panel's commands.
  void BuSelectAllClick();
  void BuClearAllClick();
  void BuGuessClick();
  void BuStoreSplineClick();
  void BuStoreContClick();
  // A colour swatch was clicked: the colour chooser, then the overlay's pen.
  void ShSelectedClick();
  void ShUnselectedClick();
  // The slider moved (ignored while it is set from stored data).
  void TrackBar1Change();
  // 10 ms after the last slider move: the parameter, then the spline.
  void Timer1Timer();
  // Leaving "Max. Parameter" after typing: the parameter, without a new spline.
  void EdGuessExit();
  // Pens and visibility of the overlays from the "Draw" options, then a redraw.
  void Refresh();
  // Enabling of the commands (run when the application is idle).
  void ActionList1Update();

  double Param() const { return pParam; }
  double Guess() const { return pGuess; }
  int32_t TbPos() const { return pTbPos; }
  QColor SelectedColour() const { return pSelColour; }
  QColor UnselectedColour() const { return pUnselColour; }

  TRadioGroup *RgMethod;
  TRadioGroup *RgSelection;
  QPushButton *BuSelectAll;
  QPushButton *BuClearAll;
  QCheckBox *CbSelected;
  QCheckBox *CbUnselected;
  QCheckBox *CbSmooth;
  QPushButton *ShSelected;
  QPushButton *ShUnselected;
  QLineEdit *EdGuess;
  QPushButton *BuGuess;
  TRadioGroup *RgTolerance;
  QSlider *TrackBar1;
  QLabel *LaParam;
  QLabel *LaNArr;
  QPushButton *BuStoreSpline;
  QPushButton *BuStoreCont;
  QTimer *Timer1;

  void Disconnect(TProfile32 &Window) override;
  void Hide() override;

protected:
  void CreateLocalData() override;
  void StoreLocalData() override;
  void RetreiveLocalData() override;
  void ResetAll(QObject *Sender) override;
  void Calculate() override;

private:
  // The current window's data, none without a current window.
  TLocalData *Local() const { return LocalDataAs<TLocalData>(); }
  // The spline of the current window for pParam, drawn; refusals in an error box.
  void ComputeSpline();
  void UpdateParam();
  void ShowSwatch(QPushButton *Swatch, const QColor &C);

  int32_t pTbPos = 0;
  double pParam = 0;
  double pGuess = 0;
  bool TbNoChange = false;
  QColor pSelColour{0, 255, 0};
  QColor pUnselColour{255, 0, 0};
};

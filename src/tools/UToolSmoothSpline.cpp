#define ORVA_UNIT "UToolSmoothSpline"
#include "tools/UToolSmoothSpline.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"
#include "tools/UToolControls.h"
#include "tools/UToolHost.h"
#include "tools/UToolRangeCore.h"

namespace {

QPen CurvePen(const QColor &C) {
  QPen P(C, 1, Qt::SolidLine);
  P.setCosmetic(true);
  return P;
}

QString QFormat(const char *Fmt, double V) { return QString::fromStdString(Format(Fmt, V)); }

const QColor White(255, 255, 255);

} // namespace

TToolSmoothSpline::TToolSmoothSpline(TToolHost &Host, QWidget *Parent)
    : TToolSelection(Host, "Smoothing Spline", Parent) {
  auto Command = [this](QPushButton *B, void (TToolSmoothSpline::*Slot)()) {
    connect(B, &QPushButton::clicked, this, [this, Slot] { Guarded([this, Slot] { (this->*Slot)(); }); });
  };

  // Knots and marks side by side.
  auto *Top = new QHBoxLayout;
  RgMethod = new TRadioGroup("Method", {"Method 1", "Method 2", "Method 3"}, 1, this);
  Top->addWidget(RgMethod);
  RgSelection = new TRadioGroup("Select Points", {"add interval", "remove interval"}, 0, this);
  auto *SelBox = qobject_cast<QVBoxLayout *>(RgSelection->layout());
  ORVA_ASSERT(SelBox != nullptr);
  BuSelectAll = new QPushButton("Select all", RgSelection);
  BuClearAll = new QPushButton("Clear all", RgSelection);
  SelBox->addWidget(BuSelectAll);
  SelBox->addWidget(BuClearAll);
  Top->addWidget(RgSelection);
  Body()->addLayout(Top);
  Command(BuSelectAll, &TToolSmoothSpline::BuSelectAllClick);
  Command(BuClearAll, &TToolSmoothSpline::BuClearAllClick);

  LaNArr = new QLabel(this);
  Body()->addWidget(LaNArr);

  // What is drawn, and in which colours.
  auto *Draw = new QGroupBox("Draw", this);
  auto *DrawGrid = new QGridLayout(Draw);
  CbSelected = new QCheckBox("selected points", Draw);
  CbUnselected = new QCheckBox("unselected points", Draw);
  CbSmooth = new QCheckBox("smoothed profile", Draw);
  ShSelected = new QPushButton(Draw);
  ShUnselected = new QPushButton(Draw);
  for (QCheckBox *C : {CbSelected, CbUnselected, CbSmooth}) {
    C->setChecked(true);
    connect(C, &QCheckBox::toggled, this, [this] { Guarded([this] { Refresh(); }); });
  }
  DrawGrid->addWidget(CbSelected, 0, 0);
  DrawGrid->addWidget(ShSelected, 0, 1);
  DrawGrid->addWidget(CbUnselected, 1, 0);
  DrawGrid->addWidget(ShUnselected, 1, 1);
  DrawGrid->addWidget(CbSmooth, 2, 0);
  DrawGrid->setColumnStretch(0, 1);
  ShowSwatch(ShSelected, pSelColour);
  ShowSwatch(ShUnselected, pUnselColour);
  Command(ShSelected, &TToolSmoothSpline::ShSelectedClick);
  Command(ShUnselected, &TToolSmoothSpline::ShUnselectedClick);
  Body()->addWidget(Draw);

  // The scale of the slider: typed, or guessed from the marked samples.
  auto *Max = new QGroupBox("Maximum Smoothing Parameter", this);
  auto *MaxGrid = new QGridLayout(Max);
  auto *GuessForm = new QFormLayout;
  EdGuess = new QLineEdit(Max);
  GuessForm->addRow("Max. Parameter", EdGuess);
  MaxGrid->addLayout(GuessForm, 0, 0);
  BuGuess = new QPushButton("Guess Max. Parameter", Max);
  MaxGrid->addWidget(BuGuess, 1, 0, Qt::AlignTop);
  RgTolerance = new TRadioGroup("Tolerance", {"0.1%", "1%", "10%"}, 1, Max);
  MaxGrid->addWidget(RgTolerance, 0, 1, 2, 1);
  Body()->addWidget(Max);
  Command(BuGuess, &TToolSmoothSpline::BuGuessClick);
  connect(EdGuess, &QLineEdit::editingFinished, this, [this] { Guarded([this] { EdGuessExit(); }); });

  auto *ParamRow = new QHBoxLayout;
  ParamRow->addWidget(new QLabel("Smoothing Parameter:", this));
  LaParam = new QLabel(this);
  ParamRow->addWidget(LaParam, 1);
  Body()->addLayout(ParamRow);
  TrackBar1 = new QSlider(Qt::Horizontal, this);
  TrackBar1->setRange(0, SplineSliderMax);
  TrackBar1->setPageStep(10);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setTickInterval(32);
  Body()->addWidget(TrackBar1);
  connect(TrackBar1, &QSlider::valueChanged, this, [this] { Guarded([this] { TrackBar1Change(); }); });

  auto *Store = new QHBoxLayout;
  BuStoreSpline = new QPushButton("Store Spline", this);
  BuStoreCont = new QPushButton("Store Spectrum/Spline", this);
  Store->addWidget(BuStoreSpline);
  Store->addWidget(BuStoreCont);
  Body()->addLayout(Store);
  Command(BuStoreSpline, &TToolSmoothSpline::BuStoreSplineClick);
  Command(BuStoreCont, &TToolSmoothSpline::BuStoreContClick);
  Body()->addStretch();

  // Slider moves come in bursts; the spline is computed once the slider rests for 10 ms.
  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  Timer1->setInterval(10);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

  UpdateParam();
  ResetAll(this);
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolSmoothSpline::ShowSwatch(QPushButton *Swatch, const QColor &C) {
  Swatch->setFixedSize(36, 18);
  Swatch->setFlat(true);
  Swatch->setAutoFillBackground(true);
  Swatch->setStyleSheet(QString("background-color: %1; border: 1px solid gray;").arg(C.name()));
  Swatch->setToolTip(C.name());
}

void TToolSmoothSpline::ActionList1Update() {
  const bool Has = pSpec32 != nullptr && Local() != nullptr;
  for (QPushButton *B : {BuSelectAll, BuClearAll, BuGuess, BuStoreSpline, BuStoreCont})
    B->setEnabled(Has);
}

void TToolSmoothSpline::UpdateParam() {
  pParam = SplineParam(TrackBar1->value(), pGuess);
  LaParam->setText(QFormat("%1.3g", pParam));
}

void TToolSmoothSpline::Refresh() {
  TLocalData *D = Local();
  if (!D || !pProfile32) return;
  if (D->OvlSelect) {
    D->OvlSelect->SetPen(CurvePen(CbSelected->isChecked() ? pSelColour : White));
    D->OvlSelect->SetPenClear(CurvePen(CbUnselected->isChecked() ? pUnselColour : White));
  }
  // Before the first spline its values are zeros, which are not worth a line.
  if (D->OvlSmooth) D->OvlSmooth->SetEnabled(CbSmooth->isChecked() && D->Data.HasSpline());
  pProfile32->FillBitmap();
}

void TToolSmoothSpline::CreateLocalData() {
  ORVA_ASSERT(pSpec32 != nullptr && pOverlay != nullptr);
  const int32_t N = pSpec32->Size();
  auto D = std::make_unique<TLocalData>(N);
  // The overlays get their own copy of the spectrum's y: the spectrum is not ours to share.
  auto Y = std::make_shared<const TDblArr1D>(pSpec32->DataY.begin(), pSpec32->DataY.begin() + N);
  D->OvlSelect = pOverlay->AddSelection();
  D->OvlSelect->SetNVal(N);
  D->OvlSelect->SetYVal(Y);
  D->OvlSelect->SetYSel(TOverlayFlags(D->Data.SelProf()));
  D->OvlSelect->SetPen(CurvePen(pSelColour));
  D->OvlSelect->SetPenClear(CurvePen(pUnselColour));
  D->OvlSelect->SetEnabled(true);
  D->OvlHide = pOverlay->AddProfile();
  D->OvlHide->SetNVal(N);
  D->OvlHide->SetYVal(Y);
  D->OvlHide->SetPen(CurvePen(White));
  D->OvlHide->SetEnabled(false);
  D->OvlSmooth = pOverlay->AddProfile();
  D->OvlSmooth->SetNVal(N);
  D->OvlSmooth->SetYVal(TOverlayValues(D->Data.SmoProf()));
  D->OvlSmooth->SetPen(CurvePen(QColor(0, 0, 0)));
  D->OvlSmooth->SetEnabled(false);
  SetLocalData(std::move(D));
  RetreiveLocalData();
}

void TToolSmoothSpline::StoreLocalData() {
  TLocalData *D = Local();
  if (!D) return;
  // A slider move still waiting for its spline belongs to the window being left.
  if (Timer1->isActive()) Guarded([this] { Timer1Timer(); });
  D->Data.Guess = pGuess;
  D->Data.TbPos = TrackBar1->value();
}

void TToolSmoothSpline::RetreiveLocalData() {
  TLocalData *D = Local();
  ORVA_ASSERT(D != nullptr);
  pGuess = D->Data.Guess;
  EdGuess->setText(QFormat("%1.3g", pGuess));
  TbNoChange = true;
  TrackBar1->setValue(D->Data.TbPos);
  TbNoChange = false;
  // The restored position is the one this window's spline was made for.
  pTbPos = D->Data.TbPos;
  UpdateParam();
  Refresh();
}

void TToolSmoothSpline::Disconnect(TProfile32 &Window) {
  // A pending slider move of the window that goes dies with it.
  if (&Window == pProfile32) Timer1->stop();
  TToolSelection::Disconnect(Window);
}

void TToolSmoothSpline::Hide() {
  Timer1->stop();
  TToolSelection::Hide();
}

void TToolSmoothSpline::ResetAll(QObject *) { LaNArr->setText("Waiting for selection"); }

void TToolSmoothSpline::Calculate() {
  TLocalData *D = Local();
  ORVA_ASSERT(D != nullptr && pNArr > 0);
  LaNArr->setText(QString::fromStdString(SelectionText(pNArr, pInd0, pInd1)));
  D->Data.MarkInterval(pInd0, pInd1, RgSelection->ItemIndex() == 0);
  D->OvlSelect->SetEnabled(true);
  Refresh();
}

void TToolSmoothSpline::BuSelectAllClick() {
  TLocalData *D = Local();
  if (!D) return;
  D->Data.SelectAll();
  Refresh();
}

void TToolSmoothSpline::BuClearAllClick() {
  TLocalData *D = Local();
  if (!D) return;
  D->Data.ClearAll();
  Refresh();
}

void TToolSmoothSpline::ShSelectedClick() {
  if (const auto C = Ui().ChooseColour(pSelColour.rgb() & 0xFFFFFF)) {
    pSelColour = QColor::fromRgb(*C | 0xFF000000u);
    ShowSwatch(ShSelected, pSelColour);
    Refresh();
  }
}

void TToolSmoothSpline::ShUnselectedClick() {
  if (const auto C = Ui().ChooseColour(pUnselColour.rgb() & 0xFFFFFF)) {
    pUnselColour = QColor::fromRgb(*C | 0xFF000000u);
    ShowSwatch(ShUnselected, pUnselColour);
    Refresh();
  }
}

void TToolSmoothSpline::TrackBar1Change() {
  if (TbNoChange) return;
  switch (SliderChanged(TrackBar1->value(), pTbPos, pGuess)) {
  case TSliderAction::Ignore:
    return;
  case TSliderAction::Compute:
    Timer1->start();
    return;
  case TSliderAction::NeedGuess:
    Ui().ErrorBox(SplineMsgChooseGuess);
    return;
  }
}

void TToolSmoothSpline::Timer1Timer() {
  Timer1->stop();
  UpdateParam();
  if (pSpec32 && Local()) ComputeSpline();
}

void TToolSmoothSpline::EdGuessExit() {
  // Only what the user typed: the shown value is rounded to three digits.
  if (!EdGuess->isModified()) return;
  const double G = StrToFloat(EdGuess->text().toStdString());
  EdGuess->setModified(false);
  pGuess = G;
  UpdateParam();
}

void TToolSmoothSpline::BuGuessClick() {
  TLocalData *D = Local();
  if (!D || !pSpec32) return;
  const TSplineTolerance Tol[] = {TSplineTolerance::Tenth, TSplineTolerance::One, TSplineTolerance::Ten};
  const int T = RgTolerance->ItemIndex();
  ORVA_ASSERT(T >= 0 && T < 3);
  const TSplineGuess G = GuessMaxParameter(pSpec32->DataY, *D->Data.SelProf(), Tol[T]);
  if (!G.Ok()) {
    Ui().InfoBox(G.Info);
    return;
  }
  pGuess = G.Guess;
  EdGuess->setText(QFormat("%1.3g", pGuess));
  UpdateParam();
  ComputeSpline();
}

void TToolSmoothSpline::ComputeSpline() {
  TLocalData *D = Local();
  ORVA_ASSERT(D != nullptr && pSpec32 != nullptr);
  const int M = RgMethod->ItemIndex();
  ORVA_ASSERT(M >= 0 && M < 3);
  const TSplineOutcome O = D->Data.Compute(*pSpec32, static_cast<TSplineMethod>(M + 1), pParam);
  if (!O.Ok()) {
    Ui().ErrorBox(O.Error);
    return;
  }
  Refresh();
  if (!O.Notice.empty()) Ui().InfoBox(O.Notice);
}

void TToolSmoothSpline::BuStoreSplineClick() {
  TLocalData *D = Local();
  if (!D || !pSpec32) return;
  // Both stores only list the new spectrum; no window opens, the work here stays current.
  const TSpec32 &Source = *pSpec32;
  TToolOutcome O = D->Data.StoreSpline(Source);
  if (!O.Ok()) {
    Ui().ErrorBox(O.Error);
    return;
  }
  const auto &List = Host().Env().ListResult;
  ORVA_ASSERT(static_cast<bool>(List));
  List(Source, std::move(O.Result));
}

void TToolSmoothSpline::BuStoreContClick() {
  TLocalData *D = Local();
  if (!D || !pSpec32) return;
  const TSpec32 &Source = *pSpec32;
  TToolOutcome O = D->Data.StoreContinuum(Source);
  if (!O.Ok()) {
    Ui().ErrorBox(O.Error);
    return;
  }
  const auto &List = Host().Env().ListResult;
  ORVA_ASSERT(static_cast<bool>(List));
  TSpec32 &R = List(Source, std::move(O.Result));
  SetContinuumNormKey(R.FitsBess());
}

#define ORVA_UNIT "UTool2"
#include "tools/UTool2.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "tools/UToolControls.h"
#include "tools/UToolRangeCore.h"

TTool2::TTool2(TToolHost &Host, QWidget *Parent) : TToolSelection(Host, "Tool2", Parent) {
  LaNArr = new QLabel(this);
  Body()->addWidget(LaNArr);
  auto *F = new QFormLayout;
  EdParam = new QLineEdit(QString::fromStdString(Format("%1.5g", pParam)), this);
  F->addRow("Parameter", EdParam);
  Body()->addLayout(F);
  BuSmooth = new QPushButton("Smooth", this);
  connect(BuSmooth, &QPushButton::clicked, this, [this] { Guarded([this] { BuSmoothClick(); }); });
  Body()->addWidget(BuSmooth);
  Body()->addStretch();
  // Room for the longest selection text.
  setMinimumWidth(300);
  ResetAll(this);
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TTool2::ActionList1Update() { BuSmooth->setEnabled(pSpec32 != nullptr); }

void TTool2::BuSmoothClick() {
  auto *D = LocalDataAs<TLocalData>();
  if (!pSpec32 || !pProfile32 || !pOverlay || !D) return;
  // The text is read before anything changes: a value that is no number leaves the window as it was.
  const double P = StrToFloat(EdParam->text().toStdString());
  const int32_t N = pSpec32->Size();
  if (!pSmooth) {
    pSmooth = pOverlay->AddProfile();
    pSmooth->SetEnabled(false);
    pSmooth->SetNVal(N);
    D->YVal = std::make_shared<TDblArr1D>(static_cast<size_t>(N), 0.0);
  }
  pParam = P;
  QPen Pen{QColor(255, 0, 0)};
  Pen.setWidth(1);
  Pen.setCosmetic(true);
  pSmooth->SetPen(Pen);
  D->NVal = N;
  pSmooth->SetNVal(N);
  pSmooth->SetYVal(TOverlayValues(D->YVal));
  pSmooth->SetEnabled(true);
  D->Smooth = pSmooth;
  D->Param = pParam;
  pProfile32->FillBitmap();
}

void TTool2::CreateLocalData() {
  auto D = std::make_unique<TLocalData>();
  // A new window starts without a curve and with the parameter last used.
  D->Param = pParam;
  SetLocalData(std::move(D));
  pSmooth = nullptr;
}

void TTool2::StoreLocalData() {
  if (auto *D = LocalDataAs<TLocalData>()) {
    D->Smooth = pSmooth;
    D->Param = pParam;
  }
}

void TTool2::RetreiveLocalData() {
  auto *D = LocalDataAs<TLocalData>();
  ORVA_ASSERT(D != nullptr);
  pSmooth = D->Smooth;
  pParam = D->Param;
  EdParam->setText(QString::fromStdString(Format("%1.5g", pParam)));
}

void TTool2::Disconnect(TProfile32 &Window) {
  TToolSelection::Disconnect(Window);
  // Without a current window the curve of the window that went is no longer ours to touch.
  if (pActIndex < 0) pSmooth = nullptr;
}

void TTool2::Hide() {
  TToolSelection::Hide();
  // Hiding removed every curve.
  pSmooth = nullptr;
}

void TTool2::ResetAll(QObject *) { LaNArr->setText("Waiting for selection"); }

void TTool2::Calculate() { LaNArr->setText(QString::fromStdString(SelectionText(pNArr, pInd0, pInd1))); }

#define ORVA_UNIT "UToolCrop"
#include "tools/UToolCrop.h"

#include <QAction>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "tools/UToolNormalizeCore.h"

TToolCrop::TToolCrop(TToolHost &Host, QWidget *Parent) : TToolSelection(Host, "Crop", Parent) {
  pRange = AddRangeControls(this, Body(), "Crop Method");
  RgMethod = pRange.RgMethod;
  EdFrom = pRange.EdFrom;
  EdTo = pRange.EdTo;
  ActionCrop = new QAction("Crop", this);
  connect(ActionCrop, &QAction::triggered, this, [this] { Guarded([this] { ActionCropExecute(); }); });
  BuCrop = CommandButton(this, ActionCrop, {EdFrom, EdTo});
  Body()->addWidget(BuCrop);
  Body()->addStretch();
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolCrop::ActionList1Update() {
  ActionCrop->setEnabled(pSpec32 != nullptr && RangeMethod(pRange) != rmMouse);
}

void TToolCrop::Crop(int I0, int I1) {
  // The new window becomes the current one while it is shown: the source is taken first.
  const TSpec32 &Source = *pSpec32;
  ShowOutcome(*this, Source, ToolCrop(Source, I0, I1));
}

void TToolCrop::ActionCropExecute() {
  // The command is disabled without a spectrum or with the mouse choice; a stray call does nothing.
  if (!pSpec32 || RangeMethod(pRange) == rmMouse) return;
  const TTypedLimits L = ReadTypedLimits(pRange, TLimitRule::Crop, *pSpec32);
  if (!L.Ok()) {
    Ui().ErrorBox(L.Error);
    return;
  }
  Crop(L.I0, L.I1);
}

void TToolCrop::CreateLocalData() { SetLocalData(std::make_unique<TLocalData>()); }
void TToolCrop::StoreLocalData() {}
void TToolCrop::RetreiveLocalData() {}
void TToolCrop::ResetAll(QObject *) {}

void TToolCrop::Calculate() {
  // With typed limits a mouse selection only marks samples.
  if (RangeMethod(pRange) != rmMouse) return;
  ORVA_ASSERT(pSpec32 != nullptr && pNArr > 0);
  Crop(pInd0, pInd1);
}

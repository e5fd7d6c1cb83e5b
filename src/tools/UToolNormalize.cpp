#define ORVA_UNIT "UToolNormalize"
#include "tools/UToolNormalize.h"

#include <QAction>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "tools/UToolNormalizeCore.h"

TToolNormalize::TToolNormalize(TToolHost &Host, QWidget *Parent) : TToolSelection(Host, "Normalize", Parent) {
  pRange = AddRangeControls(this, Body(), "Normalize Method");
  RgMethod = pRange.RgMethod;
  EdFrom = pRange.EdFrom;
  EdTo = pRange.EdTo;
  ActionNormalize = new QAction("Normalize", this);
  connect(ActionNormalize, &QAction::triggered, this,
          [this] { Guarded([this] { ActionNormalizeExecute(); }); });
  BuNormalize = CommandButton(this, ActionNormalize, {EdFrom, EdTo});
  Body()->addWidget(BuNormalize);
  Body()->addStretch();
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolNormalize::ActionList1Update() {
  ActionNormalize->setEnabled(pSpec32 != nullptr && RangeMethod(pRange) != rmMouse);
}

void TToolNormalize::Normalize(int I0, int I1) {
  // The new window becomes the current one while it is shown: the source is taken first.
  const TSpec32 &Source = *pSpec32;
  ShowOutcome(*this, Source, ToolNormalize(Source, I0, I1));
}

void TToolNormalize::ActionNormalizeExecute() {
  // The command is disabled without a spectrum or with the mouse choice; a stray call does nothing.
  if (!pSpec32 || RangeMethod(pRange) == rmMouse) return;
  const TTypedLimits L = ReadTypedLimits(pRange, TLimitRule::Normalize, *pSpec32);
  if (!L.Ok()) {
    Ui().ErrorBox(L.Error);
    return;
  }
  Normalize(L.I0, L.I1);
}

void TToolNormalize::CreateLocalData() { SetLocalData(std::make_unique<TLocalData>()); }
void TToolNormalize::StoreLocalData() {}
void TToolNormalize::RetreiveLocalData() {}
void TToolNormalize::ResetAll(QObject *) {}

void TToolNormalize::Calculate() {
  // With typed limits a mouse selection only marks samples.
  if (RangeMethod(pRange) != rmMouse) return;
  ORVA_ASSERT(pSpec32 != nullptr && pNArr > 0);
  Normalize(pInd0, pInd1);
}

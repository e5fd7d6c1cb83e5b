#define ORVA_UNIT "UToolGaussVoigt"
#include "tools/UToolGaussVoigt.h"

#include <QLabel>
#include <QVBoxLayout>
#include <span>

#include "core/UErrors.h"
#include "ops/UOpListing.h"
#include "tools/UToolGaussVoigtCore.h"

namespace {
enum { blLeft = 0, blRight = 1 };
}

TToolGaussVoigt::TToolGaussVoigt(TToolHost &Host, QWidget *Parent)
    : TToolSelection(Host, "Gauss / Voigt Fit", Parent) {
  RgBaseLine = new TRadioGroup("Baseline of Fit", {"select left", "select right", "fixed at 0", "fixed at 1"},
                               blLeft, this);
  Body()->addWidget(RgBaseLine);
  LaNArr = new QLabel(this);
  LaBLLeft = new QLabel(this);
  LaBLRight = new QLabel(this);
  for (QLabel *L : {LaNArr, LaBLLeft, LaBLRight}) {
    L->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Body()->addWidget(L);
  }
  Body()->addStretch();
  // Room for two baseline points of seven digits each.
  setMinimumWidth(300);
  ResetAll(this);
}

void TToolGaussVoigt::CreateLocalData() {
  SetLocalData(std::make_unique<TLocalData>());
  // The panel shows the new window's choice, so that what it stores on leaving is that one.
  RetreiveLocalData();
}

void TToolGaussVoigt::StoreLocalData() {
  if (auto *D = LocalDataAs<TLocalData>()) D->ldBaseLineInd = RgBaseLine->ItemIndex();
}

void TToolGaussVoigt::RetreiveLocalData() {
  auto *D = LocalDataAs<TLocalData>();
  ORVA_ASSERT(D != nullptr);
  RgBaseLine->SetItemIndex(D->ldBaseLineInd);
}

void TToolGaussVoigt::ResetAll(QObject *) {
  LaNArr->setText("Waiting for selection");
  LaBLLeft->setText("Baseline left :");
  LaBLRight->setText("Baseline right:");
}

void TToolGaussVoigt::Calculate() {
  LaNArr->setText(QString::fromStdString(GaussVoigtSelectionText(pNArr)));
  const TBaselinePoint P = BaselinePoint(std::span<const double>(pXArr), std::span<const double>(pYArr));
  switch (RgBaseLine->ItemIndex()) {
  case blLeft:
    LaBLLeft->setText(QString::fromStdString(BaselineText(true, P)));
    break;
  case blRight:
    LaBLRight->setText(QString::fromStdString(BaselineText(false, P)));
    break;
  default: // a fixed baseline takes nothing from the selection
    break;
  }
}

#define ORVA_UNIT "UOpBinary0"
#include "ops/UOpBinary0.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpListing.h"

TOpBinary0::TOpBinary0(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpBinary0", "Binary Operations S x R", 1, Parent) {
  RgOp = new TRadioGroup(
      "Operation", {"Add", "Multiply", "Divide", "Raise to Power", "Clip below", "Clip above"}, 0, this);
  Params()->addWidget(RgOp);
  auto *F = new QFormLayout;
  EdVal = new QLineEdit("0.0", this);
  F->addRow("Value", EdVal);
  Params()->addLayout(F);
  Params()->addStretch();
}

void TOpBinary0::FormShowDone() { EdVal->setFocus(); }

void TOpBinary0::Apply() {
  static const TNumberOp Ops[] = {TNumberOp::Add,   TNumberOp::Multiply,  TNumberOp::Divide,
                                  TNumberOp::Power, TNumberOp::ClipBelow, TNumberOp::ClipAbove};
  const int I = RgOp->ItemIndex();
  ORVA_ASSERT(I >= 0 && I < 6);
  // Read once: a text that is not a number makes nothing.
  const double R = StrToFloat(EdVal->text().toStdString());
  const TNumberOp Op = Ops[I];
  RunOverFiles([Op, R](TSpec32 &S) { return OpNumber(S, Op, R); });
}

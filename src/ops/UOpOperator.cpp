#define ORVA_UNIT "UOpOperator"
#include "ops/UOpOperator.h"

#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpListing.h"

TOpOperator::TOpOperator(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpOperator", "Operator(S)", 1, Parent) {
  RgOp = new TRadioGroup("Operator", {"Log10"}, 0, this);
  Params()->addWidget(RgOp);
  Params()->addStretch();
}

void TOpOperator::Apply() {
  ORVA_ASSERT(RgOp->ItemIndex() == 0);
  RunOverFiles([](TSpec32 &S) { return OpLog10(S); });
}

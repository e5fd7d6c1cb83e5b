#define ORVA_UNIT "UOpMultiple"
#include "ops/UOpMultiple.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"
#include "ops/UOpMultipleCore.h"

TOpMultiple::TOpMultiple(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpMultiple", "Multiple Operations S x S x S ...", 2, Parent) {
  RgOp = new TRadioGroup("Operation", {"Add", "Average", "Multiply"}, 0, this);
  Params()->addWidget(RgOp);
  Params()->addStretch();
}

void TOpMultiple::FormShowLocked() { pSize = Files().front()->Size(); }

void TOpMultiple::FormShowDone() {
  BuOK->setEnabled(true);
  const std::vector<const TSpec32 *> Specs(Files().begin(), Files().end());
  // Every differing axis is told; OK stays disabled until the dialog is opened again.
  for (const std::string &Msg : MultipleCheck(Specs)) {
    Ui().ErrorBox(Msg);
    BuOK->setEnabled(false);
  }
  RgOp->setFocus();
}

void TOpMultiple::Apply() {
  const int I = RgOp->ItemIndex();
  ORVA_ASSERT(I >= 0 && I < 3);
  const std::vector<const TSpec32 *> Specs(Files().begin(), Files().end());
  TOpOutcome O = OpMultiple(Specs, static_cast<TMultipleOp>(I));
  ORVA_ASSERT(!O.Ok() || (O.Results.size() == 1 && static_cast<int>(O.Results[0].X.size()) == pSize));
  pSource = nullptr;
  TListSink Sink(pFileList);
  if (RunWhole(std::move(O), {}, Sink) != TOpRunEnd::Completed) {
    BuOK->setEnabled(false);
    return;
  }
  pDestination = Sink.Last();
  accept();
}

#define ORVA_UNIT "UOpConcatenate"
#include "ops/UOpConcatenate.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "ops/UOpConcatCore.h"
#include "ops/UOpListing.h"

TOpConcatenate::TOpConcatenate(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpConcatenate", "Concatenate", 2, Parent) {
  BuOK->setText("Concatenate");
  RgMethod = new TRadioGroup(
      "Method", {"Simple average of overlapping region(s)", "Weighted average of overlapping region(s)"}, 1,
      this);
  Params()->addWidget(RgMethod);
  auto *F = new QFormLayout;
  EdSize = new QLineEdit("90", this);
  F->addRow("Relative size of overlapping region (0 - 100%)", EdSize);
  Params()->addLayout(F);
  Params()->addStretch();
}

void TOpConcatenate::FormShowDone() { RgMethod->setFocus(); }

void TOpConcatenate::Apply() {
  const double Size = StrToFloat(EdSize->text().toStdString());
  const TConcatMethod Method = RgMethod->ItemIndex() == 0 ? TConcatMethod::Simple : TConcatMethod::Weighted;
  const std::vector<const TSpec32 *> Specs(Files().begin(), Files().end());
  TOpOutcome O = OpConcatenate(Specs, Method, Size);
  ORVA_ASSERT(!O.Ok() || O.Results.size() == 1);
  pSource = nullptr;
  // One "Untitled-" result from all segments. After a refusal nothing is made and the dialog
  // stays open: the user may change the parameters or the selection and try again.
  TListSink Sink(pFileList);
  if (RunWhole(std::move(O), {}, Sink) != TOpRunEnd::Completed) return;
  pDestination = Sink.Last();
  accept();
}

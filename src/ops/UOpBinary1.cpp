#define ORVA_UNIT "UOpBinary1"
#include "ops/UOpBinary1.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UDialogButtons.h"
#include "gui/USpecList.h"
#include "gui/UUiServices.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpListing.h"

TOpBinary1::TOpBinary1(TSpecList &FileList, QWidget *Parent) : QDialog(Parent), pFileList(FileList) {
  setWindowTitle("Binary Operations S x S");
  auto *V = new QVBoxLayout(this);
  auto *Files = new QFormLayout;
  LaFile1 = new QLabel(this);
  LaFile2 = new QLabel(this);
  Files->addRow("S1", LaFile1);
  Files->addRow("S2", LaFile2);
  V->addLayout(Files);
  BuSwap = new QPushButton("Swap Files", this);
  auto *SwapRow = new QHBoxLayout;
  SwapRow->addWidget(BuSwap);
  SwapRow->addStretch();
  V->addLayout(SwapRow);
  RgOp = new TRadioGroup(
      "Operation", {"Add", "Subtract", "Multiply", "Divide", "Cross-correlate", "Convolve", "De-Convolve"}, 0,
      this);
  V->addWidget(RgOp);
  BuOK = new QPushButton("OK", this);
  BuOK->setDefault(true);
  BuCancel = new QPushButton("Cancel", this);
  V->addLayout(ButtonRow({BuOK, BuCancel}));
  connect(BuOK, &QPushButton::clicked, this, &TOpBinary1::BuOKClick);
  connect(BuCancel, &QPushButton::clicked, this, &TOpBinary1::BuCancelClick);
  connect(BuSwap, &QPushButton::clicked, this, &TOpBinary1::BuSwapClick);
}

void TOpBinary1::FormShow() {
  {
    TListLock Lock(pFileList);
    if (pFileList.NSelected() != 2) OrvaRaiseUE("TOpBinary1.FormShow");
    pSource1 = pFileList.ISelected()[0];
    pSource2 = pFileList.ISelected()[1];
    LaFile1->setText(QString::fromStdString(pSource1->FullName()));
    LaFile2->setText(QString::fromStdString(pSource2->FullName()));
    pSize = pSource1->Size();
  }
  BuOK->setEnabled(true);
  pDestination = nullptr;
  RgOp->setFocus();
}

void TOpBinary1::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TOpBinary1::BuSwapClick() {
  std::swap(pSource1, pSource2);
  const QString T = LaFile1->text();
  LaFile1->setText(LaFile2->text());
  LaFile2->setText(T);
}

void TOpBinary1::BuCancelClick() { reject(); }

void TOpBinary1::BuOKClick() {
  Guarded([this] {
    TListLock Lock(pFileList);
    TBusyCursor Busy;
    Apply();
  });
}

void TOpBinary1::Apply() {
  ORVA_ASSERT(pSource1 && pSource2);
  const int I = RgOp->ItemIndex();
  ORVA_ASSERT(I >= 0 && I < 7);
  const TPairOp Op = static_cast<TPairOp>(I);
  // One result from the pair ("Untitled-" name, fresh header); a refusal text stands alone
  // here: it concerns the pair, not one named spectrum.
  TListSink Sink(pFileList);
  const TOpRunEnd End = RunWhole(OpPair(*pSource1, *pSource2, Op), {pSource1, pSource2}, Sink);
  if (Sink.Last()) pDestination = Sink.Last();
  if (End == TOpRunEnd::Refused) {
    BuOK->setEnabled(false);
    BuCancel->setFocus();
    // Two different x-axes leave the dialog open, OK disabled until it is opened again; a
    // refused Fourier operation closes it.
    if (I < static_cast<int>(TPairOp::CrossCorrelate)) return;
  }
  accept();
}

#define ORVA_UNIT "UOpBinary2"
#include "ops/UOpBinary2.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/USpecList.h"
#include "gui/UUiServices.h"
#include "ops/UOpBinaryCore.h"
#include "ops/UOpListing.h"

TOpBinary2::TOpBinary2(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpBinary2", "Binary Operations S x S", 2, Parent) {
  LaFiles->setText("Left-hand operands");
  RgOp = new TRadioGroup(
      "Operation", {"Add", "Subtract", "Multiply", "Divide", "Cross-correlate", "Convolve", "De-Convolve"}, 0,
      this);
  Params()->addWidget(RgOp);
  auto *La = new QLabel("Right-hand operand", this);
  CbOperand = new QComboBox(this);
  CbOperand->setMinimumWidth(200);
  La->setBuddy(CbOperand);
  Params()->addWidget(La);
  Params()->addWidget(CbOperand);
  LaNoOperand = new QLabel("Every listed spectrum is selected: there is no right-hand operand.", this);
  LaNoOperand->setWordWrap(true);
  LaNoOperand->hide();
  Params()->addWidget(LaNoOperand);
  Params()->addStretch();
}

void TOpBinary2::FormShowLocked() {
  // Every listed spectrum whose row is not selected, in list order.
  const std::vector<TSpec32 *> &Sel = Files();
  CbOperand->clear();
  pOperands.clear();
  for (TSpec32 *S : pFileList.IListed())
    if (std::find(Sel.begin(), Sel.end(), S) == Sel.end()) {
      pOperands.push_back(S);
      CbOperand->addItem(QString::fromStdString(S->FileName()));
    }
  const bool Any = CbOperand->count() > 0;
  if (Any) CbOperand->setCurrentIndex(0);
  BuOK->setEnabled(Any);
  LaNoOperand->setVisible(!Any);
  pSource1 = nullptr;
  pSource2 = nullptr;
}

void TOpBinary2::FormShowDone() { RgOp->setFocus(); }

TSpec32 *TOpBinary2::Operand() const {
  const int I = CbOperand->currentIndex();
  if (I < 0 || I >= static_cast<int>(pOperands.size())) return nullptr;
  return pOperands[static_cast<size_t>(I)];
}

void TOpBinary2::Apply() {
  TSpec32 *B = Operand();
  ORVA_ASSERT(B != nullptr);
  const int I = RgOp->ItemIndex();
  ORVA_ASSERT(I >= 0 && I < 7);
  const TPairOp Op = static_cast<TPairOp>(I);
  pSource2 = B;
  // Every left-hand operand is checked against B before anything is made; each result is
  // named after its left-hand operand, with a fresh header.
  TOpRunRules Rules;
  Rules.HeaderFromSource = false;
  Rules.AlsoFrom = {B};
  Rules.Check = [B, Op](const std::vector<const TSpec32 *> &Left) { return OpEachCheck(Left, *B, Op); };
  const TOpRunEnd End = RunOverFiles(
      [this, B, Op](TSpec32 &A) {
        pSource1 = &A;
        return TOpOutcome{{}, {OpEachResult(A, *B, Op)}, false};
      },
      Rules);
  if (End == TOpRunEnd::Refused) {
    // OK stays disabled until the dialog is opened again.
    BuOK->setEnabled(false);
    BuCancel->setFocus();
  }
}

#define ORVA_UNIT "UOpAddZeros"
#include "ops/UOpAddZeros.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UOpGridCore.h"
#include "ops/UOpListing.h"

TOpAddZeros::TOpAddZeros(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpAddZeros", "Add zeros to end of ", 1, Parent) {
  BuOK->setText("Add zeros");
  auto *F = new QFormLayout;
  EdZero = new QLineEdit("0", this);
  F->addRow("Number of zeros", EdZero);
  Params()->addLayout(F);
  Params()->addStretch();
}

void TOpAddZeros::FormShowDone() { EdZero->setFocus(); }

void TOpAddZeros::Apply() {
  // A negative count is taken as its absolute value (by the core).
  const int Z = StrToInt(EdZero->text().toStdString());
  // A spectrum that is not equidistant ends the Apply with the dialog open; spectra
  // extended before it stay listed.
  RunOverFiles([Z](TSpec32 &S) { return OpAddZeros(S, Z); });
}

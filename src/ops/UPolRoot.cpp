#define ORVA_UNIT "UPolRoot"
#include "ops/UPolRoot.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UFormat.h"
#include "gui/UDialogButtons.h"
#include "gui/UUiServices.h"
#include "ops/UNToolsCore.h"

namespace {

long double Read(const QLineEdit *Ed) { return StrToFloat(Ed->text().toStdString()); }

} // namespace

TPolRoot::TPolRoot(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle("Root of Polynomial");
  auto *V = new QVBoxLayout(this);
  auto *F = new QFormLayout;
  for (int k = 0; k < 7; ++k) {
    EdA[k] = new QLineEdit(this);
    F->addRow(QString("a%1").arg(k), EdA[k]);
  }
  EdY = new QLineEdit(this);
  EdGuess = new QLineEdit(this);
  EdAcc = new QLineEdit("1e-6", this);
  EdX = new QLineEdit(this);
  EdX->setReadOnly(true);
  F->addRow("y-value", EdY);
  F->addRow("x-value (guess)", EdGuess);
  F->addRow("Accuracy", EdAcc);
  F->addRow("Result", EdX);
  V->addLayout(F);
  BuOK = new QPushButton("OK", this);
  BuOK->setDefault(true);
  BuClose = new QPushButton("Close", this);
  V->addLayout(ButtonRow({BuOK, BuClose}));
  connect(BuOK, &QPushButton::clicked, this, &TPolRoot::BuOKClick);
  connect(BuClose, &QPushButton::clicked, this, &TPolRoot::BuCloseClick);
}

void TPolRoot::Execute() { Ui().ShowModal(*this); }

void TPolRoot::BuOKClick() {
  Guarded([this] {
    TPolRootInput In;
    for (int k = 0; k < 7; ++k)
      In.A[k] = Read(EdA[k]);
    In.Y = Read(EdY);
    In.Guess = Read(EdGuess);
    In.Acc = Read(EdAcc);
    TPolRootResult R = PolRoot(In);
    EdX->setText(QString::fromStdString(FormatPolRoot(R.X))); // the last iterate also on failure
    if (!R.Ok()) Ui().ErrorBox(R.Message);
  });
}

void TPolRoot::BuCloseClick() { reject(); }

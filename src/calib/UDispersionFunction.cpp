#define ORVA_UNIT "UDispersionFunction"
#include "calib/UDispersionFunction.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"

namespace {

const char *const Defaults[7] = {"0", "1", "0", "0", "0", "0", "0"};
const char *const Terms[7] = {"a0 +",      "a1*x +",    "a2*x**2 +", "a3*x**3 +",
                              "a4*x**4 +", "a5*x**5 +", "a6*x**6"};

} // namespace

TDispersionFunction::TDispersionFunction(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TDispersionFunction", "Apply Dispersion Function", 1, Parent) {
  BuOK->setText("Apply to File(s)");
  auto *G = new QGridLayout;
  for (size_t i = 0; i < 7; ++i) {
    const int Row = static_cast<int>(i);
    EdA[i] = new QLineEdit(Defaults[i], this);
    EdUsed[i] = new QLineEdit(this);
    EdUsed[i]->setReadOnly(true);
    G->addWidget(EdA[i], Row, 0);
    G->addWidget(EdUsed[i], Row, 2);
    G->addWidget(new QLabel(Terms[i], this), Row, 3);
    ShowCoeff(i);
  }
  BuTransfer = new QPushButton(">>>>>", this);
  G->addWidget(BuTransfer, 3, 1);
  Params()->addLayout(G);
  BuClear = new QPushButton("Clear Coeff.", this);
  Params()->addWidget(BuClear);
  Params()->addStretch();
  connect(BuTransfer, &QPushButton::clicked, this, [this] { Guarded([this] { BuTransferClick(); }); });
  connect(BuClear, &QPushButton::clicked, this, &TDispersionFunction::BuClearClick);
}

void TDispersionFunction::ShowCoeff(size_t I) {
  EdUsed[I]->setText(QString::fromStdString(Format("%1.8g", static_cast<double>(pA[I]))));
}

void TDispersionFunction::SetPolyParam(double A0, double A1, double A2, double A3, double A4) {
  pA = {A0, A1, A2, A3, A4, 0.0L, 0.0L};
  for (size_t i = 0; i < 7; ++i)
    ShowCoeff(i);
}

void TDispersionFunction::BuTransferClick() {
  // A field that is not a number stops here; the coefficients before it keep their new values.
  for (size_t i = 0; i < 7; ++i) {
    pA[i] = StrToFloat(EdA[i]->text().toStdString());
    ShowCoeff(i);
  }
}

void TDispersionFunction::BuClearClick() {
  for (size_t i = 0; i < 7; ++i)
    EdA[i]->setText(Defaults[i]);
}

void TDispersionFunction::Apply() {
  RunOverFiles([this](TSpec32 &S) { return OpDispersion(S, pA); });
}

#define ORVA_UNIT "UOpUnary"
#include "ops/UOpUnary.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UOpUnaryCore.h"

TOpUnary::TOpUnary(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpUnary", "Unary Operations", 1, Parent) {
  BuOK->setText("Apply");
  TabOps = new QTabWidget(this);
  // The two normalisation pages of earlier versions computed nothing; they are not offered.
  PgNoise = new QWidget;
  auto *NF = new QFormLayout(PgNoise);
  EdNoise = new QLineEdit("0.0", PgNoise);
  NF->addRow("Noise", EdNoise);
  TabOps->addTab(PgNoise, "Add Noise");

  PgFFT = new QWidget;
  auto *FV = new QVBoxLayout(PgFFT);
  CbModulus = new QCheckBox("Modulus", PgFFT);
  CbSqrModulus = new QCheckBox("Square Modulus", PgFFT);
  CbReal = new QCheckBox("Real Part", PgFFT);
  CbImaginary = new QCheckBox("Imaginary Part", PgFFT);
  CbPhase = new QCheckBox("Phase", PgFFT);
  for (QCheckBox *C : {CbModulus, CbSqrModulus, CbReal, CbImaginary, CbPhase})
    FV->addWidget(C);
  FV->addStretch();
  TabOps->addTab(PgFFT, "FFT");

  PgStructure = new QWidget;
  TabOps->addTab(PgStructure, "Structure Function");

  TabOps->setMinimumWidth(340);
  TabOps->setCurrentWidget(PgFFT);
  Params()->addWidget(TabOps);
}

void TOpUnary::Apply() {
  QWidget *Page = TabOps->currentWidget();
  double Sigma = 0;
  if (Page == PgNoise) Sigma = StrToFloat(EdNoise->text().toStdString());
  TFftOutputs Out;
  Out.Modulus = CbModulus->isChecked();
  Out.SqrModulus = CbSqrModulus->isChecked();
  Out.Real = CbReal->isChecked();
  Out.Imaginary = CbImaginary->isChecked();
  Out.Phase = CbPhase->isChecked();
  ORVA_ASSERT(Page == PgNoise || Page == PgFFT || Page == PgStructure);
  RunOverFiles([&](TSpec32 &S) {
    if (Page == PgNoise) return OpNoise(S, Sigma);
    if (Page == PgFFT) return OpFourier(S, Out);
    return OpStructure(S);
  });
}

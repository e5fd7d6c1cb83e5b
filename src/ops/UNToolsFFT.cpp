#define ORVA_UNIT "UNToolsFFT"
#include "ops/UNToolsFFT.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "core/USpec32.h"
#include "ops/UOpUnaryCore.h"

TNToolsFFT::TNToolsFFT(TSpecList &FileList, QWidget *Parent)
    : TNToolsTemplate(FileList, "TNToolsFFT", "FFT", Parent) {
  GbOptions = new QGroupBox("Select one or several options", this);
  auto *V = new QVBoxLayout(GbOptions);
  CbModulus = new QCheckBox("Modulus", GbOptions);
  CbSqrModulus = new QCheckBox("Square Modulus", GbOptions);
  CbReal = new QCheckBox("Real Part", GbOptions);
  CbImaginary = new QCheckBox("Imaginary Part", GbOptions);
  CbPhase = new QCheckBox("Phase", GbOptions);
  for (QCheckBox *C : {CbModulus, CbSqrModulus, CbReal, CbImaginary, CbPhase})
    V->addWidget(C);
  Params()->addWidget(GbOptions);
  CbHannWindow = new QCheckBox("Hann-Window", this);
  Params()->addWidget(CbHannWindow);
  Params()->addStretch();
}

void TNToolsFFT::Apply() {
  TFftOutputs Out;
  Out.Modulus = CbModulus->isChecked();
  Out.SqrModulus = CbSqrModulus->isChecked();
  Out.Real = CbReal->isChecked();
  Out.Imaginary = CbImaginary->isChecked();
  Out.Phase = CbPhase->isChecked();
  Out.Hann = CbHannWindow->isChecked();
  RunOverFiles([&Out](TSpec32 &S) { return OpFourier(S, Out); });
}

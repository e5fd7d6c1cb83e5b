#define ORVA_UNIT "UOpCrop"
#include "ops/UOpCrop.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UOpGridCore.h"
#include "ops/UOpListing.h"

TOpCrop::TOpCrop(TSpecList &FileList, QWidget *Parent) : TOpTemplate(FileList, "TOpCrop", "Crop", 1, Parent) {
  BuOK->setText("Crop");
  RgMethod = new TRadioGroup("Crop Method", {"From - To (Wavelength)", "From - To (Index)"}, 0, this);
  Params()->addWidget(RgMethod);
  auto *F = new QFormLayout;
  EdFrom = new QLineEdit(this);
  EdTo = new QLineEdit(this);
  F->addRow("From", EdFrom);
  F->addRow("To", EdTo);
  Params()->addLayout(F);
  Params()->addStretch();
}

void TOpCrop::Apply() {
  RunOverFiles([this](TSpec32 &S) {
    // The fields are read for every spectrum: a text that is not a number ends the loop there.
    if (RgMethod->ItemIndex() == 0)
      return OpCropWavelength(S, StrToFloat(EdFrom->text().toStdString()),
                              StrToFloat(EdTo->text().toStdString()));
    return OpCropIndex(S, StrToInt(EdFrom->text().toStdString()), StrToInt(EdTo->text().toStdString()));
  });
}

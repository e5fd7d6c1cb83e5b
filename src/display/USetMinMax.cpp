#define ORVA_UNIT "USetMinMax"
#include "display/USetMinMax.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UFormat.h"
#include "gui/UDialogButtons.h"
#include "gui/UUiServices.h"

TSetMinMax::TSetMinMax(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle("Set Y-Min/Y-Max");
  setModal(true);
  EdYMin = new QLineEdit(this);
  EdYMax = new QLineEdit(this);
  LaError = new QLabel(this);
  BuOK = new QPushButton("OK", this);
  BuCancel = new QPushButton("Cancel", this);
  BuOK->setDefault(true);

  auto *Form = new QFormLayout;
  Form->addRow("Y Min.", EdYMin);
  Form->addRow("Y Max.", EdYMax);
  auto *Main = new QVBoxLayout(this);
  Main->addLayout(Form);
  Main->addWidget(LaError);
  Main->addLayout(ButtonRow({BuOK, BuCancel}));

  connect(BuOK, &QPushButton::clicked, this, [this] { Guarded([this] { BuOKClick(); }); });
  connect(BuCancel, &QPushButton::clicked, this, [this] { BuCancelClick(); });
}

bool TSetMinMax::Execute() {
  FormShow();
  return Ui().ShowModal(*this) == QDialog::Accepted;
}

void TSetMinMax::FormShow() {
  EdYMin->setText(QString::fromStdString(Format("%1.5g", pYMin)));
  EdYMax->setText(QString::fromStdString(Format("%1.5g", pYMax)));
  LaError->clear();
  EdYMin->setFocus();
}

void TSetMinMax::BuOKClick() {
  const double YMin = StrToFloat(EdYMin->text().toStdString());
  const double YMax = StrToFloat(EdYMax->text().toStdString());
  if (YMin >= YMax) {
    LaError->setStyleSheet("color: red");
    LaError->setText("ymax must be bigger than ymin");
    return;
  }
  pYMin = YMin;
  pYMax = YMax;
  accept();
}

void TSetMinMax::BuCancelClick() { reject(); }

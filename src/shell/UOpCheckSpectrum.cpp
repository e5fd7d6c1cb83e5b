#define ORVA_UNIT "UOpCheckSpectrum"
#include "shell/UOpCheckSpectrum.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "shell/UFileList.h"
#include "shell/UFileListCore.h"

TOpCheckSpectrum::TOpCheckSpectrum(TFileList &FileList, QWidget *Parent)
    : QDialog(Parent), pFileList(FileList) {
  setWindowTitle("Check Spectrum");
  resize(460, 300);
  auto *V = new QVBoxLayout(this);
  MeText = new QPlainTextEdit(this);
  MeText->setReadOnly(true);
  MeText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  V->addWidget(MeText);
  auto *H = new QHBoxLayout;
  BuClose = new QPushButton("Close", this);
  H->addStretch();
  H->addWidget(BuClose);
  V->addLayout(H);
  connect(BuClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TOpCheckSpectrum::FormShow() {
  MeText->clear();
  {
    TListLock Lock(pFileList);
    pNFiles = pFileList.NSelected();
    ORVA_ASSERT(pNFiles == 1);
    pSource = pFileList.ISelected()[0];
  }
  for (const std::string &L : CheckSpectrumLines(pSource->DataX, pSource->Size()))
    MeText->appendPlainText(QString::fromStdString(L));
}

void TOpCheckSpectrum::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

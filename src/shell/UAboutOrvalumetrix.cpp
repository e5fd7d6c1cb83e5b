#include "shell/UAboutOrvalumetrix.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "UVersion.h"
#include "gui/UCursors.h"
#include "gui/UUiServices.h"

TAboutOrvalumetrix::TAboutOrvalumetrix(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle("About");
  auto *V = new QVBoxLayout(this);
  auto *Image = new QLabel(this);
  Image->setPixmap(GlyphIcon("O", QColor(40, 110, 190)).pixmap(48, 48));
  Image->setAlignment(Qt::AlignCenter);
  LaName = new QLabel("Orvalumetrix", this);
  QFont F = LaName->font();
  F.setPointSize(F.pointSize() + 6);
  F.setBold(true);
  LaName->setFont(F);
  LaVersion = new QLabel(VersionText(), this);
  auto *LaWhat = new QLabel("Reduction and measurement of one-dimensional spectra", this);
  for (QLabel *L : {LaName, LaVersion, LaWhat})
    L->setAlignment(Qt::AlignCenter);
  BuClose = new QPushButton("Close", this);
  V->addWidget(Image);
  V->addWidget(LaName);
  V->addWidget(LaVersion);
  V->addWidget(LaWhat);
  V->addWidget(BuClose, 0, Qt::AlignCenter);
  connect(BuClose, &QPushButton::clicked, this, &QDialog::accept);
}

QString TAboutOrvalumetrix::VersionText() { return QString("Version ") + ORVA_VERSION; }

void TAboutOrvalumetrix::Execute() { Ui().ShowModal(*this); }

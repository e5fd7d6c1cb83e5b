#include "shell/USaveWarning.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSaveWarning::TSaveWarning(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle("Warning");
  // Wide enough for the caption to show in full.
  setMinimumWidth(320);
  auto *V = new QVBoxLayout(this);
  LaText = new QLabel(this);
  V->addWidget(LaText);
  auto *H = new QHBoxLayout;
  BuCloseAnyway = new QPushButton("Close anyway", this);
  BuReturnToProgram = new QPushButton("Return to program", this);
  H->addWidget(BuCloseAnyway);
  H->addWidget(BuReturnToProgram);
  V->addLayout(H);
  // Enter and the initial focus keep the work: "Close anyway" takes a deliberate choice.
  BuReturnToProgram->setDefault(true);
  BuReturnToProgram->setFocus();
  connect(BuCloseAnyway, &QPushButton::clicked, this, &QDialog::accept);
  connect(BuReturnToProgram, &QPushButton::clicked, this, &QDialog::reject);
}

void TSaveWarning::SetText(const std::string &Text) { LaText->setText(QString::fromStdString(Text)); }

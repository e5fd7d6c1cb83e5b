#include "shell/UOverwriteWarning.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TOverwriteWarning::TOverwriteWarning(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle(QString());
  auto *V = new QVBoxLayout(this);
  V->addWidget(new QLabel("Overwrite file", this));
  LaOverwrite = new QLabel(this);
  V->addWidget(LaOverwrite);
  auto *H = new QHBoxLayout;
  BuYes = new QPushButton("&Yes", this);
  BuNo = new QPushButton("&No", this);
  BuYesToAll = new QPushButton("Yes to &all", this);
  H->addWidget(BuYes);
  H->addWidget(BuNo);
  H->addWidget(BuYesToAll);
  V->addLayout(H);
  BuYes->setDefault(true);
  BuYes->setFocus();
  // At least 251 pixels; the layout widens it to fit a long file name.
  setMinimumWidth(251);
  connect(BuYes, &QPushButton::clicked, this, &TOverwriteWarning::BuYesClick);
  connect(BuNo, &QPushButton::clicked, this, &TOverwriteWarning::BuNoClick);
  connect(BuYesToAll, &QPushButton::clicked, this, &TOverwriteWarning::BuYesToAllClick);
}

void TOverwriteWarning::SetQuestion(const std::string &Text) {
  LaOverwrite->setText(QString::fromStdString(Text));
  adjustSize();
}

void TOverwriteWarning::BuYesClick() {
  pAnswer = TOverwriteAnswer::Yes;
  accept();
}

void TOverwriteWarning::BuNoClick() {
  pAnswer = TOverwriteAnswer::No;
  reject();
}

void TOverwriteWarning::BuYesToAllClick() {
  pAnswer = TOverwriteAnswer::YesToAll;
  accept();
}

#define ORVA_UNIT "UNToolsEvaluate"
#include "ops/UNToolsEvaluate.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UNToolsCore.h"

TNToolsEvaluate::TNToolsEvaluate(TSpecList &FileList, QWidget *Parent)
    : TNToolsTemplate(FileList, "TNToolsEvaluate", "Evaluate", Parent) {
  BuOK->setText("Evaluate");
  BuCancel->setText("Close");
  auto *F = new QFormLayout;
  EdXVal = new QLineEdit(this);
  F->addRow("Evaluate profile(s) at x=", EdXVal);
  Params()->addLayout(F);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  Memo1->setMinimumWidth(300);
  Params()->addWidget(Memo1);
}

void TNToolsEvaluate::FormShowLocked() { Memo1->clear(); }

void TNToolsEvaluate::FormShowDone() { EdXVal->setFocus(); }

void TNToolsEvaluate::Apply() {
  const double X0 = StrToFloat(EdXVal->text().toStdString());
  for (TSpec32 *S : Files()) {
    pSource = S;
    Memo1->appendPlainText(QString::fromStdString(EvaluateLine(*S, X0)));
  }
}

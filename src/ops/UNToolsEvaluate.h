#pragma once
// "Evaluate": the value of each selected spectrum at one x by a natural cubic spline, listed
// as "name<TAB>value". The dialog stays open for further values.
#include "ops/UNToolsTemplate.h"

class QLineEdit;
class QPlainTextEdit;

class TNToolsEvaluate : public TNToolsTemplate {
  Q_OBJECT
public:
  explicit TNToolsEvaluate(TSpecList &FileList, QWidget *Parent = nullptr);

  QLineEdit *EdXVal;
  QPlainTextEdit *Memo1;

protected:
  void Apply() override;
  void FormShowLocked() override;
  void FormShowDone() override;
};

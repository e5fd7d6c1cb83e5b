#pragma once
// The multi-file save's question before an existing file is replaced.
#include <QDialog>
#include <string>

#include "gui/UUiServices.h"

class QLabel;
class QPushButton;

class TOverwriteWarning : public QDialog {
  Q_OBJECT
public:
  explicit TOverwriteWarning(QWidget *Parent = nullptr);
  // The file name followed by "?".
  void SetQuestion(const std::string &Text);
  TOverwriteAnswer Answer() const { return pAnswer; }

  void BuYesClick();
  void BuNoClick();
  void BuYesToAllClick();

  QLabel *LaOverwrite;
  QPushButton *BuYes;
  QPushButton *BuNo;
  QPushButton *BuYesToAll;

private:
  TOverwriteAnswer pAnswer = TOverwriteAnswer::No;
};

#pragma once
// The about box: the program's name and version.
#include <QDialog>

class QLabel;
class QPushButton;

class TAboutOrvalumetrix : public QDialog {
  Q_OBJECT
public:
  explicit TAboutOrvalumetrix(QWidget *Parent = nullptr);
  void Execute();
  static QString VersionText();

  QLabel *LaName;
  QLabel *LaVersion;
  QPushButton *BuClose;
};

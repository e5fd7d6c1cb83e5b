#pragma once
// The warning before quitting with unsaved spectra.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class TSaveWarning : public QDialog {
  Q_OBJECT
public:
  explicit TSaveWarning(QWidget *Parent = nullptr);
  void SetText(const std::string &Text);

  QLabel *LaText;
  QPushButton *BuCloseAnyway;     // accepts: the program quits
  QPushButton *BuReturnToProgram; // rejects: the quit is cancelled
};

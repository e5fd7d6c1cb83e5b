#pragma once
// "Root of Polynomial": solves a0 + a1 x + ... + a6 x^6 = y by Newton's method from a guess.
// Works on no spectrum; stays open for further roots.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TPolRoot : public QDialog {
  Q_OBJECT
public:
  explicit TPolRoot(QWidget *Parent = nullptr);

  // Shows the dialog modally (through the UI services).
  void Execute();
  // "OK": reads the fields, iterates and shows the result; failures are reported.
  void BuOKClick();
  void BuCloseClick();

  QLineEdit *EdA[7]; // EdA0 ... EdA6
  QLineEdit *EdY;
  QLineEdit *EdGuess;
  QLineEdit *EdAcc;
  QLineEdit *EdX;
  QPushButton *BuOK;
  QPushButton *BuClose;
};

#pragma once
// The modal dialog that sets the y range of a plot window.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TSetMinMax : public QDialog {
  Q_OBJECT
public:
  explicit TSetMinMax(QWidget *Parent = nullptr);

  // Shows the dialog with pYMin and pYMax; true when it closed with OK (the fields then hold
  // the new range).
  bool Execute();
  void FormShow();
  // Parses both edits; a reversed or empty range keeps the dialog open with the red message.
  // A text that is not a number raises the conversion error.
  void BuOKClick();
  void BuCancelClick();

  double pYMin = 0;
  double pYMax = 1;

  QLineEdit *EdYMin;
  QLineEdit *EdYMax;
  QLabel *LaError;
  QPushButton *BuOK;
  QPushButton *BuCancel;
};

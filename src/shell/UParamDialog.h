#pragma once
// "Parameters": the observer's site, TAI - UTC and the BeSS keyword defaults. Changes reach the
// settings file when the program ends.
#include <QDialog>

class QLineEdit;
class QPushButton;
class TGlobalData;

class TParamDialog : public QDialog {
  Q_OBJECT
public:
  explicit TParamDialog(TGlobalData &GlobalData, QWidget *Parent = nullptr);
  void Execute();
  void FormShow();
  // Converts the numbers in order; a field that is not a number stops here with the
  // conversion's error (the numbers before it stored) and the dialog stays open. A longitude
  // outside +-180, a latitude outside +-90 or a height outside -500 ... 10000 m is refused
  // with a message naming the field, and nothing is stored.
  void BuOKClick();

  QLineEdit *EdTAImUTC;
  QLineEdit *EdLon;
  QLineEdit *EdLat;
  QLineEdit *EdHeight;
  QLineEdit *EdOBSERVER;
  QLineEdit *EdBSS_SITE;
  QLineEdit *EdBSS_INST;
  QPushButton *BuOK;
  QPushButton *BuCancel;

private:
  TGlobalData &pGlobalData;
};

#pragma once
// "Check Spectrum": tells whether the x-values of the single selected spectrum increase strictly.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class TFileList;
class TSpec32;

class TOpCheckSpectrum : public QDialog {
  Q_OBJECT
public:
  TOpCheckSpectrum(TFileList &FileList, QWidget *Parent = nullptr);
  void Execute();
  void FormShow();

  TSpec32 *Source() const { return pSource; }
  int NFiles() const { return pNFiles; }
  QPlainTextEdit *MeText;
  QPushButton *BuClose;

private:
  TFileList &pFileList;
  TSpec32 *pSource = nullptr;
  int pNFiles = 0;
};

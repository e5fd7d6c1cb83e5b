#pragma once
// Saving as ".dat": one spectrum through the save dialog, or all selected spectra into a
// folder with the overwrite question.
#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class TFileList;
class TSpec32;

class TSaveFiles : public QDialog {
  Q_OBJECT
public:
  TSaveFiles(TFileList &FileList, QWidget *Parent = nullptr);

  // The save dialog proposes the name with ".dat"; a confirmed name is written and the
  // spectrum renamed after it. A failed write leaves an existing file and the spectrum as
  // they were.
  void SaveSingleFile(TSpec32 &Spec32);

  // The multi-file save, shown modally.
  void Execute();
  void FormShow();
  void BuFolderClick();
  void BuOKClick();

  QLineEdit *EdFolder;
  QPushButton *BuFolder;
  QPushButton *BuOK;
  QPushButton *BuCancel;

private:
  TFileList &pFileList;
  std::vector<TSpec32 *> pSnapshot;
};

#pragma once
// "Save FITS": one equidistant spectrum as a FITS file, with the way to the header editor.
#include <QDialog>

class QPushButton;
class TFileList;
class TFitsEditor;
class TSpec32;

class TSaveFits : public QDialog {
  Q_OBJECT
public:
  TSaveFits(TFileList &FileList, TFitsEditor &Editor, QWidget *Parent = nullptr);

  // Shows the dialog for the spectrum; a spectrum that is not equidistant is refused with a
  // message and the dialog does not open.
  void Execute(TSpec32 &Spec);
  bool FormShow();
  void BuSaveClick();
  // The FITS editor on the same spectrum; the dialog stays open for saving afterwards.
  void BuShowEditorClick();

  TSpec32 *Spec32() const { return pSpec32; }

  QPushButton *BuSave;
  QPushButton *BuCancel;
  QPushButton *BuShowEditor;

private:
  TFileList &pFileList;
  TFitsEditor &pEditor;
  TSpec32 *pSpec32 = nullptr;
};

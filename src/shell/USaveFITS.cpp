#define ORVA_UNIT "USaveFITS"
#include "shell/USaveFITS.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <filesystem>

#include "core/UErrors.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "gui/UUiServices.h"
#include "shell/UFileList.h"
#include "shell/UFitsEditor.h"

TSaveFits::TSaveFits(TFileList &FileList, TFitsEditor &Editor, QWidget *Parent)
    : QDialog(Parent), pFileList(FileList), pEditor(Editor) {
  setWindowTitle("Save FITS");
  auto *H = new QHBoxLayout(this);
  BuSave = new QPushButton("Save...", this);
  BuCancel = new QPushButton("Cancel", this);
  BuShowEditor = new QPushButton("Show FITS Editor...", this);
  BuSave->setDefault(true);
  H->addWidget(BuSave);
  H->addWidget(BuCancel);
  H->addWidget(BuShowEditor);
  connect(BuSave, &QPushButton::clicked, this, [this] { Guarded([this] { BuSaveClick(); }); });
  connect(BuShowEditor, &QPushButton::clicked, this, [this] { Guarded([this] { BuShowEditorClick(); }); });
  connect(BuCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSaveFits::FormShow() {
  ORVA_ASSERT(pSpec32 != nullptr);
  if (!pSpec32->Equidistant()) {
    Ui().ErrorBox("x-values not equidistant; resample spectrum");
    return false;
  }
  return true;
}

void TSaveFits::Execute(TSpec32 &Spec) {
  pSpec32 = &Spec;
  if (!FormShow()) return;
  Ui().ShowModal(*this);
}

void TSaveFits::BuSaveClick() {
  ORVA_ASSERT(pSpec32 != nullptr);
  // The dialog closes whatever happens below.
  struct TCloser {
    QDialog *D;
    ~TCloser() { D->done(QDialog::Accepted); }
  } Closer{this};
  TFileDialogSpec D;
  D.Title = "Save as FIT";
  D.Filter = "*.fit, *.fits, *.fts|*.fit;*.fits;*.fts|*.*|*.*";
  D.DefaultExt = "fit";
  D.StartDir = std::filesystem::current_path().string();
  D.FileName = ChangeFileExt(pSpec32->FileName(), ".fit");
  D.AskOverwrite = true;
  const std::string Name = Ui().SaveFileName(D);
  if (Name.empty()) return;
  SaveSpecAsFits(*pSpec32, Name);
  pFileList.RenameFile(pFileList.GetItemIndex(pSpec32), Name);
}

void TSaveFits::BuShowEditorClick() {
  ORVA_ASSERT(pSpec32 != nullptr);
  // The editor is a step on the way to saving: whatever the user does there, this dialog
  // stays open with "Save..." as its default button.
  pEditor.Execute(*pSpec32);
  BuSave->setFocus();
}

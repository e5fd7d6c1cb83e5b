#define ORVA_UNIT "USaveFiles"
#include "shell/USaveFiles.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "shell/UFileList.h"

namespace fs = std::filesystem;

TSaveFiles::TSaveFiles(TFileList &FileList, QWidget *Parent) : QDialog(Parent), pFileList(FileList) {
  setWindowTitle("Save Files as *.dat");
  auto *V = new QVBoxLayout(this);
  auto *G = new QGroupBox("Target folder", this);
  auto *GH = new QHBoxLayout(G);
  EdFolder = new QLineEdit(G);
  EdFolder->setReadOnly(true);
  EdFolder->setMinimumWidth(320);
  BuFolder = new QPushButton("...", G);
  GH->addWidget(EdFolder);
  GH->addWidget(BuFolder);
  V->addWidget(G);
  auto *H = new QHBoxLayout;
  BuOK = new QPushButton("OK", this);
  BuCancel = new QPushButton("Cancel", this);
  BuOK->setDefault(true);
  H->addStretch();
  H->addWidget(BuOK);
  H->addWidget(BuCancel);
  V->addLayout(H);
  connect(BuFolder, &QPushButton::clicked, this, [this] { Guarded([this] { BuFolderClick(); }); });
  connect(BuOK, &QPushButton::clicked, this, [this] { Guarded([this] { BuOKClick(); }); });
  connect(BuCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSaveFiles::SaveSingleFile(TSpec32 &Spec32) {
  TFileDialogSpec D;
  D.Title = "Save as DAT";
  D.Filter = "*.dat|*.dat|*.*|*.*";
  D.DefaultExt = "dat";
  D.StartDir = fs::current_path().string();
  D.FileName = ChangeFileExt(Spec32.FileName(), ".dat");
  D.AskOverwrite = true;
  const std::string Name = Ui().SaveFileName(D);
  if (Name.empty()) return;
  WriteDat(Spec32, Name);
  pFileList.RenameFile(pFileList.GetItemIndex(&Spec32), Name);
}

void TSaveFiles::FormShow() {
  EdFolder->setText(QString::fromStdString(fs::current_path().string() + "/"));
  {
    TListLock Lock(pFileList);
    ORVA_ASSERT(pFileList.NSelected() > 0);
    // Our own copy: every rename takes a new snapshot of the list.
    pSnapshot = pFileList.ISelected();
  }
  BuFolder->setFocus();
}

void TSaveFiles::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TSaveFiles::BuFolderClick() {
  const std::string Dir = Ui().SelectDirectory("Select folder", fs::current_path().string());
  if (Dir.empty()) return;
  EdFolder->setText(QString::fromStdString(Dir + "/"));
  std::error_code Ec;
  fs::current_path(Dir, Ec);
  if (Ec) Ui().ErrorBox("error");
}

void TSaveFiles::BuOKClick() {
  bool Ask = true;
  const std::string Folder = EdFolder->text().toStdString();
  for (TSpec32 *S : pSnapshot) {
    if (pFileList.GetItemIndex(S) < 0) continue; // closed meanwhile
    const std::string Name = Folder + ChangeFileExt(S->FileName(), ".dat");
    TOverwriteAnswer A = TOverwriteAnswer::Yes;
    std::error_code Ec;
    if (Ask && fs::exists(Name, Ec)) A = Ui().AskOverwrite(ExtractFileName(Name) + "?");
    if (A == TOverwriteAnswer::No) continue;
    if (A == TOverwriteAnswer::YesToAll) Ask = false;
    WriteDat(*S, Name);
    pFileList.RenameFile(pFileList.GetItemIndex(S), Name);
  }
  accept();
}

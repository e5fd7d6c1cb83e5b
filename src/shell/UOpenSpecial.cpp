#define ORVA_UNIT "UOpenSpecial"
#include "shell/UOpenSpecial.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"
#include "shell/UFileList.h"
#include "shell/UUiServices.h"

TOpenSpecial::TOpenSpecial(TFileList &FileList, QWidget *Parent) : QDialog(Parent), pFileList(FileList) {
  setWindowTitle("Open Special");
  auto *V = new QVBoxLayout(this);
  auto *F = new QFormLayout;
  EdColX = new QLineEdit(this);
  EdColY = new QLineEdit(this);
  EdHeader = new QLineEdit(this);
  F->addRow("x-values in column", EdColX);
  F->addRow("y-values in column", EdColY);
  F->addRow("Number of header lines", EdHeader);
  V->addLayout(F);
  auto *H = new QHBoxLayout;
  BuOpen = new QPushButton("Open", this);
  BuCancel = new QPushButton("Cancel", this);
  BuOpen->setDefault(true);
  H->addStretch();
  H->addWidget(BuOpen);
  H->addWidget(BuCancel);
  V->addLayout(H);
  connect(BuOpen, &QPushButton::clicked, this, [this] { Guarded([this] { BuOpenClick(); }); });
  connect(BuCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TOpenSpecial::FormShow() {
  EdColX->setText(QString::fromStdString(Format("%d", pColX)));
  EdColY->setText(QString::fromStdString(Format("%d", pColY)));
  EdHeader->setText(QString::fromStdString(Format("%d", pHeader)));
}

void TOpenSpecial::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TOpenSpecial::BuOpenClick() {
  const int32_t X = StrToInt(EdColX->text().toStdString());
  const int32_t Y = StrToInt(EdColY->text().toStdString());
  const int32_t H = StrToInt(EdHeader->text().toStdString());
  ORVA_ASSERT(H >= 0);
  if (X <= 0 || Y <= 0) {
    Ui().ErrorBox("Column numbers must be > 0");
    return;
  }
  pColX = X;
  pColY = Y;
  pHeader = H;
  pFilter = TextFilter;
  OpenFiles();
}

void TOpenSpecial::OpenPlain() {
  pColX = 1;
  pColY = 2;
  pFilter = AllFilter;
  OpenFiles();
}

void TOpenSpecial::OpenFiles() {
  TFileDialogSpec D;
  D.Title = "Open";
  D.Filter = pFilter;
  D.StartDir = std::filesystem::current_path().string();
  D.Multi = true;
  const std::vector<std::string> Names = Ui().OpenFileNames(D);
  // The dialog closes whether or not files were chosen, and also when reading fails.
  struct TCloser {
    QDialog *Dlg;
    ~TCloser() { Dlg->done(Names ? QDialog::Accepted : QDialog::Rejected); }
    bool Names;
  } Closer{this, !Names.empty()};
  if (!Names.empty()) OpenNames(Names);
}

void TOpenSpecial::OpenAsPlainOpen(const std::vector<std::string> &Names) {
  pColX = 1;
  pColY = 2;
  OpenNames(Names);
}

void TOpenSpecial::OpenNames(const std::vector<std::string> &Names) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The first file's folder becomes the current folder and the cursor comes back on every
  // path, failures included.
  struct TRestore {
    std::string Folder;
    ~TRestore() {
      std::error_code Ec;
      if (!Folder.empty()) std::filesystem::current_path(Folder, Ec);
      QApplication::restoreOverrideCursor();
    }
  } Restore{ExtractFilePath(std::filesystem::absolute(Names.front()).string())};
  pFileList.show();
  pFileList.AddFiles(Names, pColX, pColY, pHeader);
  pFileList.SortByName();
}

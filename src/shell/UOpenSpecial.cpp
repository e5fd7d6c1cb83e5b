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
#include "gui/UUiServices.h"
#include "shell/UFileList.h"

std::string AbsoluteFileName(const std::string &Name) {
  if (Name.empty()) return Name;
  std::error_code Ec;
  const std::filesystem::path P = std::filesystem::absolute(Name, Ec);
  if (Ec) return Name;
  return P.lexically_normal().string();
}

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

std::vector<std::string> TOpenSpecial::AskNames(const std::string &Filter) {
  TFileDialogSpec D;
  D.Title = "Open";
  D.Filter = Filter;
  D.StartDir = std::filesystem::current_path().string();
  D.Multi = true;
  return Ui().OpenFileNames(D);
}

void TOpenSpecial::OpenPlain() {
  // Header lines or columns chosen here once must not silently shorten every later file.
  const std::vector<std::string> Names = AskNames(AllFilter);
  if (!Names.empty()) OpenNames(Names, 1, 2, 0);
}

void TOpenSpecial::OpenFiles() {
  const std::vector<std::string> Names = AskNames(pFilter);
  // The dialog closes whether or not files were chosen, and also when reading fails.
  struct TCloser {
    QDialog *Dlg;
    ~TCloser() { Dlg->done(Names ? QDialog::Accepted : QDialog::Rejected); }
    bool Names;
  } Closer{this, !Names.empty()};
  if (!Names.empty()) OpenNames(Names, pColX, pColY, pHeader);
}

void TOpenSpecial::OpenAsPlainOpen(const std::vector<std::string> &Names) { OpenNames(Names, 1, 2, 0); }

void TOpenSpecial::OpenNames(const std::vector<std::string> &Given, int ColX, int ColY, int Header) {
  // Full names, resolved against the current folder before it changes below: a relative
  // name would leave the spectrum with an empty or relative folder (counted as unsaved, or
  // pointing elsewhere once the current folder moves).
  std::vector<std::string> Names;
  Names.reserve(Given.size());
  for (const std::string &N : Given)
    Names.push_back(AbsoluteFileName(N));
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
  } Restore{ExtractFilePath(Names.front())};
  pFileList.show();
  pFileList.AddFiles(Names, ColX, ColY, Header);
  pFileList.SortByName();
}

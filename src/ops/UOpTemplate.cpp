#define ORVA_UNIT "UOpTemplate"
#include "ops/UOpTemplate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UDialogButtons.h"
#include "gui/USpecList.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"

TOpTemplate::TOpTemplate(TSpecList &FileList, const char *ClassName, const QString &Caption, int MinFiles,
                         QWidget *Parent)
    : QDialog(Parent), pFileList(FileList), pClassName(ClassName), pMinFiles(MinFiles) {
  setWindowTitle(Caption);
  auto *V = new QVBoxLayout(this);
  auto *H = new QHBoxLayout;
  auto *FilesColumn = new QVBoxLayout;
  LaFiles = new QLabel("File(s)", this);
  LbFiles = new QListWidget(this);
  LbFiles->setSelectionMode(QAbstractItemView::NoSelection);
  LbFiles->setMinimumWidth(200);
  LaFiles->setBuddy(LbFiles);
  FilesColumn->addWidget(LaFiles);
  FilesColumn->addWidget(LbFiles);
  H->addLayout(FilesColumn, 1);
  pParams = new QVBoxLayout;
  H->addLayout(pParams);
  V->addLayout(H);
  BuOK = new QPushButton("OK", this);
  BuOK->setDefault(true);
  BuCancel = new QPushButton("Cancel", this);
  V->addLayout(ButtonRow({BuOK, BuCancel}));
  connect(BuOK, &QPushButton::clicked, this, &TOpTemplate::BuOKClick);
  connect(BuCancel, &QPushButton::clicked, this, &TOpTemplate::BuCancelClick);
}

void TOpTemplate::FormShow() {
  {
    TListLock Lock(pFileList);
    pNFiles = pFileList.NSelected();
    if (pNFiles < pMinFiles) OrvaRaiseUE(pClassName + ".FormShow");
    pFiles = pFileList.ISelected();
    LbFiles->clear();
    for (const TSpec32 *S : pFiles)
      LbFiles->addItem(QString::fromStdString(S->FileName()));
    // The first row is current, but none is shown highlighted.
    LbFiles->setCurrentRow(0);
    LbFiles->clearSelection();
    pSource = nullptr;
    pDestination = nullptr;
    FormShowLocked();
  }
  FormShowDone();
}

void TOpTemplate::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TOpTemplate::BuOKClick() {
  Guarded([this] {
    // The snapshot is held while results are made, so no spectrum can be closed meanwhile.
    TListLock Lock(pFileList);
    TBusyCursor Busy;
    Apply();
  });
}

void TOpTemplate::BuCancelClick() { reject(); }

TOpRunEnd TOpTemplate::RunOverFiles(const std::function<TOpOutcome(TSpec32 &)> &Step,
                                    const TOpRunRules &Rules) {
  TListSink Sink(pFileList);
  const TOpRunEnd End = RunOperation(
      Sources(),
      [&](const TSpec32 &S) {
        const auto It = std::find(pFiles.begin(), pFiles.end(), &S);
        ORVA_ASSERT(It != pFiles.end());
        pSource = *It;
        return Step(*pSource);
      },
      Sink, Rules);
  if (Sink.Last()) pDestination = Sink.Last();
  if (End == TOpRunEnd::Completed) accept();
  return End;
}

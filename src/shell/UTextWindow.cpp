#define ORVA_UNIT "UTextWindow"
#include "shell/UTextWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "shell/UFileList.h"
#include "shell/UFileListCore.h"

TTextWindow::TTextWindow(TFileList &FileList, QWidget *Parent)
    : QDialog(Parent, Qt::Tool), pFileList(FileList) {
  setSizeGripEnabled(true);
  resize(380, 520);
  auto *V = new QVBoxLayout(this);
  LvPoints = new QTableWidget(0, 3, this);
  LvPoints->setHorizontalHeaderLabels({"Index", "X-values", "Y-values"});
  LvPoints->setShowGrid(true);
  LvPoints->setSelectionBehavior(QAbstractItemView::SelectRows);
  LvPoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LvPoints->verticalHeader()->hide();
  LvPoints->horizontalHeader()->setStretchLastSection(true);
  V->addWidget(LvPoints);
  auto *H = new QHBoxLayout;
  BuClose = new QPushButton("Close", this);
  H->addStretch();
  H->addWidget(BuClose);
  V->addLayout(H);
  // Escape closes the window as a dialog does.
  connect(BuClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TTextWindow::FormShow() {
  {
    TListLock Lock(pFileList);
    ORVA_ASSERT(pFileList.NSelected() == 1);
    pSource = pFileList.ISelected()[0];
  }
  setWindowTitle(QString::fromStdString(pSource->FileName()));
  int32_t m = pSource->Size();
  if (m > TextWindowMaxLines) {
    Ui().InfoBox(TextWindowLimitText(m));
    m = TextWindowMaxLines;
  }
  LvPoints->setUpdatesEnabled(false);
  LvPoints->setRowCount(m);
  for (int32_t i = 0; i < m; ++i) {
    const auto Row = TextWindowRow(*pSource, i);
    for (int c = 0; c < 3; ++c) {
      auto *It = new QTableWidgetItem(QString::fromStdString(Row[c]));
      It->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      LvPoints->setItem(i, c, It);
    }
  }
  LvPoints->setUpdatesEnabled(true);
}

void TTextWindow::Execute(TFileList &FileList, QWidget *Parent) {
  auto W = std::make_unique<TTextWindow>(FileList, Parent);
  W->FormShow();
  Ui().ShowModal(*W);
}

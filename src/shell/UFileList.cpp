#define ORVA_UNIT "UFileList"
#include "shell/UFileList.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>
#include <QTreeWidget>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"
#include "display/UProfileHost.h"
#include "gui/UUiServices.h"
#include "shell/UFileListCore.h"

TFileListItem::TFileListItem(std::unique_ptr<TSpec32> Spec) : pSpec(std::move(Spec)) {
  pSpec->SetCreator(this);
}

TFileListItem::~TFileListItem() = default;

bool TFileListItem::operator<(const QTreeWidgetItem &Other) const {
  const QTreeWidget *W = treeWidget();
  const int Column = W ? W->sortColumn() : lcFileName;
  return CompareListCells(Column, Spec(), static_cast<const TFileListItem &>(Other).Spec()) < 0;
}

TFileList::TFileList(TProfileHost &Host, QWidget *Parent)
    // A tool window of the main window: above the main window, but never above dialogs,
    // message boxes or the file dialogs.
    : QMainWindow(Parent, Qt::Tool), pHost(&Host) {
  setWindowTitle("File List");
  resize(644, 300);
  ListView = new QTreeWidget(this);
  ListView->setObjectName("ListView");
  ListView->setRootIsDecorated(false);
  ListView->setUniformRowHeights(true);
  ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView->setHeaderLabels(
      {"File Name", "Data Points", "Equ", "Date Obs", "Exposure", "Min", "Max", "Path"});
  const int Widths[lcCount] = {150, 68, 35, 115, 60, 0, 0, 100};
  for (int c = 0; c < lcCount; ++c)
    if (Widths[c] > 0) ListView->setColumnWidth(c, Widths[c]);
  ListView->header()->setSectionsClickable(true);
  ListView->header()->setSortIndicatorShown(true);
  ListView->header()->setSortIndicator(-1, Qt::AscendingOrder);
  ListView->setContextMenuPolicy(Qt::CustomContextMenu);
  // Drops are taken by the window, as the Open command would take the files.
  ListView->setAcceptDrops(false);
  ListView->viewport()->setAcceptDrops(false);
  setAcceptDrops(true);
  setCentralWidget(ListView);

  ToolBar = addToolBar("File List");
  ToolBar->setMovable(false);
  ContextMenu = new QMenu(this);

  connect(ListView->header(), &QHeaderView::sectionClicked, this, &TFileList::HeaderClicked);
  connect(ListView, &QTreeWidget::itemDoubleClicked, this, [this] { emit ViewProfileRequested(); });
  connect(ListView, &QTreeWidget::itemChanged, this, &TFileList::ItemChanged);
  connect(ListView, &QWidget::customContextMenuRequested, this, [this](const QPoint &P) {
    if (!ContextMenu->isEmpty()) ContextMenu->popup(ListView->viewport()->mapToGlobal(P));
  });
}

TFileList::~TFileList() {
  // The rows own the spectra; their plot windows go first.
  for (int Row = Count() - 1; Row >= 0; --Row)
    pHost->CloseProfile(Spec(Row));
}

int TFileList::Count() const { return ListView->topLevelItemCount(); }

TFileListItem *TFileList::Item(int Row) const {
  auto *I = static_cast<TFileListItem *>(ListView->topLevelItem(Row));
  if (!I) OrvaRaise("TFileList: row index out of range");
  return I;
}

TSpec32 &TFileList::Spec(int Row) const { return Item(Row)->Spec(); }

int TFileList::CountUnsaved() const {
  int N = 0;
  for (int Row = 0; Row < Count(); ++Row)
    if (Spec(Row).Unsaved()) ++N;
  return N;
}

int TFileList::CountSelectedUnsaved() const {
  int N = 0;
  for (int Row = 0; Row < Count(); ++Row)
    if (Item(Row)->isSelected() && Spec(Row).Unsaved()) ++N;
  return N;
}

int TFileList::CurrentlySelected() const {
  // The selection's row ranges, not a list of all selected items: this runs at every idle
  // moment, also with thousands of rows selected.
  int N = 0;
  for (const QItemSelectionRange &R : ListView->selectionModel()->selection())
    if (R.left() == 0 && !R.parent().isValid()) N += R.height();
  return N;
}

TSpec32 *TFileList::SingleSelected() const {
  const QItemSelection S = ListView->selectionModel()->selection();
  if (CurrentlySelected() != 1) return nullptr;
  for (const QItemSelectionRange &R : S)
    if (R.left() == 0) return &Spec(R.top());
  return nullptr;
}

void TFileList::FillRow(TFileListItem &I) {
  pFilling = true;
  const TListRow Row = ListRowTexts(I.Spec());
  for (int c = 0; c < lcCount; ++c)
    I.setText(c, QString::fromStdString(Row[c]));
  Qt::ItemFlags F = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  // Only a spectrum that was never saved may be renamed in place.
  if (I.Spec().Unsaved()) F |= Qt::ItemIsEditable;
  I.setFlags(F);
  pFilling = false;
}

void TFileList::AddRow(std::unique_ptr<TSpec32> Spec) {
  auto *I = new TFileListItem(std::move(Spec));
  FillRow(*I);
  ListView->addTopLevelItem(I);
}

void TFileList::RemoveRow(int Row) {
  TFileListItem *I = Item(Row);
  pHost->CloseProfile(I->Spec());
  delete I; // frees the spectrum
}

TSpec32 &TFileList::NewFile(const std::string &FName, const std::string &History, int32_t Nx, double Val,
                            const TSpec32 *HeaderSource) {
  auto S = std::make_unique<TSpec32>();
  const std::string Name = ResultName(FName, History, pUntitledCounter);
  S->NewSpec(Name, Nx, Val, HeaderSource);
  TSpec32 &Ref = *S;
  AddRow(std::move(S));
  return Ref;
}

void TFileList::UpdateSpec(TSpec32 &Spec32) {
  Spec32.UpdateSpec();
  TFileListItem *I = Spec32.Creator();
  ORVA_ASSERT(I != nullptr);
  pFilling = true;
  I->setText(lcEqu, QString::fromStdString(EquText(Spec32.Equidistant())));
  I->setText(lcMin, QString::fromStdString(MinMaxText(Spec32.MinVal())));
  I->setText(lcMax, QString::fromStdString(MinMaxText(Spec32.MaxVal())));
  pFilling = false;
}

void TFileList::LockAndUpdate() {
  ListView->setEnabled(false);
  pLocked = true;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  pIListed.clear();
  pISelected.clear();
  pIIndex.clear();
  const int N = Count();
  pIListed.reserve(static_cast<size_t>(N));
  for (int Row = 0; Row < N; ++Row) {
    TFileListItem *I = Item(Row);
    pIListed.push_back(&I->Spec());
    if (I->isSelected()) {
      pISelected.push_back(&I->Spec());
      pIIndex.push_back(Row);
    }
  }
  pNListed = N;
  pNSelected = static_cast<int>(pISelected.size());
}

void TFileList::Unlock() {
  ListView->setEnabled(true);
  pLocked = false;
}

void TFileList::SelectInList(const TSpec32 &Spec32) {
  const int Row = GetItemIndex(&Spec32);
  if (Row < 0) return;
  ListView->clearSelection();
  QTreeWidgetItem *I = ListView->topLevelItem(Row);
  I->setSelected(true);
  ListView->setCurrentItem(I, 0, QItemSelectionModel::NoUpdate);
}

int TFileList::GetItemIndex(const TSpec32 *Spec32) const {
  if (!Spec32 || !Spec32->Creator()) return -1;
  return ListView->indexOfTopLevelItem(Spec32->Creator());
}

void TFileList::CloseSpec(TSpec32 *Spec) {
  const int Row = GetItemIndex(Spec);
  if (Row >= 0) RemoveRow(Row);
}

void TFileList::RenameFile(int Index, const std::string &FName) {
  TListLock Lock(*this);
  TFileListItem *I = Item(Index);
  TSpec32 &S = I->Spec();
  S.SetFileName(ExtractFileName(FName));
  S.SetFilePath(ExtractFilePath(FName));
  FillRow(*I);
  pHost->SetProfileCaption(S, S.FileName());
}

std::unique_ptr<TSpec32> TFileList::ReadFromFile(const std::string &FName, int colx, int coly, int header) {
  return ReadSpecFile(FName, colx, coly, header);
}

std::string TFileList::NameTheFile(const std::string &Msg) const { return MessageNamingFile(Msg, pReading); }

void TFileList::AddFiles(const std::vector<std::string> &FNames, int colx, int coly, int header) {
  if (pLocked) return;
  // The window repaints between files, but not more often than a screen can show it: with
  // hundreds of small files the event round trips would cost more than the reading.
  QElapsedTimer SinceRepaint;
  SinceRepaint.start();
  // A file that fails is skipped and the others are still read; the failures are reported
  // together at the end, one line per file, so that a bad file among many costs one box.
  std::vector<std::string> Failures;
  struct TReading {
    std::string &Name;
    ~TReading() { Name.clear(); }
  } Reading{pReading};
  for (const std::string &F : FNames) {
    pReading = F;
    std::unique_ptr<TSpec32> S;
    try {
      S = ReadFromFile(F, colx, coly, header);
    } catch (...) {
      Failures.push_back(NameTheFile(ExceptionText(std::current_exception())));
      continue;
    }
    pReading.clear();
    if (!S) continue;
    AddRow(std::move(S));
    if (SinceRepaint.elapsed() >= 40) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      SinceRepaint.restart();
    }
  }
  if (!Failures.empty()) {
    // A box that still fits on the screen when a whole folder of foreign files was dropped.
    constexpr size_t MaxLines = 20;
    std::string Text;
    for (size_t i = 0; i < Failures.size() && i < MaxLines; ++i)
      Text += (Text.empty() ? "" : "\n") + Failures[i];
    if (Failures.size() > MaxLines) Text += Format("\n... and %zu more files", Failures.size() - MaxLines);
    Ui().ErrorBox(Text);
  }
}

void TFileList::CloseAll() {
  if (pLocked) return;
  for (int Row = Count() - 1; Row >= 0; --Row)
    pHost->CloseProfile(Spec(Row));
  ListView->clear();
}

void TFileList::CloseSelected() {
  if (pLocked) return;
  for (int Row = Count() - 1; Row >= 0; --Row) {
    // While rows go, windows activating as others close must not change the selection.
    pDeletingInProgress = Count() > 1;
    try {
      if (Item(Row)->isSelected()) RemoveRow(Row);
    } catch (...) {
      pDeletingInProgress = false;
      throw;
    }
    pDeletingInProgress = false;
  }
}

void TFileList::CopySelected() {
  TListLock Lock(*this);
  ORVA_ASSERT(pNSelected > 0);
  for (TSpec32 *S : std::vector<TSpec32 *>(pISelected)) {
    TSpec32 &R = NewFile(S->FileName(), "-copy", S->Size(), 0, S);
    R.DataX = S->DataX;
    R.DataY = S->DataY;
    R.SetEquidistant(S->Equidistant());
    UpdateSpec(R);
  }
}

void TFileList::ShowXAxis() {
  { TListLock Lock(*this); }
  ORVA_ASSERT(pNSelected > 0);
  for (TSpec32 *S : std::vector<TSpec32 *>(pISelected)) {
    const int32_t n = S->Size();
    TDblArr1D Res = XAxisResiduals(S->DataX, n);
    TSpec32 &R = NewFile(S->FileName(), "-xres", n, 0, S);
    for (int32_t i = 0; i < n; ++i) {
      R.DataX[i] = i;
      R.DataY[i] = Res[i];
    }
    R.SetEquidistant(true);
    UpdateSpec(R);
  }
}

void TFileList::SortByName() { SortByColumn(lcFileName, Qt::AscendingOrder); }

void TFileList::SortByColumn(int Column, Qt::SortOrder Order) {
  pSortColumn = Column;
  pSortOrder = Order;
  ListView->sortItems(Column, Order);
}

void TFileList::HeaderClicked(int Section) {
  // The header may have flipped its own indicator already; the order is decided here.
  Qt::SortOrder Order = Qt::AscendingOrder;
  if (Section == pSortColumn && pSortOrder == Qt::AscendingOrder) Order = Qt::DescendingOrder;
  SortByColumn(Section, Order);
}

void TFileList::StartRename() {
  TSpec32 *S = SingleSelected();
  if (!S || !S->Unsaved()) return;
  ListView->editItem(S->Creator(), lcFileName);
}

void TFileList::ItemChanged(QTreeWidgetItem *QI, int Column) {
  if (pFilling || Column != lcFileName) return;
  auto *I = static_cast<TFileListItem *>(QI);
  TSpec32 &S = I->Spec();
  const std::string NewName = I->text(lcFileName).toStdString();
  if (NewName == S.FileName()) return;
  if (!S.Unsaved() || NewName.empty()) {
    // A saved spectrum keeps the name of its file; an empty name is not a name.
    pFilling = true;
    I->setText(lcFileName, QString::fromStdString(S.FileName()));
    pFilling = false;
    return;
  }
  S.SetFileName(NewName);
  pHost->SetProfileCaption(S, NewName);
}

void TFileList::dragEnterEvent(QDragEnterEvent *E) {
  if (E->mimeData()->hasUrls()) E->acceptProposedAction();
}

void TFileList::dropEvent(QDropEvent *E) {
  QStringList Names;
  for (const QUrl &U : E->mimeData()->urls())
    if (U.isLocalFile()) Names << U.toLocalFile();
  if (!Names.isEmpty()) {
    E->acceptProposedAction();
    emit FilesDropped(Names);
  }
}

#define ORVA_UNIT "UFitsEditor"
#include "shell/UFitsEditor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "shell/UFitsEditorCore.h"

TFitsEditor::TFitsEditor(TGlobalData &GlobalData, QWidget *Parent)
    : QDialog(Parent), pGlobalData(GlobalData), pWork(std::make_unique<TFitsBess>()) {
  setWindowTitle("FITS Editor: ");
  resize(720, 480);
  auto *Main = new QHBoxLayout(this);
  auto *Left = new QVBoxLayout;
  LvCards = new QTreeWidget(this);
  LvCards->setRootIsDecorated(false);
  LvCards->setHeaderLabels({"Keyword", "Value", "Comments"});
  LvCards->setSelectionBehavior(QAbstractItemView::SelectRows);
  LvCards->setSelectionMode(QAbstractItemView::SingleSelection);
  LvCards->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LvCards->setColumnWidth(0, 90);
  LvCards->setColumnWidth(1, 220);
  Left->addWidget(LvCards);

  GbEdit = new QGroupBox("Edit/Delete/Add Key", this);
  auto *GF = new QFormLayout(GbEdit);
  CbKeys = new QComboBox(GbEdit);
  CbKeys->addItems({"COMMENT", "HISTORY"});
  CbKeys->setCurrentIndex(-1);
  EdKey = new QLineEdit(GbEdit);
  EdValue = new QLineEdit(GbEdit);
  EdComment = new QLineEdit(GbEdit);
  GF->addRow("", CbKeys);
  GF->addRow("Key", EdKey);
  GF->addRow("Value", EdValue);
  GF->addRow("Comment", EdComment);
  RgType = new QButtonGroup(GbEdit);
  auto *TypeRow = new QHBoxLayout;
  const char *Names[] = {"Integer", "Floating", "String", "Logical", "None"};
  const int Types[] = {0, 1, 2, 3, -1};
  for (int i = 0; i < 5; ++i) {
    auto *R = new QRadioButton(Names[i], GbEdit);
    // Button ids are the card type + 1 (the group reserves -1).
    RgType->addButton(R, Types[i] + 1);
    TypeRow->addWidget(R);
  }
  GF->addRow(TypeRow);
  auto *GB = new QHBoxLayout;
  BuGroupOK = new QPushButton("OK", GbEdit);
  BuGroupCancel = new QPushButton("Cancel", GbEdit);
  GB->addStretch();
  GB->addWidget(BuGroupOK);
  GB->addWidget(BuGroupCancel);
  GF->addRow(GB);
  GbEdit->hide();
  Left->addWidget(GbEdit);
  Main->addLayout(Left, 1);

  auto *Right = new QVBoxLayout;
  BuEdit = new QPushButton("Edit Keyword", this);
  BuDelete = new QPushButton("Delete Keyword", this);
  BuAdd = new QPushButton("Add Keyword", this);
  BuAddBess = new QPushButton("Add BeSS Keywords", this);
  BuOK = new QPushButton("OK", this);
  BuCancel = new QPushButton("Cancel", this);
  for (QPushButton *B : {BuEdit, BuDelete, BuAdd, BuAddBess})
    Right->addWidget(B);
  Right->addStretch();
  Right->addWidget(BuOK);
  Right->addWidget(BuCancel);
  Main->addLayout(Right);
  BuOK->setDefault(true);
  pList = {LvCards, BuEdit, BuDelete, BuAdd, BuAddBess, BuOK, BuCancel};

  auto G = [this](QPushButton *B, void (TFitsEditor::*M)()) {
    connect(B, &QPushButton::clicked, this, [this, M] { Guarded([this, M] { (this->*M)(); }); });
  };
  G(BuEdit, &TFitsEditor::BuEditClick);
  G(BuDelete, &TFitsEditor::BuDeleteClick);
  G(BuAdd, &TFitsEditor::BuAddClick);
  G(BuAddBess, &TFitsEditor::BuAddBessClick);
  G(BuOK, &TFitsEditor::BuOKClick);
  G(BuCancel, &TFitsEditor::BuCancelClick);
  G(BuGroupOK, &TFitsEditor::GroupOKClick);
  G(BuGroupCancel, &TFitsEditor::GroupCancelClick);
  connect(CbKeys, &QComboBox::activated, this, [this](int I) { CbKeysSelect(I); });
  connect(LvCards, &QTreeWidget::currentItemChanged, this, [this] {
    pEditIndex = LvCards->indexOfTopLevelItem(LvCards->currentItem());
    RowSelected();
  });
}

TFitsEditor::~TFitsEditor() = default;

void TFitsEditor::Execute(TSpec32 &Spec) {
  pSpec32 = &Spec;
  FormShow();
  Ui().ShowModal(*this);
}

void TFitsEditor::FormShow() {
  ORVA_ASSERT(pSpec32 != nullptr);
  setWindowTitle(QString::fromStdString("FITS Editor: " + pSpec32->FileName()));
  HideGroup();
  PrepareEditorHeader(*pSpec32, *pWork);
  FillList();
  LvCards->setFocus();
  SelectRow(std::min(6, pWork->Count() - 1));
}

bool TFitsEditor::Editing() const { return !GbEdit->isHidden(); }

void TFitsEditor::FillList() {
  // Read every card first: one the editor cannot show leaves the list as it was.
  std::vector<QTreeWidgetItem *> Items;
  try {
    for (int i = 0; i < pWork->Count(); ++i) {
      std::string Key, Value, Comment;
      int Typ;
      pWork->ReadLine(i, Key, Value, Comment, Typ);
      Items.push_back(new QTreeWidgetItem(
          {QString::fromStdString(Key), QString::fromStdString(Value), QString::fromStdString(Comment)}));
    }
  } catch (...) {
    for (QTreeWidgetItem *I : Items)
      delete I;
    throw;
  }
  const QSignalBlocker Block(LvCards);
  LvCards->clear();
  for (QTreeWidgetItem *I : Items)
    LvCards->addTopLevelItem(I);
  pEditIndex = -1;
}

void TFitsEditor::SelectRow(int Row) {
  if (Row < 0 || Row >= LvCards->topLevelItemCount()) {
    pEditIndex = -1;
    RowSelected();
    return;
  }
  QTreeWidgetItem *I = LvCards->topLevelItem(Row);
  LvCards->setCurrentItem(I);
  I->setSelected(true);
  pEditIndex = Row;
  RowSelected();
}

void TFitsEditor::RowSelected() {
  if (Editing()) return;
  bool Editable = false;
  if (pEditIndex >= 0 && pEditIndex < pWork->Count())
    Editable = !IsForbiddenKeyword(pWork->Strings(pEditIndex).substr(0, 8));
  BuEdit->setEnabled(Editable);
  BuDelete->setEnabled(Editable);
  // New cards always come after the fourth card or later.
  BuAdd->setEnabled(pEditIndex > 2);
}

void TFitsEditor::BuDeleteClick() {
  if (pEditIndex < 0 || !BuDelete->isEnabled()) return;
  const int Row = pEditIndex;
  pWork->Delete(Row);
  FillList();
  SelectRow(std::max(Row - 1, 0));
}

void TFitsEditor::BuEditClick() {
  if (pEditIndex < 0 || !BuEdit->isEnabled()) return;
  pMode = emEdit;
  std::string Key, Value, Comment;
  int Typ;
  pWork->ReadLine(pEditIndex, Key, Value, Comment, Typ);
  EdKey->setText(QString::fromStdString(Trim(Key)));
  EdValue->setText(QString::fromStdString(Value));
  EdComment->setText(QString::fromStdString(Comment));
  SetSelectedType(Typ);
  GbEdit->setTitle("Edit Key");
  CbKeys->hide();
  ShowGroup();
}

void TFitsEditor::BuAddClick() {
  if (pEditIndex < 0 || !BuAdd->isEnabled()) return;
  pMode = emAdd;
  EdKey->clear();
  EdValue->clear();
  EdComment->clear();
  SetSelectedType(2);
  GbEdit->setTitle("Add Key");
  CbKeys->setCurrentIndex(-1);
  CbKeys->show();
  ShowGroup();
}

void TFitsEditor::CbKeysSelect(int Index) {
  if (Index < 0) return;
  EdKey->setText(CbKeys->itemText(Index));
  SetSelectedType(-1);
}

int TFitsEditor::SelectedType() const { return RgType->checkedId() - 1; }

void TFitsEditor::SetSelectedType(int Typ) {
  if (QAbstractButton *B = RgType->button(Typ + 1)) B->setChecked(true);
}

void TFitsEditor::ShowGroup() {
  GbEdit->show();
  for (QWidget *W : pList)
    W->setEnabled(false);
  BuOK->setDefault(false);
  BuGroupOK->setDefault(true);
  EdKey->setFocus();
}

void TFitsEditor::HideGroup() {
  GbEdit->hide();
  for (QWidget *W : pList)
    W->setEnabled(true);
  BuGroupOK->setDefault(false);
  BuOK->setDefault(true);
}

void TFitsEditor::GroupCancelClick() {
  HideGroup();
  SelectRow(pEditIndex);
}

void TFitsEditor::GroupOKClick() {
  const TEditedCard C = ComposeEditedCard(EdKey->text().toStdString(), EdValue->text().toStdString(),
                                          EdComment->text().toStdString(), SelectedType());
  if (C.CommentDiscarded) {
    Ui().InfoBox("Comment discarded");
    EdComment->clear();
  }
  if (C.TypeForced) {
    Ui().InfoBox("Type forced to \"None\"");
    SetSelectedType(-1);
  }
  int Row = pEditIndex;
  if (pMode == emEdit) {
    pWork->SetStrings(Row, C.Card);
  } else {
    ++Row;
    pWork->Insert(Row, C.Card);
  }
  HideGroup();
  FillList();
  SelectRow(Row);
}

void TFitsEditor::BuAddBessClick() {
  const int Row = pEditIndex;
  AddBessKeywords(*pWork, pGlobalData.OBSERVER(), pGlobalData.BSS_INST(), pGlobalData.BSS_SITE());
  FillList();
  SelectRow(Row);
}

void TFitsEditor::BuOKClick() {
  ORVA_ASSERT(pSpec32 != nullptr);
  pSpec32->FitsBess() = *pWork;
  accept();
}

void TFitsEditor::BuCancelClick() { reject(); }

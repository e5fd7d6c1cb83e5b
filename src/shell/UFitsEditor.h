#pragma once
// The header editor: works on a copy of one spectrum's header and writes it back on OK.
#include <QDialog>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class TFitsBess;
class TGlobalData;
class TSpec32;

class TFitsEditor : public QDialog {
  Q_OBJECT
public:
  enum TMode { emEdit, emAdd };

  TFitsEditor(TGlobalData &GlobalData, QWidget *Parent = nullptr);
  ~TFitsEditor() override;

  // Prepares the working copy for the spectrum and shows the editor modally. A card the
  // editor cannot read stops it from opening with the card's error.
  void Execute(TSpec32 &Spec);
  void FormShow();

  void SelectRow(int Row);
  void BuEditClick();
  void BuDeleteClick();
  void BuAddClick();
  void BuAddBessClick();
  void BuOKClick();
  void BuCancelClick();
  void CbKeysSelect(int Index);
  void GroupOKClick();
  void GroupCancelClick();

  // The type choice: -1 none, 0 integer, 1 floating, 2 string, 3 logical.
  int SelectedType() const;
  void SetSelectedType(int Typ);

  const TFitsBess &Work() const { return *pWork; }
  int EditIndex() const { return pEditIndex; }
  TMode Mode() const { return pMode; }
  bool Editing() const;

  QTreeWidget *LvCards;
  QPushButton *BuEdit;
  QPushButton *BuDelete;
  QPushButton *BuAdd;
  QPushButton *BuAddBess;
  QPushButton *BuOK;
  QPushButton *BuCancel;
  QGroupBox *GbEdit;
  QLineEdit *EdKey;
  QLineEdit *EdValue;
  QLineEdit *EdComment;
  QButtonGroup *RgType;
  QComboBox *CbKeys;
  QPushButton *BuGroupOK;
  QPushButton *BuGroupCancel;

private:
  void FillList();
  void RowSelected();
  void ShowGroup();
  void HideGroup();

  TGlobalData &pGlobalData;
  TSpec32 *pSpec32 = nullptr;
  std::unique_ptr<TFitsBess> pWork;
  std::vector<QWidget *> pList;
  int pEditIndex = -1;
  TMode pMode = emEdit;
};

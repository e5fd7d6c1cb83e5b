#pragma once
// The list of open spectra. It owns every spectrum (one row each), makes new ones for the
// operations (NewFile), refreshes rows (UpdateSpec), gives commands a snapshot of the
// selection (LockAndUpdate ... Unlock) and closes spectra together with their plot windows.
#include <QMainWindow>
#include <QTreeWidgetItem>
#include <memory>
#include <string>
#include <vector>

#include "gui/USpecList.h"

class QTreeWidget;
class QToolBar;
class QMenu;
class TProfileHost;
class TSpec32;

// A row of the list; it owns the spectrum it shows.
class TFileListItem : public QTreeWidgetItem {
public:
  explicit TFileListItem(std::unique_ptr<TSpec32> Spec);
  ~TFileListItem() override;
  TSpec32 &Spec() const { return *pSpec; }
  // The list's order for its sort column (see CompareListCells).
  bool operator<(const QTreeWidgetItem &Other) const override;

private:
  std::unique_ptr<TSpec32> pSpec;
};

class TFileList : public QMainWindow, public TSpecList {
  Q_OBJECT
public:
  explicit TFileList(TProfileHost &Host, QWidget *Parent = nullptr);
  ~TFileList() override;
  void SetProfileHost(TProfileHost &Host) { pHost = &Host; }

  // A new listed spectrum of Nx points (x = index, y = Val) named after FName with History,
  // or the next "Untitled-N". The caller fills x and y, then calls UpdateSpec.
  TSpec32 &NewFile(const std::string &FName, const std::string &History, int32_t Nx, double Val,
                   const TSpec32 *HeaderSource) override;
  // Min/max of the spectrum and its row's "Equ", "Min" and "Max".
  void UpdateSpec(TSpec32 &Spec32) override;
  void LockAndUpdate() override;
  void Unlock() override;
  void SelectInList(const TSpec32 &Spec32);
  int GetItemIndex(const TSpec32 *Spec32) const;
  void CloseSpec(TSpec32 *Spec);
  // After a save: the row's caption and "Path", the spectrum's name and folder, the plot
  // window's caption; the row can no longer be renamed in place.
  void RenameFile(int Index, const std::string &FName);
  // Opens files by extension. A file that cannot be read is reported with its name and
  // skipped; the files after it are still opened.
  void AddFiles(const std::vector<std::string> &FNames, int colx, int coly, int header);
  std::unique_ptr<TSpec32> ReadFromFile(const std::string &FName, int colx, int coly, int header);
  void CloseAll();
  // Closes the selected rows without asking (the command asks first, see TMain).
  void CloseSelected();
  void CopySelected();
  void ShowXAxis();
  void SortByName();
  // Sorts by any column; clicking a column's header again reverses the order.
  void SortByColumn(int Column, Qt::SortOrder Order);
  // A message of a reader (through the main window's message sink) while AddFiles reads a
  // file: shown with the file's name in front unless it names the file already.
  std::string NameTheFile(const std::string &Msg) const;
  // In-place editing of the selected row's name (unsaved spectra only).
  void StartRename();

  bool Locked() const { return pLocked; }
  int NListed() const { return pNListed; }
  int NSelected() const override { return pNSelected; }
  bool DeletingInProgress() const { return pDeletingInProgress; }
  int UntitledCounter() const { return pUntitledCounter; }
  // The live number of selected rows.
  int CurrentlySelected() const;
  // The spectrum of the only selected row, or nullptr (live).
  TSpec32 *SingleSelected() const;
  const std::vector<TSpec32 *> &IListed() const override { return pIListed; }
  const std::vector<TSpec32 *> &ISelected() const override { return pISelected; }
  const std::vector<int> &IIndex() const { return pIIndex; }

  int Count() const;
  TSpec32 &Spec(int Row) const;
  int CountUnsaved() const;
  // Unsaved spectra among the selected rows (live).
  int CountSelectedUnsaved() const;

  QTreeWidget *ListView;
  QToolBar *ToolBar;
  QMenu *ContextMenu;

signals:
  void ViewProfileRequested();
  void FilesDropped(const QStringList &Names);

protected:
  void dragEnterEvent(QDragEnterEvent *E) override;
  void dropEvent(QDropEvent *E) override;

private:
  void AddRow(std::unique_ptr<TSpec32> Spec);
  void FillRow(TFileListItem &Item);
  void RemoveRow(int Row);
  void ItemChanged(QTreeWidgetItem *Item, int Column);
  void HeaderClicked(int Section);
  TFileListItem *Item(int Row) const;

  TProfileHost *pHost;
  bool pLocked = false;
  int pNListed = 0;
  int pNSelected = 0;
  int pUntitledCounter = 0;
  bool pDeletingInProgress = false;
  bool pFilling = false;
  // The file AddFiles is reading, for the messages of the readers.
  std::string pReading;
  int pSortColumn = -1;
  Qt::SortOrder pSortOrder = Qt::AscendingOrder;
  std::vector<TSpec32 *> pIListed;
  std::vector<TSpec32 *> pISelected;
  std::vector<int> pIIndex;
};

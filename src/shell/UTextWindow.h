#pragma once
// The points of the single selected spectrum as a table (at most 5000 rows).
#include <QDialog>

class QPushButton;
class QTableWidget;
class TFileList;
class TSpec32;

class TTextWindow : public QDialog {
  Q_OBJECT
public:
  TTextWindow(TFileList &FileList, QWidget *Parent = nullptr);
  // A new window for every use, shown modally and destroyed when it closes.
  static void Execute(TFileList &FileList, QWidget *Parent);
  void FormShow();

  TSpec32 *Source() const { return pSource; }
  QTableWidget *LvPoints;
  QPushButton *BuClose;

private:
  TFileList &pFileList;
  TSpec32 *pSource = nullptr;
};

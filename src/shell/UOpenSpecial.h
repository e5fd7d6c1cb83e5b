#pragma once
// "Open Special": text column files with chosen columns and header lines; also the body of
// the plain Open command, files dropped on the windows and files named at start.
#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class TFileList;

// Name as a full file name against the current folder ("a.dat", "../x/b.fits"), with "." and
// ".." resolved; a full name stays as it is apart from that.
std::string AbsoluteFileName(const std::string &Name);

class TOpenSpecial : public QDialog {
  Q_OBJECT
public:
  TOpenSpecial(TFileList &FileList, QWidget *Parent = nullptr);

  static constexpr const char *TextFilter = "*.dat, *.txt, *.ascii|*.dat;*.txt;*.ascii|*.*|*.*";
  static constexpr const char *AllFilter =
      "*.dat, *.txt, *.ascii, *.fit, *.fits, *.fts|*.dat;*.txt;*.ascii;*.fit;*.fits;*.fts|*.*|*.*";

  // Shows the dialog modally with the values of its last use.
  void Execute();
  void FormShow();
  void BuOpenClick();
  // The open dialog with this dialog's filter, then the chosen files into the list with its
  // columns and header count; closes this dialog.
  void OpenFiles();
  // The Open command: all file types, read with the defaults (columns 1 and 2, no header
  // lines). This dialog's own fields stay as the user left them for its next use.
  void OpenPlain();
  // Names from elsewhere (drops, the command line), opened as the Open command opens them.
  void OpenAsPlainOpen(const std::vector<std::string> &Names);

  int ColX() const { return pColX; }
  int ColY() const { return pColY; }
  int Header() const { return pHeader; }
  const std::string &Filter() const { return pFilter; }

  QLineEdit *EdColX;
  QLineEdit *EdColY;
  QLineEdit *EdHeader;
  QPushButton *BuOpen;
  QPushButton *BuCancel;

private:
  // The open dialog; the names chosen, empty when cancelled.
  std::vector<std::string> AskNames(const std::string &Filter);
  void OpenNames(const std::vector<std::string> &Names, int ColX, int ColY, int Header);
  TFileList &pFileList;
  int pColX = 1;
  int pColY = 2;
  int pHeader = 0;
  std::string pFilter = TextFilter;
};

#pragma once
// The base of the operation dialogs: the list of the spectra selected when the dialog opens,
// their number, the spectrum being read and the one being written, the OK and Cancel buttons,
// and the show step that fills the list. A dialog is created once and reused; its fields keep
// the values of its last use.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "ops/UOpResult.h"
#include "ops/UOpRun.h"

class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class TSpecList;
class TSpec32;

class TOpTemplate : public QDialog {
  Q_OBJECT
public:
  // ClassName names the dialog in the show step's guard ("TOpCrop.FormShow: UE"); MinFiles is
  // the least number of selected spectra its command is enabled for.
  TOpTemplate(TSpecList &FileList, const char *ClassName, const QString &Caption, int MinFiles,
              QWidget *Parent = nullptr);

  // The show step, then the dialog modally.
  void Execute();
  // Takes the selection snapshot and lists the selected spectra's names in LbFiles.
  void FormShow();
  // The buttons. OK runs the operation; a failure is reported and leaves the dialog open.
  void BuOKClick();
  void BuCancelClick();

  int NFiles() const { return pNFiles; }
  const std::vector<TSpec32 *> &Files() const { return pFiles; }
  TSpec32 *Source() const { return pSource; }
  TSpec32 *Destination() const { return pDestination; }

  QLabel *LaFiles;
  QListWidget *LbFiles;
  QPushButton *BuOK;
  QPushButton *BuCancel;

protected:
  // The operation on the spectra of Files(); closes the dialog with accept() when it is done.
  virtual void Apply() = 0;
  // Runs inside the show step's snapshot, after the list is filled.
  virtual void FormShowLocked() {}
  // Runs after the snapshot is released (focus to the main parameter control, for example).
  virtual void FormShowDone() {}
  // The column beside the file list where a dialog puts its parameter controls.
  QVBoxLayout *Params() const { return pParams; }
  // Step over every spectrum of Files() in order, with the message policy every operation
  // shares (RunOperation): results listed, refusals told. pSource is the spectrum being read,
  // pDestination the one made last. The dialog closes when the run completed; after a refusal
  // that ended it or a refused check it stays open. Returns how the run ended.
  TOpRunEnd RunOverFiles(const std::function<TOpOutcome(TSpec32 &)> &Step, const TOpRunRules &Rules = {});
  // The selected spectra, read-only.
  std::vector<const TSpec32 *> Sources() const { return {pFiles.begin(), pFiles.end()}; }

  TSpecList &pFileList;
  int pNFiles = 0;
  TSpec32 *pSource = nullptr;
  TSpec32 *pDestination = nullptr;

private:
  std::string pClassName;
  int pMinFiles;
  std::vector<TSpec32 *> pFiles;
  QVBoxLayout *pParams;
};

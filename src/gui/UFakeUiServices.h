#pragma once
// The scripted stand-in for the UI services in tests: it records every box and dialog and
// answers questions from queues filled by the test. A question without a scripted answer is
// recorded in Unexpected and answered with the cautious choice (No, Cancel, Return to program).
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gui/UUiServices.h"

class TFakeUiServices : public TUiServices {
public:
  enum TKind {
    kError,
    kInfo,
    kMessage,
    kYesNo,
    kOverwrite,
    kUnsaved,
    kOpen,
    kSave,
    kFolder,
    kColour,
    kModal
  };
  struct TRecord {
    TKind Kind;
    std::string Text;
  };

  std::vector<TRecord> Records;
  std::vector<std::string> Unexpected;
  std::vector<TFileDialogSpec> FileDialogs;
  // The default button of each Yes/No question asked (true: Yes).
  std::vector<bool> YesNoDefaults;

  std::deque<bool> YesNoAnswers;
  std::deque<TOverwriteAnswer> OverwriteAnswers;
  std::deque<bool> UnsavedAnswers;
  std::deque<std::vector<std::string>> OpenAnswers;
  std::deque<std::string> SaveAnswers;
  std::deque<std::string> FolderAnswers;
  std::deque<std::optional<uint32_t>> ColourAnswers;
  // Each modal dialog runs the next script, which drives the dialog through its methods;
  // ShowModal returns the dialog's result afterwards.
  std::deque<std::function<void(QDialog &)>> ModalScripts;

  void ErrorBox(const std::string &Text) override;
  void InfoBox(const std::string &Text) override;
  void MessageBox(const std::string &Text) override;
  bool YesNo(const std::string &Caption, const std::string &Text, bool DefaultYes = true) override;
  TOverwriteAnswer AskOverwrite(const std::string &FileNameQuestion) override;
  bool AskCloseWithUnsaved(const std::string &Text) override;
  std::vector<std::string> OpenFileNames(const TFileDialogSpec &Spec) override;
  std::string SaveFileName(const TFileDialogSpec &Spec) override;
  std::string SelectDirectory(const std::string &Title, const std::string &StartDir) override;
  std::optional<uint32_t> ChooseColour(uint32_t Initial) override;
  int ShowModal(QDialog &Dialog) override;

  // The texts recorded of one kind, in order.
  std::vector<std::string> Texts(TKind Kind) const;
  void Clear();
};

// Installs a fake for the lifetime of the object and puts the previous services back.
class TScopedFakeUi {
public:
  TScopedFakeUi();
  ~TScopedFakeUi();
  TScopedFakeUi(const TScopedFakeUi &) = delete;
  TScopedFakeUi &operator=(const TScopedFakeUi &) = delete;
  TFakeUiServices &operator*() { return *pFake; }
  TFakeUiServices *operator->() { return pFake; }

private:
  TFakeUiServices *pFake;
  std::unique_ptr<TUiServices> pPrevious;
};

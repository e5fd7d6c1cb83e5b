#pragma once
// Everything that waits for the user goes through one small interface: message boxes,
// questions, the file dialogs, the folder and colour choosers, and running a dialog modally.
// The program installs the Qt implementation; tests install a scripted fake that records
// what was shown and answers from a script.
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

enum class TOverwriteAnswer { Yes, No, YesToAll };

// An open or save dialog. Filter is a list of description|pattern pairs
// ("*.dat|*.dat|*.*|*.*"); DefaultExt is added to a typed name without extension.
struct TFileDialogSpec {
  std::string Title;
  std::string Filter;
  std::string DefaultExt;
  std::string StartDir;
  std::string FileName; // proposed name (save dialogs)
  bool Multi = false;   // several files (open dialogs)
  bool AskOverwrite = false;
};

class TUiServices {
public:
  virtual ~TUiServices() = default;
  // Boxes with one OK button: error icon, information icon, and the plain box without icon.
  virtual void ErrorBox(const std::string &Text) = 0;
  virtual void InfoBox(const std::string &Text) = 0;
  virtual void MessageBox(const std::string &Text) = 0;
  // A Yes/No question; true for Yes. A question whose Yes loses work has No as its default
  // button (DefaultYes false), so that Enter keeps the work.
  virtual bool YesNo(const std::string &Caption, const std::string &Text, bool DefaultYes = true) = 0;
  // The multi-file save's question "Overwrite file" NAME?
  virtual TOverwriteAnswer AskOverwrite(const std::string &FileNameQuestion) = 0;
  // The quit warning; true for "Close anyway", false for "Return to program".
  virtual bool AskCloseWithUnsaved(const std::string &Text) = 0;
  // Full names chosen, empty when cancelled.
  virtual std::vector<std::string> OpenFileNames(const TFileDialogSpec &Spec) = 0;
  virtual std::string SaveFileName(const TFileDialogSpec &Spec) = 0;
  // The chosen folder without trailing separator, empty when cancelled.
  virtual std::string SelectDirectory(const std::string &Title, const std::string &StartDir) = 0;
  // 0xRRGGBB, none when cancelled.
  virtual std::optional<uint32_t> ChooseColour(uint32_t Initial) = 0;
  // Runs a dialog that the caller has prepared; returns QDialog::Accepted or Rejected.
  virtual int ShowModal(QDialog &Dialog) = 0;
};

// The services in use (the Qt implementation unless another was installed).
TUiServices &Ui();
// Installs Services and returns the previous ones (so a test can put them back).
std::unique_ptr<TUiServices> InstallUiServices(std::unique_ptr<TUiServices> Services);

// The text the user sees for a caught exception.
std::string ExceptionText(std::exception_ptr E);

// Reports an exception caught at a command entry point: the general error with its text,
// an internal consistency failure with its "Assertion failure (unit, line n)" text.
void ReportException(std::exception_ptr E);

// Runs a command body so that no exception crosses the event loop.
template <class F> void Guarded(F &&Body) {
  try {
    Body();
  } catch (...) {
    ReportException(std::current_exception());
  }
}

// The Qt implementation: real message boxes and dialogs.
class TQtUiServices : public TUiServices {
public:
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
};

// The window that the Qt services' boxes and dialogs belong to (the active one).
QWidget *UiOwner();

// The file dialogs, AskOverwrite, AskCloseWithUnsaved and QtFileFilter are defined in
// shell/UQtUiServices.cpp, beside the dialogs and filter rules they use.

// "*.dat, *.txt|*.dat;*.txt|*.*|*.*" in the form of Qt's file dialogs:
// "*.dat, *.txt (*.dat *.txt);;*.* (*)".
std::string QtFileFilter(const std::string &Filter);

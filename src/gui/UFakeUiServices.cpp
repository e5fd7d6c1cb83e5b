#include "gui/UFakeUiServices.h"

#include <QDialog>

namespace {
template <class T> bool Next(std::deque<T> &Q, T &Out) {
  if (Q.empty()) return false;
  Out = std::move(Q.front());
  Q.pop_front();
  return true;
}
} // namespace

void TFakeUiServices::ErrorBox(const std::string &Text) { Records.push_back({kError, Text}); }
void TFakeUiServices::InfoBox(const std::string &Text) { Records.push_back({kInfo, Text}); }
void TFakeUiServices::MessageBox(const std::string &Text) { Records.push_back({kMessage, Text}); }

bool TFakeUiServices::YesNo(const std::string &Caption, const std::string &Text, bool DefaultYes) {
  Records.push_back({kYesNo, Caption + ": " + Text});
  YesNoDefaults.push_back(DefaultYes);
  bool A = false;
  if (!Next(YesNoAnswers, A)) Unexpected.push_back("YesNo: " + Text);
  return A;
}

TOverwriteAnswer TFakeUiServices::AskOverwrite(const std::string &FileNameQuestion) {
  Records.push_back({kOverwrite, FileNameQuestion});
  TOverwriteAnswer A = TOverwriteAnswer::No;
  if (!Next(OverwriteAnswers, A)) Unexpected.push_back("Overwrite: " + FileNameQuestion);
  return A;
}

bool TFakeUiServices::AskCloseWithUnsaved(const std::string &Text) {
  Records.push_back({kUnsaved, Text});
  bool A = false;
  if (!Next(UnsavedAnswers, A)) Unexpected.push_back("Unsaved: " + Text);
  return A;
}

std::vector<std::string> TFakeUiServices::OpenFileNames(const TFileDialogSpec &Spec) {
  Records.push_back({kOpen, Spec.Title});
  FileDialogs.push_back(Spec);
  std::vector<std::string> A;
  if (!Next(OpenAnswers, A)) Unexpected.push_back("Open: " + Spec.Title);
  return A;
}

std::string TFakeUiServices::SaveFileName(const TFileDialogSpec &Spec) {
  Records.push_back({kSave, Spec.Title});
  FileDialogs.push_back(Spec);
  std::string A;
  if (!Next(SaveAnswers, A)) Unexpected.push_back("Save: " + Spec.Title);
  return A;
}

std::string TFakeUiServices::SelectDirectory(const std::string &Title, const std::string &StartDir) {
  Records.push_back({kFolder, Title + " @ " + StartDir});
  std::string A;
  if (!Next(FolderAnswers, A)) Unexpected.push_back("Folder: " + Title);
  return A;
}

std::optional<uint32_t> TFakeUiServices::ChooseColour(uint32_t) {
  Records.push_back({kColour, ""});
  std::optional<uint32_t> A;
  if (!Next(ColourAnswers, A)) Unexpected.push_back("Colour");
  return A;
}

int TFakeUiServices::ShowModal(QDialog &Dialog) {
  Records.push_back({kModal, Dialog.windowTitle().toStdString()});
  std::function<void(QDialog &)> Script;
  if (!Next(ModalScripts, Script)) {
    Unexpected.push_back("Modal: " + Dialog.windowTitle().toStdString());
    Dialog.reject();
    return QDialog::Rejected;
  }
  Dialog.setResult(QDialog::Rejected);
  Script(Dialog);
  return Dialog.result();
}

std::vector<std::string> TFakeUiServices::Texts(TKind Kind) const {
  std::vector<std::string> R;
  for (const TRecord &Rec : Records)
    if (Rec.Kind == Kind) R.push_back(Rec.Text);
  return R;
}

void TFakeUiServices::Clear() {
  Records.clear();
  Unexpected.clear();
  FileDialogs.clear();
  YesNoDefaults.clear();
}

TScopedFakeUi::TScopedFakeUi() {
  auto F = std::make_unique<TFakeUiServices>();
  pFake = F.get();
  pPrevious = InstallUiServices(std::move(F));
}

TScopedFakeUi::~TScopedFakeUi() { InstallUiServices(std::move(pPrevious)); }

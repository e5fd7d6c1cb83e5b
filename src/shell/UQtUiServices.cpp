#define ORVA_UNIT "UQtUiServices"
// The parts of the Qt user-interface services that show the shell's own dialogs (the overwrite
// and unsaved-work warnings) or follow its file-filter rules. They live here, above the GUI
// foundations, so that those never include from the shell.
#include <QDialog>
#include <QFileDialog>

#include "gui/UUiServices.h"
#include "shell/UFileListCore.h"
#include "shell/UOverwriteWarning.h"
#include "shell/USaveWarning.h"

namespace {
QString Q(const std::string &S) { return QString::fromStdString(S); }
} // namespace

std::string QtFileFilter(const std::string &Filter) {
  std::string R;
  for (const TFilterEntry &E : ParseFileFilter(Filter)) {
    if (!R.empty()) R += ";;";
    std::string Pats;
    for (const std::string &P : E.Patterns) {
      if (!Pats.empty()) Pats += ' ';
      Pats += P == "*.*" ? "*" : P;
    }
    R += E.Description + " (" + Pats + ")";
  }
  return R;
}

TOverwriteAnswer TQtUiServices::AskOverwrite(const std::string &FileNameQuestion) {
  TOverwriteWarning W(UiOwner());
  W.SetQuestion(FileNameQuestion);
  W.exec();
  return W.Answer();
}

bool TQtUiServices::AskCloseWithUnsaved(const std::string &Text) {
  TSaveWarning W(UiOwner());
  W.SetText(Text);
  return W.exec() == QDialog::Accepted;
}

std::vector<std::string> TQtUiServices::OpenFileNames(const TFileDialogSpec &Spec) {
  QFileDialog D(UiOwner(), Q(Spec.Title), Q(Spec.StartDir), Q(QtFileFilter(Spec.Filter)));
  D.setAcceptMode(QFileDialog::AcceptOpen);
  D.setFileMode(Spec.Multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  std::vector<std::string> R;
  if (D.exec() == QDialog::Accepted)
    for (const QString &F : D.selectedFiles())
      R.push_back(F.toStdString());
  return R;
}

std::string TQtUiServices::SaveFileName(const TFileDialogSpec &Spec) {
  QFileDialog D(UiOwner(), Q(Spec.Title), Q(Spec.StartDir), Q(QtFileFilter(Spec.Filter)));
  D.setAcceptMode(QFileDialog::AcceptSave);
  D.setFileMode(QFileDialog::AnyFile);
  D.setDefaultSuffix(Q(Spec.DefaultExt));
  if (!Spec.AskOverwrite) D.setOption(QFileDialog::DontConfirmOverwrite);
  if (!Spec.FileName.empty()) D.selectFile(Q(Spec.FileName));
  if (D.exec() != QDialog::Accepted || D.selectedFiles().isEmpty()) return {};
  return D.selectedFiles().first().toStdString();
}

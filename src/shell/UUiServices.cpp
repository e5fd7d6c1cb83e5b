#define ORVA_UNIT "UUiServices"
#include "shell/UUiServices.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <exception>

#include "core/UErrors.h"
#include "shell/UFileListCore.h"
#include "shell/UOverwriteWarning.h"
#include "shell/USaveWarning.h"

namespace {
std::unique_ptr<TUiServices> &Current() {
  static std::unique_ptr<TUiServices> S;
  return S;
}
QString Q(const std::string &S) { return QString::fromStdString(S); }
QWidget *Owner() { return QApplication::activeWindow(); }
} // namespace

TUiServices &Ui() {
  auto &S = Current();
  if (!S) S = std::make_unique<TQtUiServices>();
  return *S;
}

std::unique_ptr<TUiServices> InstallUiServices(std::unique_ptr<TUiServices> Services) {
  std::unique_ptr<TUiServices> Old = std::move(Current());
  Current() = std::move(Services);
  return Old;
}

std::string ExceptionText(std::exception_ptr E) {
  try {
    std::rethrow_exception(E);
  } catch (const EOrvaError &X) {
    return X.what();
  } catch (const EAssertFailure &X) {
    return X.what();
  } catch (const std::bad_alloc &) {
    return "Out of memory";
  } catch (const std::exception &X) {
    return X.what();
  } catch (...) {
    return "Unknown error";
  }
}

void ReportException(std::exception_ptr E) { Ui().ErrorBox(ExceptionText(E)); }

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

void TQtUiServices::ErrorBox(const std::string &Text) {
  QMessageBox::critical(Owner(), QApplication::applicationDisplayName(), Q(Text));
}

void TQtUiServices::InfoBox(const std::string &Text) {
  QMessageBox::information(Owner(), QApplication::applicationDisplayName(), Q(Text));
}

void TQtUiServices::MessageBox(const std::string &Text) {
  QMessageBox Box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), Q(Text), QMessageBox::Ok,
                  Owner());
  Box.exec();
}

bool TQtUiServices::YesNo(const std::string &Caption, const std::string &Text, bool DefaultYes) {
  return QMessageBox::question(Owner(), Q(Caption), Q(Text), QMessageBox::Yes | QMessageBox::No,
                               DefaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

TOverwriteAnswer TQtUiServices::AskOverwrite(const std::string &FileNameQuestion) {
  TOverwriteWarning W(Owner());
  W.SetQuestion(FileNameQuestion);
  W.exec();
  return W.Answer();
}

bool TQtUiServices::AskCloseWithUnsaved(const std::string &Text) {
  TSaveWarning W(Owner());
  W.SetText(Text);
  return W.exec() == QDialog::Accepted;
}

std::vector<std::string> TQtUiServices::OpenFileNames(const TFileDialogSpec &Spec) {
  QFileDialog D(Owner(), Q(Spec.Title), Q(Spec.StartDir), Q(QtFileFilter(Spec.Filter)));
  D.setAcceptMode(QFileDialog::AcceptOpen);
  D.setFileMode(Spec.Multi ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  std::vector<std::string> R;
  if (D.exec() == QDialog::Accepted)
    for (const QString &F : D.selectedFiles())
      R.push_back(F.toStdString());
  return R;
}

std::string TQtUiServices::SaveFileName(const TFileDialogSpec &Spec) {
  QFileDialog D(Owner(), Q(Spec.Title), Q(Spec.StartDir), Q(QtFileFilter(Spec.Filter)));
  D.setAcceptMode(QFileDialog::AcceptSave);
  D.setFileMode(QFileDialog::AnyFile);
  D.setDefaultSuffix(Q(Spec.DefaultExt));
  if (!Spec.AskOverwrite) D.setOption(QFileDialog::DontConfirmOverwrite);
  if (!Spec.FileName.empty()) D.selectFile(Q(Spec.FileName));
  if (D.exec() != QDialog::Accepted || D.selectedFiles().isEmpty()) return {};
  return D.selectedFiles().first().toStdString();
}

std::string TQtUiServices::SelectDirectory(const std::string &Title, const std::string &StartDir) {
  return QFileDialog::getExistingDirectory(Owner(), Q(Title), Q(StartDir)).toStdString();
}

std::optional<uint32_t> TQtUiServices::ChooseColour(uint32_t Initial) {
  const QColor C = QColorDialog::getColor(QColor::fromRgb(Initial), Owner());
  if (!C.isValid()) return std::nullopt;
  return static_cast<uint32_t>(C.rgb() & 0xFFFFFF);
}

int TQtUiServices::ShowModal(QDialog &Dialog) { return Dialog.exec(); }

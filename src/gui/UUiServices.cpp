#define ORVA_UNIT "UUiServices"
#include "gui/UUiServices.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <exception>

#include "core/UErrors.h"

namespace {
std::unique_ptr<TUiServices> &Current() {
  static std::unique_ptr<TUiServices> S;
  return S;
}
QString Q(const std::string &S) { return QString::fromStdString(S); }
} // namespace

QWidget *UiOwner() { return QApplication::activeWindow(); }

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

void TQtUiServices::ErrorBox(const std::string &Text) {
  QMessageBox::critical(UiOwner(), QApplication::applicationDisplayName(), Q(Text));
}

void TQtUiServices::InfoBox(const std::string &Text) {
  QMessageBox::information(UiOwner(), QApplication::applicationDisplayName(), Q(Text));
}

void TQtUiServices::MessageBox(const std::string &Text) {
  QMessageBox Box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), Q(Text), QMessageBox::Ok,
                  UiOwner());
  Box.exec();
}

bool TQtUiServices::YesNo(const std::string &Caption, const std::string &Text, bool DefaultYes) {
  return QMessageBox::question(UiOwner(), Q(Caption), Q(Text), QMessageBox::Yes | QMessageBox::No,
                               DefaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

std::string TQtUiServices::SelectDirectory(const std::string &Title, const std::string &StartDir) {
  return QFileDialog::getExistingDirectory(UiOwner(), Q(Title), Q(StartDir)).toStdString();
}

std::optional<uint32_t> TQtUiServices::ChooseColour(uint32_t Initial) {
  const QColor C = QColorDialog::getColor(QColor::fromRgb(Initial), UiOwner());
  if (!C.isValid()) return std::nullopt;
  return static_cast<uint32_t>(C.rgb() & 0xFFFFFF);
}

int TQtUiServices::ShowModal(QDialog &Dialog) { return Dialog.exec(); }

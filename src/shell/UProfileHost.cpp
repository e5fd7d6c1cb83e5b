#include "shell/UProfileHost.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/USpec32.h"

QMdiSubWindow *TPlaceholderProfiles::Window(const TSpec32 &Spec) const {
  auto It = pWindows.find(&Spec);
  return It == pWindows.end() ? nullptr : It->second.data();
}

void TPlaceholderProfiles::ShowProfile(TSpec32 &Spec, int Width, int Height) {
  QMdiSubWindow *W = Window(Spec);
  if (!W) {
    auto *Content = new QLabel;
    Content->setAlignment(Qt::AlignCenter);
    W = pArea->addSubWindow(Content);
    W->setAttribute(Qt::WA_DeleteOnClose);
    W->setWindowTitle(QString::fromStdString(Spec.FileName()));
    W->resize(Width, Height);
    pWindows[&Spec] = W;
  }
  W->show();
  W->raise();
  pArea->setActiveSubWindow(W);
}

void TPlaceholderProfiles::CloseProfile(TSpec32 &Spec) {
  auto It = pWindows.find(&Spec);
  if (It == pWindows.end()) return;
  QPointer<QMdiSubWindow> W = It->second;
  pWindows.erase(It);
  if (!W) return;
  if (W->isVisible()) W->setFocus();
  // Deleted now, not later: the spectrum it shows is freed next.
  W->close();
  delete W.data();
}

bool TPlaceholderProfiles::HasProfile(const TSpec32 &Spec) const { return Window(Spec) != nullptr; }

void TPlaceholderProfiles::SetProfileCaption(TSpec32 &Spec, const std::string &Caption) {
  if (QMdiSubWindow *W = Window(Spec)) W->setWindowTitle(QString::fromStdString(Caption));
}

TSpec32 *TPlaceholderProfiles::ActiveSpec() const {
  QMdiSubWindow *A = pArea->currentSubWindow();
  if (!A) return nullptr;
  for (const auto &[Spec, W] : pWindows)
    if (W == A) return const_cast<TSpec32 *>(Spec);
  return nullptr;
}

#define ORVA_UNIT "UProfileWindows"
#include "display/UProfileWindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/USpec32.h"
#include "display/USetMinMax.h"
#include "gui/UUiServices.h"

TProfileWindows::TProfileWindows(QMdiArea *Area, TProfileHooks Hooks)
    : pArea(Area), pHooks(std::move(Hooks)) {
  if (!pHooks.SetMinMax) {
    pOwnSetMinMax = std::make_unique<TSetMinMax>(Area ? Area->window() : nullptr);
    pHooks.SetMinMax = pOwnSetMinMax.get();
  }
  connect(pArea, &QMdiArea::subWindowActivated, this, &TProfileWindows::SubWindowActivated);
}

TProfileWindows::~TProfileWindows() {
  // The windows may outlive the host by a moment (the area is destroyed after it): they must
  // not call hooks that refer to a main window that is going away.
  for (auto &[Spec, E] : pWindows)
    if (E.Window) E.Window->DetachHooks();
  disconnect(pArea, nullptr, this, nullptr);
}

TProfile32 *TProfileWindows::Profile(const TSpec32 &Spec) const {
  auto It = pWindows.find(&Spec);
  return It == pWindows.end() ? nullptr : It->second.Window.data();
}

void TProfileWindows::ShowProfile(TSpec32 &Spec, int Width, int Height) {
  TProfile32 *W = Profile(Spec);
  if (!W) {
    // While the active window is maximized, a new one opens maximized as well, drawn at that
    // size from the start.
    QMdiSubWindow *Current = pArea->currentSubWindow();
    const bool Maximized = Current && Current->isMaximized();
    W = new TProfile32(&pHooks);
    pArea->addSubWindow(W);
    W->SetSpec32(&Spec);
    Spec.SetProfile32(W);
    pWindows[&Spec] = TEntry{W, W};
    const TSpec32 *Key = &Spec;
    const QObject *Me = W;
    connect(W, &QObject::destroyed, this, [this, Key, Me] {
      auto It = pWindows.find(Key);
      if (It != pWindows.end() && (It->second.Window.isNull() || It->second.Object == Me)) pWindows.erase(It);
    });
    // Shown before the set-up so that the zoom is computed on the laid-out window; nothing is
    // painted before the event loop runs again.
    if (Maximized)
      W->showMaximized();
    else
      W->show();
    // A spectrum the window cannot draw (its set-up raises) keeps its window, so that it can be
    // closed as usual.
    W->Define(Width, Height);
    // It became the active child while it was not yet set up; the activation counts now.
    if (pArea->currentSubWindow() == W) W->FormActivate();
  }
  W->show();
  W->raise();
  pArea->setActiveSubWindow(W);
}

void TProfileWindows::CloseProfile(TSpec32 &Spec) {
  auto It = pWindows.find(&Spec);
  if (It == pWindows.end()) return;
  QPointer<TProfile32> W = It->second.Window;
  pWindows.erase(It);
  if (!W) return;
  if (W->isVisible()) W->setFocus();
  // Deleted now, not later: the spectrum it shows is freed next.
  W->close();
  delete W.data();
  if (Spec.Profile32()) Spec.SetProfile32(nullptr);
}

bool TProfileWindows::HasProfile(const TSpec32 &Spec) const { return Profile(Spec) != nullptr; }

void TProfileWindows::SetProfileCaption(TSpec32 &Spec, const std::string &Caption) {
  if (TProfile32 *W = Profile(Spec)) W->setWindowTitle(QString::fromStdString(Caption));
}

TProfile32 *TProfileWindows::ActiveProfile32() const {
  return pArea ? qobject_cast<TProfile32 *>(pArea->currentSubWindow()) : nullptr;
}

TSpec32 *TProfileWindows::ActiveSpec() const {
  TProfile32 *P = ActiveProfile32();
  if (!P) return nullptr;
  // Only windows of this host count.
  auto It = pWindows.find(P->Spec32());
  return It != pWindows.end() && It->second.Object == P ? P->Spec32() : nullptr;
}

void TProfileWindows::SubWindowActivated(QMdiSubWindow *W) {
  if (auto *P = qobject_cast<TProfile32 *>(W)) Guarded([P] { P->FormActivate(); });
}

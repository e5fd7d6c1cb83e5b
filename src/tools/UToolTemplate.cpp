#define ORVA_UNIT "UToolTemplate"
#include "tools/UToolTemplate.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "tools/UToolHost.h"

TToolTemplate::TToolTemplate(TToolHost &Host, const QString &Caption, QWidget *Parent)
    : QWidget(Parent, Qt::Tool | Qt::WindowStaysOnTopHint), pHost(Host), pToolId(NewToolId()) {
  setWindowTitle(Caption);
  // Wide enough for its caption in the title bar and the file name in the status bar.
  setMinimumWidth(260);
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto *L = new QVBoxLayout(this);
  L->setContentsMargins(0, 0, 0, 0);
  L->setSpacing(0);
  auto *Content = new QWidget(this);
  pBody = new QVBoxLayout(Content);
  pBody->setContentsMargins(6, 6, 6, 6);
  L->addWidget(Content, 1);
  StatusBar = new QStatusBar(this);
  StatusBar->setSizeGripEnabled(false);
  StatusPanel = new QLabel(StatusBar);
  StatusBar->addWidget(StatusPanel, 1);
  L->addWidget(StatusBar);
}

TToolTemplate::~TToolTemplate() {
  // Whatever this tool still keeps in windows that outlive it goes with it.
  for (TProfile32 *W : pList1)
    W->Context().FreeSlot(pToolId);
}

QString TToolTemplate::StatusText() const { return StatusPanel->text(); }

TLocalData *TToolTemplate::GetLocalData() const {
  if (pActIndex < 0) return nullptr;
  return List2(pActIndex);
}

void TToolTemplate::SetLocalData(std::unique_ptr<TLocalData> Obj) {
  if (pActIndex < 0) return;
  pList1[static_cast<size_t>(pActIndex)]->Context().SetSlot(pToolId, std::move(Obj));
}

TLocalData *TToolTemplate::List2(int32_t k) const {
  ORVA_ASSERT(k >= 0 && k < GetCount());
  return pList1[static_cast<size_t>(k)]->Context().Slot(pToolId);
}

void TToolTemplate::Connect(TProfile32 &Window) {
  const auto It = std::find(pList1.begin(), pList1.end(), &Window);
  const int32_t k = It == pList1.end() ? -1 : static_cast<int32_t>(It - pList1.begin());
  const int32_t Previous = pActIndex;
  if (pActIndex >= 0 && k != pActIndex) {
    StoreLocalData();
    pList1[static_cast<size_t>(pActIndex)]->HideSelection();
  }
  if (k < 0) {
    pList1.push_back(&Window);
    // A window met for the first time starts with an empty slot.
    Window.Context().FreeSlot(pToolId);
    pProfile32 = &Window;
    pSpec32 = Window.Spec32();
    pOverlay = &Window.Overlay();
    pActIndex = GetCount() - 1;
    CreateLocalData();
  } else {
    pProfile32 = &Window;
    pSpec32 = Window.Spec32();
    pOverlay = &Window.Overlay();
    pActIndex = k;
    if (k != Previous) RetreiveLocalData();
  }
  StatusPanel->setText(pSpec32 ? QString::fromStdString(pSpec32->FileName()) : QString());
}

void TToolTemplate::Disconnect(TProfile32 &Window) {
  const auto It = std::find(pList1.begin(), pList1.end(), &Window);
  if (It == pList1.end()) {
    Ui().ErrorBox("TToolTemplate: UE1");
    return;
  }
  Window.Context().FreeSlot(pToolId);
  pList1.erase(It);
  pActIndex = -1;
  pProfile32 = nullptr;
  pSpec32 = nullptr;
  pOverlay = nullptr;
  StatusPanel->clear();
}

void TToolTemplate::Show() {
  const TToolHostEnv &E = pHost.Env();
  adjustSize();
  const int Top = pHost.LastToolPos();
  move(pos().x(), Top);
  // Shown first, so that the frame the window system puts around the panel is known: the
  // panel's outer right edge lies one pixel inside the main window's client area.
  QWidget::show();
  if (E.Main) {
    QWidget *Client = E.Area ? static_cast<QWidget *>(E.Area) : E.Main->centralWidget();
    if (!Client) Client = E.Main;
    const QPoint Origin = Client->mapToGlobal(QPoint(0, 0));
    move(Origin.x() + Client->width() - frameGeometry().width() - 1, Top);
  }
  pHost.SetLastToolPos(Top + frameGeometry().height());
  for (TProfile32 *W : pHost.ProfileWindows())
    Connect(*W);
}

void TToolTemplate::ClearOverlays() {
  for (TProfile32 *W : pList1)
    if (W->Overlay().Count() > 0) {
      W->Overlay().Clear();
      W->FillBitmap();
    }
}

void TToolTemplate::Hide() {
  if (pHiding) return;
  pHiding = true;
  // The slots go before the overlays: a tool's data may still name overlay objects.
  for (TProfile32 *W : pList1)
    W->Context().FreeSlot(pToolId);
  ClearOverlays();
  pList1.clear();
  pActIndex = -1;
  pProfile32 = nullptr;
  pSpec32 = nullptr;
  pOverlay = nullptr;
  StatusPanel->clear();
  pHost.SetLastToolPos(pos().y());
  pHost.ToolHidden(this);
  QWidget::hide();
  pHiding = false;
}

void TToolTemplate::closeEvent(QCloseEvent *E) {
  // Closing the panel is hiding the tool; the object lives on for the next show.
  if (isVisible()) Guarded([this] { Hide(); });
  E->accept();
}

void TToolTemplate::showEvent(QShowEvent *E) {
  QWidget::showEvent(E);
  InstallKeyPreview();
}

void TToolTemplate::InstallKeyPreview() {
  // Controls created after the first show get the filter at the next one; installing twice
  // is harmless (Qt keeps one entry per object).
  installEventFilter(this);
  for (QWidget *C : findChildren<QWidget *>())
    if (!C->isWindow() && !qobject_cast<QMenu *>(C)) C->installEventFilter(this);
}

bool TToolTemplate::eventFilter(QObject *Obj, QEvent *E) {
  auto *W = qobject_cast<QWidget *>(Obj);
  if (E->type() == QEvent::KeyPress && W && W->window() == this) {
    auto *K = static_cast<QKeyEvent *>(E);
    bool Taken = false;
    Guarded([&] { Taken = FormKeyDown(K->key(), K->modifiers()); });
    if (Taken) return true;
  }
  return QWidget::eventFilter(Obj, E);
}

bool TToolTemplate::FormKeyDown(int Key, Qt::KeyboardModifiers Mods) {
  if (Mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const char L = ToolLetterOfKey(Key);
  if (L == '\0') return false;
  pHost.ToolLetter(L);
  return true;
}

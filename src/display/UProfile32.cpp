#define ORVA_UNIT "UProfile32"
#include "display/UProfile32.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "display/UFlowLayout.h"
#include "display/USetMinMax.h"
#include "gui/UCursors.h"
#include "gui/UUiServices.h"

namespace {

constexpr int kYScaleWidth = 57;
// The narrowest plot window: the zoom and line controls in two rows, not one group per row.
constexpr int kMinClientWidth = 440;

QPen MakePen(const QColor &C, Qt::PenStyle Style = Qt::SolidLine) {
  QPen P(C, 1, Style);
  P.setCosmetic(true);
  return P;
}

[[noreturn]] void RangeError() { OrvaRaise("Range check error"); }

QString Q(const std::string &S) { return QString::fromStdString(S); }

TShiftState ShiftOf(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods) {
  TShiftState S = 0;
  if (Mods & Qt::ShiftModifier) S |= ssShift;
  if (Mods & Qt::AltModifier) S |= ssAlt;
  if (Mods & Qt::ControlModifier) S |= ssCtrl;
  if (Buttons & Qt::LeftButton) S |= ssLeft;
  if (Buttons & Qt::RightButton) S |= ssRight;
  if (Buttons & Qt::MiddleButton) S |= ssMiddle;
  return S;
}

// A status-bar panel of a given width. A panel that keeps its width (the ranges of index, x
// and y) is cut at the window's edge rather than shrunk; the others give way first, so that
// no text is laid over another and the ranges stay readable as long as the window allows.
class TStatusPanel : public QLabel {
public:
  using QLabel::QLabel;
  void SetWidth(int W) {
    pWidth = W;
    updateGeometry();
  }
  void SetKeepWidth(bool K) {
    pKeep = K;
    updateGeometry();
  }
  QSize sizeHint() const override { return {pWidth, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override {
    return {pKeep ? pWidth : std::min(pWidth, 20), QLabel::sizeHint().height()};
  }

private:
  int pWidth = 100;
  bool pKeep = false;
};

// The scrolling surface: shows the visible part of the plot image and reports the mouse in
// plot-image coordinates.
class TPlotSurface : public QWidget {
public:
  TPlotSurface(TProfile32 *Owner, QWidget *Parent) : QWidget(Parent), pOwner(Owner) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(ProgramCursor(1));
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter P(this);
    pOwner->PaintPlot(P);
  }
  void resizeEvent(QResizeEvent *) override { pOwner->SurfaceResized(); }
  void mousePressEvent(QMouseEvent *E) override {
    const QPoint P = ToPlot(E);
    const TShiftState S = ShiftOf(E->buttons(), E->modifiers());
    Guarded([&] { pOwner->PlotMouseDown(P, S); });
  }
  void mouseMoveEvent(QMouseEvent *E) override {
    const QPoint P = ToPlot(E);
    const TShiftState S = ShiftOf(E->buttons(), E->modifiers());
    Guarded([&] { pOwner->PlotMouseMove(P, S); });
  }
  void mouseReleaseEvent(QMouseEvent *E) override {
    const QPoint P = ToPlot(E);
    const TShiftState S = ShiftOf(E->buttons(), E->modifiers());
    Guarded([&] { pOwner->PlotMouseUp(P, S); });
    // The context menu comes when the right button is let go, after the selection event.
    if (E->button() == Qt::RightButton) pOwner->PopupMenu->popup(E->globalPosition().toPoint());
  }

private:
  QPoint ToPlot(QMouseEvent *E) const {
    const QPoint W = E->position().toPoint();
    return {W.x() - pOwner->BorderL() + pOwner->ScrollPos(), W.y() - pOwner->BorderT()};
  }
  TProfile32 *pOwner;
};

class TYScaleView : public QWidget {
public:
  TYScaleView(TProfile32 *Owner, QWidget *Parent) : QWidget(Parent), pOwner(Owner) {
    setFixedWidth(kYScaleWidth);
    setAutoFillBackground(true);
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter P(this);
    pOwner->PaintYScale(P);
  }

private:
  TProfile32 *pOwner;
};

} // namespace

TProfile32::TProfile32(const TProfileHooks *Hooks, QWidget *Parent) : QMdiSubWindow(Parent), pHooks(Hooks) {
  setAttribute(Qt::WA_DeleteOnClose);
  pContext = std::make_unique<TProfileContext>(this);
  pBrushBG = QColor(255, 255, 255);
  pBrushScale = QColor(240, 240, 240);
  pPenBG = MakePen(QColor(0, 0, 0));
  pPenZeroline = MakePen(QColor(192, 220, 192), Qt::DashLine);
  pPenHorLine = MakePen(QColor(160, 160, 164), Qt::DashLine);
  pPenCurve = MakePen(QColor(0, 0, 255));
  pPenCursor = MakePen(QColor(247, 148, 29));
  pPenSelection = MakePen(QColor(200, 230, 200));
  pFont = QFont("DejaVu Sans");
  pFont.setPixelSize(11);
  // Crisp labels, as on the classic bitmap font.
  pFont.setStyleStrategy(QFont::NoAntialias);
  CreateControls();
  CreateActions();
  InstallKeyPreview(this);
}

TProfile32::~TProfile32() {
  // A window destroyed without being closed (its parent went first) still unlinks itself while
  // its owner is alive; once the owner has detached, the spectrum may be gone already.
  if (!pClosed && pHooks && pSpec32 && pSpec32->Profile32() == this) pSpec32->SetProfile32(nullptr);
  // Nor may a shown tool keep it in its list.
  if (!pClosed && pHooks && pHooks->DisconnectTool && pFormDefined) pHooks->DisconnectTool(*this);
}

void TProfile32::CreateControls() {
  auto *Content = new QWidget;
  auto *Main = new QVBoxLayout(Content);
  Main->setContentsMargins(0, 0, 0, 0);
  Main->setSpacing(0);

  // Top panel: read-out, horizontal zoom, vertical zoom, line style, horizontal line. In a
  // narrow window the groups wrap into further rows instead of being cut off.
  Top = new QWidget(Content);
  QSizePolicy TopPolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  TopPolicy.setHeightForWidth(true);
  Top->setSizePolicy(TopPolicy);
  auto *TopL = new TFlowLayout(Top);
  TopL->setContentsMargins(2, 2, 2, 2);
  auto *ReadOut = new QWidget(Top);
  auto *ReadOutL = new QGridLayout(ReadOut);
  ReadOutL->setContentsMargins(0, 0, 0, 0);
  ReadOutL->setVerticalSpacing(0);
  LaIndex = new QLabel(ReadOut);
  LaX = new QLabel(ReadOut);
  LaY = new QLabel(ReadOut);
  const char *Names[3] = {"Index", "x", "y"};
  QLabel *Values[3] = {LaIndex, LaX, LaY};
  for (int i = 0; i < 3; ++i) {
    ReadOutL->addWidget(new QLabel(Names[i], ReadOut), i, 0);
    Values[i]->setMinimumWidth(90);
    ReadOutL->addWidget(Values[i], i, 1);
  }
  TopL->addWidget(ReadOut);

  auto *GbHZoom = new QGroupBox("Horizontal Zoom", Top);
  auto *HZL = new QHBoxLayout(GbHZoom);
  EdHZoom = new QLineEdit("1", GbHZoom);
  EdHZoom->setMaximumWidth(72);
  BuHZoomIn = new QToolButton(GbHZoom);
  BuHZoomOut = new QToolButton(GbHZoom);
  BuHZoomFit = new QToolButton(GbHZoom);
  BuHZoomIn->setText("+");
  BuHZoomOut->setText("-");
  BuHZoomFit->setText("<>");
  HZL->addWidget(EdHZoom);
  HZL->addWidget(BuHZoomIn);
  HZL->addWidget(BuHZoomOut);
  HZL->addWidget(BuHZoomFit);
  TopL->addWidget(GbHZoom);

  GbVZoom = new QGroupBox("Vertical Zoom", Top);
  TopL->addWidget(GbVZoom);

  RgLineStyle = new QGroupBox("Line Style", Top);
  auto *LSL = new QHBoxLayout(RgLineStyle);
  RbLines = new QRadioButton("Lines", RgLineStyle);
  RbBoxes = new QRadioButton("Boxes", RgLineStyle);
  RbLines->setChecked(true);
  LSL->addWidget(RbLines);
  LSL->addWidget(RbBoxes);
  TopL->addWidget(RgLineStyle);

  auto *HorBox = new QWidget(Top);
  auto *HorL = new QHBoxLayout(HorBox);
  HorL->setContentsMargins(0, 0, 0, 0);
  CbHorLine = new QCheckBox("Plot horizontal line at y =", HorBox);
  EdHorLine = new QLineEdit("1.0", HorBox);
  EdHorLine->setMaximumWidth(70);
  HorL->addWidget(CbHorLine);
  HorL->addWidget(EdHorLine);
  TopL->addWidget(HorBox);
  Main->addWidget(Top);

  // The y scale left of the scrolling plot surface.
  auto *Middle = new QHBoxLayout;
  Middle->setSpacing(0);
  YScaleView = new TYScaleView(this, Content);
  Middle->addWidget(YScaleView);
  auto *Right = new QVBoxLayout;
  Right->setSpacing(0);
  PlotSurface = new TPlotSurface(this, Content);
  QPalette Pal = PlotSurface->palette();
  Pal.setColor(QPalette::Window, pBrushScale);
  PlotSurface->setPalette(Pal);
  YScaleView->setPalette(Pal);
  ScrollBar = new QScrollBar(Qt::Horizontal, Content);
  Right->addWidget(PlotSurface, 1);
  Right->addWidget(ScrollBar);
  Middle->addLayout(Right, 1);
  Main->addLayout(Middle, 1);

  StatusBar = new QStatusBar(Content);
  StatusBar->setSizeGripEnabled(false);
  const int Widths[4] = {120, 200, 200, 200};
  for (int i = 0; i < 4; ++i) {
    auto *L = new TStatusPanel(StatusBar);
    L->SetWidth(Widths[i]);
    StatusPanel[i] = L;
    StatusBar->addWidget(StatusPanel[i]);
  }
  Main->addWidget(StatusBar);
  setWidget(Content);

  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(ScrollBar, &QScrollBar::valueChanged, PlotSurface, [this] { PlotSurface->update(); });
  connect(EdHZoom, &QLineEdit::returnPressed, this, [this] { Guarded([this] { EdHZoomEnter(); }); });
  connect(CbHorLine, &QCheckBox::clicked, this, [this] { Guarded([this] { FillBitmap(); }); });
  connect(EdHorLine, &QLineEdit::returnPressed, this, [this] {
    if (QApplication::keyboardModifiers() == Qt::NoModifier) Guarded([this] { FillBitmap(); });
  });
  connect(RbBoxes, &QRadioButton::toggled, this, [this] {
    if (pFormDefined) Guarded([this] { FillBitmap(); });
  });
}

QAction *TProfile32::Command(const char *Caption, const QKeySequence &Key, const char *Hint,
                             void (TProfile32::*Slot)()) {
  auto *A = new QAction(Caption, this);
  if (!Key.isEmpty()) {
    A->setShortcut(Key);
    A->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  }
  if (Hint) {
    A->setToolTip(Hint);
    A->setStatusTip(Hint);
  }
  addAction(A);
  connect(A, &QAction::triggered, this, [this, Slot] { Guarded([this, Slot] { (this->*Slot)(); }); });
  return A;
}

void TProfile32::CreateActions() {
  ActionHZoomIn = Command("Hor. zoom in", QKeySequence(Qt::Key_PageUp), "Hor. zoom in", &TProfile32::HZoomIn);
  ActionHZoomOut =
      Command("Hor. zoom out", QKeySequence(Qt::Key_PageDown), "Hor. zoom out", &TProfile32::HZoomOut);
  ActionHZoomFit = Command("Fit window horizontally", QKeySequence(Qt::CTRL | Qt::Key_1),
                           "Fit window horizontally", &TProfile32::HZoomFit);
  ActionVZoomIn = Command("Vert. zoom in", QKeySequence(Qt::CTRL | Qt::Key_PageUp), "Vert. zoom in",
                          &TProfile32::VZoomIn);
  ActionVZoomOut = Command("Vert. zoom out", QKeySequence(Qt::CTRL | Qt::Key_PageDown), "Vert. zoom out",
                           &TProfile32::VZoomOut);
  ActionMoveUp = Command("Move up", QKeySequence(Qt::SHIFT | Qt::Key_PageUp), "Move up", &TProfile32::MoveUp);
  ActionMoveDown =
      Command("Move down", QKeySequence(Qt::SHIFT | Qt::Key_PageDown), "Move down", &TProfile32::MoveDown);
  ActionVZoomFit = Command("Fit window vertically", QKeySequence(Qt::CTRL | Qt::Key_2),
                           "Fit window vertically", &TProfile32::VZoomFit);
  ActionSetMinMax = Command("Set Y-Min/Y-Max...", QKeySequence(), nullptr, &TProfile32::SetMinMax);
  ActionMoveHome = Command("Home", QKeySequence(Qt::Key_Home), nullptr, &TProfile32::MoveHome);
  ActionMoveEnd = Command("End", QKeySequence(Qt::Key_End), nullptr, &TProfile32::MoveEnd);
  ActionMoveCenter = Command("Center", QKeySequence(Qt::Key_Insert), nullptr, &TProfile32::MoveCenter);
  // Ctrl+A is taken as a key press of the window (see FormKeyDown), so the command has no shortcut.
  ActionSelectAll = Command("Select all", QKeySequence(), nullptr, &TProfile32::SelectAll);
  ActionClearSelection =
      Command("Deselect", QKeySequence(Qt::CTRL | Qt::Key_D), nullptr, &TProfile32::ClearSelection);
  ActionToolsSetHorLine =
      Command("Set hor. line", QKeySequence(Qt::Key_F5), nullptr, &TProfile32::SetHorLine);
  ActionToolsSavePos = new QAction("Save Position", this);
  ActionToolsSaveWL = new QAction("Save Wavelength", this);
  for (QAction *A : {ActionToolsSavePos, ActionToolsSaveWL}) {
    A->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(A);
  }
  ActionToolsSavePos->setShortcut(QKeySequence(Qt::Key_F1));
  ActionToolsSaveWL->setShortcut(QKeySequence(Qt::Key_F2));
  connect(ActionToolsSavePos, &QAction::triggered, this, [this] {
    if (pHooks && pHooks->SavePos) Guarded([this] { pHooks->SavePos(); });
  });
  connect(ActionToolsSaveWL, &QAction::triggered, this, [this] {
    if (pHooks && pHooks->SaveWL) Guarded([this] { pHooks->SaveWL(); });
  });

  connect(BuHZoomIn, &QToolButton::clicked, ActionHZoomIn, &QAction::trigger);
  connect(BuHZoomOut, &QToolButton::clicked, ActionHZoomOut, &QAction::trigger);
  connect(BuHZoomFit, &QToolButton::clicked, ActionHZoomFit, &QAction::trigger);
  BuHZoomIn->setToolTip("Hor. zoom in");
  BuHZoomOut->setToolTip("Hor. zoom out");
  BuHZoomFit->setToolTip("Fit window horizontally");

  auto *VZL = new QHBoxLayout(GbVZoom);
  const std::pair<const char *, QAction *> VButtons[] = {{"+", ActionVZoomIn},
                                                         {"-", ActionVZoomOut},
                                                         {"^", ActionMoveUp},
                                                         {"v", ActionMoveDown},
                                                         {"<>", ActionVZoomFit}};
  for (const auto &[Text, A] : VButtons) {
    auto *B = new QToolButton(GbVZoom);
    B->setText(Text);
    B->setToolTip(A->toolTip());
    connect(B, &QToolButton::clicked, A, &QAction::trigger);
    VZL->addWidget(B);
  }

  PopupMenu = new QMenu(this);
  PopupMenu->addAction(ActionSelectAll);
  PopupMenu->addAction(ActionClearSelection);
  PopupMenu->addSeparator();
  PopupMenu->addAction(ActionSetMinMax);
  PopupMenu->addSeparator();
  if (pHooks && pHooks->SaveFits) PopupMenu->addAction(pHooks->SaveFits);
  if (pHooks && pHooks->SaveDat) PopupMenu->addAction(pHooks->SaveDat);
  PopupMenu->addSeparator();
  if (pHooks && pHooks->FitsEditor) PopupMenu->addAction(pHooks->FitsEditor);
}

void TProfile32::InstallKeyPreview(QWidget *W) {
  W->installEventFilter(this);
  // Not the context menu (nor any other popup): a letter typed there belongs to the menu.
  for (QWidget *C : W->findChildren<QWidget *>())
    if (!C->isWindow() && !qobject_cast<QMenu *>(C)) C->installEventFilter(this);
}

bool TProfile32::eventFilter(QObject *Obj, QEvent *E) {
  auto *W = qobject_cast<QWidget *>(Obj);
  if (E->type() == QEvent::KeyPress && W && W->window() == window()) {
    auto *K = static_cast<QKeyEvent *>(E);
    bool Taken = false;
    Guarded([&] { Taken = FormKeyDown(K->key(), K->modifiers()); });
    if (Taken) return true;
  }
  return QMdiSubWindow::eventFilter(Obj, E);
}

bool TProfile32::FormKeyDown(int Key, Qt::KeyboardModifiers Mods) {
  const Qt::KeyboardModifiers M = Mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (Key == Qt::Key_A && M == Qt::ControlModifier) {
    SelectAll();
    return true;
  }
  if (M & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const char L = ToolLetterOfKey(Key);
  if (L == '\0') return false;
  if (pHooks && pHooks->ToolLetter) pHooks->ToolLetter(L);
  return true;
}

char ToolLetterOfKey(int Key) {
  // Qt reports letters by their upper-case key whatever the Shift state.
  switch (Key) {
  case Qt::Key_C:
  case Qt::Key_D:
  case Qt::Key_F:
  case Qt::Key_H:
  case Qt::Key_N:
  case Qt::Key_P:
  case Qt::Key_R:
  case Qt::Key_S:
  case Qt::Key_T:
  case Qt::Key_X:
    return static_cast<char>('A' + (Key - Qt::Key_A));
  default:
    return '\0';
  }
}

// ---- set-up and rendering ----

void TProfile32::Define(int WinWidth, int WinHeight) {
  ORVA_ASSERT(pSpec32 != nullptr);
  setWindowTitle(Q(pSpec32->FileName()));
  // A window that opens maximized (another one was) is sized in its normal state, the size it
  // returns to, and then maximized again: it is laid out and drawn at the maximized size.
  const bool Maximized = isMaximized();
  if (Maximized) showNormal();
  // The client size: the frame and title bar come on top.
  resize(WinWidth, WinHeight);
  if (layout()) layout()->activate();
  widget()->layout()->activate();
  const QSize Frame = size() - widget()->size();
  // Cascading and tiling never shrink the window below a usable plot and whole controls.
  setMinimumSize(MinimumClientSize() + Frame);
  resize(WinWidth + Frame.width(), WinHeight + Frame.height());
  if (Maximized) showMaximized();
  if (layout()) layout()->activate();
  widget()->layout()->activate();

  pPlotN = pSpec32->Size();
  ORVA_ASSERT(pPlotN > 0);
  pDataX = &pSpec32->DataX;
  pDataY = &pSpec32->DataY;
  if (pDataX->size() < static_cast<size_t>(pPlotN)) RangeError();
  const TYExtent E = FitYRange();
  pBorderL = 0;
  pBorderT = 4;
  // A single sample opens across the whole plot: at one pixel per sample it would be a dot.
  if (pPlotN == 1)
    SetHZoom(std::clamp(FitZoomValue(ZoomWidth(), 1), 1.0, 100000.0));
  else
    SetHZoom(InitialHZoom(VisibleWidth(), pBorderL, pBorderR, pPlotN));
  if (pHooks && pHooks->ConnectTool) pHooks->ConnectTool(*this);
  pFormDefined = true;
  FillBitmap();

  const TDblArr1D &X = *pDataX;
  SetStatusPanel(0, Format("Index: 0 .. %d", pPlotN - 1), true);
  SetStatusPanel(1, Format("x-values: %1.6g .. %1.6g", X[0], X[static_cast<size_t>(pPlotN) - 1]), true);
  // NaN and infinite values have no place on the y scale; the status says that they are there
  // (they show as gaps and as spikes to the edge), or that there is nothing to draw at all.
  std::string YText = E.Any ? Format("y-values: %1.6g .. %1.6g", E.Min, E.Max) : "y-values: no finite value";
  if (E.Any && E.NonFinite > 0) YText += Format(" (%lld not finite)", static_cast<long long>(E.NonFinite));
  SetStatusPanel(2, YText, true);
  SetStatusPanel(3, "", false);
}

TYExtent TProfile32::FitYRange() {
  ORVA_ASSERT(pSpec32 != nullptr && pDataY != nullptr);
  if (pDataY->size() < static_cast<size_t>(pPlotN)) RangeError();
  const TYExtent E = ShownYExtent(pSpec32->MinVal(), pSpec32->MaxVal(), pDataY->data(), pPlotN);
  // Nothing finite: the range of a spectrum of zeros, around the zero line.
  InitialYRange(E.Any ? E.Min : 0, E.Any ? E.Max : 0, pPlotMin, pPlotMax);
  return E;
}

bool TProfile32::TrySetPlotRange(double PlotMin, double PlotMax) {
  // Zooming in past the resolution of the values, or out past the double range, stops there.
  if (!UsableYRange(PlotMin, PlotMax)) return false;
  SetPlotRange(PlotMin, PlotMax);
  return true;
}

void TProfile32::SetStatusPanel(int i, const std::string &Text, bool Fit) {
  StatusPanel[i]->setText(Q(Text));
  if (Fit) {
    auto *P = static_cast<TStatusPanel *>(StatusPanel[i]);
    P->SetWidth(StatusPanel[i]->fontMetrics().horizontalAdvance(Q(Text)) + 20);
    P->SetKeepWidth(true);
  }
}

QSize TProfile32::MinimumClientSize() const {
  // A plot of 200 x 130 pixels (enough for three y labels) with its margins, its y scale and
  // its scroll bar; the control groups at least as wide as the widest of them, wrapped into as
  // many rows as that takes; the status bar, whose panels are cut rather than laid over one
  // another.
  const int PlotW = kYScaleWidth + pBorderL + 200 + pBorderR;
  const int W = std::max({PlotW, Top->layout()->minimumSize().width(), kMinClientWidth});
  const int PlotH = pBorderT + 130 + pBorderB + pScaleH;
  const int H = Top->layout()->heightForWidth(W) + PlotH + ScrollBar->sizeHint().height() +
                StatusBar->sizeHint().height();
  return {W, H};
}

void TProfile32::SetHZoom(double Z) {
  pHZoom = Z;
  EdHZoom->setText(Q(Format("%1.3g", Z)));
}

void TProfile32::SetPlotRange(double PlotMin, double PlotMax) {
  pPlotMin = PlotMin;
  pPlotMax = PlotMax;
}

void TProfile32::Layout() {
  pGraphHeight = PlotSurface->height();
  // A plot of at least one pixel each way, so a window shrunk to nothing still has a mapping.
  pPlotW = std::max(1, IndToScr(pPlotN));
  pPlotH = std::max(1, pGraphHeight - pBorderT - pBorderB - pScaleH);
  const QSize BmpSize(pPlotW, pPlotH + pScaleH);
  if (pBmp.size() != BmpSize) pBmp = QImage(BmpSize, QImage::Format_RGB32);
  const QSize BmpYSize(kYScaleWidth, pPlotH + 1);
  if (pBmpY.size() != BmpYSize) pBmpY = QImage(BmpYSize, QImage::Format_RGB32);
  if (pBmp.isNull() || pBmpY.isNull()) OrvaRaise("Out of memory");
  pCurveRect = pBmp.rect();
  pSlope = pPlotH / (pPlotMin - pPlotMax);
  pXScaleRect = QRect(0, pPlotH + 1, pPlotW, pBmp.height() - (pPlotH + 1));
  UpdateScrollBar();
}

void TProfile32::FillBitmap() {
  ORVA_ASSERT(pPlotN > 0 && pDataX && pDataY);
  Layout();
  DrawPlotArea();
  if (pContext->Overlay().Count() > 0) pContext->Overlay().Draw();
  DrawXScale();
  DrawYScale();
  pBmpOK = true;
  PlotSurface->update();
  YScaleView->update();
}

void TProfile32::DrawPlotArea() {
  QPainter P(&pBmp);
  P.fillRect(pCurveRect, pBrushBG);
  P.setPen(pPenBG);
  const QPoint Frame[] = {{0, pPlotH}, {pPlotW - 1, pPlotH}, {pPlotW - 1, 0}, {0, 0}, {0, 1}};
  P.drawPolyline(Frame, 5);
  const double Y0 = std::nearbyint(-pSlope * pPlotMax);
  if (Y0 >= 0 && Y0 < pPlotH) {
    P.setPen(pPenZeroline);
    P.drawLine(1, static_cast<int>(Y0), pPlotW - 1, static_cast<int>(Y0));
  }
  if (CbHorLine->isChecked()) {
    const double V = StrToFloat(EdHorLine->text().toStdString());
    if (pPlotMin <= V && V <= pPlotMax) {
      const int Y = VToScreen(V);
      P.setPen(pPenHorLine);
      P.drawLine(1, Y, pPlotW - 1, Y);
    }
  }
  P.end();
  const TBlockExtremes *E = nullptr;
  if (pDecimation && pHZoom < 1 && pPlotN >= 4 * TBlockExtremes::Block && pDataY->size() >= size_t(pPlotN)) {
    const uint64_t Version = pSpec32 ? pSpec32->DataVersion() : 0;
    if (!pExtremes.Matches(pDataY->data(), pPlotN, Version)) pExtremes.Build(pDataY->data(), pPlotN, Version);
    E = &pExtremes;
  }
  DrawCurve(pPlotN, *pDataY, pPenCurve, E);
}

const std::vector<TSampleRun> &TProfile32::CurveRuns(int32_t NCurve, const TDblArr1D &Curve) {
  // The spectrum's own values are scanned once per version of the data, other curves each time.
  if (&Curve == pDataY && NCurve == pPlotN) {
    const uint64_t Version = pSpec32 ? pSpec32->DataVersion() : 0;
    if (!pRuns.Matches(Curve.data(), NCurve, Version)) pRuns.Build(Curve.data(), NCurve, Version);
    return pRuns.Runs();
  }
  FindSampleRuns(Curve.data(), NCurve, pCurveRuns);
  return pCurveRuns;
}

void TProfile32::DrawPolyline(const std::vector<TPixelPoint> &V, size_t From, size_t To, const QPen &Pen) {
  if (To <= From || To >= V.size()) return;
  if (Pen.style() == Qt::SolidLine && Pen.width() <= 1 && Pen.brush().style() == Qt::SolidPattern) {
    // Plain curves are set pixel by pixel: every segment exactly from end to end, so that the
    // reduced and the plain vertex lists give the same picture.
    ORVA_ASSERT(pBmp.format() == QImage::Format_RGB32);
    RasterPolyline(reinterpret_cast<uint32_t *>(pBmp.bits()), static_cast<int32_t>(pBmp.bytesPerLine() / 4),
                   pBmp.width(), pBmp.height(), V.data() + From, To - From + 1, Pen.color().rgb());
    return;
  }
  pPoints.resize(To - From + 1);
  for (size_t i = From; i <= To; ++i)
    pPoints[i - From] = QPoint(V[i].X, V[i].Y);
  QPainter P(&pBmp);
  P.setPen(Pen);
  P.drawPolyline(pPoints.data(), static_cast<int>(pPoints.size()));
}

void TProfile32::DrawCurve(int32_t NCurve, const TDblArr1D &Curve, const QPen &Pen,
                           const TBlockExtremes *Extremes) {
  if (NCurve <= 0) return;
  if (static_cast<size_t>(NCurve) > Curve.size()) RangeError();
  const TPlotMapping M = Mapping();
  const bool Boxes = BoxesApply(RbBoxes->isChecked(), pHZoom);
  // Run by run: a NaN sample is a gap in the curve.
  for (const TSampleRun &R : CurveRuns(NCurve, Curve)) {
    if (Boxes)
      BoxVertices(M, Curve.data(), R.From, R.To, pVertices);
    else if (R.From == R.To)
      SampleStepVertices(M, Curve.data(), R.From, pVertices);
    else if (pDecimation)
      CurveVertices(M, Curve.data(), R.From, R.To, pVertices, Extremes);
    else
      LineVertices(M, Curve.data(), R.From, R.To, pVertices);
    if (pVertices.size() >= 2) DrawPolyline(pVertices, 0, pVertices.size() - 1, Pen);
  }
}

void TProfile32::DrawCurveB(int32_t NCurve, const TDblArr1D &Curve, const QPen &NPen, const QPen &SPen,
                            const std::vector<bool> &SCurve) {
  if (SCurve.empty() || NCurve <= 0) return;
  if (static_cast<size_t>(NCurve) > Curve.size() || static_cast<size_t>(NCurve) > SCurve.size()) RangeError();
  const TPlotMapping M = Mapping();
  const bool Boxes = BoxesApply(RbBoxes->isChecked(), pHZoom);
  // Segments are drawn in runs that share a pen, in index order, so a later run lies over an
  // earlier one exactly as if each segment were drawn on its own. A NaN sample is a gap.
  for (const TSampleRun &R : CurveRuns(NCurve, Curve)) {
    if (Boxes) {
      BoxVertices(M, Curve.data(), R.From, R.To, pVertices);
      // Segment k runs from vertex k to k+1: the step of sample 0 takes its own pen, the rise
      // and step of any other sample i the pen of sample i-1.
      auto Flag = [&](size_t k) {
        const int64_t j = R.From + (k == 0 ? int64_t(-1) : static_cast<int64_t>((k - 1) / 2));
        return bool(SCurve[static_cast<size_t>(std::max<int64_t>(j, 0))]);
      };
      const size_t NSeg = pVertices.size() - 1;
      size_t k = 0;
      while (k < NSeg) {
        const bool F = Flag(k);
        size_t E = k;
        while (E + 1 < NSeg && Flag(E + 1) == F)
          ++E;
        DrawPolyline(pVertices, k, E + 1, F ? SPen : NPen);
        k = E + 1;
      }
      continue;
    }
    if (R.From == R.To) {
      SampleStepVertices(M, Curve.data(), R.From, pVertices);
      DrawPolyline(pVertices, 0, 1, SCurve[static_cast<size_t>(R.From)] ? SPen : NPen);
      continue;
    }
    // Lines: segment i (sample i to i+1) takes the pen of sample i.
    int32_t i = R.From;
    while (i < R.To) {
      const bool F = SCurve[static_cast<size_t>(i)];
      int32_t E = i;
      while (E + 1 < R.To && bool(SCurve[static_cast<size_t>(E) + 1]) == F)
        ++E;
      if (pDecimation)
        CurveVertices(M, Curve.data(), i, E + 1, pVertices);
      else
        LineVertices(M, Curve.data(), i, E + 1, pVertices);
      if (pVertices.size() >= 2) DrawPolyline(pVertices, 0, pVertices.size() - 1, F ? SPen : NPen);
      i = E + 1;
    }
  }
}

void TProfile32::DrawXScale() {
  const TDblArr1D &X = *pDataX;
  if (X.size() < static_cast<size_t>(pPlotN)) RangeError();
  QPainter P(&pBmp);
  P.fillRect(pXScaleRect, pBrushScale);
  P.setFont(pFont);
  const QFontMetrics Fm(pFont, &pBmp);
  double Lo = 0, Hi = 0;
  const TXScaleKind Kind = XScaleKind(X.data(), pPlotN, Lo, Hi);
  if (Kind == TXScaleKind::Single) {
    // Every sample has the same x (a single point, for one): that value, under the middle.
    const QString Label = Q(Format("%1.6g", Lo));
    const int W = Fm.horizontalAdvance(Label);
    P.setPen(QColor(0, 0, 0));
    P.drawText(XLabelLeft(pPlotW / 2, W, pPlotW), pPlotH + 4 + Fm.ascent(), Label);
    return;
  }
  if (Kind != TXScaleKind::Ticks) return;
  // The ticks of the whole range, whichever way the axis runs: on a decreasing axis the labels
  // decrease from left to right, as the values under the cursor do.
  const TScaleTicks T = ScaleTicks(Lo, Hi, 100, pPlotW);
  const bool Equidistant = pSpec32 ? pSpec32->Equidistant() : false;
  TXPositionFinder Finder(X.data(), pPlotN, Equidistant);
  // Ticks placed by searching an uneven axis have red labels.
  const QColor TextColour = Equidistant ? QColor(0, 0, 0) : QColor(255, 0, 0);
  for (int32_t k = 0; k < T.Count; ++k) {
    const double Pos = Finder.Position(T.Value(k));
    // A tick that falls on NaN x or on equal neighbours has no place on the scale.
    if (!std::isfinite(Pos) || Pos < -0.5 || Pos > pPlotN - 0.5) continue;
    const int32_t Px = RoundEven(Pos * pHZoom);
    P.setPen(pPenBG);
    P.drawLine(Px, pPlotH - 5, Px, pPlotH);
    const QString Label = Q(T.Label(k));
    const int W = Fm.horizontalAdvance(Label);
    const int Lx = XLabelLeft(Px, W, pPlotW);
    P.setPen(TextColour);
    P.drawText(Lx, pPlotH + 4 + Fm.ascent(), Label);
  }
}

void TProfile32::DrawYScale() {
  QPainter P(&pBmpY);
  const int W = pBmpY.width();
  P.fillRect(pBmpY.rect(), pBrushScale);
  P.setPen(pPenBG);
  P.drawLine(W - 1, 0, W - 1, pBmpY.height());
  P.setFont(pFont);
  const QFontMetrics Fm(pFont, &pBmpY);
  const int H = Fm.height() / 2;
  // The commands keep the range usable; one set from outside that is not gets no labels.
  if (!UsableYRange(pPlotMin, pPlotMax)) return;
  const TScaleTicks T = ScaleTicks(pPlotMin, pPlotMax, 50, pBmpY.height());
  for (int32_t k = 0; k < T.Count; ++k) {
    const int Y = VToScreen(T.Value(k));
    P.drawLine(W - 6, Y, W - 1, Y);
    const QString Label = Q(T.Label(k));
    const int Left = W - 6 - Fm.horizontalAdvance(Label) - 5;
    const int Centre = YLabelCentre(Y, H, pPlotH);
    P.drawText(Left, Centre - H + Fm.ascent(), Label);
  }
}

void TProfile32::PaintPlot(QPainter &P) {
  if (!pBmpOK) return;
  P.translate(pBorderL - ScrollPos(), pBorderT);
  P.drawImage(0, 0, pBmp);
  if (pDrawCursor) {
    P.setPen(pPenCursor);
    P.drawLine(pMouseMove.x(), 1, pMouseMove.x(), pPlotH - 1);
  }
  if (pDrawVZoom) {
    P.setPen(pPenCursor);
    const QPoint Band[] = {{pVZoomX0, pVZoomY0},
                           {pVZoomX0, pVZoomY1},
                           {pVZoomX1, pVZoomY1},
                           {pVZoomX1, pVZoomY0},
                           {pVZoomX0, pVZoomY0}};
    P.drawPolyline(Band, 5);
  }
  if (pContext->Selection().Shown) {
    P.setPen(pPenSelection);
    const int X0 = IndToScr(pContext->Selection().Ind0);
    const int X1 = IndToScr(pContext->Selection().Ind1);
    const QPoint Sel[] = {{X0, 0}, {X1, 0}, {X1, pPlotH - 1}, {X0, pPlotH - 1}, {X0, 0}};
    P.drawPolyline(Sel, 5);
  }
}

void TProfile32::PaintYScale(QPainter &P) {
  if (pBmpOK) P.drawImage(0, pBorderT, pBmpY);
}

QImage TProfile32::Snapshot() { return PlotSurface->grab().toImage(); }

// ---- scrolling ----

int TProfile32::VisibleWidth() const { return PlotSurface->width(); }
int TProfile32::ScrollPos() const { return ScrollBar->value(); }
int TProfile32::ScrollRange() const { return pPlotW + pBorderL + pBorderR; }

void TProfile32::SetScrollPos(int V) { ScrollBar->setValue(V); }

void TProfile32::UpdateScrollBar() {
  const int Vis = VisibleWidth();
  ScrollBar->setRange(0, std::max(0, ScrollRange() - Vis));
  ScrollBar->setPageStep(std::max(1, Vis));
  ScrollBar->setSingleStep(20);
}

void TProfile32::SurfaceResized() { UpdateScrollBar(); }

void TProfile32::MoveHome() { SetScrollPos(0); }
void TProfile32::MoveEnd() { SetScrollPos(ScrollRange()); }
void TProfile32::MoveCenter() { SetScrollPos((ScrollRange() - VisibleWidth()) / 2); }

// ---- zoom commands ----

void TProfile32::SetHZoomCentred(double Z) {
  const int Half = VisibleWidth() / 2;
  const int32_t Ic = ScrToInd(Half + ScrollPos());
  SetHZoom(Z);
  FillBitmap();
  SetScrollPos(IndToScr(Ic) - Half);
}

void TProfile32::HZoomIn() { SetHZoomCentred(ZoomInValue(pHZoom, pPlotN)); }
void TProfile32::HZoomOut() { SetHZoomCentred(ZoomOutValue(pHZoom, pPlotN, ZoomWidth())); }

void TProfile32::HZoomFit() {
  SetHZoom(FitZoomValue(ZoomWidth(), pPlotN));
  FillBitmap();
}

void TProfile32::EdHZoomEnter() {
  double Z;
  if (!TypedZoomValue(EdHZoom->text().toStdString(), pPlotN, Z)) {
    EdHZoom->setText(Q(Format("%1.3g", pHZoom)));
    return;
  }
  SetHZoomCentred(Z);
}

void TProfile32::VZoomIn() {
  const double C = (pPlotMin + pPlotMax) / 2, R = (pPlotMax - pPlotMin) / 1.5;
  TrySetPlotRange(C - R / 2, C + R / 2);
  FillBitmap();
}

void TProfile32::VZoomOut() {
  const double C = (pPlotMin + pPlotMax) / 2, R = (pPlotMax - pPlotMin) * 1.5;
  TrySetPlotRange(C - R / 2, C + R / 2);
  FillBitmap();
}

void TProfile32::MoveUp() {
  const double D = 0.1 * (pPlotMax - pPlotMin);
  TrySetPlotRange(pPlotMin - D, pPlotMax - D);
  FillBitmap();
}

void TProfile32::MoveDown() {
  const double D = 0.1 * (pPlotMax - pPlotMin);
  TrySetPlotRange(pPlotMin + D, pPlotMax + D);
  FillBitmap();
}

void TProfile32::VZoomFit() {
  FitYRange();
  FillBitmap();
}

void TProfile32::SetMinMax() {
  TSetMinMax *D = pHooks ? pHooks->SetMinMax : nullptr;
  if (!D) {
    if (!pOwnSetMinMax) pOwnSetMinMax = std::make_unique<TSetMinMax>();
    D = pOwnSetMinMax.get();
  }
  D->pYMin = pPlotMin;
  D->pYMax = pPlotMax;
  if (!D->Execute()) return;
  TrySetPlotRange(D->pYMin, D->pYMax);
  FillBitmap();
}

void TProfile32::SetHorLine() {
  // A NaN or infinite value under the cursor is no place for a line.
  if (!std::isfinite(pLastYValue)) return;
  EdHorLine->setText(Q(Format("%1.5g", pLastYValue)));
  FillBitmap();
}

// ---- mouse and selection ----

bool TProfile32::IsActiveChild() const {
  if (QMdiArea *A = mdiArea()) return A->currentSubWindow() == this;
  return isActiveWindow();
}

void TProfile32::PlotMouseDown(QPoint P, TShiftState Shift) {
  pMouseDown = P;
  if (Shift != ssRight) pContext->Selection().Shown = false;
  if (Shift == ssLeft) pStartSelection = true;
  PlotSurface->update();
}

void TProfile32::PlotMouseMove(QPoint P, TShiftState Shift) {
  if (!IsActiveChild() || !pBmpOK) return;
  const int X = std::clamp(P.x(), 0, pPlotW - 1);
  const int Y = std::clamp(P.y(), 0, pPlotH - 1);
  pMouseMove = QPoint(X, Y);
  const int32_t I = std::clamp(ScrToInd(X), 0, pPlotN - 1);
  const TDblArr1D &DX = *pDataX;
  const TDblArr1D &DY = *pDataY;
  if (static_cast<size_t>(I) >= DX.size() || static_cast<size_t>(I) >= DY.size()) RangeError();
  LaIndex->setText(Q(Format("= %d", I)));
  LaX->setText(Q(Format("= %1.3f", DX[static_cast<size_t>(I)])));
  LaY->setText(Q(Format("= %1.6g", DY[static_cast<size_t>(I)])));
  pLastYValue = DY[static_cast<size_t>(I)];
  SetStatusPanel(3, Format("y(cursor) = %1.6g", ScreenToV(Y)), false);
  pDrawCursor = Shift == 0;
  pDrawVZoom = Shift == (ssCtrl | ssLeft);
  if (pDrawVZoom) {
    pVZoomX0 = pMouseDown.x();
    pVZoomY0 = pMouseDown.y();
    pVZoomX1 = X;
    pVZoomY1 = Y;
  }
  if (pStartSelection && Shift == ssLeft) {
    // The press may lie in the margin right of the plot; its sample is the last one.
    const int32_t I0 = std::clamp(ScrToInd(pMouseDown.x()), 0, pPlotN - 1);
    TPlotSelection &Sel = pContext->Selection();
    Sel.Ind0 = std::min(I0, I);
    Sel.Ind1 = std::max(I0, I);
    Sel.Shown = Sel.Ind0 < Sel.Ind1;
  }
  PlotSurface->update();
}

void TProfile32::PlotMouseUp(QPoint P, TShiftState) {
  pStartSelection = false;
  const int X = std::clamp(P.x(), 0, std::max(0, pPlotW - 1));
  const int Y = std::clamp(P.y(), 0, std::max(0, pPlotH - 1));
  pMouseUp = QPoint(X, Y);
  if (pDrawVZoom) {
    pDrawVZoom = false;
    pVZoomX1 = X;
    pVZoomY1 = Y;
    ApplyRubberBand();
  }
  if (pContext->Selection().Shown)
    FireSelect();
  else
    FireNoSelection();
  PlotSurface->update();
}

void TProfile32::ApplyRubberBand() {
  int X0 = std::min(pVZoomX0, pVZoomX1), X1 = std::max(pVZoomX0, pVZoomX1);
  if (X1 == X0) X1 = X0 + 1;
  int YLow = std::max(pVZoomY0, pVZoomY1), YHigh = std::min(pVZoomY0, pVZoomY1);
  if (YLow == YHigh) YLow = YHigh + 1;
  // Everything from the mapping the band was drawn with.
  const int32_t Ic = ScrToInd(RoundEven((X0 + X1) / 2.0));
  const double NewMin = ScreenToV(YLow);
  const double NewMax = ScreenToV(YHigh);
  SetHZoom(RubberBandZoomValue(pHZoom, pPlotN));
  TrySetPlotRange(NewMin, NewMax);
  FillBitmap();
  SetScrollPos(IndToScr(Ic) - VisibleWidth() / 2);
}

void TProfile32::FireSelect() {
  if (eOnSelect) eOnSelect(*this);
}

void TProfile32::FireNoSelection() {
  if (eOnNoSelection) eOnNoSelection(*this);
}

void TProfile32::SelectAll() {
  pContext->Selection().Ind0 = 0;
  pContext->Selection().Ind1 = pPlotN;
  pContext->Selection().Shown = true;
  PlotSurface->update();
  FireSelect();
}

void TProfile32::SelectRange(int32_t FromInd, int32_t ToInd) {
  const int32_t From = std::max(FromInd, 0);
  const int32_t E = std::min(ToInd, pPlotN - 1);
  if (From >= E) {
    ClearSelection();
    return;
  }
  pContext->Selection().Ind0 = From;
  pContext->Selection().Ind1 = E;
  pContext->Selection().Shown = true;
  PlotSurface->update();
  FireSelect();
}

void TProfile32::ClearSelection() {
  pContext->Selection().Shown = false;
  PlotSurface->update();
  FireNoSelection();
}

void TProfile32::HideSelection() {
  pContext->Selection().Shown = false;
  PlotSurface->update();
}

// ---- window life ----

void TProfile32::FormActivate() {
  if (pClosed || !pHooks) return;
  if (pHooks->IgnoreActivation && pHooks->IgnoreActivation()) return;
  if (pHooks->SetActiveProfile) pHooks->SetActiveProfile(this);
  if (!pFormDefined) return;
  if (pHooks->ConnectTool) pHooks->ConnectTool(*this);
  if (pHooks->SelectInList && pSpec32) pHooks->SelectInList(*pSpec32);
}

void TProfile32::FormClose() {
  if (pClosed) return;
  pClosed = true;
  Timer1->stop();
  if (pHooks) {
    if (pHooks->DisconnectTool) pHooks->DisconnectTool(*this);
    if (pHooks->ActiveProfile && pHooks->SetActiveProfile && pHooks->ActiveProfile() == this)
      pHooks->SetActiveProfile(nullptr);
  }
  if (pSpec32 && pSpec32->Profile32() == this) pSpec32->SetProfile32(nullptr);
  // Whatever a tool still keeps for this window goes now, before the overlays it may name.
  pContext->ClearSlots();
  pContext->Overlay().Clear();
}

void TProfile32::closeEvent(QCloseEvent *E) {
  Guarded([this] { FormClose(); });
  QMdiSubWindow::closeEvent(E);
}

void TProfile32::resizeEvent(QResizeEvent *E) {
  QMdiSubWindow::resizeEvent(E);
  if (pBmpOK && !pClosed) Timer1->start();
}

void TProfile32::Timer1Timer() {
  Timer1->stop();
  if (!pClosed && pFormDefined) Guarded([this] { FillBitmap(); });
}

void TProfile32::showEvent(QShowEvent *E) {
  QMdiSubWindow::showEvent(E);
  SetStatusPanel(3, "", false);
  RbLines->isChecked() ? RbLines->setFocus() : RbBoxes->setFocus();
  // The surface gets its final height only once the window is laid out on screen.
  if (pBmpOK && PlotSurface->height() != pGraphHeight) Guarded([this] { FillBitmap(); });
}

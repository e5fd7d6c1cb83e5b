#define ORVA_UNIT "UToolHost"
#include "tools/UToolHost.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <algorithm>

#include "core/UErrors.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "tools/UToolTemplate.h"

namespace {

struct TKindInfo {
  TToolKind Kind;
  const char *Caption;
  char Letter;
};

// In the order of the "i-Tools" menu and the tool bar; the last two are in neither of them on
// their own (they follow the lettered tools in the menu).
const TKindInfo Kinds[] = {
    {TToolKind::Crop, "Crop (C)", 'C'},
    {TToolKind::Dispersion, "Dispersion Function (D)", 'D'},
    {TToolKind::Normalize, "Normalize (N)", 'N'},
    {TToolKind::RemoveWater, "Remove Atm. Water (H)", 'H'},
    {TToolKind::SmoothSpline, "Smoothing Spline (P)", 'P'},
    {TToolKind::NCC, "Template for Cross Correlation (T)", 'T'},
    {TToolKind::RVMirror, "Radial Velocity (R)", 'R'},
    {TToolKind::Maximum, "FWHM/Extremum (F)", 'F'},
    {TToolKind::Statistics, "Statistics (S)", 'S'},
    {TToolKind::GaussVoigt, "Gauss/Voigt Fit", '\0'},
    {TToolKind::Tool2, "Tool 2...", '\0'},
};

const TKindInfo &Info(TToolKind K) {
  for (const TKindInfo &I : Kinds)
    if (I.Kind == K) return I;
  ORVA_ASSERT(false);
  return Kinds[0];
}

int Rank(TToolKind K) { return static_cast<int>(K); }

} // namespace

TToolHost::TToolHost(TToolHostEnv Env, QObject *Parent) : QObject(Parent), pEnv(std::move(Env)) {
  pGroup = new QActionGroup(this);
  pGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  if (pEnv.Main) {
    // Just below the main window's tool bar, or its client area when it has none.
    QWidget *Anchor = pEnv.Area ? static_cast<QWidget *>(pEnv.Area) : pEnv.Main;
    pLastToolPos = Anchor->mapToGlobal(QPoint(0, 0)).y();
  }
}

TToolHost::~TToolHost() = default;

const char *TToolHost::Caption(TToolKind Kind) { return Info(Kind).Caption; }
char TToolHost::Letter(TToolKind Kind) { return Info(Kind).Letter; }

QAction *TToolHost::AddTool(TToolKind Kind, TToolTemplate *Tool) {
  ORVA_ASSERT(Tool != nullptr && this->Tool(Kind) == nullptr);
  auto *A = new QAction(QString::fromUtf8(Caption(Kind)), this);
  A->setObjectName(QStringLiteral("ActionTool%1").arg(Rank(Kind)));
  // The tool bar shows the tool's own caption as the button's hint.
  A->setToolTip(Tool->windowTitle());
  A->setCheckable(true);
  A->setData(QVariant::fromValue<QWidget *>(Tool));
  connect(A, &QAction::triggered, this, [this, Tool] { Guarded([this, Tool] { ShowTool(Tool); }); });
  pGroup->addAction(A);
  if (pEnv.RegisterCommand) pEnv.RegisterCommand(A);
  TEntry E{Kind, Tool, A};
  pTools.insert(std::upper_bound(pTools.begin(), pTools.end(), E,
                                 [](const TEntry &L, const TEntry &R) { return Rank(L.Kind) < Rank(R.Kind); }),
                E);
  return A;
}

TToolTemplate *TToolHost::Tool(TToolKind Kind) const {
  for (const TEntry &E : pTools)
    if (E.Kind == Kind) return E.Tool;
  return nullptr;
}

QAction *TToolHost::Command(TToolKind Kind) const {
  for (const TEntry &E : pTools)
    if (E.Kind == Kind) return E.Action;
  return nullptr;
}

bool TToolHost::IsShown(TToolKind Kind) const {
  const TToolTemplate *T = Tool(Kind);
  return T && T == pActiveTool && T->isVisible();
}

void TToolHost::ShowTool(TToolTemplate *Tool) {
  ORVA_ASSERT(Tool != nullptr);
  HideActiveTool();
  pActiveTool = Tool;
  Tool->Show();
  // The keys belong to the plot windows again.
  if (pEnv.Main) pEnv.Main->activateWindow();
  UpdateButtons();
}

void TToolHost::HideActiveTool() {
  if (TToolTemplate *T = pActiveTool) T->Hide();
  pActiveTool = nullptr;
}

void TToolHost::ToolHidden(TToolTemplate *Tool) {
  if (pActiveTool == Tool) pActiveTool = nullptr;
}

void TToolHost::ConnectTool(TProfile32 &Window) {
  if (pActiveTool) pActiveTool->Connect(Window);
}

void TToolHost::DisconnectTool(TProfile32 &Window) {
  if (pActiveTool) pActiveTool->Disconnect(Window);
}

std::vector<TProfile32 *> TToolHost::ProfileWindows() const {
  std::vector<TProfile32 *> R;
  if (!pEnv.Area) return R;
  for (QMdiSubWindow *W : pEnv.Area->subWindowList(QMdiArea::StackingOrder))
    if (auto *P = qobject_cast<TProfile32 *>(W); P && P->FormDefined()) R.push_back(P);
  return R;
}

void TToolHost::ToolLetter(char Letter) {
  if (Letter == 'X') {
    HideActiveTool();
    UpdateButtons();
    return;
  }
  for (const TEntry &E : pTools)
    if (Info(E.Kind).Letter == Letter) {
      ShowTool(E.Tool);
      return;
    }
}

void TToolHost::FillMenu(QMenu *Menu) const {
  bool Separated = false;
  for (const TEntry &E : pTools) {
    if (Letter(E.Kind) == '\0' && !Separated) {
      if (!Menu->isEmpty()) Menu->addSeparator();
      Separated = true;
    }
    Menu->addAction(E.Action);
  }
}

void TToolHost::FillToolBar(QToolBar *Bar) const {
  for (const TEntry &E : pTools)
    if (Letter(E.Kind) != '\0') Bar->addAction(E.Action);
}

void TToolHost::UpdateButtons() {
  for (const TEntry &E : pTools) {
    const bool Pressed = E.Tool->isVisible();
    if (E.Action->isChecked() != Pressed) E.Action->setChecked(Pressed);
  }
}

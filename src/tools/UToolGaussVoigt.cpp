#define ORVA_UNIT "UToolGaussVoigt"
#include "tools/UToolGaussVoigt.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <span>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"
#include "tools/UToolControls.h"

namespace {
enum { blLeft = 0, blRight = 1, blZero = 2, blOne = 3 };
enum { pfGauss = 0, pfVoigt = 1 };

QString Q(const std::string &S) { return QString::fromStdString(S); }
} // namespace

TToolGaussVoigt::TToolGaussVoigt(TToolHost &Host, QWidget *Parent)
    : TToolSelection(Host, "Gauss / Voigt Fit", Parent) {
  RgBaseLine = new TRadioGroup("Baseline of Fit", {"select left", "select right", "fixed at 0", "fixed at 1"},
                               blLeft, this);
  Body()->addWidget(RgBaseLine);
  LaNArr = new QLabel(this);
  LaBLLeft = new QLabel(this);
  LaBLRight = new QLabel(this);
  for (QLabel *L : {LaNArr, LaBLLeft, LaBLRight}) {
    L->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Body()->addWidget(L);
  }

  // The fit: the profile choice beside its button, what it will use, and its results.
  RgProfile = new TRadioGroup("Profile", {"Gauss", "Voigt"}, pfGauss, this);
  ActionFit = new QAction("Fit", this);
  connect(ActionFit, &QAction::triggered, this, [this] { Guarded([this] { ActionFitExecute(); }); });
  BuFit = CommandButton(this, ActionFit);
  auto *Row = new QHBoxLayout;
  Row->addWidget(RgProfile, 1);
  Row->addWidget(BuFit, 0, Qt::AlignBottom);
  Body()->addLayout(Row);
  LaFitBase = new QLabel(this);
  // Room for the two lines of its texts: the panel does not grow when they change.
  LaFitBase->setMinimumHeight(2 * LaFitBase->fontMetrics().lineSpacing() + 4);
  Body()->addWidget(LaFitBase);

  auto *Box = new QGroupBox("Fit result", this);
  auto *G = new QGridLayout(Box);
  G->setColumnStretch(1, 1);
  LaType = new QLabel(Box);
  G->addWidget(LaType, 0, 0, 1, 3);
  auto AddRow = [Box, G](QLabel *Caption, QLabel *&Value, QLabel *&Err) {
    const int R = G->rowCount();
    G->addWidget(Caption, R, 0);
    Value = new QLabel(Box);
    Err = new QLabel(Box);
    for (QLabel *L : {Value, Err})
      L->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Value->setMinimumWidth(90);
    Err->setMinimumWidth(70);
    G->addWidget(Value, R, 1);
    G->addWidget(Err, R, 2);
  };
  LaDepthCaption = new QLabel("Depth", Box);
  AddRow(new QLabel("Centre", Box), LaCentre, LaCentreErr);
  AddRow(new QLabel("FWHM", Box), LaFWHM, LaFWHMErr);
  AddRow(LaDepthCaption, LaDepth, LaDepthErr);
  AddRow(new QLabel("EW", Box), LaEW, LaEWErr);
  AddRow(new QLabel("Area", Box), LaArea, LaAreaErr);
  Body()->addWidget(Box);
  Body()->addStretch();
  // Room for two baseline points of seven digits each and the results with their errors.
  setMinimumWidth(300);

  connect(RgBaseLine->Group(), &QButtonGroup::idToggled, this, [this](int, bool On) {
    if (On) Guarded([this] { ActionList1Update(); });
  });
  ResetAll(this);
  ShowFit(nullptr);
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolGaussVoigt::CreateLocalData() {
  SetLocalData(std::make_unique<TLocalData>());
  // The panel shows the new window's choice, so that what it stores on leaving is that one.
  RetreiveLocalData();
}

void TToolGaussVoigt::StoreLocalData() {
  if (auto *D = LocalDataAs<TLocalData>()) D->ldBaseLineInd = RgBaseLine->ItemIndex();
}

void TToolGaussVoigt::RetreiveLocalData() {
  auto *D = LocalDataAs<TLocalData>();
  ORVA_ASSERT(D != nullptr);
  RgBaseLine->SetItemIndex(D->ldBaseLineInd);
  ShowFit(D->ldFitResult ? &*D->ldFitResult : nullptr);
}

void TToolGaussVoigt::ResetAll(QObject *) {
  LaNArr->setText("Waiting for selection");
  LaBLLeft->setText("Baseline left :");
  LaBLRight->setText("Baseline right:");
  pHaveSelection = false;
  ActionList1Update();
}

void TToolGaussVoigt::Calculate() {
  LaNArr->setText(QString::fromStdString(GaussVoigtSelectionText(pNArr)));
  pHaveSelection = true;
  const TBaselinePoint P = BaselinePoint(std::span<const double>(pXArr), std::span<const double>(pYArr));
  auto *D = LocalDataAs<TLocalData>();
  const TBaselineStretch St{P, pInd0, pInd1};
  switch (RgBaseLine->ItemIndex()) {
  case blLeft:
    LaBLLeft->setText(QString::fromStdString(BaselineText(true, P)));
    if (D) {
      D->ldLeft = St;
      D->ldLeftOK = true;
    }
    break;
  case blRight:
    LaBLRight->setText(QString::fromStdString(BaselineText(false, P)));
    if (D) D->ldRight = St;
    break;
  default: // a fixed baseline takes nothing from the selection
    break;
  }
  ActionList1Update();
}

TToolGaussVoigt::TFitPlan TToolGaussVoigt::PlanFit() const {
  TFitPlan Plan;
  const auto *D = LocalDataAs<TLocalData>();
  if (pSpec32 == nullptr || D == nullptr) {
    Plan.Text = "No spectrum";
    return Plan;
  }
  const int Choice = RgBaseLine->ItemIndex();
  if (Choice == blZero || Choice == blOne) {
    Plan.Fixed = Choice == blZero ? 0.0 : 1.0;
    if (!pHaveSelection) {
      Plan.Text = Format("Baseline fixed at %1.0f:\nselect the line to fit", Plan.Fixed);
      return Plan;
    }
    Plan.I0 = pInd0;
    Plan.I1 = pInd1;
    Plan.Text =
        Format("Fit on the baseline fixed at %1.0f,\nindex %1d .. index %1d", Plan.Fixed, pInd0, pInd1);
    Plan.Ok = true;
    return Plan;
  }
  Plan.Straight = true;
  if (!D->ldLeft && !D->ldRight) {
    Plan.Text = "Baseline points left and right missing:\nselect the stretches beside the line";
    return Plan;
  }
  if (!D->ldLeft || !D->ldRight) {
    Plan.Text = Format("Baseline point %s missing:\nselect it with \"select %s\"",
                       D->ldLeft ? "right" : "left", D->ldLeft ? "right" : "left");
    return Plan;
  }
  // The line lies between the two stretches; the fit takes them with it as its wings.
  Plan.I0 = std::min(D->ldLeft->Ind0, D->ldRight->Ind0);
  Plan.I1 = std::max(D->ldLeft->Ind1, D->ldRight->Ind1);
  Plan.Text =
      Format("Fit on the line through the baseline points,\nindex %1d .. index %1d", Plan.I0, Plan.I1);
  Plan.Ok = true;
  return Plan;
}

void TToolGaussVoigt::ActionList1Update() {
  const TFitPlan Plan = PlanFit();
  ActionFit->setEnabled(Plan.Ok && pProfile32 != nullptr);
  LaFitBase->setText(Q(Plan.Text));
}

const TProfileFitResult *TToolGaussVoigt::FitResult() const {
  const auto *D = LocalDataAs<TLocalData>();
  return D && D->ldFitResult ? &*D->ldFitResult : nullptr;
}

void TToolGaussVoigt::ShowFit(const TProfileFitResult *R) {
  const TProfileFitTexts T = R ? ProfileFitTexts(*R) : TProfileFitTexts{};
  LaType->setText(R ? Q(T.Type + (R->Shape == TProfileShape::Voigt ? Format(" (Voigt, a = %1.3g)", R->Damping)
                                                                   : std::string(" (Gauss)")))
                    : QString());
  LaDepthCaption->setText(T.DepthCaption.empty() ? "Depth" : Q(T.DepthCaption));
  const std::pair<QLabel *, const std::string *> Rows[] = {
      {LaCentre, &T.Centre}, {LaFWHM, &T.Fwhm}, {LaDepth, &T.Depth}, {LaEW, &T.EW}, {LaArea, &T.Area}};
  for (const auto &[L, S] : Rows)
    L->setText(Q(*S));
  const std::pair<QLabel *, const std::string *> Errs[] = {{LaCentreErr, &T.CentreErr},
                                                           {LaFWHMErr, &T.FwhmErr},
                                                           {LaDepthErr, &T.DepthErr},
                                                           {LaEWErr, &T.EWErr},
                                                           {LaAreaErr, &T.AreaErr}};
  for (const auto &[L, S] : Errs)
    L->setText(S->empty() ? QString() : Q("± " + *S));
}

void TToolGaussVoigt::ActionFitExecute() {
  auto *D = LocalDataAs<TLocalData>();
  const TFitPlan Plan = PlanFit();
  // The command is disabled otherwise; a stray call changes nothing.
  if (!Plan.Ok || D == nullptr || pProfile32 == nullptr || pOverlay == nullptr) return;
  // The curve is the window's; forget it should the window's list have let it go.
  if (D->ldFit) {
    bool Listed = false;
    for (int32_t i = 0; i < pOverlay->Count() && !Listed; ++i)
      Listed = pOverlay->Object(i) == D->ldFit;
    if (!Listed) D->ldFit = nullptr;
  }
  const TSpec32 &S = *pSpec32;
  const int32_t N = S.Size();
  if (Plan.I0 < 0 || Plan.I1 >= N || Plan.I0 > Plan.I1 || S.DataX.size() < static_cast<size_t>(N) ||
      S.DataY.size() < static_cast<size_t>(N))
    OrvaRaise("Range check error");
  TFitBaseline Base = TFitBaseline::Fixed(Plan.Fixed);
  if (Plan.Straight) {
    const std::optional<TFitBaseline> B = BaselineThrough(D->ldLeft->P, D->ldRight->P);
    if (!B) {
      Ui().ErrorBox(ProfSameXText);
      return;
    }
    Base = *B;
  }
  const auto From = static_cast<size_t>(Plan.I0), Count = static_cast<size_t>(Plan.I1 - Plan.I0 + 1);
  const std::span<const double> X = std::span<const double>(S.DataX).subspan(From, Count);
  const std::span<const double> Y = std::span<const double>(S.DataY).subspan(From, Count);
  const TProfileShape Shape = RgProfile->ItemIndex() == pfVoigt ? TProfileShape::Voigt : TProfileShape::Gauss;
  TProfileFitResult R = ToolProfileFit(X, Y, Shape, Base);
  if (!R.Ok()) {
    // The curve of an earlier fit no longer belongs to what the panel shows.
    D->ldFitResult.reset();
    ShowFit(nullptr);
    if (D->ldFit && D->ldFit->Enabled()) {
      D->ldFit->SetEnabled(false);
      pProfile32->FillBitmap();
    }
    Ui().ErrorBox(R.Error);
    return;
  }
  // The curve covers the fitted samples only; elsewhere it has gaps.
  auto Curve = std::make_shared<TDblArr1D>(static_cast<size_t>(N), std::numeric_limits<double>::quiet_NaN());
  const TDblArr1D Fitted = ProfileFitCurve(R, Base, X);
  std::copy(Fitted.begin(), Fitted.end(), Curve->begin() + static_cast<std::ptrdiff_t>(From));
  if (!D->ldFit) {
    D->ldFit = pOverlay->AddProfile();
    QPen Pen{QColor(255, 0, 0)};
    Pen.setWidth(1);
    Pen.setCosmetic(true);
    D->ldFit->SetPen(Pen);
  }
  D->ldFitY = Curve;
  D->ldFit->SetNVal(N);
  D->ldFit->SetYVal(TOverlayValues(D->ldFitY));
  D->ldFit->SetEnabled(true);
  D->ldFitResult = std::move(R);
  ShowFit(&*D->ldFitResult);
  pProfile32->FillBitmap();
}

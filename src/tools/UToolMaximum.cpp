#define ORVA_UNIT "UToolMaximum"
#include "tools/UToolMaximum.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

#include "core/UErrors.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"
#include "tools/UToolControls.h"
#include "tools/UToolMaximumCore.h"
#include "tools/UToolRangeCore.h"

namespace {

QLineEdit *ResultEdit(QWidget *Parent) {
  auto *E = new QLineEdit(Parent);
  E->setReadOnly(true);
  return E;
}

QString Q(const std::string &S) { return QString::fromStdString(S); }

} // namespace

TToolMaximum::TToolMaximum(TToolHost &Host, QWidget *Parent) : TToolSelection(Host, "FWHM/Extremum", Parent) {
  RgPoly = new TRadioGroup("Polynomial", {"Degree 2", "Degree 4"}, 1, this);
  Body()->addWidget(RgPoly);
  auto *F = new QFormLayout;
  EdNPoints = new QLineEdit("5", this);
  F->addRow("Number of Points", EdNPoints);
  Body()->addLayout(F);

  ActionCalculate = new QAction("Re-Calculate", this);
  connect(ActionCalculate, &QAction::triggered, this,
          [this] { Guarded([this] { ActionCalculateExecute(); }); });
  BuCalculate = CommandButton(this, ActionCalculate, {EdNPoints});
  BuCalculate->setDefault(true);
  Body()->addWidget(BuCalculate);

  auto *Box = new QGroupBox("Result", this);
  auto *G = new QGridLayout(Box);
  LaExtrem = new QLabel(Box);
  EdExtremum = ResultEdit(Box);
  EdLocation = ResultEdit(Box);
  EdFWHM = ResultEdit(Box);
  G->addWidget(LaExtrem, 0, 0);
  G->addWidget(EdExtremum, 0, 1);
  G->addWidget(new QLabel("Location", Box), 1, 0);
  G->addWidget(EdLocation, 1, 1);
  G->addWidget(new QLabel("FWHM", Box), 2, 0);
  G->addWidget(EdFWHM, 2, 1);
  G->setColumnStretch(1, 1);
  Body()->addWidget(Box);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Room for the caption lines, five residuals and the RMS line without scrolling.
  Memo1->setMinimumHeight(Memo1->fontMetrics().lineSpacing() * 10);
  Body()->addWidget(Memo1, 1);
  LaNArr = new QLabel(this);
  LaNArr->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Body()->addWidget(LaNArr);
  // Room for the longest selection text.
  setMinimumWidth(300);

  ResetAll(this);
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolMaximum::ActionList1Update() { ActionCalculate->setEnabled(pSpec32 != nullptr && pSpecOK); }

void TToolMaximum::ActionCalculateExecute() {
  // The command is disabled without a valid selection; a stray call changes nothing.
  if (pSpec32 == nullptr || !pSpecOK) return;
  Compute();
}

void TToolMaximum::CreateLocalData() { SetLocalData(std::make_unique<TLocalData>()); }
void TToolMaximum::StoreLocalData() {}
void TToolMaximum::RetreiveLocalData() {}

void TToolMaximum::ClearResults() {
  const TMaximumTexts T = MaximumClearedTexts();
  LaExtrem->setText(Q(T.Extrem));
  EdExtremum->clear();
  EdLocation->clear();
  EdFWHM->clear();
  Memo1->clear();
}

void TToolMaximum::ResetAll(QObject *) {
  pSpecOK = false;
  LaNArr->setText("Make selection");
  ClearResults();
}

void TToolMaximum::Calculate() {
  if (pNArr < 5) {
    // Older results stay until the next reset.
    LaNArr->setText(MaxTooFewText);
    pSpecOK = false;
    return;
  }
  LaNArr->setText(Q(SelectionText(pNArr, pInd0, pInd1)));
  // The selection stands even when the computation fails (a number of points that is no
  // integer, no line found): the user may change the parameters and recalculate.
  pSpecOK = true;
  Compute();
}

void TToolMaximum::Compute() {
  ORVA_ASSERT(pNArr >= 5 && static_cast<int32_t>(pXArr.size()) == pNArr);
  pDegree = MaximumDegree(RgPoly->ItemIndex());
  pNPoints = MaximumPoints(EdNPoints->text().toStdString(), pDegree, pNArr);
  EdNPoints->setText(QString::number(pNPoints));
  const TMaximumResult R =
      ToolMaximum(std::span<const double>(pXArr), std::span<const double>(pYArr), pDegree, pNPoints);
  if (!R.Ok()) {
    Ui().ErrorBox(R.Error);
    ClearResults();
    return;
  }
  pSign = R.Sign;
  if (!R.FwhmOk()) Ui().ErrorBox(MaxFwhmFailedText);
  const TMaximumTexts T = MaximumTexts(R);
  LaExtrem->setText(Q(T.Extrem));
  EdExtremum->setText(Q(T.Extremum));
  EdLocation->setText(Q(T.Location));
  EdFWHM->setText(Q(T.Fwhm));
  QStringList Lines;
  for (const std::string &L : T.Memo)
    Lines << Q(L);
  Memo1->setPlainText(Lines.join('\n'));
}

#define ORVA_UNIT "UToolStatistics"
#include "tools/UToolStatistics.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "display/UProfile32.h"
#include "gui/UUiServices.h"
#include "tools/UToolStatisticsCore.h"

namespace {

// A titled group of "caption: value" rows; a row may have a second value beside the first.
class TResultGroup {
public:
  TResultGroup(QWidget *Panel, QVBoxLayout *Layout, const QString &Title)
      : pBox(new QGroupBox(Title, Panel)), pGrid(new QGridLayout(pBox)) {
    pGrid->setColumnStretch(1, 1);
    Layout->addWidget(pBox);
  }
  QLabel *Row(const QString &Caption, QLabel **Second = nullptr) {
    const int R = pGrid->rowCount();
    pGrid->addWidget(new QLabel(Caption, pBox), R, 0);
    auto *V = new QLabel(pBox);
    V->setTextInteractionFlags(Qt::TextSelectableByMouse);
    V->setMinimumWidth(80);
    pGrid->addWidget(V, R, 1);
    if (Second) {
      *Second = new QLabel(pBox);
      (*Second)->setMinimumWidth(70);
      pGrid->addWidget(*Second, R, 2);
    }
    return V;
  }

private:
  QGroupBox *pBox;
  QGridLayout *pGrid;
};

void Put(QLabel *L, const std::string &Text) { L->setText(QString::fromStdString(Text)); }

} // namespace

TToolStatistics::TToolStatistics(TToolHost &Host, QWidget *Parent)
    : TToolSelection(Host, "Statistics", Parent) {
  pRange = AddRangeControls(this, Body(), "Interval");
  RgMethod = pRange.RgMethod;
  EdFrom = pRange.EdFrom;
  EdTo = pRange.EdTo;

  ActionSelect = new QAction("Select From-To", this);
  connect(ActionSelect, &QAction::triggered, this, [this] { Guarded([this] { ActionSelectExecute(); }); });
  BuSelectAll = new QPushButton("Select all", this);
  connect(BuSelectAll, &QPushButton::clicked, this, [this] { Guarded([this] { BuSelectAllClick(); }); });
  BuSelect = CommandButton(this, ActionSelect, {EdFrom, EdTo});
  auto *Buttons = new QHBoxLayout;
  Buttons->addWidget(BuSelectAll);
  Buttons->addWidget(BuSelect);
  Body()->addLayout(Buttons);

  LaNArr = new QLabel(this);
  Body()->addWidget(LaNArr);

  TResultGroup Y(this, Body(), "Y-Axis");
  LaSum = Y.Row("Sum");
  LaAverage = Y.Row("Average");
  LaMedian = Y.Row("Median");
  LaSD = Y.Row("Standard Deviation");
  LaMin = Y.Row("Minimum", &LaMinAt);
  LaMax = Y.Row("Maximum", &LaMaxAt);
  TResultGroup X(this, Body(), "X-Axis");
  LaRange = X.Row("Range");
  LaCog = X.Row("Center of Gravity");
  LaIntegral = X.Row("Integral");
  LaEW = X.Row("EW");
  TResultGroup D(this, Body(), "Div.");
  LaSN = D.Row("S/N");
  LaSNTrend = D.Row("S/N (trend removed)");
  LaRunsAverage = D.Row("Runs Test (Average)");
  LaRunsMedian = D.Row("Runs Test (Median)");
  Body()->addStretch();
  // Room for the longest selection text and the positions of the extremes.
  setMinimumWidth(340);

  ResetAll(this);
  ActionList1Update();
  WhenIdle(this, [this] { ActionList1Update(); });
}

void TToolStatistics::ActionList1Update() {
  const bool Current = pSpec32 != nullptr && pProfile32 != nullptr;
  ActionSelect->setEnabled(Current && RangeMethod(pRange) != rmMouse);
  BuSelectAll->setEnabled(Current);
}

void TToolStatistics::BuSelectAllClick() {
  if (!pProfile32) return;
  pProfile32->SelectAll();
}

void TToolStatistics::ActionSelectExecute() {
  // The command is disabled without a window; a stray call changes nothing.
  if (!pProfile32 || !pSpec32 || RangeMethod(pRange) == rmMouse) return;
  const TTypedLimits L = ReadTypedLimits(pRange, TLimitRule::Select, *pSpec32);
  if (!L.Ok()) {
    Ui().ErrorBox(L.Error);
    return;
  }
  // The window selects I0 ... I1 - 1 and reports it (or that nothing is selected) back to us.
  pProfile32->SelectRange(L.I0, L.I1);
}

void TToolStatistics::CreateLocalData() { SetLocalData(std::make_unique<TLocalData>()); }
void TToolStatistics::StoreLocalData() {}
void TToolStatistics::RetreiveLocalData() {}

void TToolStatistics::ResetAll(QObject *) {
  LaNArr->setText("Waiting for selection");
  // The extremes stay until the next selection replaces them.
  for (QLabel *L : {LaSum, LaAverage, LaMedian, LaSD, LaSN, LaSNTrend, LaCog, LaEW, LaIntegral, LaRange,
                    LaRunsAverage, LaRunsMedian})
    L->clear();
}

void TToolStatistics::Calculate() {
  ORVA_ASSERT(pSpec32 != nullptr && pNArr > 0);
  const TStatisticsResult R = ToolStatistics(std::span<const double>(pXArr), std::span<const double>(pYArr),
                                             pInd0, pSpec32->Equidistant());
  const TStatisticsTexts T = StatisticsTexts(R);
  Put(LaNArr, T.NArr);
  Put(LaRange, T.Range);
  Put(LaSum, T.Sum);
  Put(LaIntegral, T.Integral);
  Put(LaAverage, T.Average);
  Put(LaCog, T.Cog);
  Put(LaSD, T.Sd);
  Put(LaSN, T.SN);
  Put(LaSNTrend, T.SNTrend);
  Put(LaEW, T.EW);
  // A single sample is its own minimum and maximum, at position 0: never the extremes of an
  // earlier selection.
  Put(LaMin, T.Min);
  Put(LaMinAt, T.MinAt);
  Put(LaMax, T.Max);
  Put(LaMaxAt, T.MaxAt);
  Put(LaMedian, T.Median);
  Put(LaRunsAverage, T.RunsAverage);
  Put(LaRunsMedian, T.RunsMedian);
}

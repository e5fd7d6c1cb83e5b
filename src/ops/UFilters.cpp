#define ORVA_UNIT "UFilters"
#include "ops/UFilters.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "ops/UFiltersCore.h"
#include "ops/UOpListing.h"

namespace {

// One row of a page: caption, field and (optionally) its unit.
void AddRow(QGridLayout *G, int Row, const QString &Caption, QLineEdit *Ed, const QString &Unit = {}) {
  auto *La = new QLabel(Caption);
  La->setBuddy(Ed);
  G->addWidget(La, Row, 0);
  G->addWidget(Ed, Row, 1);
  if (!Unit.isEmpty()) G->addWidget(new QLabel(Unit), Row, 2);
}

int64_t ReadInt(const QLineEdit *Ed) { return StrToInt(Ed->text().toStdString()); }

} // namespace

TFilters::TFilters(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TFilters", "Filters", 1, Parent) {
  BuOK->setText("Apply");
  TabFilters = new QTabWidget(this);

  PgMovingAverage = new QWidget;
  auto *MG = new QGridLayout(PgMovingAverage);
  EdHWidth = new QLineEdit("2", PgMovingAverage);
  AddRow(MG, 0, "Half-Width", EdHWidth, "Pixel");
  MG->setRowStretch(1, 1);
  TabFilters->addTab(PgMovingAverage, "Moving Average");

  PgGauss = new QWidget;
  auto *GV = new QVBoxLayout(PgGauss);
  auto *GG = new QGridLayout;
  EdFWHM = new QLineEdit("1.0", PgGauss);
  AddRow(GG, 0, "FWHM", EdFWHM, "Units of x-axis");
  GV->addLayout(GG);
  RgFFTExt = new TRadioGroup("FFT Extension", {"fixed at 0", "fixed at 1", "linear"}, 0, PgGauss);
  GV->addWidget(RgFFTExt);
  GV->addStretch();
  TabFilters->addTab(PgGauss, "Gauss");

  PgSavGol = new QWidget;
  auto *SG = new QGridLayout(PgSavGol);
  EdSGOrder = new QLineEdit("4", PgSavGol);
  EdSGLeft = new QLineEdit(PgSavGol);
  EdSGRight = new QLineEdit(PgSavGol);
  AddRow(SG, 0, "Polynomial order", EdSGOrder);
  AddRow(SG, 1, "Leftward data points", EdSGLeft);
  AddRow(SG, 2, "Rightward data points", EdSGRight);
  SG->setRowStretch(3, 1);
  TabFilters->addTab(PgSavGol, "Savitzky-Golay");

  TabFilters->setCurrentWidget(PgGauss);
  TabFilters->setMinimumWidth(320);
  Params()->addWidget(TabFilters);
}

void TFilters::Apply() {
  QWidget *Page = TabFilters->currentWidget();
  if (Page == PgMovingAverage) {
    const int64_t H = ReadInt(EdHWidth);
    RunOverFiles([H](TSpec32 &S) { return OpMovingAverage(S, H); });
  } else if (Page == PgGauss) {
    const double FWHM = StrToFloat(EdFWHM->text().toStdString());
    const auto Ext = static_cast<TFftExtension>(RgFFTExt->ItemIndex());
    RunOverFiles([FWHM, Ext](TSpec32 &S) { return OpGaussFilter(S, FWHM, Ext); });
  } else if (Page == PgSavGol) {
    // The weights come first: parameters the routine refuses end the command before any
    // spectrum is made.
    const TSavGolWeights W = SavGolWeights(ReadInt(EdSGOrder), ReadInt(EdSGLeft), ReadInt(EdSGRight));
    // A spectrum that is not equidistant ends the loop, and the dialog stays open.
    RunOverFiles([&W](TSpec32 &S) { return OpSavGolFilter(S, W); });
  } else {
    ORVA_ASSERT(false);
  }
}

#define ORVA_UNIT "UOpResample"
#include "ops/UOpResample.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "ops/UOpGridCore.h"
#include "ops/UOpListing.h"

TOpResample::TOpResample(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpResample", "Re-sample", 1, Parent) {
  BuOK->setText("Re-sample");
  auto *F = new QFormLayout;
  EdFromWL = new QLineEdit(this);
  EdToWL = new QLineEdit(this);
  EdStepWL = new QLineEdit(this);
  F->addRow("From", EdFromWL);
  F->addRow("To", EdToWL);
  F->addRow("Step", EdStepWL);
  Params()->addLayout(F);
  Button1 = new QPushButton("Range of Union", this);
  Params()->addWidget(Button1);
  RgInterpolation = new TRadioGroup("Interpolation", {"Linear", "Cubic Splines"}, 1, this);
  Params()->addWidget(RgInterpolation);

  PaSpline = new QWidget(this);
  auto *G = new QGridLayout(PaSpline);
  G->setContentsMargins(0, 0, 0, 0);
  CbNatSpline = new QCheckBox("Natural Spline", PaSpline);
  CbNatSpline->setChecked(true);
  LaDerivLeft = new QLabel("Derivative left", PaSpline);
  EdDerivLeft = new QLineEdit("0.0", PaSpline);
  LaDerivRight = new QLabel("Derivative right", PaSpline);
  EdDerivRight = new QLineEdit("0.0", PaSpline);
  G->addWidget(CbNatSpline, 0, 0, 1, 2);
  G->addWidget(LaDerivLeft, 1, 0);
  G->addWidget(EdDerivLeft, 1, 1);
  G->addWidget(LaDerivRight, 2, 0);
  G->addWidget(EdDerivRight, 2, 1);
  Params()->addWidget(PaSpline);
  Params()->addStretch();

  connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
  connect(RgInterpolation->Group(), &QButtonGroup::idToggled, this,
          [this](int, bool) { UpdateVisibility(); });
  connect(CbNatSpline, &QCheckBox::toggled, this, [this](bool) { UpdateVisibility(); });
  UpdateVisibility();
}

void TOpResample::UpdateVisibility() {
  PaSpline->setVisible(RgInterpolation->ItemIndex() == 1);
  const bool Derivs = !CbNatSpline->isChecked();
  for (QWidget *W : std::initializer_list<QWidget *>{LaDerivLeft, EdDerivLeft, LaDerivRight, EdDerivRight})
    W->setVisible(Derivs);
}

void TOpResample::Button1Click() {
  const std::vector<const TSpec32 *> Specs(Files().begin(), Files().end());
  const TResampleProposal P = ProposeRangeOfUnion(Specs);
  EdFromWL->setText(QString::fromStdString(P.From));
  EdToWL->setText(QString::fromStdString(P.To));
  EdStepWL->setText(QString::fromStdString(P.Step));
}

void TOpResample::Apply() {
  const TResampleGrid G =
      MakeResampleGrid(StrToFloat(EdFromWL->text().toStdString()), StrToFloat(EdToWL->text().toStdString()),
                       StrToFloat(EdStepWL->text().toStdString()));
  const bool Linear = RgInterpolation->ItemIndex() == 0;
  const bool Natural = CbNatSpline->isChecked();
  double DerivLeft = 0, DerivRight = 0;
  if (!Linear && !Natural) {
    DerivLeft = StrToFloat(EdDerivLeft->text().toStdString());
    DerivRight = StrToFloat(EdDerivRight->text().toStdString());
  }
  // A grid that leaves any selected spectrum's x-range is refused before anything is made
  // (the first such spectrum told); the dialog stays open for a better grid.
  TOpRunRules Rules;
  Rules.Check = EverySpectrum([&G](const TSpec32 &S) { return ResampleGridCheck(S, G); });
  RunOverFiles(
      [&](TSpec32 &S) {
        return Linear ? OpResampleLinear(S, G) : OpResampleSpline(S, G, Natural, DerivLeft, DerivRight);
      },
      Rules);
}

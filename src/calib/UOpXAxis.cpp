#define ORVA_UNIT "UOpXAxis"
#include "calib/UOpXAxis.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "calib/UXAxisCore.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"

TOpXAxis::TOpXAxis(TSpecList &FileList, QWidget *Parent)
    : TOpTemplate(FileList, "TOpXAxis", "X-Axis Operators", 1, Parent) {
  BuOK->setText("Apply");
  PcXAxis = new QTabWidget(this);

  auto *VacAir = new QWidget(PcXAxis);
  auto *V0 = new QVBoxLayout(VacAir);
  RgVacAir = new TRadioGroup("",
                             {QString::fromUtf8("Vacuum Wavelength [Å] --> Air Wavelength [Å]"),
                              QString::fromUtf8("Air Wavelength [Å] --> Vacuum Wavelength [Å]")},
                             0, VacAir);
  V0->addWidget(RgVacAir);
  V0->addStretch();
  PcXAxis->addTab(VacAir, "Vacuum/Air");

  auto *Wn = new QWidget(PcXAxis);
  auto *V1 = new QVBoxLayout(Wn);
  V1->addWidget(new QLabel(QString::fromUtf8("Wavenumber [1/cm] <--> Wavelength [Å]"), Wn));
  V1->addStretch();
  PcXAxis->addTab(Wn, "Wavelength/Wavenumber");

  auto *Kms = new QWidget(PcXAxis);
  auto *V2 = new QVBoxLayout(Kms);
  V2->addWidget(new QLabel(QString::fromUtf8("Wavelength [Å] --> Velocity [km/s]"), Kms));
  auto *F = new QFormLayout;
  EdWLCenter = new QLineEdit("6562.8", Kms);
  F->addRow(QString::fromUtf8("Center Wavelength [Å]"), EdWLCenter);
  V2->addLayout(F);
  V2->addStretch();
  PcXAxis->addTab(Kms, "X-Axis in km/s");

  Params()->addWidget(PcXAxis);
}

void TOpXAxis::ExecutePage(int Page) {
  ORVA_ASSERT(Page >= 0 && Page < PcXAxis->count());
  PcXAxis->setCurrentIndex(Page);
  Execute();
}

void TOpXAxis::Apply() {
  const int Page = PcXAxis->currentIndex();
  // The centre is read before the first spectrum: a bad value makes nothing.
  double Center = 0;
  if (Page == PageVelocity) {
    Center = StrToFloat(EdWLCenter->text().toStdString());
    CheckCenterWavelength(Center);
  }
  if (Page != PageVacAir && Page != PageWavenumber && Page != PageVelocity) OrvaRaiseUE("TOpXAxis.Apply");
  const bool ToAir = RgVacAir->ItemIndex() == 0;
  TListSink Notices(pFileList);
  RunOverFiles([&](TSpec32 &S) {
    if (Page == PageVacAir) return ToAir ? OpVacToAir(S) : OpAirToVac(S);
    if (Page == PageWavenumber) return OpWavenumber(S);
    // Told, but converted all the same: the velocities are still well defined.
    if (CenterOutsideProfile(S, Center)) Notices.Notice(S, CenterOutsideText);
    return OpVelocity(S, Center);
  });
}

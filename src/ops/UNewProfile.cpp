#define ORVA_UNIT "UNewProfile"
#include "ops/UNewProfile.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "astro/UBaryCorr.h"
#include "core/UErrors.h"
#include "core/UGlobalData.h"
#include "gui/UDialogButtons.h"
#include "gui/UUiServices.h"
#include "ops/UNewProfileCore.h"
#include "ops/UNewProfilePages.h"
#include "ops/UOpListing.h"

TNewProfile::TNewProfile(TSpecList &FileList, TGlobalData &GlobalData, TBaryCorrHolder &BaryCorr, QWidget *Parent)
    : QDialog(Parent), pFileList(FileList), pGlobalData(GlobalData), pBaryCorr(BaryCorr) {
  setWindowTitle("New Profile");
  auto *V = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  PgGauss = new TNewProfileGaussPage;
  PgPlanck = new TNewProfilePlanckPage;
  PgAtmosphere = new TNewProfileAtmospherePage;
  PgRV = new TNewProfileRVPage;
  PgSin = new TNewProfileSinPage;
  PageControl->addTab(PgGauss, "Gaussian / Voigt");
  PageControl->addTab(PgPlanck, "Planck");
  PageControl->addTab(PgAtmosphere, "Atmosphere");
  PageControl->addTab(PgRV, "Radial Velocity");
  PageControl->addTab(PgSin, "Sin");
  PageControl->setCurrentWidget(PgSin);
  V->addWidget(PageControl);
  BuOK = new QPushButton("OK", this);
  BuOK->setDefault(true);
  BuCancel = new QPushButton("Cancel", this);
  V->addLayout(ButtonRow({BuOK, BuCancel}));
  connect(BuOK, &QPushButton::clicked, this, &TNewProfile::BuOKClick);
  connect(BuCancel, &QPushButton::clicked, this, &TNewProfile::BuCancelClick);
}

TNewProfile::~TNewProfile() = default;

void TNewProfile::Execute() { Ui().ShowModal(*this); }

void TNewProfile::BuOKClick() {
  Guarded([this] {
    TBusyCursor Busy;
    Apply();
  });
}

void TNewProfile::BuCancelClick() { reject(); }

TBaryCorr &TNewProfile::BaryCorr() { return pBaryCorr.Get(); }

void TNewProfile::Apply() {
  // Everything is computed before anything is listed: a refusal or an error leaves no spectrum.
  QWidget *Page = PageControl->currentWidget();
  std::string Name; // empty: the next "Untitled-" name
  TOpResult R;
  if (Page == PgGauss) {
    R = NewGaussVoigt(PgGauss->Params());
  } else if (Page == PgPlanck) {
    R = NewPlanck(PgPlanck->Params());
    Name = PlanckName;
  } else if (Page == PgAtmosphere) {
    const TAtmosphereParams P = PgAtmosphere->Params();
    R = NewAtmosphere(P);
    Name = AtmosphereName(P.Mode);
  } else if (Page == PgRV) {
    TRVParams P = PgRV->Params();
    P.TAImUTC = pGlobalData.TAImUTC();
    P.Lon = pGlobalData.ObsLong();
    P.Lat = pGlobalData.ObsLat();
    P.Height = pGlobalData.ObsHeight();
    R = NewRadialVelocity(BaryCorr(), P);
  } else if (Page == PgSin) {
    R = NewSin(PgSin->Params());
  } else {
    OrvaRaiseUE("TNewProfile.Apply");
  }
  R.Equidistant = true;
  TListSink Sink(pFileList);
  RunWhole(TOpOutcome{{}, {std::move(R)}, false}, {}, Sink, Name);
  accept();
}

// The New Profile dialog on a real main window: its pages, fields and defaults, one spectrum
// per page listed under the page's name and equal to the core's, the observer taken from the
// settings, and refusals that leave the dialog open with nothing listed.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "astro/UBaryCorr.h"
#include "core/UGlobalData.h"
#include "ops/UNewProfile.h"
#include "ops/UNewProfileCore.h"
#include "ops/UNewProfilePages.h"
#include "ops/UOpListing.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";

class NewProfileDialogTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Dlg = std::make_unique<TNewProfile>(List(), Main->GlobalData(), Main->BaryCorrHolder(), Main.get());
  }
  void TearDown() override {
    Dlg.reset();
    ShellTest::TearDown();
  }
  // Shows the dialog as the "&New..." command does; Fill sets the fields, then OK is clicked.
  // Returns the dialog's result.
  int RunOK(const std::function<void(TNewProfile &)> &Fill) {
    Fake->ModalScripts.push_back([&](QDialog &D) {
      auto *P = dynamic_cast<TNewProfile *>(&D);
      ASSERT_NE(P, nullptr);
      Fill(*P);
      P->BuOK->click();
    });
    Dlg->Execute();
    return Dlg->result();
  }
  // The ephemeris beside the "program" of the test (the settings' folder). The program opens it
  // at start, so the dialog is made again on a correction opened now, as a start would.
  void ProvideEphemeris() {
    const std::string Eph = Main->GlobalData().ExeDir() + "/" + BaryEphemerisName;
    std::filesystem::create_symlink(EphFile, Eph);
    Dlg.reset();
    Holder = std::make_unique<TBaryCorrHolder>(Eph);
    ASSERT_TRUE(Holder->Ok()) << Holder->Error();
    Dlg = std::make_unique<TNewProfile>(List(), Main->GlobalData(), *Holder, Main.get());
  }
  TSpec32 &Last() { return List().Spec(List().Count() - 1); }

  std::unique_ptr<TBaryCorrHolder> Holder;
  std::unique_ptr<TNewProfile> Dlg;
};

} // namespace

TEST_F(NewProfileDialogTest, PagesFieldsAndDefaults) {
  TNewProfile &D = *Dlg;
  EXPECT_EQ(D.windowTitle().toStdString(), "New Profile");
  const char *Tabs[] = {"Gaussian / Voigt", "Planck", "Atmosphere", "Radial Velocity", "Sin"};
  ASSERT_EQ(D.PageControl->count(), 5);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(D.PageControl->tabText(i).toStdString(), Tabs[i]);
  EXPECT_EQ(D.PageControl->currentWidget(), D.PgSin) << "the Sin page is shown first";
  struct Row {
    QLineEdit *Ed;
    const char *Default;
  } Rows[] = {
      {D.PgGauss->EdPoints, "1536"},
      {D.PgGauss->EdFromX, "0"},
      {D.PgGauss->EdToX, "1535"},
      {D.PgGauss->EdAmpl, "1.0"},
      {D.PgGauss->EdPosX, "768"},
      {D.PgGauss->EdSD, "5.0"},
      {D.PgGauss->EdBias, "0.0"},
      {D.PgGauss->EdSlope, "0.0"},
      {D.PgGauss->EdNoise, "0.0"},
      {D.PgGauss->EdVoigt, "0.0"},
      {D.PgPlanck->EdPlFrom, "4000"},
      {D.PgPlanck->EdPlTo, "8000"},
      {D.PgPlanck->EdPlStep, "5"},
      {D.PgPlanck->EdPlTemp, "6000"},
      {D.PgAtmosphere->EdAOD, "0.13"},
      {D.PgAtmosphere->EdFrom, "4000"},
      {D.PgAtmosphere->EdTo, "8000"},
      {D.PgAtmosphere->EdStep, "5"},
      {D.PgAtmosphere->EdHeight, "0.2"},
      {D.PgRV->EdYear, ""},
      {D.PgRV->EdMonth, ""},
      {D.PgRV->EdDay, ""},
      {D.PgRV->EdHour, ""},
      {D.PgRV->EdMinute, ""},
      {D.PgRV->EdSecond, ""},
      {D.PgRV->EdRa, "14 15 39.6720"},
      {D.PgRV->EdDe, "+19 10 56.677"},
      {D.PgRV->EdInterval, "1.0"},
      {D.PgRV->EdPoints1, "1000"},
      {D.PgSin->EdSinPoints, "1024"},
      {D.PgSin->EdSinPer1, "1"},
      {D.PgSin->EdSinAmpl1, "1"},
      {D.PgSin->EdSinPhase1, "0"},
      {D.PgSin->EdSinPer2, "2"},
      {D.PgSin->EdSinAmpl2, "0"},
      {D.PgSin->EdSinPhase2, "0"},
      {D.PgSin->EdSinNoise, "0"},
  };
  for (const Row &W : Rows)
    EXPECT_EQ(W.Ed->text().toStdString(), W.Default);
  EXPECT_EQ(D.PgPlanck->RgScaling->ItemIndex(), 0);
  EXPECT_EQ(D.PgPlanck->RgScaling->Count(), 2);
  EXPECT_EQ(D.PgAtmosphere->RgMode->ItemIndex(), 0);
  EXPECT_EQ(D.PgAtmosphere->RgMode->Count(), 3);
  // The fields read back into the core's defaults.
  const TGaussParams G = D.PgGauss->Params(), G0;
  EXPECT_EQ(G.Points, G0.Points);
  EXPECT_EQ(G.ToX, G0.ToX);
  EXPECT_EQ(G.SD, G0.SD);
  EXPECT_EQ(D.PgPlanck->Params().Scaling, TPlanckScaling::MeanOne);
  EXPECT_EQ(D.PgAtmosphere->Params().Mode, TAtmosphereMode::Rayleigh);
  EXPECT_EQ(D.BuOK->text().toStdString(), "OK");
  EXPECT_TRUE(D.BuOK->isDefault());
}

TEST_F(NewProfileDialogTest, SinPageListsUntitledSpectra) {
  EXPECT_EQ(RunOK([](TNewProfile &) {}), QDialog::Accepted);
  ASSERT_EQ(List().Count(), 1);
  TSpec32 &S = Last();
  EXPECT_EQ(S.FileName(), "Untitled-1");
  EXPECT_EQ(S.Size(), 1024);
  EXPECT_TRUE(S.Equidistant());
  EXPECT_TRUE(S.FilePath().empty());
  EXPECT_EQ(S.DataY[256], 1.0);
  EXPECT_EQ(S.MaxVal(), 1.0);
  EXPECT_EQ(S.MinVal(), -1.0);
  EXPECT_EQ(Text(0, 1), "1024");
  EXPECT_EQ(Text(0, 2), "Y");
  // The fields keep their values; the next result takes the next number.
  RunOK([](TNewProfile &D) { D.PgSin->EdSinPoints->setText("16"); });
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Last().FileName(), "Untitled-2");
  EXPECT_EQ(Last().Size(), 16);
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
}

TEST_F(NewProfileDialogTest, GaussPageMakesTheCoresVoigtProfile) {
  RunOK([](TNewProfile &D) {
    D.PageControl->setCurrentWidget(D.PgGauss);
    D.PgGauss->EdVoigt->setText("1");
    D.PgGauss->EdBias->setText("0.5");
  });
  ASSERT_EQ(List().Count(), 1);
  TSpec32 &S = Last();
  EXPECT_EQ(S.FileName(), "Untitled-1");
  TGaussParams P;
  P.VoigtA = 1;
  P.Bias = 0.5;
  const TOpResult R = NewGaussVoigt(P);
  EXPECT_EQ(S.DataX, R.X);
  EXPECT_EQ(S.DataY, R.Y);
  EXPECT_NEAR(S.DataY[768], 0.5 + 0.4275835762, 4e-7);
  EXPECT_EQ(S.MinVal(), *std::min_element(R.Y.begin(), R.Y.end()));
}

TEST_F(NewProfileDialogTest, PlanckAndAtmospherePagesAreNamedAfterWhatTheyMake) {
  RunOK([](TNewProfile &D) {
    D.PageControl->setCurrentWidget(D.PgPlanck);
    D.PgPlanck->RgScaling->SetItemIndex(1);
  });
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(Last().FileName(), "Planck");
  EXPECT_EQ(Last().Size(), 801);
  TPlanckParams PP;
  PP.Scaling = TPlanckScaling::Radiance;
  EXPECT_EQ(Last().DataY, NewPlanck(PP).Y);

  const char *Names[] = {"Rayleigh", "Ozone", "Aerosols"};
  for (int Mode = 0; Mode < 3; ++Mode) {
    RunOK([Mode](TNewProfile &D) {
      D.PageControl->setCurrentWidget(D.PgAtmosphere);
      D.PgAtmosphere->RgMode->SetItemIndex(Mode);
      D.PgAtmosphere->EdStep->setText("10");
    });
    ASSERT_EQ(List().Count(), 2 + Mode);
    EXPECT_EQ(Last().FileName(), Names[Mode]);
    EXPECT_EQ(Last().Size(), 401);
    EXPECT_TRUE(Last().Equidistant());
  }
  // Aerosols at 5500 Å: exp(-AOD).
  EXPECT_NEAR(Last().DataY[150], std::exp(-0.13), 1e-14);
  EXPECT_EQ(List().UntitledCounter(), 0) << "named results take no Untitled number";
}

TEST_F(NewProfileDialogTest, RadialVelocityPageUsesTheObserverOfTheSettings) {
  ProvideEphemeris();
  TGlobalData &G = Main->GlobalData();
  G.SetObsLong(-155.4783);
  G.SetObsLat(19.8283);
  G.SetObsHeight(4160);
  G.SetTAImUTC(36);
  RunOK([](TNewProfile &D) {
    D.PageControl->setCurrentWidget(D.PgRV);
    D.PgRV->EdYear->setText("2016");
    D.PgRV->EdMonth->setText("6");
    D.PgRV->EdDay->setText("4");
    D.PgRV->EdHour->setText("0");
    D.PgRV->EdMinute->setText("0");
    D.PgRV->EdSecond->setText("0");
    D.PgRV->EdPoints1->setText("30");
    D.PgRV->EdInterval->setText("0.5");
  });
  ASSERT_EQ(List().Count(), 1) << (Fake->Texts(TK::kError).empty() ? "" : Fake->Texts(TK::kError)[0]);
  TSpec32 &S = Last();
  EXPECT_EQ(S.FileName(), "Untitled-1");
  ASSERT_EQ(S.Size(), 30);
  EXPECT_EQ(S.DataX[0], 57543.0);
  EXPECT_EQ(S.DataX[29], 57557.5);
  TBaryCorr BC(EphFile);
  TRVParams P;
  P.Start = {2016, 6, 4, 0, 0, 0};
  P.Points = 30;
  P.Interval = 0.5;
  P.Lon = -155.4783;
  P.Lat = 19.8283;
  P.Height = 4160;
  P.TAImUTC = 36;
  EXPECT_EQ(S.DataY, NewRadialVelocity(BC, P).Y);
  // Another site gives another curve: the settings are read at every OK.
  G.SetObsLong(100);
  RunOK([](TNewProfile &) {});
  ASSERT_EQ(List().Count(), 2);
  EXPECT_NE(Last().DataY, S.DataY);
}

TEST_F(NewProfileDialogTest, RefusalsKeepTheDialogOpenAndListNothing) {
  struct Row {
    const char *What;
    std::function<void(TNewProfile &)> Fill;
    std::string Error;
  } Rows[] = {
      {"one Gaussian point",
       [](TNewProfile &D) {
         D.PageControl->setCurrentWidget(D.PgGauss);
         D.PgGauss->EdPoints->setText("1");
       },
       "A Gaussian / Voigt profile needs at least 2 points"},
      {"decimal comma",
       [](TNewProfile &D) {
         D.PageControl->setCurrentWidget(D.PgGauss);
         D.PgGauss->EdSD->setText("2,5");
       },
       "'2,5' is not a valid floating point value"},
      {"planck step 0",
       [](TNewProfile &D) {
         D.PageControl->setCurrentWidget(D.PgPlanck);
         D.PgPlanck->EdPlStep->setText("0");
       },
       "The step must be positive"},
      {"empty date", [](TNewProfile &D) { D.PageControl->setCurrentWidget(D.PgRV); },
       "'' is not a valid integer value"},
  };
  for (const Row &W : Rows) {
    SCOPED_TRACE(W.What);
    Fake->Clear();
    Dlg = std::make_unique<TNewProfile>(List(), Main->GlobalData(), Main->BaryCorrHolder(), Main.get());
    EXPECT_EQ(RunOK(W.Fill), QDialog::Rejected);
    EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{W.Error});
    EXPECT_EQ(List().Count(), 0);
  }
}

TEST_F(NewProfileDialogTest, MissingEphemerisIsReported) {
  RunOK([](TNewProfile &D) {
    D.PageControl->setCurrentWidget(D.PgRV);
    D.PgRV->EdYear->setText("2016");
    D.PgRV->EdMonth->setText("6");
    D.PgRV->EdDay->setText("4");
    for (QLineEdit *E : {D.PgRV->EdHour, D.PgRV->EdMinute, D.PgRV->EdSecond})
      E->setText("0");
  });
  ASSERT_EQ(Fake->Texts(TK::kError).size(), 1u);
  EXPECT_NE(Fake->Texts(TK::kError)[0].find("Cannot open file"), std::string::npos);
  EXPECT_NE(Fake->Texts(TK::kError)[0].find(BaryEphemerisName), std::string::npos);
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(NewProfileDialogTest, CancelMakesNothing) {
  Fake->ModalScripts.push_back([](QDialog &D) { dynamic_cast<TNewProfile &>(D).BuCancel->click(); });
  Dlg->Execute();
  EXPECT_EQ(Dlg->result(), QDialog::Rejected);
  EXPECT_EQ(List().Count(), 0);
}

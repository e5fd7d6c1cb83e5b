// The calibration dialogs on a real main window with the scripted UI services: the x-axis
// operators, the refractive-index calculator and the dispersion function. What they compute
// is tested on the core; here: what each dialog reads, lists, tells and clears.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>
#include <functional>

#include "calib/UDispersionFunction.h"
#include "calib/UIndRefrAir.h"
#include "calib/UOpXAxis.h"
#include "ops/UOpListing.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

class CalibDialogTest : public ShellTest {
protected:
  // Shows the dialog through Show; Script drives it while it is modal. Returns its result.
  template <class D> int Drive(D &Dlg, std::function<void()> Show, std::function<void(D &)> Script) {
    int Result = -1;
    Fake->ModalScripts.push_back([&Result, &Dlg, Script](QDialog &Shown) {
      ASSERT_EQ(&Shown, &Dlg);
      Script(Dlg);
      Result = Shown.result();
    });
    Show();
    if (Result == -1) Fake->ModalScripts.clear();
    return Result;
  }
  void Set(QLineEdit *E, const char *Text) { E->setText(Text); }
  std::string T(const QLineEdit *E) { return E->text().toStdString(); }
};

} // namespace

TEST_F(CalibDialogTest, XAxisPagesMakeTheirSpectra) {
  AddSpec("star.fits", {4000, 5000}, {1, 2});
  TOpXAxis Dlg(List(), Main.get());
  struct Row {
    int Page, Vac;
    const char *Name;
    double X0, X1, Y0;
  } Rows[] = {{0, 0, "star-air", 4000 / 1.000282748, 5000 / 1.000278960, 1},
              {0, 1, "star-vac", 4000 * 1.000282748, 5000 * 1.000278960, 1},
              {1, 0, "star-wnwl", 20000, 25000, 2},
              {2, 0, "star-kms", (4000 / 6562.8 - 1) * 299790, (5000 / 6562.8 - 1) * 299790, 1}};
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Name);
    Select({0});
    const int Before = List().Count();
    int Res = Drive<TOpXAxis>(
        Dlg, [&] { Dlg.ExecutePage(R.Page); },
        [&](TOpXAxis &D) {
          EXPECT_EQ(D.PcXAxis->currentIndex(), R.Page);
          ASSERT_EQ(D.LbFiles->count(), 1);
          EXPECT_EQ(D.LbFiles->item(0)->text().toStdString(), "star.fits");
          D.RgVacAir->SetItemIndex(R.Vac);
          D.BuOKClick();
        });
    EXPECT_EQ(Res, QDialog::Accepted);
    ASSERT_EQ(List().Count(), Before + 1);
    const TSpec32 &D = List().Spec(Before);
    EXPECT_EQ(D.FileName(), R.Name);
    // Standard air at 4000 and 5000 A, Edlen's formula by hand: n - 1 = 2.82748e-4 and
    // 2.78960e-4 (the vacuum side takes the index 1e-4 A further, within the tolerance).
    EXPECT_NEAR(D.DataX[0], R.X0, 2e-3);
    EXPECT_NEAR(D.DataX[1], R.X1, 2e-3);
    EXPECT_EQ(D.DataY[0], R.Y0);
  }
  // The 6562.8 A default lies outside 4000 ... 5000: told once.
  EXPECT_EQ(Fake->Texts(TK::kInfo), (std::vector<std::string>{"Center Wavelength outside of Profile"}));
  EXPECT_FALSE(List().Locked());
}

TEST_F(CalibDialogTest, VelocityTellsOncePerSpectrumAndStillConverts) {
  AddRamp("a.fits", 11, 6000, 100);
  AddRamp("b.fits", 11, 6000, 100);
  AddRamp("c.fits", 3, 4900, 100); // covers 5000
  Select({0, 1, 2});
  TOpXAxis Dlg(List(), Main.get());
  Drive<TOpXAxis>(
      Dlg, [&] { Dlg.ExecutePage(TOpXAxis::PageVelocity); },
      [&](TOpXAxis &D) {
        Set(D.EdWLCenter, "5000");
        D.BuOKClick();
      });
  EXPECT_EQ(Fake->Texts(TK::kInfo), (std::vector<std::string>(2, "Center Wavelength outside of Profile")));
  ASSERT_EQ(List().Count(), 6);
  EXPECT_EQ(List().Spec(3).FileName(), "a-kms");
  EXPECT_EQ(List().Spec(4).FileName(), "b-kms");
  EXPECT_EQ(List().Spec(5).FileName(), "c-kms");
  EXPECT_NEAR(List().Spec(5).DataX[1], 0.0, 1e-12);
  EXPECT_NEAR(List().Spec(3).DataX[0], 0.2 * 299790, 1e-6);
  EXPECT_TRUE(List().Spec(3).Equidistant());
}

TEST_F(CalibDialogTest, XAxisBadCentreMakesNothing) {
  AddRamp("a.fits", 4);
  Select({0});
  TOpXAxis Dlg(List(), Main.get());
  int Res = Drive<TOpXAxis>(
      Dlg, [&] { Dlg.ExecutePage(2); },
      [&](TOpXAxis &D) {
        Set(D.EdWLCenter, "6562,8");
        D.BuOKClick();
      });
  EXPECT_NE(Res, QDialog::Accepted) << "the dialog stays open";
  EXPECT_EQ(List().Count(), 1);
  EXPECT_EQ(Fake->Texts(TK::kError),
            (std::vector<std::string>{"'6562,8' is not a valid floating point value"}));
  EXPECT_FALSE(List().Locked());
}

TEST_F(CalibDialogTest, XAxisGuardWithoutSelection) {
  AddRamp("a", 4);
  Select({});
  TOpXAxis Dlg(List(), Main.get());
  try {
    Dlg.FormShow();
    ADD_FAILURE() << "no guard";
  } catch (const EAssertFailure &E) {
    EXPECT_STREQ(E.what(), "TOpXAxis.FormShow: UE");
  }
  EXPECT_FALSE(List().Locked());
}

TEST_F(CalibDialogTest, RefractionCalculatorAndItsClearingRules) {
  TIndRefrAir Dlg(Main.get());
  EXPECT_EQ(Dlg.windowTitle().toStdString(), "Air/Vacuum Wavelength");
  Drive<TIndRefrAir>(
      Dlg, [&] { Dlg.Execute(); },
      [&](TIndRefrAir &D) {
        // The defaults give Ciddor's 1.000276213 at 6330 A.
        D.BuCiddorToAirClick();
        EXPECT_EQ(T(D.EdIndex), "1.000276213");
        EXPECT_EQ(T(D.EdWLAmb).substr(0, 7), "6328.25");
        EXPECT_EQ(T(D.EdWLVac), "6330.0") << "the program's own writes clear nothing";
        // Back from the air wavelength shown.
        D.BuCiddorToVacClick();
        EXPECT_EQ(T(D.EdWLVac), "6330.000000");
        EXPECT_EQ(T(D.EdIndex), "1.000276213");
        // Typing in the vacuum field clears air and index; typing in the air field clears
        // vacuum and index.
        Set(D.EdWLVac, "5000");
        EXPECT_EQ(T(D.EdWLAmb), "");
        EXPECT_EQ(T(D.EdIndex), "");
        D.BuCiddorToAirClick();
        EXPECT_NE(T(D.EdWLAmb), "");
        Set(D.EdWLAmb, "4998.6");
        EXPECT_EQ(T(D.EdWLVac), "");
        EXPECT_EQ(T(D.EdIndex), "");
        EXPECT_EQ(T(D.EdWLAmb), "4998.6");
        // A field that is not a number: told, nothing written.
        Set(D.EdAirTemp, "abc");
        D.BuCiddorToVacClick();
        EXPECT_EQ(T(D.EdWLVac), "");
        EXPECT_EQ(T(D.EdIndex), "");
        Set(D.EdAirTemp, "15.0");
        // Standard air: empty at start; one field clears the other.
        EXPECT_EQ(T(D.EdWLVacEdlen), "");
        EXPECT_EQ(T(D.EdWLAirEdlen), "");
        Set(D.EdWLVacEdlen, "5891.5833");
        D.BuEdlenToAirClick();
        EXPECT_EQ(T(D.EdWLAirEdlen).substr(0, 7), "5889.95"); // Na I D2 in air (NIST ASD)
        EXPECT_EQ(T(D.EdWLVacEdlen), "5891.5833");
        Set(D.EdWLAirEdlen, "5889.9510");
        EXPECT_EQ(T(D.EdWLVacEdlen), "");
        D.BuEdlenToVacClick();
        EXPECT_EQ(T(D.EdWLVacEdlen).substr(0, 7), "5891.58");
        EXPECT_EQ(T(D.EdWLAirEdlen), "5889.9510");
        D.BuCloseClick();
      });
  EXPECT_EQ(Fake->Texts(TK::kError), (std::vector<std::string>{"'abc' is not a valid floating point value"}));
}

TEST_F(CalibDialogTest, DispersionFunctionTransfersClearsAndApplies) {
  AddSpec("arc.fits", {0, 10, 100}, {5, 6, 7});
  AddSpec("b.dat", {1, 2, 3}, {1, 2, 3});
  TDispersionFunction Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.windowTitle().toStdString(), "Apply Dispersion Function");
  EXPECT_EQ(Dlg.BuOK->text().toStdString(), "Apply to File(s)");
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(T(Dlg.EdA[i]), i == 1 ? "1" : "0") << i;
    EXPECT_EQ(T(Dlg.EdUsed[i]), i == 1 ? "1" : "0") << "the identity is in use at start";
  }
  // Applied before any transfer: the identity copies x (an all-zero polynomial would have
  // put every point at x = 0).
  Select({1});
  Drive<TDispersionFunction>(
      Dlg, [&] { Dlg.Execute(); }, [&](TDispersionFunction &D) { D.BuOKClick(); });
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(List().Spec(2).FileName(), "b-disp");
  EXPECT_EQ(List().Spec(2).DataX, (std::vector<double>{1, 2, 3}));
  // The defaults transferred copy x as well.
  Drive<TDispersionFunction>(
      Dlg, [&] { Dlg.Execute(); },
      [&](TDispersionFunction &D) {
        D.BuTransferClick();
        D.BuOKClick();
      });
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Spec(3).FileName(), "b-disp");
  EXPECT_EQ(List().Spec(3).DataX, (std::vector<double>{1, 2, 3}));
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());

  // A bad field stops the transfer; those before it keep their new values.
  Set(Dlg.EdA[0], "6000");
  Set(Dlg.EdA[1], "0.5");
  Set(Dlg.EdA[2], "x");
  Dlg.BuTransfer->click();
  EXPECT_EQ(Fake->Texts(TK::kError), (std::vector<std::string>{"'x' is not a valid floating point value"}));
  EXPECT_EQ(T(Dlg.EdUsed[0]), "6000");
  EXPECT_EQ(T(Dlg.EdUsed[1]), "0.5");
  EXPECT_EQ(Dlg.Coeffs()[0], 6000.0L);
  // Clear resets the inputs only.
  Dlg.BuClear->click();
  EXPECT_EQ(T(Dlg.EdA[0]), "0");
  EXPECT_EQ(T(Dlg.EdA[2]), "0");
  EXPECT_EQ(T(Dlg.EdUsed[0]), "6000");

  // The dispersion tool's coefficients, with the inputs for a5 and a6 left non-zero: they are
  // not applied. 6000 + 0.5 x + 1e-4 x^2 at 0, 10, 100: 6000, 6005.01, 6051.
  Set(Dlg.EdA[5], "1");
  Set(Dlg.EdA[6], "1");
  Dlg.SetPolyParam(6000, 0.5, 1e-4, 0, 0);
  EXPECT_EQ(T(Dlg.EdUsed[2]), "0.0001");
  EXPECT_EQ(T(Dlg.EdUsed[5]), "0");
  EXPECT_EQ(T(Dlg.EdA[5]), "1") << "the inputs are not touched";
  Select({0});
  Drive<TDispersionFunction>(
      Dlg, [&] { Dlg.Execute(); },
      [&](TDispersionFunction &D) {
        ASSERT_EQ(D.LbFiles->count(), 1);
        D.BuOKClick();
      });
  ASSERT_EQ(List().Count(), 5);
  const TSpec32 &R = List().Spec(4);
  EXPECT_EQ(R.FileName(), "arc-disp");
  EXPECT_NEAR(R.DataX[0], 6000, 1e-9);
  EXPECT_NEAR(R.DataX[1], 6005.01, 1e-9);
  EXPECT_NEAR(R.DataX[2], 6051, 1e-9);
  EXPECT_EQ(R.DataY, (std::vector<double>{5, 6, 7}));
  EXPECT_FALSE(R.Equidistant());
  EXPECT_FALSE(List().Locked());
}

TEST_F(CalibDialogTest, DispersionFunctionRefusesWhereItIsNotMonotonic) {
  // x' = (x - 5)^2 = 25 - 10 x + x^2 turns back at x = 5: over 0, 4, 6, 10 it gives 25, 1, 1, 25,
  // over 1, 2, 3 it gives 16, 9, 4 (falling, so accepted: the axis merely runs the other way).
  AddSpec("arc.fits", {0, 4, 6, 10}, {1, 2, 3, 4});
  AddSpec("b.dat", {1, 2, 3}, {1, 2, 3});
  TDispersionFunction Dlg(List(), Main.get());
  Set(Dlg.EdA[0], "25");
  Set(Dlg.EdA[1], "-10");
  Set(Dlg.EdA[2], "1");
  Select({0, 1});
  Drive<TDispersionFunction>(
      Dlg, [&] { Dlg.Execute(); },
      [&](TDispersionFunction &D) {
        D.BuTransferClick();
        D.BuOKClick();
      });
  EXPECT_EQ(Fake->Texts(TK::kError),
            (std::vector<std::string>{"arc.fits: the dispersion function is not strictly monotonic over the "
                                      "x-values of this spectrum"}));
  ASSERT_EQ(List().Count(), 3) << "the refused spectrum is skipped, the other one made";
  EXPECT_EQ(List().Spec(2).FileName(), "b-disp");
  EXPECT_EQ(List().Spec(2).DataX, (std::vector<double>{16, 9, 4}));
  EXPECT_FALSE(List().Locked());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is released";
}

// The Filters, FFT, Evaluate and Root of Polynomial dialogs on a real main window, driven
// through their buttons with the scripted UI services: defaults, messages, result names, which
// dialogs close. What they compute is tested on the core functions.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <functional>

#include "ops/UFilters.h"
#include "ops/UNToolsEvaluate.h"
#include "ops/UNToolsFFT.h"
#include "ops/UOpListing.h"
#include "ops/UPolRoot.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

class FiltersDialogTest : public ShellTest {
protected:
  // Shows the dialog as its command does and drives it with Script; returns its result.
  template <class D> int Drive(D &Dlg, std::function<void(D &)> Script) {
    Fake->ModalScripts.push_back([&Dlg, Script](QDialog &Shown) {
      EXPECT_EQ(&Shown, &Dlg);
      Script(Dlg);
    });
    Dlg.Execute();
    return Dlg.result();
  }
  TSpec32 &Uneven(const std::string &Name) { return AddSpec(Name, {1, 2, 4, 5}, {1, 1, 1, 1}); }
  std::vector<std::string> NamesFrom(int Row) {
    std::vector<std::string> N;
    for (int i = Row; i < List().Count(); ++i)
      N.push_back(List().Spec(i).FileName());
    return N;
  }
};

TEST_F(FiltersDialogTest, FiltersPagesAndMessages) {
  Uneven("u.dat"); // first in list order, so the Savitzky-Golay loop ends before a.dat
  AddSpec("a.dat", {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6});
  TFilters Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.windowTitle(), "Filters");
  EXPECT_EQ(Dlg.TabFilters->currentWidget(), Dlg.PgGauss);
  EXPECT_EQ(Dlg.EdHWidth->text(), "2");
  EXPECT_EQ(Dlg.EdFWHM->text(), "1.0");
  EXPECT_EQ(Dlg.RgFFTExt->ItemIndex(), 0);
  EXPECT_EQ(Dlg.EdSGOrder->text(), "4");
  EXPECT_TRUE(Dlg.EdSGLeft->text().isEmpty());
  EXPECT_EQ(Dlg.BuOK->text(), "Apply");

  // Gauss: the spectrum that is not equidistant is told, the other is smoothed, the dialog closes.
  Select({0, 1});
  int Result = Drive<TFilters>(Dlg, [](TFilters &D) {
    D.RgFFTExt->SetItemIndex(2);
    D.BuOKClick();
  });
  EXPECT_EQ(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"u.dat not equidistant in x"});
  EXPECT_EQ(NamesFrom(2), std::vector<std::string>{"a-gauss"});

  // Savitzky-Golay: the first refusal ends the Apply and the dialog stays open.
  Fake->Clear();
  Select({0, 1});
  Result = Drive<TFilters>(Dlg, [](TFilters &D) {
    D.TabFilters->setCurrentWidget(D.PgSavGol);
    D.EdSGOrder->setText("2");
    D.EdSGLeft->setText("-2");
    D.EdSGRight->setText("2");
    D.BuOKClick();
  });
  EXPECT_NE(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"u.dat is not equidistant"});
  EXPECT_EQ(List().Count(), 3);

  // Moving average of a.dat.
  Fake->Clear();
  Select({1});
  Result = Drive<TFilters>(Dlg, [](TFilters &D) {
    D.TabFilters->setCurrentWidget(D.PgMovingAverage);
    D.BuOKClick();
  });
  EXPECT_EQ(Result, QDialog::Accepted);
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Spec(3).FileName(), "a-fma");
  EXPECT_EQ(List().Spec(3).DataY, (TDblArr1D{0, 0, 3, 4, 0, 0}));
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());

  // The show step's guard.
  Select({});
  try {
    Dlg.Execute();
    ADD_FAILURE() << "no guard";
  } catch (const EAssertFailure &E) {
    EXPECT_STREQ(E.what(), "TFilters.FormShow: UE");
  }
}

TEST_F(FiltersDialogTest, FftWithHannWindow) {
  AddSpec("c.fits", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, std::vector<double>(16, 2.0));
  AddRamp("r.dat", 10);
  TNToolsFFT Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.windowTitle(), "FFT");
  EXPECT_FALSE(Dlg.CbHannWindow->isChecked());
  Select({0, 1});
  int Result = Drive<TNToolsFFT>(Dlg, [](TNToolsFFT &D) {
    EXPECT_EQ(D.LbFiles->count(), 2);
    D.CbModulus->setChecked(true);
    D.CbPhase->setChecked(true);
    D.CbHannWindow->setChecked(true);
    D.BuOKClick();
  });
  EXPECT_EQ(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"r.dat: Size not a power of 2"});
  ASSERT_EQ(NamesFrom(2), (std::vector<std::string>{"c-fftmod", "c-fftphase"}));
  EXPECT_NEAR(List().Spec(2).DataY[0], 2 * 7.5, 1e-12); // c times the window sum (n - 1)/2
  EXPECT_EQ(List().Spec(2).DataX[5], 5);
}

TEST_F(FiltersDialogTest, EvaluateStaysOpenAndListsEverySpectrum) {
  AddSpec("a.dat", {1, 2, 3}, {10, 20, 30});
  AddSpec("b.dat", {1, 2, 3, 4}, {0.5, 1.2345678, 2, 3});
  TNToolsEvaluate Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.BuOK->text(), "Evaluate");
  EXPECT_EQ(Dlg.BuCancel->text(), "Close");
  Select({0, 1});
  int Result = Drive<TNToolsEvaluate>(Dlg, [](TNToolsEvaluate &D) {
    D.EdXVal->setText("2");
    D.BuOKClick();
    D.EdXVal->setText("x");
    D.BuOKClick(); // not a number: told, the lines stay
  });
  EXPECT_NE(Result, QDialog::Accepted);
  EXPECT_EQ(Dlg.Memo1->toPlainText().toStdString(), "a.dat\t20\nb.dat\t1.23457");
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'x' is not a valid floating point value"});
  // Opening again starts with an empty list.
  Drive<TNToolsEvaluate>(Dlg, [](TNToolsEvaluate &D) { EXPECT_TRUE(D.Memo1->toPlainText().isEmpty()); });
  EXPECT_EQ(List().Count(), 2);
}

TEST_F(FiltersDialogTest, RootOfPolynomial) {
  TPolRoot Dlg(Main.get());
  EXPECT_EQ(Dlg.windowTitle(), "Root of Polynomial");
  EXPECT_EQ(Dlg.EdAcc->text(), "1e-6");
  EXPECT_TRUE(Dlg.EdX->isReadOnly());
  Fake->ModalScripts.push_back([](QDialog &Shown) {
    auto &D = dynamic_cast<TPolRoot &>(Shown);
    D.BuOKClick(); // the coefficients are empty
    for (QLineEdit *E : D.EdA)
      E->setText("0");
    D.EdA[2]->setText("1");
    D.EdY->setText("2");
    D.EdGuess->setText("1");
    D.BuOKClick();
    EXPECT_EQ(D.EdX->text(), "1.414213562");
    D.EdGuess->setText("0");
    D.BuOKClick();
    D.EdY->setText("-1");
    D.EdGuess->setText("0.5");
    D.BuOKClick();
    D.BuCloseClick();
  });
  Dlg.Execute();
  EXPECT_EQ(Fake->Texts(TK::kError),
            (std::vector<std::string>{
                "'' is not a valid floating point value",
                "The derivative of the polynomial is 0 at x = 0: choose another x-value (guess)",
                "Too many iterations"}));
  EXPECT_FALSE(Dlg.EdX->text().isEmpty()); // the last iterate is still shown
}

} // namespace

// The operation dialogs on a real main window: the show step, the per-spectrum messages,
// the names and headers of the results, the dialogs that stay open, and the enabling of
// their commands. What the operations compute is tested on the core functions.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

#include "calib/UDispersionFunction.h"
#include "calib/UIndRefrAir.h"
#include "calib/UOpXAxis.h"
#include "ops/UFilters.h"
#include "ops/UNToolsEvaluate.h"
#include "ops/UNToolsFFT.h"
#include "ops/UNewProfile.h"
#include "ops/UOpAddZeros.h"
#include "ops/UOpBinary0.h"
#include "ops/UOpBinary1.h"
#include "ops/UOpBinary2.h"
#include "ops/UOpConcatenate.h"
#include "ops/UOpCrop.h"
#include "ops/UOpListing.h"
#include "ops/UOpMultiple.h"
#include "ops/UOpOperator.h"
#include "ops/UOpResample.h"
#include "ops/UOpUnary.h"
#include "ops/UPolRoot.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

const char *const NonFiniteText = ": the result holds infinite or undefined values (a division by zero or a "
                                  "power that is not a real number)";

class OpsDialogTest : public ShellTest {
protected:
  // Runs the command as the user does; the dialog, when it opens, is driven by Script. Returns
  // the dialog's result (-1 when it did not open).
  template <class D> int Drive(QAction *A, std::function<void(D &)> Script) {
    int Result = -1;
    Fake->ModalScripts.push_back([&Result, Script](QDialog &Dlg) {
      auto *Op = dynamic_cast<D *>(&Dlg);
      ASSERT_NE(Op, nullptr) << Dlg.windowTitle().toStdString();
      Script(*Op);
      Result = Dlg.result();
    });
    Run(A);
    if (Result == -1) Fake->ModalScripts.clear();
    return Result;
  }
  // The names of the rows from Row on.
  std::vector<std::string> NamesFrom(int Row) {
    std::vector<std::string> N;
    for (int i = Row; i < List().Count(); ++i)
      N.push_back(List().Spec(i).FileName());
    return N;
  }
  TSpec32 &Named(const std::string &Name, int N, double X0 = 4000, double Step = 1) {
    TSpec32 &S = AddRamp(Name, N, X0, Step);
    S.FitsBess().SetOBJNAME("Vega");
    return S;
  }
  // A spectrum whose x-steps vary (not equidistant).
  TSpec32 &Uneven(const std::string &Name, int N) {
    std::vector<double> X(N), Y(N, 1.0);
    for (int i = 0; i < N; ++i)
      X[i] = 4000 + i + 0.01 * i * i;
    TSpec32 &S = AddSpec(Name, X, Y);
    EXPECT_FALSE(S.Equidistant());
    return S;
  }
};

} // namespace

TEST_F(OpsDialogTest, ShowStepListsTheSelectedNamesInListOrder) {
  AddRamp("a.dat", 4);
  AddRamp("b.fits", 4);
  AddRamp("c", 4);
  Select({2, 0});
  TOpTemplate *Dialogs[] = {&Main->OpUnary(), &Main->OpOperator(), &Main->OpBinary0(), &Main->OpBinary2(),
                            &Main->OpCrop(),  &Main->OpResample(), &Main->OpAddZeros()};
  for (TOpTemplate *D : Dialogs) {
    SCOPED_TRACE(D->windowTitle().toStdString());
    D->FormShow();
    EXPECT_EQ(D->NFiles(), 2);
    ASSERT_EQ(D->LbFiles->count(), 2);
    EXPECT_EQ(D->LbFiles->item(0)->text().toStdString(), "a.dat");
    EXPECT_EQ(D->LbFiles->item(1)->text().toStdString(), "c");
    EXPECT_EQ(D->LbFiles->currentRow(), 0);
    EXPECT_TRUE(D->LbFiles->selectedItems().isEmpty()) << "no row is shown selected";
    EXPECT_FALSE(List().Locked());
    EXPECT_TRUE(List().ListView->isEnabled());
  }
  // Shown again with another selection, the list is rebuilt.
  Select({1});
  Main->OpCrop().FormShow();
  ASSERT_EQ(Main->OpCrop().LbFiles->count(), 1);
  EXPECT_EQ(Main->OpCrop().LbFiles->item(0)->text().toStdString(), "b.fits");
}

TEST_F(OpsDialogTest, ShowStepGuardsAndUnlocks) {
  AddRamp("a", 4);
  AddRamp("b", 4);
  AddRamp("c", 4);
  struct Row {
    std::function<void()> Show;
    std::vector<int> Sel;
    const char *Text;
  } Rows[] = {
      {[&] { Main->OpUnary().FormShow(); }, {}, "TOpUnary.FormShow: UE"},
      {[&] { Main->OpOperator().FormShow(); }, {}, "TOpOperator.FormShow: UE"},
      {[&] { Main->OpBinary0().FormShow(); }, {}, "TOpBinary0.FormShow: UE"},
      {[&] { Main->OpCrop().FormShow(); }, {}, "TOpCrop.FormShow: UE"},
      {[&] { Main->OpResample().FormShow(); }, {}, "TOpResample.FormShow: UE"},
      {[&] { Main->OpAddZeros().FormShow(); }, {}, "TOpAddZeros.FormShow: UE"},
      {[&] { Main->OpBinary2().FormShow(); }, {0}, "TOpBinary2.FormShow: UE"},
      {[&] { Main->OpBinary1().FormShow(); }, {0}, "TOpBinary1.FormShow: UE"},
      {[&] { Main->OpBinary1().FormShow(); }, {0, 1, 2}, "TOpBinary1.FormShow: UE"},
  };
  for (const Row &R : Rows) {
    Select(R.Sel);
    try {
      R.Show();
      ADD_FAILURE() << "no guard: " << R.Text;
    } catch (const EAssertFailure &E) {
      EXPECT_EQ(std::string(E.what()), R.Text);
    }
    EXPECT_FALSE(List().Locked()) << R.Text;
    EXPECT_TRUE(List().ListView->isEnabled()) << R.Text;
  }
}

TEST_F(OpsDialogTest, FirstSpectrumFailingGivesOneMessageAndOneResult) {
  struct Row {
    const char *What;
    std::function<void()> AddFirst;
    std::function<void()> RunOp;
    std::string Message, Result;
  } Rows[] = {
      {"FFT size", [this] { AddRamp("a.dat", 1000); },
       [this] {
         Drive<TOpUnary>(Main->ActionOpUnary, [](TOpUnary &D) {
           D.CbModulus->setChecked(true);
           D.BuOKClick();
         });
       },
       "a.dat: Size not a power of 2", "b-fftmod"},
      {"FFT equidistance", [this] { Uneven("a.dat", 8); },
       [this] {
         Drive<TOpUnary>(Main->ActionOpUnary, [](TOpUnary &D) {
           D.CbModulus->setChecked(true);
           D.BuOKClick();
         });
       },
       "a.dat: x-values not equidistant", "b-fftmod"},
      {"structure function", [this] { Uneven("a.dat", 8); },
       [this] {
         Drive<TOpUnary>(Main->ActionOpUnary, [](TOpUnary &D) {
           D.TabOps->setCurrentWidget(D.PgStructure);
           D.BuOKClick();
         });
       },
       "a.dat: x-values not equidistant", "b-struct"},
      {"crop by wavelength", [this] { AddRamp("a.dat", 8, 4002); },
       [this] {
         Drive<TOpCrop>(Main->ActionOpCrop, [](TOpCrop &D) {
           D.RgMethod->SetItemIndex(0);
           D.EdFrom->setText("4001");
           D.EdTo->setText("4005");
           D.BuOKClick();
         });
       },
       "a.dat: Wavelength values out of bound", "b-crop"},
      {"crop by index", [this] { AddRamp("a.dat", 4); },
       [this] {
         Drive<TOpCrop>(Main->ActionOpCrop, [](TOpCrop &D) {
           D.RgMethod->SetItemIndex(1);
           D.EdFrom->setText("1");
           D.EdTo->setText("6");
           D.BuOKClick();
         });
       },
       "a.dat: Index values out of bound", "b-crop"},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.What);
    List().CloseAll();
    Fake->Clear();
    R.AddFirst();
    AddRamp("b", 8);
    Select({0, 1});
    R.RunOp();
    EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Message});
    EXPECT_EQ(NamesFrom(2), std::vector<std::string>{R.Result});
  }
}

TEST_F(OpsDialogTest, ResultsAreNamedWithTheSuffixesAndListedUnsaved) {
  // Each row runs one dialog on the selected spectra "star.fits" and "moon.dat" (8 points,
  // equidistant, OBJNAME Vega) with "ref" unselected, and expects these new names in order.
  struct Row {
    const char *What;
    std::function<void()> RunOp;
    std::vector<std::string> Names;
    bool HeaderCopied;
  };
  auto Unary = [this](QWidget *TOpUnary::*Page, std::function<void(TOpUnary &)> Set = {}) {
    return [this, Page, Set] {
      Drive<TOpUnary>(Main->ActionOpUnary, [&](TOpUnary &D) {
        D.TabOps->setCurrentWidget(D.*Page);
        if (Set) Set(D);
        D.BuOKClick();
      });
    };
  };
  auto Number = [this](int Item) {
    return [this, Item] {
      Drive<TOpBinary0>(Main->ActionOpBinary0, [&](TOpBinary0 &D) {
        D.RgOp->SetItemIndex(Item);
        D.EdVal->setText("2");
        D.BuOKClick();
      });
    };
  };
  auto Each = [this](int Item) {
    return [this, Item] {
      Drive<TOpBinary2>(Main->ActionOpBinary2, [&](TOpBinary2 &D) {
        D.RgOp->SetItemIndex(Item);
        D.BuOKClick();
      });
    };
  };
  auto Resample = [this](int Method) {
    return [this, Method] {
      Drive<TOpResample>(Main->ActionOpResample, [&](TOpResample &D) {
        D.Button1Click();
        D.RgInterpolation->SetItemIndex(Method);
        D.BuOKClick();
      });
    };
  };
  const std::vector<Row> Rows = {
      {"noise", Unary(&TOpUnary::PgNoise), {"star-noise", "moon-noise"}, true},
      {"fft, all five",
       Unary(&TOpUnary::PgFFT,
             [](TOpUnary &D) {
               for (QCheckBox *C : {D.CbModulus, D.CbSqrModulus, D.CbReal, D.CbImaginary, D.CbPhase})
                 C->setChecked(true);
             }),
       {"star-fftmod", "star-fftpower", "star-fftreal", "star-fftimag", "star-fftphase", "moon-fftmod",
        "moon-fftpower", "moon-fftreal", "moon-fftimag", "moon-fftphase"},
       true},
      // The boxes keep their state from the row before: unchecked here, nothing is made.
      {"fft, none",
       Unary(&TOpUnary::PgFFT,
             [](TOpUnary &D) {
               for (QCheckBox *C : {D.CbModulus, D.CbSqrModulus, D.CbReal, D.CbImaginary, D.CbPhase})
                 C->setChecked(false);
             }),
       {},
       true},
      {"structure", Unary(&TOpUnary::PgStructure), {"star-struct", "moon-struct"}, true},
      {"add", Number(0), {"star-add", "moon-add"}, true},
      {"multiply", Number(1), {"star-mul", "moon-mul"}, true},
      {"divide", Number(2), {"star-div", "moon-div"}, true},
      {"power", Number(3), {"star-pow", "moon-pow"}, true},
      {"clip below", Number(4), {"star-clip", "moon-clip"}, true},
      {"clip above", Number(5), {"star-clip", "moon-clip"}, true},
      {"log10",
       [this] { Drive<TOpOperator>(Main->ActionOpOperator, [](TOpOperator &D) { D.BuOKClick(); }); },
       {"star-log10", "moon-log10"},
       true},
      {"crop",
       [this] {
         Drive<TOpCrop>(Main->ActionOpCrop, [](TOpCrop &D) {
           D.RgMethod->SetItemIndex(1);
           D.EdFrom->setText("0");
           D.EdTo->setText("7");
           D.BuOKClick();
         });
       },
       {"star-crop", "moon-crop"},
       true},
      {"linear", Resample(0), {"star-lin", "moon-lin"}, true},
      {"spline", Resample(1), {"star-spline", "moon-spline"}, true},
      {"zeros",
       [this] {
         Drive<TOpAddZeros>(Main->ActionOpAddZeros, [](TOpAddZeros &D) {
           D.EdZero->setText("8");
           D.BuOKClick();
         });
       },
       {"star-zeros", "moon-zeros"},
       true},
      {"each add", Each(0), {"star-add", "moon-add"}, false},
      {"each subtract", Each(1), {"star-sub", "moon-sub"}, false},
      {"each multiply", Each(2), {"star-mul", "moon-mul"}, false},
      {"each divide", Each(3), {"star-div", "moon-div"}, false},
      {"each cross-correlate", Each(4), {"star-cc", "moon-cc"}, false},
      {"each convolve", Each(5), {"star-cnv", "moon-cnv"}, false},
      {"each deconvolve", Each(6), {"star-dcn", "moon-dcn"}, false},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.What);
    List().CloseAll();
    Fake->Clear();
    Named("star.fits", 8);
    Named("moon.dat", 8);
    Named("ref", 8);
    Select({0, 1});
    R.RunOp();
    EXPECT_EQ(NamesFrom(3), R.Names);
    EXPECT_TRUE(Fake->Texts(TK::kError).empty()) << Fake->Texts(TK::kError).front();
    for (int i = 3; i < List().Count(); ++i) {
      const TSpec32 &S = List().Spec(i);
      EXPECT_TRUE(S.Unsaved()) << S.FileName();
      EXPECT_EQ(S.FitsBess().OBJNAME() == "Vega", R.HeaderCopied) << S.FileName();
      EXPECT_EQ(S.Size(), static_cast<int>(S.DataX.size())) << S.FileName();
      EXPECT_EQ(Text(i, 0), S.FileName());
    }
  }
}

TEST_F(OpsDialogTest, TwoSpectraGiveUntitledResultsWithFreshHeadersAndSwap) {
  TSpec32 &A = Named("a.fits", 4);
  TSpec32 &B = Named("b.fits", 4);
  B.DataY = {5, 7, 11, 13};
  Select({0, 1});
  auto Subtract = [this](bool Swap) {
    return Drive<TOpBinary1>(Main->ActionOpBinary1, [Swap](TOpBinary1 &D) {
      EXPECT_TRUE(D.BuOK->isEnabled());
      EXPECT_EQ(D.LaFile1->text().toStdString(), "a.fits");
      EXPECT_EQ(D.LaFile2->text().toStdString(), "b.fits");
      if (Swap) {
        D.BuSwapClick();
        EXPECT_EQ(D.LaFile1->text().toStdString(), "b.fits");
        EXPECT_EQ(D.LaFile2->text().toStdString(), "a.fits");
        EXPECT_EQ(D.Size(), 4) << "the size stays the one taken at the start";
      }
      D.RgOp->SetItemIndex(1);
      D.BuOKClick();
    });
  };
  EXPECT_EQ(Subtract(false), QDialog::Accepted);
  EXPECT_EQ(Subtract(true), QDialog::Accepted);
  ASSERT_EQ(NamesFrom(2), (std::vector<std::string>{"Untitled-1", "Untitled-2"}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(List().Spec(2).DataY[i], A.DataY[i] - B.DataY[i]);
    EXPECT_DOUBLE_EQ(List().Spec(3).DataY[i], B.DataY[i] - A.DataY[i]) << "Swap Files flips the sign";
  }
  for (int i = 2; i < 4; ++i) {
    EXPECT_NE(List().Spec(i).FitsBess().OBJNAME(), "Vega") << "no header source";
    EXPECT_TRUE(List().Spec(i).Unsaved());
  }
  EXPECT_EQ(Main->OpBinary1().Destination(), &List().Spec(3));
}

TEST_F(OpsDialogTest, TwoSpectraOnDifferentAxesDisableOkAndStayOpen) {
  AddRamp("a", 4, 4000);
  AddRamp("b", 4, 4100);
  Select({0, 1});
  int Result = Drive<TOpBinary1>(Main->ActionOpBinary1, [](TOpBinary1 &D) {
    D.RgOp->SetItemIndex(0);
    D.BuOKClick();
    EXPECT_FALSE(D.BuOK->isEnabled());
    EXPECT_EQ(D.focusWidget(), D.BuCancel);
    EXPECT_NE(D.result(), QDialog::Accepted) << "the dialog stays open";
    D.BuCancelClick();
  });
  EXPECT_EQ(Result, QDialog::Rejected);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"X-values differ at index 0"});
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(List().UntitledCounter(), 0);
  // Opened again, OK is enabled again.
  Drive<TOpBinary1>(Main->ActionOpBinary1, [](TOpBinary1 &D) {
    EXPECT_TRUE(D.BuOK->isEnabled());
    D.BuCancelClick();
  });
}

TEST_F(OpsDialogTest, TwoSpectraFourierRefusalMakesNothingAndCloses) {
  AddRamp("a", 6);
  AddRamp("b", 6);
  Uneven("c", 8);
  AddRamp("d", 8);
  struct Row {
    std::vector<int> Sel;
    int Item;
    const char *Text;
  } Rows[] = {{{0, 1}, 5, "Number of points not a power of 2"},
              {{0, 1}, 6, "Number of points not a power of 2"},
              {{2, 3}, 4, "X-values not equidistant"}};
  for (const Row &R : Rows) {
    Fake->Clear();
    Select(R.Sel);
    int Result = Drive<TOpBinary1>(Main->ActionOpBinary1, [&](TOpBinary1 &D) {
      D.RgOp->SetItemIndex(R.Item);
      D.BuOKClick();
      EXPECT_FALSE(D.BuOK->isEnabled());
    });
    EXPECT_EQ(Result, QDialog::Accepted) << R.Text;
    EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Text});
    EXPECT_EQ(List().Count(), 4);
  }
}

TEST_F(OpsDialogTest, EachWithOneMakesNothingWhenOneLeftOperandDiffers) {
  AddRamp("a", 8);
  AddRamp("b", 8);
  AddRamp("c", 8, 4000, 1.5);
  AddRamp("ref", 8);
  Select({0, 1, 2});
  int Result = Drive<TOpBinary2>(Main->ActionOpBinary2, [](TOpBinary2 &D) {
    ASSERT_EQ(D.CbOperand->count(), 1);
    EXPECT_EQ(D.CbOperand->itemText(0).toStdString(), "ref");
    ASSERT_NE(D.Operand(), nullptr);
    EXPECT_EQ(D.Operand()->FileName(), "ref");
    D.BuOKClick();
    EXPECT_FALSE(D.BuOK->isEnabled());
    EXPECT_EQ(D.focusWidget(), D.BuCancel);
    EXPECT_NE(D.result(), QDialog::Accepted);
  });
  EXPECT_NE(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"c, ref: X-values differ at index 1"});
  EXPECT_EQ(List().Count(), 4) << "nothing at all is made";
}

TEST_F(OpsDialogTest, EachWithOneChecksTheConvolutionKernel) {
  AddRamp("a", 6);
  AddRamp("b", 6);
  AddRamp("ref", 6);
  Select({0, 1});
  Drive<TOpBinary2>(Main->ActionOpBinary2, [](TOpBinary2 &D) {
    D.RgOp->SetItemIndex(5);
    D.BuOKClick();
    EXPECT_FALSE(D.BuOK->isEnabled());
  });
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Number of points not a power of 2"});
  EXPECT_EQ(List().Count(), 3);
}

TEST_F(OpsDialogTest, EachWithOneOffersTheUnselectedSpectraAndSaysWhyWhenNone) {
  AddRamp("a", 4);
  AddRamp("r1", 4);
  AddRamp("b", 4);
  AddRamp("r2", 4);
  TOpBinary2 &D = Main->OpBinary2();
  Select({0, 2});
  D.FormShow();
  ASSERT_EQ(D.CbOperand->count(), 2);
  EXPECT_EQ(D.CbOperand->itemText(0).toStdString(), "r1");
  EXPECT_EQ(D.CbOperand->itemText(1).toStdString(), "r2");
  EXPECT_EQ(D.CbOperand->currentIndex(), 0);
  EXPECT_EQ(D.Operand(), &List().Spec(1));
  EXPECT_TRUE(D.BuOK->isEnabled());
  EXPECT_TRUE(D.LaNoOperand->isHidden());
  EXPECT_EQ(D.LaFiles->text().toStdString(), "Left-hand operands");

  Select({0, 1, 2, 3});
  D.FormShow();
  EXPECT_EQ(D.CbOperand->count(), 0);
  EXPECT_EQ(D.Operand(), nullptr);
  EXPECT_FALSE(D.BuOK->isEnabled());
  EXPECT_FALSE(D.LaNoOperand->isHidden());
  EXPECT_FALSE(D.LaNoOperand->text().isEmpty());
}

TEST_F(OpsDialogTest, RangeOfUnionTexts) {
  AddRamp("blue", 301, 4000, 10);  // 4000 ... 7000
  AddRamp("red", 1201, 4500, 2.5); // 4500 ... 7500
  AddRamp("other", 11, 3000, 0.1);
  Select({0, 1});
  TOpResample &D = Main->OpResample();
  D.FormShow();
  D.Button1Click();
  EXPECT_EQ(D.EdFromWL->text().toStdString(), "4500.000");
  EXPECT_EQ(D.EdToWL->text().toStdString(), "7000.000");
  EXPECT_EQ(D.EdStepWL->text().toStdString(), "2.50000") << "the step of the last selected spectrum";
  // Spectra that do not overlap have no range to propose: told, the fields stay.
  Select({0, 2});
  D.FormShow();
  D.Button1->click();
  EXPECT_EQ(Fake->Texts(TFakeUiServices::kError),
            (std::vector<std::string>{"The selected spectra have no x-range in common"}));
  EXPECT_EQ(D.EdFromWL->text().toStdString(), "4500.000");
  EXPECT_EQ(D.EdToWL->text().toStdString(), "7000.000");
}

TEST_F(OpsDialogTest, RangeOfUnionIsAcceptedByReSample) {
  // 3999.9996 ... 6999.9996 in steps of 0.1 and 4100.25 ... 7100.25 in steps of 0.25: the
  // nearest "%1.3f" texts 4100.250 / 7000.000 would put the grid's end past 6999.9996 (and the
  // point count rounded to the nearest, 11600, too); rounded inwards they are 4100.250 / 6999.999.
  AddRamp("a", 30001, 3999.9996, 0.1);
  AddRamp("b", 12001, 4100.25, 0.25);
  Select({0, 1});
  TOpResample &D = Main->OpResample();
  D.FormShow();
  D.Button1Click();
  EXPECT_EQ(D.EdFromWL->text().toStdString(), "4100.250");
  EXPECT_EQ(D.EdToWL->text().toStdString(), "6999.999");
  EXPECT_EQ(D.EdStepWL->text().toStdString(), "0.25000");
  D.RgInterpolation->SetItemIndex(0);
  D.BuOKClick();
  EXPECT_TRUE(Fake->Texts(TFakeUiServices::kError).empty());
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Spec(2).FileName(), "a-lin");
  EXPECT_EQ(List().Spec(2).Size(), 11599) << "(6999.999 - 4100.25)/0.25 = 11598.996 -> 11598 steps";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OpsDialogTest, ResampleVisibilityRules) {
  TOpResample &D = Main->OpResample();
  auto Shown = [](QWidget *W) { return !W->isHidden(); };
  struct Row {
    int Method;
    bool Natural;
    bool Panel, Derivs;
  } Rows[] = {
      {1, true, true, false}, {1, false, true, true}, {0, false, false, true}, {0, true, false, false}};
  // The defaults first: cubic splines, natural.
  EXPECT_EQ(D.RgInterpolation->ItemIndex(), 1);
  EXPECT_TRUE(D.CbNatSpline->isChecked());
  for (const Row &R : Rows) {
    D.RgInterpolation->SetItemIndex(R.Method);
    D.CbNatSpline->setChecked(R.Natural);
    EXPECT_EQ(Shown(D.PaSpline), R.Panel) << R.Method << R.Natural;
    for (QWidget *W : {static_cast<QWidget *>(D.LaDerivLeft), static_cast<QWidget *>(D.EdDerivLeft),
                       static_cast<QWidget *>(D.LaDerivRight), static_cast<QWidget *>(D.EdDerivRight)})
      EXPECT_EQ(Shown(W), R.Derivs) << R.Method << R.Natural;
  }
}

TEST_F(OpsDialogTest, ResampleRefusesAGridOutsideAnySpectrumBeforeMakingAnything) {
  AddRamp("a", 101, 4000, 1); // 4000 ... 4100
  AddRamp("b", 51, 4020, 1);  // 4020 ... 4070
  Select({0, 1});
  int Result = Drive<TOpResample>(Main->ActionOpResample, [this](TOpResample &D) {
    D.EdFromWL->setText("4010");
    D.EdToWL->setText("4060");
    D.EdStepWL->setText("0.5");
    D.BuOKClick();
    EXPECT_NE(D.result(), QDialog::Accepted) << "the dialog stays open";
    EXPECT_EQ(List().Count(), 2);
    // A grid inside both.
    D.Button1Click();
    D.BuOKClick();
  });
  EXPECT_EQ(Result, QDialog::Accepted);
  const std::vector<std::string> Errors = Fake->Texts(TK::kError);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0].rfind("b: ", 0), 0u) << Errors[0];
  EXPECT_EQ(NamesFrom(2), (std::vector<std::string>{"a-spline", "b-spline"}));
  EXPECT_DOUBLE_EQ(List().Spec(2).DataX.front(), 4020);
  EXPECT_DOUBLE_EQ(List().Spec(2).DataX.back(), 4070);
}

TEST_F(OpsDialogTest, ResampleWithABadStepMakesNothing) {
  AddRamp("a", 11);
  Select({0});
  Drive<TOpResample>(Main->ActionOpResample, [](TOpResample &D) {
    D.EdFromWL->setText("4000");
    D.EdToWL->setText("4010");
    D.EdStepWL->setText("0");
    D.BuOKClick();
    D.EdStepWL->setText("x");
    D.BuOKClick();
    D.BuCancelClick();
  });
  const std::vector<std::string> Errors = Fake->Texts(TK::kError);
  ASSERT_EQ(Errors.size(), 2u);
  EXPECT_EQ(Errors[1], "'x' is not a valid floating point value");
  EXPECT_EQ(List().Count(), 1);
}

TEST_F(OpsDialogTest, AddZerosStopsAtASpectrumThatIsNotEquidistant) {
  AddRamp("a.dat", 1000);
  Uneven("b.dat", 10);
  AddRamp("c.dat", 10);
  Select({0, 1, 2});
  int Result = Drive<TOpAddZeros>(Main->ActionOpAddZeros, [](TOpAddZeros &D) {
    EXPECT_EQ(D.focusWidget(), D.EdZero);
    D.EdZero->setText("-24");
    D.BuOKClick();
    EXPECT_NE(D.result(), QDialog::Accepted) << "the dialog stays open";
  });
  EXPECT_NE(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"b.dat is not equidistant"});
  ASSERT_EQ(NamesFrom(3), std::vector<std::string>{"a-zeros"});
  EXPECT_EQ(List().Spec(3).Size(), 1024) << "a negative count is taken as its absolute value";
}

TEST_F(OpsDialogTest, NonFiniteResultsAreListedAndToldOncePerSpectrum) {
  AddRamp("a.dat", 4);
  AddRamp("b.dat", 4);
  Select({0, 1});
  Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    D.RgOp->SetItemIndex(2);
    D.EdVal->setText("0");
    D.BuOKClick();
  });
  ASSERT_EQ(NamesFrom(2), (std::vector<std::string>{"a-div", "b-div"}));
  EXPECT_TRUE(std::isinf(List().Spec(2).DataY[0]));
  EXPECT_EQ(Fake->Texts(TK::kError), (std::vector<std::string>{std::string("a-div") + NonFiniteText,
                                                               std::string("b-div") + NonFiniteText}));

  // A non-real power on one spectrum; the other stays real and is not mentioned.
  List().CloseAll();
  Fake->Clear();
  AddSpec("neg", {1, 2, 3}, {-1, 4, 9});
  AddSpec("pos", {1, 2, 3}, {1, 4, 9});
  Select({0, 1});
  Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    D.RgOp->SetItemIndex(3);
    D.EdVal->setText("0.5");
    D.BuOKClick();
  });
  EXPECT_EQ(NamesFrom(0), (std::vector<std::string>{"neg", "pos", "neg-pow", "pos-pow"}));
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{std::string("neg-pow") + NonFiniteText});

  // Values that were infinite already are the user's own: no message.
  List().CloseAll();
  Fake->Clear();
  AddSpec("inf", {1, 2}, {std::numeric_limits<double>::infinity(), 1});
  Select({0});
  Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    D.RgOp->SetItemIndex(0);
    D.BuOKClick();
  });
  EXPECT_EQ(List().Count(), 2);
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
}

TEST_F(OpsDialogTest, DivisionByAZeroSpectrumIsToldWithTheUntitledName) {
  AddSpec("a", {1, 2, 3, 4}, {1, 2, 3, 4});
  AddSpec("b", {1, 2, 3, 4}, {1, 0, 1, 1});
  Select({0, 1});
  Drive<TOpBinary1>(Main->ActionOpBinary1, [](TOpBinary1 &D) {
    D.RgOp->SetItemIndex(3);
    D.BuOKClick();
  });
  EXPECT_EQ(NamesFrom(2), std::vector<std::string>{"Untitled-1"});
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{std::string("Untitled-1") + NonFiniteText});
}

TEST_F(OpsDialogTest, NumberTextThatIsNotANumberMakesNothingAndLeavesTheDialogOpen) {
  AddRamp("a", 4);
  Select({0});
  int Result = Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    D.EdVal->setText("2,5");
    D.BuOKClick();
  });
  EXPECT_NE(Result, QDialog::Accepted);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'2,5' is not a valid floating point value"});
  EXPECT_EQ(List().Count(), 1);
  EXPECT_FALSE(List().Locked());
}

TEST_F(OpsDialogTest, CropReadsTheFieldsForEverySpectrum) {
  // A bad text stops the loop at the first spectrum; nothing is made.
  AddRamp("a", 8);
  AddRamp("b", 8);
  Select({0, 1});
  Drive<TOpCrop>(Main->ActionOpCrop, [](TOpCrop &D) {
    D.RgMethod->SetItemIndex(1);
    D.EdFrom->setText("1.5");
    D.EdTo->setText("3");
    D.BuOKClick();
  });
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'1.5' is not a valid integer value"});
  EXPECT_EQ(List().Count(), 2);
}

TEST_F(OpsDialogTest, DialogsKeepTheirFieldsAndFocusTheirMainControl) {
  AddRamp("a", 4);
  Select({0});
  Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    EXPECT_EQ(D.EdVal->text().toStdString(), "0.0");
    EXPECT_EQ(D.RgOp->ItemIndex(), 0);
    EXPECT_EQ(D.focusWidget(), D.EdVal);
    D.EdVal->setText("2.5");
    D.RgOp->SetItemIndex(3);
    D.BuCancelClick();
  });
  Drive<TOpBinary0>(Main->ActionOpBinary0, [](TOpBinary0 &D) {
    EXPECT_EQ(D.EdVal->text().toStdString(), "2.5");
    EXPECT_EQ(D.RgOp->ItemIndex(), 3);
    D.BuCancelClick();
  });
  EXPECT_EQ(List().Count(), 1) << "Cancel makes nothing";
  Drive<TOpUnary>(Main->ActionOpUnary, [](TOpUnary &D) {
    EXPECT_EQ(D.EdNoise->text().toStdString(), "0.0");
    D.TabOps->setCurrentWidget(D.PgStructure);
    D.BuCancelClick();
  });
  Drive<TOpUnary>(Main->ActionOpUnary, [](TOpUnary &D) {
    EXPECT_EQ(D.TabOps->currentWidget(), D.PgStructure);
    D.BuCancelClick();
  });
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
}

TEST_F(OpsDialogTest, UnaryOffersThreePagesWithFftFirst) {
  TOpUnary &D = Main->OpUnary();
  ASSERT_EQ(D.TabOps->count(), 3);
  EXPECT_EQ(D.TabOps->tabText(0).toStdString(), "Add Noise");
  EXPECT_EQ(D.TabOps->tabText(1).toStdString(), "FFT");
  EXPECT_EQ(D.TabOps->tabText(2).toStdString(), "Structure Function");
  EXPECT_EQ(D.TabOps->currentWidget(), D.PgFFT);
  EXPECT_EQ(D.BuOK->text().toStdString(), "Apply");
  for (QCheckBox *C : {D.CbModulus, D.CbSqrModulus, D.CbReal, D.CbImaginary, D.CbPhase})
    EXPECT_FALSE(C->isChecked());
}

TEST_F(OpsDialogTest, CommandsEnableWithTheSelection) {
  for (int i = 0; i < 3; ++i)
    AddRamp("r" + std::to_string(i), 4);
  struct Cmd {
    QAction *A;
    const char *Caption;
    bool On[4]; // 0, 1, 2, 3 selected
  } Cmds[] = {
      {Main->ActionOpUnary, "Unary S...", {false, true, true, true}},
      {Main->ActionOpOperator, "Op(S) -> S", {false, true, true, true}},
      {Main->ActionOpBinary0, "S x R -> S", {false, true, true, true}},
      {Main->ActionOpBinary1, "S x S -> S", {false, false, true, false}},
      {Main->ActionOpBinary2, "nS x S -> S", {false, false, true, true}},
      {Main->ActionOpCrop, "Crop...", {false, true, true, true}},
      {Main->ActionOpResample, "Re-sample...", {false, true, true, true}},
      {Main->ActionOpAddZeros, "Add zeros...", {false, true, true, true}},
  };
  const std::vector<int> Sels[] = {{}, {0}, {0, 1}, {0, 1, 2}};
  for (int n = 0; n < 4; ++n) {
    Select(Sels[n]);
    Main->ActionList1Update();
    for (const Cmd &C : Cmds) {
      EXPECT_EQ(C.A->text().toStdString(), C.Caption);
      EXPECT_EQ(C.A->isEnabled(), C.On[n]) << C.Caption << " with " << n << " selected";
    }
  }
}

TEST_F(OpsDialogTest, EachCommandOpensItsDialog) {
  Named("a", 16);
  Named("b", 16);
  Select({0, 1});
  auto Closes = [](auto &D) { D.reject(); };
  EXPECT_EQ(Drive<TNewProfile>(Main->ActionFileNew, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TOpMultiple>(Main->ActionOpMultiple, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TFilters>(Main->ActionOpFilters, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TOpConcatenate>(Main->ActionOpConcat, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TNToolsFFT>(Main->ActionNToolsFFT, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TNToolsEvaluate>(Main->ActionNToolsEvaluate, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TDispersionFunction>(Main->ActionXCalibration, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TIndRefrAir>(Main->ActionVariaAir, Closes), QDialog::Rejected);
  EXPECT_EQ(Drive<TPolRoot>(Main->ActionPolRoot, Closes), QDialog::Rejected);
  // The three x-axis commands open the one dialog on their own page.
  QAction *const XAxis[] = {Main->ActionXVacAir, Main->ActionXWlWn, Main->ActionXWlVel};
  for (int Page = 0; Page < 3; ++Page) {
    int Shown = -1;
    Drive<TOpXAxis>(XAxis[Page], [&Shown](TOpXAxis &D) {
      Shown = D.PcXAxis->currentIndex();
      D.reject();
    });
    EXPECT_EQ(Shown, Page) << XAxis[Page]->text().toStdString();
  }
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
  EXPECT_EQ(List().Count(), 2) << "nothing made by closing the dialogs";
}

TEST_F(OpsDialogTest, CommandsSitInTheFileListMenus) {
  auto Captions = [](QMenu *M) {
    std::vector<std::string> C;
    for (QAction *A : M->actions())
      if (!A->isSeparator()) C.push_back(A->text().toStdString());
    return C;
  };
  EXPECT_EQ(Captions(Main->FileListMenuYOperators),
            (std::vector<std::string>{"Unary S...", "Op(S) -> S", "S x R -> S", "S x S -> S", "nS x S -> S",
                                      "S x S x S... -> S", "Filters..."}));
  EXPECT_EQ(Captions(Main->FileListMenuXOperators),
            (std::vector<std::string>{"Vacuum <-> Air...", "Wavelength <-> Wavenumber...",
                                      "Wavelength -> km/s..."}));
  EXPECT_EQ(Captions(Main->MenuVaria),
            (std::vector<std::string>{"Air/Vacuum Wavelength...", "Root of Polynomial..."}));
  const std::vector<std::string> NTools = Captions(Main->FileListMenuNTools);
  auto Pos = [&](const char *C) { return std::find(NTools.begin(), NTools.end(), C) - NTools.begin(); };
  EXPECT_LT(Pos("Dispersion Function..."), Pos("Re-sample..."));
  EXPECT_LT(Pos("Re-sample..."), Pos("Barycentric Correction..."));
  EXPECT_LT(Pos("Barycentric Correction..."), Pos("Crop..."));
  EXPECT_LT(Pos("Crop..."), Pos("Concatenate..."));
  EXPECT_LT(Pos("Concatenate..."), Pos("FFT..."));
  EXPECT_LT(Pos("FFT..."), Pos("Evaluate..."));
  EXPECT_LT(Pos("Evaluate..."), Pos("Check Spectrum..."));
  EXPECT_LT(Pos("Check Spectrum..."), static_cast<long>(NTools.size()));
}

TEST_F(OpsDialogTest, BusyCursorForTheOperationArrowForItsBoxes) {
  auto Shape = [] { return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1; };
  {
    TBusyCursor Busy;
    EXPECT_EQ(Shape(), Qt::WaitCursor);
    // A box that waits for the user shows the arrow while it is open.
    QDialog Box(Main.get());
    Box.setModal(true);
    Box.show();
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
    QWidget Plain; // a window that is not modal leaves the wait cursor
    Plain.show();
    EXPECT_EQ(Shape(), Qt::ArrowCursor);
    Box.hide();
    EXPECT_EQ(Shape(), Qt::WaitCursor);
    Box.show(); // still open when the operation ends
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  try {
    TBusyCursor Busy;
    throw std::runtime_error("failed");
  } catch (const std::runtime_error &) {
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "released when the operation fails";
  // Through a dialog: a field that is not a number ends Apply with the general error.
  AddRamp("a", 11, 6500, 1);
  Select({0});
  TOpResample &D = Main->OpResample();
  D.FormShow();
  D.EdFromWL->setText("x");
  D.EdToWL->setText("6505");
  D.EdStepWL->setText("1");
  D.BuOKClick();
  EXPECT_EQ(Fake->Texts(TFakeUiServices::kError),
            (std::vector<std::string>{"'x' is not a valid floating point value"}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The dialogs "Concatenate" and "Multiple Operations" on a real main window: controls and
// defaults, one result listed under an untitled name, refusals told through the UI services.
// What they compute is tested on the core functions.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ops/UOpConcatenate.h"
#include "ops/UOpListing.h"
#include "ops/UOpMultiple.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

class ConcatDialogTest : public ShellTest {
protected:
  TSpec32 &Const(const std::string &Name, double X0, int N, double Y) {
    std::vector<double> X(N), V(N, Y);
    for (int i = 0; i < N; ++i)
      X[i] = X0 + i;
    return AddSpec(Name, X, V);
  }
};

} // namespace

TEST_F(ConcatDialogTest, ConcatenateListsOneUntitledResult) {
  Const("b.dat", 4, 9, 3);
  Const("a.dat", 0, 9, 1);
  Const("other.dat", 100, 3, 7);
  Select({0, 1});
  TOpConcatenate Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.windowTitle().toStdString(), "Concatenate");
  EXPECT_EQ(Dlg.BuOK->text().toStdString(), "Concatenate");
  EXPECT_EQ(Dlg.RgMethod->ItemIndex(), 1) << "weighted by default";
  EXPECT_EQ(Dlg.EdSize->text().toStdString(), "90");
  bool Ran = false;
  Fake->ModalScripts.push_back([&](QDialog &) {
    Ran = true;
    ASSERT_EQ(Dlg.LbFiles->count(), 2);
    EXPECT_EQ(Dlg.LbFiles->item(0)->text().toStdString(), "b.dat");
    Dlg.EdSize->setText("100");
    Dlg.BuOKClick();
  });
  Dlg.Execute();
  ASSERT_TRUE(Ran);
  EXPECT_EQ(Dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
  ASSERT_EQ(List().Count(), 4);
  const TSpec32 &R = List().Spec(3);
  EXPECT_EQ(R.FileName().rfind("Untitled-", 0), 0u) << R.FileName();
  EXPECT_TRUE(R.Unsaved());
  EXPECT_TRUE(R.Equidistant());
  EXPECT_EQ(R.DataY, (TDblArr1D{1, 1, 1, 1, 1, 1.5, 2, 2.5, 3, 3, 3, 3, 3}));
  EXPECT_EQ(R.Size(), 13);
  EXPECT_EQ(Dlg.Destination(), &R);
  EXPECT_FALSE(List().Locked());
}

TEST_F(ConcatDialogTest, ConcatenateRefusalKeepsTheDialogOpen) {
  Const("a.dat", 0, 5, 1);
  Const("b.dat", 5, 4, 3);
  Select({0, 1});
  TOpConcatenate Dlg(List(), Main.get());
  Fake->ModalScripts.push_back([&](QDialog &) { Dlg.BuOKClick(); });
  Dlg.Execute();
  EXPECT_NE(Dlg.result(), QDialog::Accepted) << "the dialog stays open";
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Spectra do not overlap"});
  EXPECT_EQ(List().Count(), 2);
  // Fewer than two selected: the show step's guard, the list unlocked again.
  Select({0});
  EXPECT_THROW(Dlg.FormShow(), EAssertFailure);
  EXPECT_FALSE(List().Locked());
}

TEST_F(ConcatDialogTest, MultipleAveragesIntoOneUntitledResult) {
  AddSpec("a.dat", {1, 2}, {1, 2});
  AddSpec("b.dat", {1, 2}, {3, 6});
  Select({0, 1});
  TOpMultiple Dlg(List(), Main.get());
  EXPECT_EQ(Dlg.windowTitle().toStdString(), "Multiple Operations S x S x S ...");
  EXPECT_EQ(Dlg.RgOp->Count(), 3);
  EXPECT_EQ(Dlg.RgOp->ItemIndex(), 0) << "Add by default";
  Fake->ModalScripts.push_back([&](QDialog &) {
    EXPECT_TRUE(Dlg.BuOK->isEnabled());
    EXPECT_EQ(Dlg.Size(), 2);
    Dlg.RgOp->SetItemIndex(1);
    Dlg.BuOKClick();
  });
  Dlg.Execute();
  EXPECT_EQ(Dlg.result(), QDialog::Accepted);
  ASSERT_EQ(List().Count(), 3);
  const TSpec32 &R = List().Spec(2);
  EXPECT_EQ(R.FileName().rfind("Untitled-", 0), 0u) << R.FileName();
  EXPECT_EQ(R.DataX, (TDblArr1D{1, 2}));
  EXPECT_EQ(R.DataY, (TDblArr1D{2, 4}));
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
}

TEST_F(ConcatDialogTest, MultipleWithDifferentSizesDisablesOK) {
  AddRamp("a.dat", 100);
  AddRamp("b.dat", 101);
  Select({0, 1});
  TOpMultiple Dlg(List(), Main.get());
  Fake->ModalScripts.push_back([&](QDialog &) {
    EXPECT_FALSE(Dlg.BuOK->isEnabled());
    Dlg.reject();
  });
  Dlg.Execute();
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"a.dat, b.dat: Number of data points differ"});
  EXPECT_EQ(List().Count(), 2);
  // Opened again on spectra that agree, OK is enabled again.
  AddRamp("c.dat", 100);
  Select({0, 2});
  Fake->Clear();
  Fake->ModalScripts.push_back([&](QDialog &) {
    EXPECT_TRUE(Dlg.BuOK->isEnabled());
    Dlg.reject();
  });
  Dlg.Execute();
  EXPECT_TRUE(Fake->Texts(TK::kError).empty());
}

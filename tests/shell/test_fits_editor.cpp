// The FITS editor driven through its buttons: protected rows, validation, OK and Cancel.
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "ShellFixture.h"
#include "core/UGlobalData.h"
#include "shell/UFitsEditor.h"

using TK = TFakeUiServices;

class FitsEditorTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Spec = &AddRamp("star", 5, 6500, 0.25);
    Ed = &Main->FitsEditor();
    Ed->Execute(*Spec); // no script: FormShow runs, the modal step is answered with Cancel
    Fake->Unexpected.clear();
    Fake->Records.clear();
  }
  std::string Key(int Row) { return Ed->LvCards->topLevelItem(Row)->text(0).toStdString(); }
  std::string Value(int Row) { return Ed->LvCards->topLevelItem(Row)->text(1).toStdString(); }
  // Adds a card after Row through the edit group.
  void AddCard(int Row, const char *K, const char *V, int Typ, const char *Comment = "") {
    Ed->SelectRow(Row);
    Ed->BuAddClick();
    Ed->EdKey->setText(K);
    Ed->EdValue->setText(V);
    Ed->EdComment->setText(Comment);
    Ed->SetSelectedType(Typ);
    Guarded([&] { Ed->GroupOKClick(); });
  }
  TSpec32 *Spec = nullptr;
  TFitsEditor *Ed = nullptr;
};

TEST_F(FitsEditorTest, ShowsTheWorkingCopyWithRowSixSelected) {
  EXPECT_EQ(Ed->windowTitle().toStdString(), "FITS Editor: star");
  EXPECT_EQ(Ed->LvCards->topLevelItemCount(), Spec->FitsBess().Count());
  EXPECT_EQ(Ed->EditIndex(), 6);
  EXPECT_EQ(Key(7), "CDELT1  ");
  EXPECT_EQ(Value(7), "0.25");
  EXPECT_EQ(Value(6), "6500.0");
  EXPECT_FALSE(Ed->Editing());
}

TEST_F(FitsEditorTest, ProtectedRowsAndTheAddLimit) {
  struct Row {
    int Index;
    bool Edit, Add;
  } Rows[] = {{1, false, false}, {2, false, false}, {3, false, true}, {9, true, true}, {10, true, true}};
  for (const Row &R : Rows) {
    Ed->SelectRow(R.Index);
    EXPECT_EQ(Ed->BuEdit->isEnabled(), R.Edit) << Key(R.Index);
    EXPECT_EQ(Ed->BuDelete->isEnabled(), R.Edit) << Key(R.Index);
    EXPECT_EQ(Ed->BuAdd->isEnabled(), R.Add) << R.Index;
  }
  // A disabled button's method does nothing either.
  Ed->SelectRow(1);
  const int N = Ed->Work().Count();
  Ed->BuDeleteClick();
  EXPECT_EQ(Ed->Work().Count(), N);
}

TEST_F(FitsEditorTest, AddingRefusesLowerCaseAndInsertsAfterTheRow) {
  AddCard(9, "obs-site", "La Palma", 2);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Illegal Keyword: obs-site"});
  EXPECT_TRUE(Ed->Editing()) << "the group stays open";
  EXPECT_FALSE(Ed->BuOK->isEnabled());
  Ed->EdKey->setText("OBS-SITE");
  Guarded([&] { Ed->GroupOKClick(); });
  EXPECT_FALSE(Ed->Editing());
  EXPECT_TRUE(Ed->BuOK->isEnabled());
  EXPECT_EQ(Ed->Work().Strings(10).substr(0, 21), "OBS-SITE= 'La Palma' ");
  EXPECT_EQ(Ed->EditIndex(), 10);
  EXPECT_EQ(Key(10), "OBS-SITE");
}

TEST_F(FitsEditorTest, HistoryDropsItsCommentAndType) {
  AddCard(10, "HISTORY", "flat fielded", 2, "note");
  EXPECT_EQ(Fake->Texts(TK::kInfo),
            (std::vector<std::string>{"Comment discarded", "Type forced to \"None\""}));
  EXPECT_EQ(Ed->Work().Strings(11).substr(0, 21), "HISTORY  flat fielded");
  EXPECT_EQ(Ed->SelectedType(), -1);
  EXPECT_TRUE(Ed->EdComment->text().isEmpty());
}

TEST_F(FitsEditorTest, PickingCommentFromTheListSetsKeyAndType) {
  Ed->SelectRow(5);
  Ed->BuAddClick();
  Ed->CbKeysSelect(1);
  EXPECT_EQ(Ed->EdKey->text().toStdString(), "HISTORY");
  EXPECT_EQ(Ed->SelectedType(), -1);
  Ed->GroupCancelClick();
  EXPECT_FALSE(Ed->Editing());
  EXPECT_EQ(Ed->EditIndex(), 5);
}

TEST_F(FitsEditorTest, EditingAnExistingCard) {
  Ed->SelectRow(9); // CUNIT1
  Ed->BuEditClick();
  EXPECT_EQ(Ed->Mode(), TFitsEditor::emEdit);
  EXPECT_EQ(Ed->EdKey->text().toStdString(), "CUNIT1");
  EXPECT_EQ(Ed->SelectedType(), 2);
  Ed->EdValue->setText("nm");
  Guarded([&] { Ed->GroupOKClick(); });
  EXPECT_EQ(Ed->Work().CUNIT1(), "nm");
  EXPECT_EQ(Ed->Work().Count(), Spec->FitsBess().Count()) << "edited in place";
}

TEST_F(FitsEditorTest, TypeMismatchesKeepTheGroupOpen) {
  struct Row {
    const char *Value;
    int Typ;
    const char *Error;
  } Rows[] = {{"2.5", 0, "Not an integer number: 2.5"},
              {"abc", 1, "Not a floating point number: abc"},
              {"yes", 3, "Not a boolean (must be T or F): yes"}};
  for (const Row &R : Rows) {
    Fake->Records.clear();
    AddCard(10, "TESTKEY", R.Value, R.Typ);
    EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Error});
    EXPECT_TRUE(Ed->Editing());
    Ed->GroupCancelClick();
  }
  EXPECT_EQ(Ed->Work().IndexOfKey("TESTKEY"), -1);
}

TEST_F(FitsEditorTest, DeleteSelectsTheRowBefore) {
  const int N = Ed->Work().Count();
  Ed->SelectRow(10);
  Ed->BuDeleteClick();
  EXPECT_EQ(Ed->Work().Count(), N - 1);
  EXPECT_EQ(Ed->EditIndex(), 9);
  EXPECT_EQ(Ed->Work().IndexOfKey("CTYPE1"), -1);
}

TEST_F(FitsEditorTest, BessKeywordsFromTheSettings) {
  Main->GlobalData().SetBSS_SITE("Test Site");
  AddCard(10, "OBSERVER", "Someone", 2);
  const int N = Ed->Work().Count();
  Ed->SelectRow(4);
  Ed->BuAddBessClick();
  EXPECT_EQ(Ed->Work().Count(), N + 9);
  EXPECT_EQ(Ed->Work().OBSERVER(), "Someone");
  EXPECT_EQ(Ed->Work().BSS_SITE(), "Test Site");
  EXPECT_EQ(Ed->EditIndex(), 4) << "the selected row stays";
}

TEST_F(FitsEditorTest, OkWritesBackCancelDoesNot) {
  AddSpec("uneven", {1, 2, 4}, {1, 2, 3});
  TSpec32 &U = List().Spec(1);
  Ed->Execute(U);
  EXPECT_EQ(Ed->Work().CDELT1(), -1.0);
  Ed->BuCancelClick();
  EXPECT_EQ(U.FitsBess().CDELT1(), 1.0);
  Ed->Execute(U);
  Ed->BuOKClick();
  EXPECT_EQ(U.FitsBess().CDELT1(), -1.0);
  EXPECT_EQ(Ed->result(), QDialog::Accepted);
  Fake->Unexpected.clear();
}

TEST_F(FitsEditorTest, UnreadableCardStopsTheEditorFromOpening) {
  std::string Bad = "BADVAL  =                  1x2";
  Bad.resize(80, ' ');
  Spec->FitsBess().Add(Bad);
  Fake->Records.clear();
  Guarded([&] { Ed->Execute(*Spec); });
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"illegal FITS value:1x2"});
  EXPECT_TRUE(Fake->Texts(TK::kModal).empty());
}

TEST_F(FitsEditorTest, FromTheFileListCommand) {
  Select({0});
  Fake->ModalScripts.push_back([](QDialog &D) {
    auto &E = static_cast<TFitsEditor &>(D);
    E.SelectRow(10);
    E.BuDeleteClick();
    E.BuOKClick();
  });
  Run(Main->ActionFitsEditorList);
  EXPECT_EQ(Spec->FitsBess().IndexOfKey("CTYPE1"), -1);
  // The working copy's axis cards went into the header with OK.
  EXPECT_EQ(Spec->FitsBess().CDELT1(), 0.25);
  EXPECT_EQ(Spec->FitsBess().CRVAL1(), 6500.0);
}

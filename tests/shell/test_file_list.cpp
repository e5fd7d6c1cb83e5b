// The file list driven through its methods and the main window's commands.
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <cmath>
#include <set>

#include "ShellFixture.h"
#include "core/UFormat.h"
#include "display/UProfile32.h"
#include "shell/UFileListCore.h"
#include "shell/UProfileHost.h"

using TK = TFakeUiServices;

TEST_F(ShellTest, AddFilesByExtensionIgnoringCase) {
  WriteFitsRamp(Tmp.File("a.FITS"), 20);
  testutil::WriteFile(Tmp.File("b.fts"), "");
  testutil::WriteFile(Tmp.File("c.txt"), "1 10\r\n2 20\r\n3 30\r\n");
  List().AddFiles({Tmp.File("a.FITS"), Tmp.File("b.fts"), Tmp.File("c.txt")}, 1, 2, 0);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Text(0, lcFileName), "a.FITS");
  EXPECT_EQ(Text(0, lcDataPoints), "20");
  EXPECT_EQ(Text(0, lcPath), Tmp.Path() + "/");
  EXPECT_EQ(Text(1, lcFileName), "c.txt");
  EXPECT_EQ(Text(1, lcMax), "30");
  // The message names the file it is about.
  const std::vector<std::string> Errors = Fake->Texts(TK::kError);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find("File type .fts is not supported"), std::string::npos) << Errors[0];
  EXPECT_NE(Errors[0].find(Tmp.File("b.fts")), std::string::npos) << Errors[0];
  EXPECT_EQ(List().Spec(0).Creator(), List().ListView->topLevelItem(0));
}

TEST_F(ShellTest, BadFilesInTheMiddleAreNamedAndTheOthersStillOpen) {
  testutil::WriteFile(Tmp.File("one.dat"), "1 2\r\n2 3\r\n");
  testutil::WriteFile(Tmp.File("bad.fits"), "not a fits file");
  testutil::WriteFile(Tmp.File("word.dat"), "1 2\r\nx 3\r\n");
  testutil::WriteFile(Tmp.File("two.dat"), "1 2\r\n2 3\r\n4 5\r\n");
  EXPECT_NO_THROW(List().AddFiles(
      {Tmp.File("one.dat"), Tmp.File("bad.fits"), Tmp.File("word.dat"), Tmp.File("two.dat")}, 1, 2, 0));
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Text(0, lcFileName), "one.dat");
  EXPECT_EQ(Text(1, lcFileName), "two.dat");
  EXPECT_EQ(Text(1, lcDataPoints), "3");
  // One box for the call, one line per failed file, each naming its file.
  const std::vector<std::string> Errors = Fake->Texts(TK::kError);
  ASSERT_EQ(Errors.size(), 1u);
  const std::string &E = Errors[0];
  const size_t Nl = E.find('\n');
  ASSERT_NE(Nl, std::string::npos) << E;
  EXPECT_NE(E.substr(0, Nl).find(Tmp.File("bad.fits")), std::string::npos) << E;
  EXPECT_NE(E.substr(Nl + 1).find(Tmp.File("word.dat")), std::string::npos) << E;
  EXPECT_EQ(E.find('\n', Nl + 1), std::string::npos) << E;

  // Many failures: the first 20 and a count of the rest.
  Fake->Clear();
  std::vector<std::string> Bad;
  for (int i = 0; i < 23; ++i)
    Bad.push_back(Tmp.File("bad.fits"));
  List().AddFiles(Bad, 1, 2, 0);
  ASSERT_EQ(Fake->Texts(TK::kError).size(), 1u);
  const std::string Many = Fake->Texts(TK::kError)[0];
  EXPECT_EQ(std::count(Many.begin(), Many.end(), '\n'), 20);
  EXPECT_NE(Many.find("\n... and 3 more files"), std::string::npos) << Many;
}

TEST_F(ShellTest, TooFewColumnsIsAPlainMessageAndTheFileIsSkipped) {
  testutil::WriteFile(Tmp.File("two.dat"), "1 2\r\n3 4\r\n");
  testutil::WriteFile(Tmp.File("three.dat"), "1 2 3\r\n3 4 5\r\n");
  List().AddFiles({Tmp.File("two.dat"), Tmp.File("three.dat")}, 2, 3, 0);
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(Text(0, lcFileName), "three.dat");
  const std::vector<std::string> M = Fake->Texts(TK::kMessage);
  ASSERT_EQ(M.size(), 1u);
  EXPECT_EQ(M[0].rfind("Too few columns in " + Tmp.File("two.dat"), 0), 0u) << M[0];
}

TEST_F(ShellTest, UntitledNumbersAreNeverReused) {
  TSpec32 &A = List().NewFile("", "-x", 4, 2.5, nullptr);
  TSpec32 &B = List().NewFile("", "-x", 4, 2.5, nullptr);
  EXPECT_EQ(A.FileName(), "Untitled-1");
  EXPECT_EQ(B.FileName(), "Untitled-2");
  Select({0, 1});
  List().CloseSelected();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(List().NewFile("", "", 1, 0, nullptr).FileName(), "Untitled-3");
  // A new row shows the value as min and max and blanks for the header columns.
  EXPECT_EQ(Text(0, lcMin), "0");
  EXPECT_EQ(Text(0, lcDateObs), " ");
  EXPECT_EQ(Text(0, lcExposure), " ");
  EXPECT_EQ(Text(0, lcEqu), "Y");
}

TEST_F(ShellTest, CopiesChainTheirSuffix) {
  WriteFitsRamp(Tmp.File("star.fits"), 8,
                {"EXPTIME =               300.0", "DATE-OBS= '2023-08-14T21:30:00'"});
  List().AddFiles({Tmp.File("star.fits")}, 1, 2, 0);
  Select({0});
  Run(Main->ActionMakeCopy);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Text(1, lcFileName), "star-copy");
  // The copy's header came from the source: the exposure as the card writes it.
  EXPECT_EQ(Text(1, lcExposure), "300.0");
  EXPECT_EQ(Text(1, lcDateObs), "2023-08-14T21:30:00");
  EXPECT_EQ(Text(1, lcPath), "");
  EXPECT_EQ(List().Spec(1).DataX, List().Spec(0).DataX);
  EXPECT_EQ(List().Spec(1).DataY, List().Spec(0).DataY);
  Select({1});
  Run(Main->ActionMakeCopy);
  EXPECT_EQ(Text(2, lcFileName), "star-copy-copy");
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(ShellTest, XAxisLinearityMakesResidualSpectra) {
  AddSpec("even", {0, 2, 4, 6}, {1, 1, 1, 1});
  AddSpec("m31.fits", {0, 1, 3}, {5, 6, 7});
  Select({0, 1});
  Run(Main->ActionMeasuresXAxis);
  ASSERT_EQ(List().Count(), 4);
  TSpec32 &R0 = List().Spec(2);
  TSpec32 &R1 = List().Spec(3);
  EXPECT_EQ(R0.FileName(), "even-xres");
  EXPECT_EQ(R1.FileName(), "m31-xres");
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(R0.DataY[i], 0, 1e-14);
    EXPECT_EQ(R0.DataX[i], i);
  }
  const double Expected[] = {-1.0 / 6, 1.0 / 3, -1.0 / 6};
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(R1.DataY[i], Expected[i], 1e-14) << i;
  EXPECT_TRUE(R1.Equidistant());
  EXPECT_EQ(Text(3, lcMax), Format("%1.6g", 1.0 / 3));
}

TEST_F(ShellTest, ClosingThreeOfFiveClosesTheirWindowsOnly) {
  for (int i = 0; i < 5; ++i)
    AddRamp("s" + std::to_string(i), 10);
  Select({0, 1, 2, 3, 4});
  Run(Main->ActionShowProfile);
  ASSERT_EQ(Main->ChildWindowCount(), 5);
  TSpec32 *Keep1 = &List().Spec(1);
  TSpec32 *Keep3 = &List().Spec(3);
  Select({0, 2, 4});
  Fake->YesNoAnswers.push_back(true); // they are unsaved: close anyway
  Run(Main->ActionFileCloseSelected);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(&List().Spec(0), Keep1);
  EXPECT_EQ(&List().Spec(1), Keep3);
  EXPECT_EQ(Main->ChildWindowCount(), 2);
  QStringList Titles;
  for (QMdiSubWindow *W : Main->MdiArea->subWindowList())
    Titles << W->windowTitle();
  Titles.sort();
  EXPECT_EQ(Titles, QStringList({"s1", "s3"}));
  EXPECT_FALSE(List().DeletingInProgress());
}

TEST_F(ShellTest, LockedListRefusesToOpenAndClose) {
  AddRamp("a", 3);
  testutil::WriteFile(Tmp.File("x.dat"), "1 2\r\n");
  Select({0});
  List().LockAndUpdate();
  EXPECT_TRUE(List().Locked());
  EXPECT_FALSE(List().ListView->isEnabled());
  List().AddFiles({Tmp.File("x.dat")}, 1, 2, 0);
  List().CloseSelected();
  List().CloseAll();
  EXPECT_EQ(List().Count(), 1);
  // NewFile works while locked.
  List().NewFile("a", "-copy", 3, 0, nullptr);
  List().Unlock();
  EXPECT_EQ(List().Count(), 2);
  // The snapshot stays readable after Unlock.
  EXPECT_EQ(List().NSelected(), 1);
  EXPECT_EQ(List().NListed(), 1);
  EXPECT_EQ(List().IIndex(), std::vector<int>{0});
}

TEST_F(ShellTest, SnapshotIsInRowOrder) {
  for (int i = 0; i < 4; ++i)
    AddRamp("r" + std::to_string(i), 2);
  Select({3, 1});
  List().LockAndUpdate();
  List().Unlock();
  EXPECT_EQ(List().IIndex(), (std::vector<int>{1, 3}));
  ASSERT_EQ(List().ISelected().size(), 2u);
  EXPECT_EQ(List().ISelected()[0]->FileName(), "r1");
  EXPECT_EQ(List().IListed().size(), 4u);
}

TEST_F(ShellTest, EnablingFollowsTheSelection) {
  AddRamp("a", 3);
  AddRamp("b", 3);
  QAction *ListOnly[] = {Main->ActionShowText, Main->ActionOpCheckSpectrum, Main->ActionFitsEditorList,
                         Main->ActionSaveFitsList, Main->ActionFileRename};
  QAction *Any[] = {Main->ActionFileCloseSelected, Main->ActionShowProfile, Main->ActionFileSave,
                    Main->ActionMakeCopy, Main->ActionMeasuresXAxis};
  struct Row {
    std::vector<int> Sel;
    bool AnyOn, OneOn;
  } Rows[] = {{{}, false, false}, {{0}, true, true}, {{0, 1}, true, false}};
  for (const Row &R : Rows) {
    Select(R.Sel);
    Main->ActionList1Update();
    EXPECT_EQ(List().CurrentlySelected(), static_cast<int>(R.Sel.size()));
    for (QAction *A : Any)
      EXPECT_EQ(A->isEnabled(), R.AnyOn) << A->text().toStdString() << R.Sel.size();
    for (QAction *A : ListOnly)
      EXPECT_EQ(A->isEnabled(), R.OneOn) << A->text().toStdString() << R.Sel.size();
    // Without child windows the active-window commands are off.
    for (QAction *A : {Main->ActionFileSaveMain, Main->ActionSaveFitsMain, Main->ActionFitsEditorMain,
                       Main->ActionWindowCloseAll})
      EXPECT_FALSE(A->isEnabled()) << A->text().toStdString();
  }
  Select({0});
  Run(Main->ActionShowProfile);
  Main->ActionList1Update();
  EXPECT_TRUE(Main->ActionFileSaveMain->isEnabled());
  EXPECT_TRUE(Main->ActionWindowCloseAll->isEnabled());
}

TEST_F(ShellTest, EnablingRulesForLaterCommands) {
  // Commands of later windows register with a rule; n = 2 and n > 1 as the table says.
  QAction Two("S x S -> S"), Several("Concatenate...");
  Main->RegisterCommand(&Two, TMain::TEnable::TwoSelected);
  Main->RegisterCommand(&Several, TMain::TEnable::SeveralSelected);
  for (int i = 0; i < 3; ++i)
    AddRamp("r" + std::to_string(i), 2);
  const std::pair<std::vector<int>, std::pair<bool, bool>> Rows[] = {
      {{0}, {false, false}}, {{0, 1}, {true, true}}, {{0, 1, 2}, {false, true}}};
  for (const auto &[Sel, On] : Rows) {
    Select(Sel);
    Main->ActionList1Update();
    EXPECT_EQ(Two.isEnabled(), On.first) << Sel.size();
    EXPECT_EQ(Several.isEnabled(), On.second) << Sel.size();
  }
}

TEST_F(ShellTest, InPlaceRenameOnlyForUnsavedRows) {
  TSpec32 &S = AddRamp("first", 3);
  QTreeWidgetItem *I = List().ListView->topLevelItem(0);
  EXPECT_TRUE(I->flags() & Qt::ItemIsEditable);
  I->setText(lcFileName, "renamed");
  EXPECT_EQ(S.FileName(), "renamed");
  EXPECT_EQ(S.FilePath(), "");
  List().RenameFile(0, Tmp.File("saved.dat"));
  EXPECT_EQ(S.FileName(), "saved.dat");
  EXPECT_EQ(Text(0, lcPath), Tmp.Path() + "/");
  EXPECT_FALSE(I->flags() & Qt::ItemIsEditable);
  Select({0});
  Main->ActionList1Update();
  EXPECT_FALSE(Main->ActionFileRename->isEnabled());
  // Even a programmatic edit of a saved row is undone.
  I->setText(lcFileName, "other");
  EXPECT_EQ(S.FileName(), "saved.dat");
  EXPECT_EQ(Text(0, lcFileName), "saved.dat");
}

TEST_F(ShellTest, SortByNameAndSelectAll) {
  AddRamp("gamma", 2);
  AddRamp("alpha", 2);
  AddRamp("beta", 2);
  List().SortByName();
  EXPECT_EQ(Text(0, 0) + Text(1, 0) + Text(2, 0), "alphabetagamma");
  EXPECT_EQ(List().GetItemIndex(&List().Spec(2)), 2);
  List().ListView->selectAll();
  EXPECT_EQ(List().CurrentlySelected(), 3);
  List().SelectInList(List().Spec(1));
  EXPECT_EQ(List().CurrentlySelected(), 1);
  EXPECT_EQ(List().SingleSelected(), &List().Spec(1));
}

TEST_F(ShellTest, UpdateSpecRefreshesMinMaxAndEquButNotCount) {
  TSpec32 &S = AddRamp("a", 3);
  S.DataY = {5, -2, 9};
  S.DataX = {1, 2, 4};
  S.SetEquidistant(false);
  List().UpdateSpec(S);
  EXPECT_EQ(Text(0, lcMin), "-2");
  EXPECT_EQ(Text(0, lcMax), "9");
  EXPECT_EQ(Text(0, lcEqu), "N");
  EXPECT_EQ(Text(0, lcDataPoints), "3");
}

TEST_F(ShellTest, CloseSpecAndGetItemIndexOfStrangers) {
  TSpec32 &A = AddRamp("a", 2);
  TSpec32 Stranger;
  EXPECT_EQ(List().GetItemIndex(&Stranger), -1);
  EXPECT_EQ(List().GetItemIndex(nullptr), -1);
  List().CloseSpec(nullptr);
  List().CloseSpec(&Stranger);
  EXPECT_EQ(List().Count(), 1);
  List().CloseSpec(&A);
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(ShellTest, CopyWithoutSelectionIsAnInternalError) {
  AddRamp("a", 2);
  Select({});
  EXPECT_THROW(List().CopySelected(), EAssertFailure);
  EXPECT_FALSE(List().Locked()) << "the snapshot is released on failure";
  // At a command entry point the failure reaches the user as an assertion box.
  Guarded([&] { List().CopySelected(); });
  ASSERT_EQ(Fake->Texts(TK::kError).size(), 1u);
  EXPECT_EQ(Fake->Texts(TK::kError)[0].rfind("Assertion failure (UFileList, line ", 0), 0u);
}

TEST_F(ShellTest, DroppedFilesOpenAsTheOpenCommandWould) {
  testutil::WriteFile(Tmp.File("zeta.dat"), "1 2\r\n2 3\r\n");
  WriteFitsRamp(Tmp.File("alpha.fits"), 4);
  QMimeData Data;
  Data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Tmp.File("zeta.dat"))),
                QUrl::fromLocalFile(QString::fromStdString(Tmp.File("alpha.fits")))});
  QDragEnterEvent Enter(QPoint(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&List(), &Enter);
  EXPECT_TRUE(Enter.isAccepted()) << "the window takes file drops";
  QDropEvent Drop(QPointF(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&List(), &Drop);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Text(0, lcFileName), "alpha.fits") << "sorted by name after opening";
  EXPECT_EQ(Text(1, lcFileName), "zeta.dat");
  // Dropped on the main window, too.
  QMimeData More;
  More.setUrls({QUrl::fromLocalFile(QString::fromStdString(Tmp.File("zeta.dat")))});
  QDragEnterEvent Enter2(QPoint(10, 10), Qt::CopyAction, &More, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Main.get(), &Enter2);
  QDropEvent Drop2(QPointF(10, 10), Qt::CopyAction, &More, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Main.get(), &Drop2);
  EXPECT_EQ(List().Count(), 3);
}

TEST_F(ShellTest, DoubleClickViewsTheProfile) {
  AddRamp("a", 3);
  Select({0});
  emit List().ListView->itemDoubleClicked(List().ListView->topLevelItem(0), 0);
  EXPECT_EQ(Main->ChildWindowCount(), 1);
  EXPECT_EQ(Main->ProfileHost().ActiveSpec(), &List().Spec(0));
}

// Closing through the command, the file list's red X and the Delete key asks first when
// unsaved spectra are among the selected, and "No" (the default) keeps them all.
TEST_F(ShellTest, ClosingUnsavedSpectraAsksFirst) {
  struct TRow {
    std::vector<int> Sel; // rows 0, 1 unsaved; row 2 saved
    int Via;              // 0: the command, 1: the list's tool bar button, 2: Delete in the list
    bool Answer;
    const char *Question; // nullptr: no question
    int Left;             // rows left
  } Rows[] = {
      {{0, 1}, 0, false, "Close Selected: 2 unsaved spectra will be lost. Close anyway?", 3},
      {{0, 1, 2}, 1, true, "Close Selected: 2 unsaved spectra will be lost. Close anyway?", 0},
      {{1, 2}, 2, true, "Close Selected: 1 unsaved spectrum will be lost. Close anyway?", 1},
      {{2}, 0, false, nullptr, 2},
  };
  for (const TRow &R : Rows) {
    List().CloseAll();
    Fake->Clear();
    AddRamp("u0", 4);
    AddRamp("u1", 4);
    AddRamp("s2", 4);
    List().RenameFile(2, Tmp.File("s2.dat"));
    Select(R.Sel);
    if (R.Question) Fake->YesNoAnswers.push_back(R.Answer);
    Main->ActionList1Update();
    if (R.Via == 0) {
      Main->ActionFileCloseSelected->trigger();
    } else if (R.Via == 1) {
      auto *B = qobject_cast<QToolButton *>(List().ToolBar->widgetForAction(Main->ActionFileCloseSelected));
      ASSERT_NE(B, nullptr);
      B->click();
    } else {
      List().show();
      QApplication::setActiveWindow(&List());
      List().ListView->setFocus();
      QTest::keyClick(List().ListView, Qt::Key_Delete);
    }
    const std::vector<std::string> Asked = Fake->Texts(TK::kYesNo);
    if (R.Question) {
      EXPECT_EQ(Asked, std::vector<std::string>{R.Question}) << R.Via;
      ASSERT_EQ(Fake->YesNoDefaults.size(), 1u);
      EXPECT_FALSE(Fake->YesNoDefaults[0]) << "Enter keeps the spectra";
    } else {
      EXPECT_TRUE(Asked.empty());
    }
    EXPECT_EQ(List().Count(), R.Left) << R.Via;
  }
  List().hide();
}

TEST_F(ShellTest, HeaderClicksSortEveryColumnBothWays) {
  AddSpec("b", {1, 2, 3}, {9, 10, 11});
  AddSpec("C", {1, 2}, {std::nan(""), std::nan("")});
  AddSpec("a", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {-5, 123456.78, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(Text(1, lcMin), "NaN");
  EXPECT_EQ(Text(2, lcMax), "123457");
  List().show();
  QHeaderView *H = List().ListView->header();
  auto Click = [&](int Col) {
    QTest::mouseClick(H->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(H->sectionViewportPosition(Col) + 5, H->height() / 2));
  };
  auto Names = [&] { return Text(0, 0) + Text(1, 0) + Text(2, 0); };
  const struct {
    int Col;
    const char *Asc, *Desc;
  } Rows[] = {
      {lcFileName, "abC", "Cba"},
      {lcDataPoints, "Cba", "abC"}, // 2 < 3 < 10, not "10" < "2" < "3"
      {lcMin, "abC", "Cba"},        // the NaN row after the numbers
      {lcMax, "baC", "Cab"},
  };
  for (const auto &R : Rows) {
    Click(R.Col);
    EXPECT_EQ(Names(), R.Asc) << R.Col;
    EXPECT_EQ(H->sortIndicatorSection(), R.Col);
    EXPECT_EQ(H->sortIndicatorOrder(), Qt::AscendingOrder);
    Click(R.Col);
    EXPECT_EQ(Names(), R.Desc) << R.Col;
    EXPECT_EQ(H->sortIndicatorOrder(), Qt::DescendingOrder);
  }
  // New rows still come at the end, whatever the last sort was.
  AddRamp("0first", 2);
  EXPECT_EQ(Text(3, 0), "0first");
  List().hide();
}

// F2 is the list's Rename and the plot window's "Save Wavelength"; each acts in its own
// window. Delete closes only from the list.
TEST_F(ShellTest, ListShortcutsActInTheListWindowOnly) {
  Main->show();
  TSpec32 &A = AddRamp("a", 20);
  Select({0});
  Run(Main->ActionShowProfile);
  auto *P = dynamic_cast<TProfile32 *>(A.Profile32());
  ASSERT_NE(P, nullptr);
  int SaveWL = 0;
  QObject::connect(P->ActionToolsSaveWL, &QAction::triggered, [&] { ++SaveWL; });

  // In the plot window, with the list in sight: F2 is Save Wavelength, Delete does nothing.
  List().show();
  QApplication::setActiveWindow(Main.get());
  Main->MdiArea->setActiveSubWindow(P);
  P->setFocus();
  ASSERT_TRUE(P->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == P);
  Select({0});
  Main->ActionList1Update();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  EXPECT_EQ(SaveWL, 1);
  EXPECT_EQ(List().ListView->findChild<QLineEdit *>(), nullptr) << "no rename from the plot window";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 1);

  // In the file list: F2 starts renaming the selected row.
  List().show();
  QApplication::setActiveWindow(&List());
  List().ListView->setFocus();
  Select({0});
  Main->ActionList1Update();
  QTest::keyClick(List().ListView, Qt::Key_F2);
  auto *Editor = List().ListView->findChild<QLineEdit *>();
  ASSERT_NE(Editor, nullptr) << "F2 in the list starts renaming";
  EXPECT_EQ(Editor->text().toStdString(), "a");
  EXPECT_EQ(SaveWL, 1);
  List().hide();
}

// No key of the main window's program-wide commands is also a key of the plot window: with
// both active, Qt would run neither.
TEST_F(ShellTest, ProgramWideShortcutsDoNotClashWithThePlotWindow) {
  TSpec32 &A = AddRamp("a", 20);
  Select({0});
  Run(Main->ActionShowProfile);
  auto *P = dynamic_cast<TProfile32 *>(A.Profile32());
  ASSERT_NE(P, nullptr);
  std::set<QString> PlotKeys;
  for (QAction *Act : P->findChildren<QAction *>())
    for (const QKeySequence &K : Act->shortcuts())
      PlotKeys.insert(K.toString());
  ASSERT_TRUE(PlotKeys.count("F2")) << "the plot window's Save Wavelength";
  int Global = 0;
  for (QAction *Act : Main->findChildren<QAction *>()) {
    if (Act->shortcutContext() != Qt::ApplicationShortcut) continue;
    for (const QKeySequence &K : Act->shortcuts()) {
      ++Global;
      EXPECT_EQ(PlotKeys.count(K.toString()), 0u)
          << Act->text().toStdString() << " " << K.toString().toStdString();
    }
  }
  EXPECT_GE(Global, 5) << "Ctrl+O, Ctrl+S, Ctrl+F, Ctrl+P, Ctrl+N";
  EXPECT_EQ(Main->ActionFileRename->shortcutContext(), Qt::WidgetWithChildrenShortcut);
  EXPECT_TRUE(List().actions().contains(Main->ActionFileRename));
}

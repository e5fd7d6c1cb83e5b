// The main window: start, the Open commands, View Profile, quitting and the settings.
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <clocale>

#include <QTest>

#include "ShellFixture.h"
#include "UVersion.h"
#include "astro/UBaryCorr.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "core/UIniFile.h"
#include "display/UProfile32.h"
#include "shell/UAboutOrvalumetrix.h"
#include "shell/UOpenSpecial.h"
#include "shell/UParamDialog.h"
#include "shell/UProfileHost.h"
#include "shell/USaveWarning.h"

using TK = TFakeUiServices;

TEST_F(ShellTest, StartsWithTitleAndEmptyList) {
  EXPECT_EQ(Main->windowTitle().toStdString(), "Orvalumetrix");
  EXPECT_EQ(List().windowTitle().toStdString(), "File List");
  EXPECT_EQ(List().ListView->columnCount(), 8);
  EXPECT_EQ(List().ListView->headerItem()->text(4).toStdString(), "Exposure");
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(List().UntitledCounter(), 0);
  EXPECT_EQ(Main->ExePath(), Tmp.Path() + "/");
  EXPECT_EQ(TMain::Instance(), Main.get());
}

TEST_F(ShellTest, QuitWithOneUnsavedAsksAndReturnToProgramKeepsAll) {
  AddRamp("u", 3);
  AddRamp("s1", 3);
  AddRamp("s2", 3);
  List().RenameFile(1, Tmp.File("s1.dat"));
  List().RenameFile(2, Tmp.File("s2.dat"));
  Fake->UnsavedAnswers.push_back(false); // "Return to program"
  EXPECT_FALSE(Main->close());
  EXPECT_EQ(Fake->Texts(TK::kUnsaved), std::vector<std::string>{"1 unsaved spectrum"});
  EXPECT_EQ(List().Count(), 3);
  EXPECT_FALSE(Main->Closed());
  EXPECT_FALSE(std::filesystem::exists(Options.IniFileName)) << "settings are written only at the end";
}

TEST_F(ShellTest, QuitWithThreeUnsavedClosesAnywayAndWritesSettings) {
  for (int i = 0; i < 3; ++i)
    AddRamp("u" + std::to_string(i), 3);
  Fake->UnsavedAnswers.push_back(true); // "Close anyway"
  EXPECT_TRUE(Main->close());
  EXPECT_EQ(Fake->Texts(TK::kUnsaved), std::vector<std::string>{"3 unsaved spectra"});
  EXPECT_TRUE(Main->Closed());
  EXPECT_EQ(List().Count(), 0);
  EXPECT_TRUE(std::filesystem::exists(Options.IniFileName));
}

TEST_F(ShellTest, QuitWithoutUnsavedDoesNotAsk) {
  AddRamp("s", 3);
  List().RenameFile(0, Tmp.File("s.dat"));
  EXPECT_TRUE(Main->close());
  EXPECT_TRUE(Fake->Texts(TK::kUnsaved).empty());
}

TEST_F(ShellTest, SettingsRoundTripThroughTheDialog) {
  // First run: no file, the defaults.
  TParamDialog &D = Main->ParamDialog();
  D.FormShow();
  EXPECT_EQ(D.EdTAImUTC->text().toStdString(), "37");
  EXPECT_EQ(D.EdHeight->text().toStdString(), "600");
  EXPECT_EQ(D.EdOBSERVER->text().toStdString(), "k-ternwald");
  EXPECT_EQ(D.EdBSS_SITE->text().toStdString(), "Almsted QX");
  // Execute fills the fields from the settings; the script types over them.
  Fake->ModalScripts.push_back([](QDialog &Dlg) {
    auto &P = static_cast<TParamDialog &>(Dlg);
    P.EdTAImUTC->setText("37");
    P.EdHeight->setText("1234.56789012345");
    P.EdOBSERVER->setText("A. Observer");
    P.BuOKClick();
  });
  Run(Main->ActionShowParameters);
  EXPECT_EQ(Main->GlobalData().TAImUTC(), 37);
  D.FormShow();
  // Ten significant digits in the dialog, trailing zeros dropped.
  EXPECT_EQ(D.EdHeight->text().toStdString(), "1234.56789");
  EXPECT_TRUE(Main->close());
  Main.reset();

  TIniFile Ini(Options.IniFileName);
  EXPECT_EQ(Ini.ReadString("Observer", "TAI-UTC", ""), "37");
  EXPECT_EQ(Ini.ReadString("FITS Keywords", "OBSERVER", ""), "A. Observer");
  EXPECT_EQ(Ini.ReadFloat("Observer", "Height(m)", 0), 1234.56789012345);
  EXPECT_EQ(Ini.ReadString("Locations", "LastDir", ""), std::filesystem::current_path().string());
  EXPECT_TRUE(Ini.ValueExists("FITS Keywords", "BSS_INST"));

  // The next start reads them back.
  Main = std::make_unique<TMain>(Options);
  EXPECT_EQ(Main->GlobalData().TAImUTC(), 37);
  EXPECT_EQ(Main->GlobalData().OBSERVER(), "A. Observer");
}

TEST_F(ShellTest, SettingsDialogStopsAtTheFirstBadNumber) {
  TParamDialog &D = Main->ParamDialog();
  D.FormShow();
  D.EdTAImUTC->setText("36");
  D.EdLon->setText("7,5");
  D.EdLat->setText("10");
  D.EdOBSERVER->setText("changed");
  Guarded([&] { D.BuOKClick(); });
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'7,5' is not a valid floating point value"});
  EXPECT_EQ(Main->GlobalData().TAImUTC(), 36) << "converted before the faulty field";
  EXPECT_NE(Main->GlobalData().ObsLat(), 10);
  EXPECT_EQ(Main->GlobalData().OBSERVER(), "k-ternwald");
  EXPECT_NE(D.result(), QDialog::Accepted);
}

TEST_F(ShellTest, SettingsDialogUsesPointUnderCommaLocale) {
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  Main->GlobalData().SetObsLong(-7.5);
  TParamDialog &D = Main->ParamDialog();
  D.FormShow();
  EXPECT_EQ(D.EdLon->text().toStdString(), "-7.5");
  D.EdLat->setText("51.25");
  Guarded([&] { D.BuOKClick(); });
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(Main->GlobalData().ObsLat(), 51.25);
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(ShellTest, PlainOpenAndDropsReadWithTheDefaultsAfterOpenSpecial) {
  // 400 data lines and no header: every later plain open must give 400 points.
  std::string Plain;
  for (int i = 0; i < 400; ++i)
    Plain += Format("%d %d\r\n", 4000 + i, i);
  testutil::WriteFile(Tmp.File("plain.dat"), Plain);
  std::filesystem::create_directory(Tmp.File("sub"));
  testutil::WriteFile(Tmp.File("sub/z.dat"), "a\r\nb\r\nc\r\n1 1 5\r\n2 2 6\r\n3 3 7\r\n");
  // Open Special with 3 header lines, x in column 2, y in column 3.
  Fake->ModalScripts.push_back([](QDialog &Dlg) {
    auto &O = static_cast<TOpenSpecial &>(Dlg);
    O.EdColX->setText("2");
    O.EdColY->setText("3");
    O.EdHeader->setText("3");
    O.BuOpenClick();
  });
  Fake->OpenAnswers.push_back({Tmp.File("sub/z.dat")});
  Run(Main->ActionOpenSpecial);
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Spec(0).DataY, (TDblArr1D{5, 6, 7}));
  ASSERT_EQ(Fake->FileDialogs.size(), 1u);
  EXPECT_EQ(Fake->FileDialogs[0].Filter, TOpenSpecial::TextFilter);
  EXPECT_TRUE(Fake->FileDialogs[0].Multi);
  // The first file's folder became the current folder.
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Tmp.File("sub")));

  // The plain Open command: all types, columns 1 and 2, no header lines.
  Fake->OpenAnswers.push_back({Tmp.File("plain.dat")});
  Run(Main->ActionFileOpen);
  EXPECT_EQ(Fake->FileDialogs[1].Filter,
            "*.dat, *.txt, *.ascii, *.fit, *.fits, *.fts|*.dat;*.txt;*.ascii;*.fit;*.fits;*.fts|*.*|*.*");
  EXPECT_EQ(Fake->FileDialogs[1].StartDir, Tmp.File("sub"));
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Spec(0).FileName(), "plain.dat") << "sorted by name";
  EXPECT_EQ(List().Spec(0).Size(), 400);
  EXPECT_EQ(List().Spec(0).DataX[0], 4000);
  EXPECT_EQ(List().Spec(0).DataY[399], 399);

  // A drop, and names from the command line, the same.
  Main->OpenFiles({Tmp.File("plain.dat")});
  ASSERT_EQ(List().Count(), 3);
  for (int Row = 0; Row < 2; ++Row)
    EXPECT_EQ(List().Spec(Row).Size(), 400) << Row;

  // Open Special keeps its own fields for its next use.
  TOpenSpecial &O = Main->OpenSpecial();
  O.FormShow();
  EXPECT_EQ(O.EdColX->text().toStdString(), "2");
  EXPECT_EQ(O.EdColY->text().toStdString(), "3");
  EXPECT_EQ(O.EdHeader->text().toStdString(), "3");
}

TEST_F(ShellTest, RelativeNamesFromTheCommandLineBecomeFullNames) {
  testutil::WriteFile(Tmp.File("rel.dat"), "1 2\r\n2 3\r\n");
  std::filesystem::create_directory(Tmp.File("sub"));
  testutil::WriteFile(Tmp.File("sub/b.dat"), "1 2\r\n2 3\r\n");
  std::filesystem::create_directory(Tmp.File("elsewhere"));
  Main->close();
  Main.reset();
  // The settings remember another folder; reading them at start moves there.
  testutil::WriteFile(Options.IniFileName, "[Locations]\nLastDir=" + Tmp.File("elsewhere") + "\n");
  // Started in Tmp with relative names, as a shell would pass them.
  const TStartFiles Start =
      StartFilesFromArguments({"orvalumetrix", "rel.dat", "--view", "sub/../sub/b.dat"});
  EXPECT_TRUE(Start.View);
  EXPECT_EQ(Start.Names, (std::vector<std::string>{Tmp.File("rel.dat"), Tmp.File("sub/b.dat")}));
  Main = std::make_unique<TMain>(Options);
  ASSERT_EQ(std::filesystem::current_path(), std::filesystem::path(Tmp.File("elsewhere")));
  Main->OpenFiles(Start.Names);
  ASSERT_EQ(List().Count(), 2);
  // Sorted by name: b.dat, rel.dat.
  EXPECT_EQ(List().Spec(0).FilePath(), Tmp.File("sub") + "/");
  EXPECT_EQ(List().Spec(1).FilePath(), Tmp.Path() + "/");
  EXPECT_EQ(List().CountUnsaved(), 0) << "files read from disk are saved";
  // A relative name handed to the list directly is made full against the current folder
  // (now the folder of the first file opened) too.
  ASSERT_EQ(std::filesystem::current_path(), std::filesystem::path(Tmp.Path()));
  Main->OpenFiles({"./sub/b.dat"});
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(List().CountUnsaved(), 0);
  EXPECT_TRUE(Fake->Records.empty());
  // Quitting does not warn.
  EXPECT_TRUE(Main->close());
  EXPECT_TRUE(Fake->Texts(TK::kUnsaved).empty());
}

TEST_F(ShellTest, OpenSpecialRefusesColumnZero) {
  TOpenSpecial &O = Main->OpenSpecial();
  O.FormShow();
  O.EdColX->setText("0");
  Guarded([&] { O.BuOpenClick(); });
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Column numbers must be > 0"});
  EXPECT_TRUE(Fake->FileDialogs.empty()) << "nothing is opened";
  O.EdColX->setText("1");
  O.EdHeader->setText("-1");
  Guarded([&] { O.BuOpenClick(); });
  ASSERT_EQ(Fake->Texts(TK::kError).size(), 2u);
  EXPECT_EQ(Fake->Texts(TK::kError)[1].rfind("Assertion failure (UOpenSpecial", 0), 0u);
  EXPECT_TRUE(Fake->FileDialogs.empty());
}

TEST_F(ShellTest, FolderChangesAlsoWhenReadingFails) {
  std::filesystem::create_directory(Tmp.File("d"));
  testutil::WriteFile(Tmp.File("d/bad.fit"), std::string(100, 'x'));
  Guarded([&] { Main->OpenFiles({Tmp.File("d/bad.fit")}); });
  EXPECT_EQ(Fake->Texts(TK::kError),
            std::vector<std::string>{Tmp.File("d/bad.fit") + ": not a valid FITS file"});
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Tmp.File("d")));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
}

TEST_F(ShellTest, ViewProfileWidthsAndBringToFront) {
  AddRamp("a", 3);
  AddRamp("b", 3);
  Main->show();
  Main->resize(1000, 700);
  Select({0, 1});
  Run(Main->ActionShowProfile);
  ASSERT_EQ(Main->ChildWindowCount(), 2);
  EXPECT_TRUE(List().isHidden()) << "View Profile hides the file list";
  // The width is that of the client area; the frame and title bar come on top.
  for (QMdiSubWindow *W : Main->MdiArea->subWindowList()) {
    EXPECT_EQ(W->widget()->width(), 792);
    EXPECT_EQ(W->widget()->height(), 500);
  }
  // Viewing again only brings the windows to the front.
  Run(Main->ActionShowProfile);
  EXPECT_EQ(Main->ChildWindowCount(), 2);

  Main->resize(600, 700);
  AddRamp("c", 3);
  Select({2});
  Run(Main->ActionShowProfile);
  EXPECT_EQ(Main->MdiArea->subWindowList(QMdiArea::CreationOrder).last()->widget()->width(), 500);
}

TEST_F(ShellTest, PlotWindowsFollowActivationAndClosing) {
  Main->show();
  TSpec32 &A = AddRamp("a", 30);
  TSpec32 &B = AddRamp("b", 40);
  Select({0, 1});
  Run(Main->ActionShowProfile);
  auto *PA = dynamic_cast<TProfile32 *>(A.Profile32());
  auto *PB = dynamic_cast<TProfile32 *>(B.Profile32());
  ASSERT_NE(PA, nullptr) << "View Profile opens a plot window";
  ASSERT_NE(PB, nullptr);
  EXPECT_EQ(PA->Spec32(), &A);
  // Activating a window makes it the main window's active profile and selects its row only.
  Main->MdiArea->setActiveSubWindow(PB);
  PB->FormActivate();
  EXPECT_EQ(Main->ActiveProfile(), PB);
  EXPECT_EQ(List().CurrentlySelected(), 1);
  EXPECT_EQ(List().SingleSelected(), &B);
  Main->MdiArea->setActiveSubWindow(PA);
  PA->FormActivate();
  EXPECT_EQ(Main->ActiveProfile(), PA);
  EXPECT_EQ(List().SingleSelected(), &A);
  // The active window's spectrum is what the main-window save commands work on.
  EXPECT_EQ(Main->ProfileHost().ActiveSpec(), &A);
  // Closing a spectrum closes its window and clears both links.
  Select({0});
  Fake->YesNoAnswers.push_back(true);
  Run(Main->ActionFileCloseSelected);
  EXPECT_EQ(Main->ChildWindowCount(), 1);
  EXPECT_NE(Main->ActiveProfile(), PA) << "the closed window is no longer the active profile";
  EXPECT_EQ(B.Profile32(), PB);
  EXPECT_EQ(PB->Spec32(), &B);
}

TEST_F(ShellTest, FileListReappearsWhenTheLastWindowCloses) {
  Main->show();
  AddRamp("a", 3);
  Select({0});
  Run(Main->ActionShowProfile);
  EXPECT_TRUE(List().isHidden());
  Main->ActionList1Update();
  EXPECT_TRUE(List().isHidden()) << "a window is still open";
  Run(Main->ActionWindowCloseAll);
  EXPECT_EQ(Main->ChildWindowCount(), 0);
  Main->ActionList1Update();
  EXPECT_TRUE(List().isVisible());
  EXPECT_TRUE(Main->ActionShowFileList->isChecked());
}

TEST_F(ShellTest, IdleHandlerEnablesCommands) {
  AddRamp("a", 3);
  Main->ActionList1Update();
  EXPECT_FALSE(Main->ActionShowProfile->isEnabled());
  Select({0});
  // No explicit call: the event loop going idle runs the rules.
  QEventLoop Loop;
  QTimer::singleShot(0, &Loop, &QEventLoop::quit);
  Loop.exec();
  EXPECT_TRUE(Main->ActionShowProfile->isEnabled());
}

TEST_F(ShellTest, OperationCommandsFollowTheSelection) {
  AddRamp("a", 8);
  AddRamp("b", 8);
  // Rows of (command, enabled with 0, 1 and 2 selected spectra).
  struct TRow {
    QAction *A;
    bool On0, On1, On2;
  } Rows[] = {
      {Main->ActionFileNew, true, true, true},       {Main->ActionOpFilters, false, true, true},
      {Main->ActionNToolsFFT, false, true, true},    {Main->ActionNToolsEvaluate, false, true, true},
      {Main->ActionXCalibration, false, true, true}, {Main->ActionXVacAir, false, true, true},
      {Main->ActionXWlWn, false, true, true},        {Main->ActionXWlVel, false, true, true},
      {Main->ActionOpMultiple, false, false, true},  {Main->ActionOpConcat, false, false, true},
      {Main->ActionVariaAir, true, true, true},      {Main->ActionPolRoot, true, true, true},
      {Main->ActionOpBinary1, false, false, true},   {Main->ActionFitsEditorList, false, true, false},
  };
  const std::vector<std::vector<int>> Selections = {{}, {0}, {0, 1}};
  for (size_t k = 0; k < Selections.size(); ++k) {
    Select(Selections[k]);
    Main->ActionList1Update();
    for (const TRow &R : Rows) {
      const bool Want = k == 0 ? R.On0 : k == 1 ? R.On1 : R.On2;
      EXPECT_EQ(R.A->isEnabled(), Want) << R.A->text().toStdString() << " with " << k << " selected";
    }
  }
  // The File menu carries New after Open Special; Ctrl+N runs it.
  const QList<QAction *> File = Main->MenuFile->actions();
  ASSERT_GE(File.size(), 3);
  EXPECT_EQ(File[2], Main->ActionFileNew);
  EXPECT_EQ(Main->ActionFileNew->shortcut(), QKeySequence("Ctrl+N"));
}

TEST_F(ShellTest, ActiveWindowCommandsWorkOnTheActiveWindowsSpectrum) {
  AddRamp("first", 3);
  AddRamp("second", 3);
  Select({0, 1});
  Run(Main->ActionShowProfile);
  // View Profile shows the last selected first, so "first" ends up active.
  Fake->SaveAnswers.push_back(Tmp.File("active.dat"));
  Run(Main->ActionFileSaveMain);
  ASSERT_EQ(Fake->FileDialogs.size(), 1u);
  EXPECT_EQ(Fake->FileDialogs[0].FileName, "first.dat");
  EXPECT_EQ(List().Spec(0).FileName(), "active.dat");
  EXPECT_EQ(Main->MdiArea->currentSubWindow()->windowTitle().toStdString(), "active.dat");
}

TEST_F(ShellTest, AboutShowsTheProjectVersion) {
  EXPECT_EQ(TAboutOrvalumetrix::VersionText().toStdString(), std::string("Version ") + ORVA_VERSION);
  EXPECT_EQ(Main->About().LaName->text().toStdString(), "Orvalumetrix");
  Fake->ModalScripts.push_back([](QDialog &D) { D.accept(); });
  Run(Main->ActionAbout);
  EXPECT_EQ(Fake->Texts(TK::kModal), std::vector<std::string>{"About"});
}

TEST_F(ShellTest, QuitWarningDefaultsToReturnToProgram) {
  TSaveWarning W(Main.get());
  W.SetText("2 unsaved spectra");
  EXPECT_TRUE(W.BuReturnToProgram->isDefault());
  EXPECT_FALSE(W.BuCloseAnyway->isDefault());
  W.show();
  QApplication::setActiveWindow(&W);
  // Enter, wherever the focus starts, keeps the program running.
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &W, Qt::Key_Return);
  EXPECT_EQ(W.result(), QDialog::Rejected);
  EXPECT_FALSE(W.isVisible());
}

TEST_F(ShellTest, FileListIsAToolWindowThatDoesNotCoverDialogs) {
  const Qt::WindowFlags F = List().windowFlags();
  EXPECT_EQ(F & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_FALSE(F & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(List().parentWidget(), Main.get()) << "a tool window of the main window";
  // It is shown once the main window is on the screen, not before (a window manager would
  // then stack it below the main window).
  EXPECT_FALSE(List().isVisible());
  Main->show();
  EXPECT_FALSE(List().isVisible());
  // One pass delivers the main window's exposure, the next one the list's showing.
  QCoreApplication::processEvents();
  EXPECT_TRUE(Main->windowHandle()->isExposed());
  QCoreApplication::processEvents();
  EXPECT_TRUE(List().isVisible());
}

TEST_F(ShellTest, WindowMenuListsThePlotWindowsAndTheFileList) {
  Main->show();
  AddRamp("first", 10);
  AddRamp("a&b", 10);
  Select({0, 1});
  Run(Main->ActionShowProfile);
  ASSERT_EQ(Main->ChildWindowCount(), 2);
  emit Main->MenuWindow->aboutToShow();
  std::vector<std::string> Texts;
  QAction *FirstEntry = nullptr;
  for (QAction *A : Main->MenuWindow->actions()) {
    Texts.push_back(A->isSeparator() ? "-" : A->text().toStdString() + (A->isChecked() ? " *" : ""));
    if (A->text() == "&1 first") FirstEntry = A;
  }
  // View Profile shows the last selected first, so "first" is created last and is active.
  const std::vector<std::string> Want = {
      "C&lose",        "Close All", "&Cascade", "Tile &Horizontally", "&Tile Vertically",
      "&Minimize All", "&Arrange",  "-",        "List View...",       "-",
      "&1 a&&b",       "&2 first *"};
  EXPECT_EQ(Texts, Want);
  EXPECT_EQ(Main->ActionShowFileList->shortcut(), QKeySequence("Ctrl+F"));
  // Choosing an entry activates that window.
  QAction *Second = nullptr;
  for (QAction *A : Main->MenuWindow->actions())
    if (A->text() == "&1 a&&b") Second = A;
  ASSERT_NE(Second, nullptr);
  EXPECT_EQ(FirstEntry, nullptr);
  Second->trigger();
  EXPECT_EQ(Main->MdiArea->activeSubWindow()->windowTitle().toStdString(), "a&b");
  // Opened again, the menu is built afresh: one entry per window, the active one checked.
  Select({1});
  Fake->YesNoAnswers.push_back(true);
  Run(Main->ActionFileCloseSelected);
  emit Main->MenuWindow->aboutToShow();
  const QList<QAction *> After = Main->MenuWindow->actions();
  ASSERT_EQ(After.size(), 11);
  EXPECT_EQ(After.back()->text().toStdString(), "&1 first");
}

// Every operation of the command table that has a dialog is reachable from a menu of the file
// list, next to the operations of its kind.
TEST_F(ShellTest, OperationsAreReachableFromTheFileListMenus) {
  const std::pair<QAction *, QMenu *> Rows[] = {
      {Main->ActionOpUnary, Main->FileListMenuYOperators},
      {Main->ActionOpOperator, Main->FileListMenuYOperators},
      {Main->ActionOpFilters, Main->FileListMenuYOperators},
      {Main->ActionOpAddZeros, Main->FileListMenuNTools},
      {Main->ActionOpResample, Main->FileListMenuNTools},
      {Main->ActionOpCrop, Main->FileListMenuNTools},
      {Main->ActionNToolsFFT, Main->FileListMenuNTools},
      {Main->ActionXVacAir, Main->FileListMenuXOperators},
  };
  for (const auto &[A, M] : Rows) {
    EXPECT_TRUE(M->actions().contains(A)) << A->text().toStdString();
    EXPECT_TRUE(List().menuBar()->actions().contains(M->menuAction())) << A->text().toStdString();
  }
  // Unary operations stand first among the y-operations, zero padding after crop.
  EXPECT_EQ(Main->FileListMenuYOperators->actions().indexOf(Main->ActionOpUnary), 0);
  const QList<QAction *> N = Main->FileListMenuNTools->actions();
  EXPECT_EQ(N.indexOf(Main->ActionOpAddZeros), N.indexOf(Main->ActionOpCrop) + 1);
  // And the menu entry runs the dialog.
  AddRamp("a", 8);
  Select({0});
  Fake->ModalScripts.push_back([](QDialog &D) { D.reject(); });
  Main->ActionList1Update();
  Main->ActionOpAddZeros->trigger();
  ASSERT_EQ(Fake->Texts(TK::kModal).size(), 1u);
  // The barycentric correction is always enabled (Calculate needs no spectrum) and opens its
  // dialog on the program's one correction, whose ephemeris is missing in the test's folder.
  Select({});
  Main->ActionList1Update();
  EXPECT_TRUE(Main->ActionXBaryCorr->isEnabled());
  Fake->ModalScripts.push_back([](QDialog &D) { D.reject(); });
  Main->ActionXBaryCorr->trigger();
  ASSERT_EQ(Fake->Texts(TK::kModal).size(), 2u);
  EXPECT_FALSE(Main->BaryCorrHolder().Ok());
  EXPECT_NE(Main->BaryCorrHolder().StatusText().find(BaryEphemerisName), std::string::npos)
      << Main->BaryCorrHolder().StatusText();
}

TEST_F(ShellTest, SettingsDialogRefusesASiteNotOnEarth) {
  const struct {
    int Field; // 0 longitude, 1 latitude, 2 height
    const char *Value;
    const char *Error; // nullptr: accepted
  } Rows[] = {
      {0, "180", nullptr},
      {0, "-180", nullptr},
      {0, "180.01", "Observer Longitude must lie between -180 and 180"},
      {0, "-200", "Observer Longitude must lie between -180 and 180"},
      {1, "90", nullptr},
      {1, "-90.5", "Observer Latitude must lie between -90 and 90"},
      {1, "91", "Observer Latitude must lie between -90 and 90"},
      {2, "-500", nullptr},
      {2, "10000", nullptr},
      {2, "-501", "Observer Height must lie between -500 and 10000"},
      {2, "32808", "Observer Height must lie between -500 and 10000"},
  };
  TParamDialog &D = Main->ParamDialog();
  TGlobalData &G = Main->GlobalData();
  for (const auto &R : Rows) {
    G.SetTAImUTC(37);
    G.SetObsLong(-10);
    G.SetObsLat(50);
    G.SetObsHeight(100);
    G.SetOBSERVER("old");
    D.FormShow();
    D.setResult(QDialog::Rejected);
    Fake->Clear();
    D.EdTAImUTC->setText("38");
    D.EdOBSERVER->setText("new");
    QLineEdit *Ed[] = {D.EdLon, D.EdLat, D.EdHeight};
    Ed[R.Field]->setText(R.Value);
    Guarded([&] { D.BuOKClick(); });
    const double V = StrToFloat(R.Value);
    const double Stored[] = {G.ObsLong(), G.ObsLat(), G.ObsHeight()};
    if (R.Error) {
      EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Error}) << R.Value;
      EXPECT_NE(D.result(), QDialog::Accepted) << "the dialog stays open";
      // Nothing is stored, not even the fields before the faulty one.
      EXPECT_EQ(G.TAImUTC(), 37) << R.Value;
      EXPECT_EQ(G.OBSERVER(), "old") << R.Value;
      EXPECT_NE(Stored[R.Field], V) << R.Value;
    } else {
      EXPECT_TRUE(Fake->Records.empty()) << R.Value;
      EXPECT_EQ(D.result(), QDialog::Accepted) << R.Value;
      EXPECT_EQ(Stored[R.Field], V) << R.Value;
      EXPECT_EQ(G.TAImUTC(), 38);
      EXPECT_EQ(G.OBSERVER(), "new");
    }
  }
}

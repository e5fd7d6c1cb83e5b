// Saving as ".dat" (one file, several into a folder) and as FITS, and failed saves.
#include <QLineEdit>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "ShellFixture.h"
#include "core/UDatFile.h"
#include "core/UFitsBess.h"
#include "shell/UFileListCore.h"
#include "shell/UFitsEditor.h"
#include "shell/USaveFITS.h"
#include "shell/USaveFiles.h"

using TK = TFakeUiServices;

TEST_F(ShellTest, SingleDatSaveProposesDatAndMarksSaved) {
  WriteFitsRamp(Tmp.File("star.fits"), 5);
  List().AddFiles({Tmp.File("star.fits")}, 1, 2, 0);
  TSpec32 &S = List().Spec(0);
  Select({0});
  std::filesystem::create_directory(Tmp.File("out"));
  Fake->SaveAnswers.push_back(Tmp.File("out/star.dat"));
  Run(Main->ActionFileSave);
  ASSERT_EQ(Fake->FileDialogs.size(), 1u);
  const TFileDialogSpec &D = Fake->FileDialogs[0];
  EXPECT_EQ(D.Title, "Save as DAT");
  EXPECT_EQ(D.FileName, "star.dat");
  EXPECT_EQ(D.Filter, "*.dat|*.dat|*.*|*.*");
  EXPECT_EQ(D.DefaultExt, "dat");
  EXPECT_TRUE(D.AskOverwrite);
  EXPECT_EQ(testutil::ReadFile(Tmp.File("out/star.dat")), DatText(S));
  EXPECT_EQ(S.FileName(), "star.dat");
  EXPECT_EQ(Text(0, lcFileName), "star.dat");
  EXPECT_EQ(Text(0, lcPath), Tmp.File("out") + "/");
  EXPECT_FALSE(List().ListView->topLevelItem(0)->flags() & Qt::ItemIsEditable);
}

TEST_F(ShellTest, CancelledSaveChangesNothing) {
  TSpec32 &S = AddRamp("keep", 3);
  Select({0});
  Fake->SaveAnswers.push_back("");
  Run(Main->ActionFileSave);
  EXPECT_EQ(S.FileName(), "keep");
  EXPECT_TRUE(S.Unsaved());
}

class MultiSaveTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::filesystem::create_directory(Tmp.File("target"));
    for (const char *N : {"one.fits", "two.fits", "three.fits"})
      AddRamp(N, 4);
    Select({0, 1, 2});
  }
  // Runs the multi-file save into target/ with the script answering the overwrite questions.
  void SaveAll() {
    Fake->FolderAnswers.push_back(Tmp.File("target"));
    Fake->ModalScripts.push_back([](QDialog &D) {
      auto &S = static_cast<TSaveFiles &>(D);
      S.BuFolderClick();
      S.BuOKClick();
    });
    Run(Main->ActionFileSave);
  }
  std::string Target(const char *N) { return Tmp.File(std::string("target/") + N); }
};

TEST_F(MultiSaveTest, NoSkipsOnlyThatFile) {
  testutil::WriteFile(Target("two.dat"), "old");
  Fake->OverwriteAnswers.push_back(TOverwriteAnswer::No);
  SaveAll();
  EXPECT_EQ(Fake->Texts(TK::kOverwrite), std::vector<std::string>{"two.dat?"});
  EXPECT_EQ(testutil::ReadFile(Target("two.dat")), "old");
  EXPECT_EQ(testutil::ReadFile(Target("one.dat")), DatText(List().Spec(0)));
  EXPECT_EQ(testutil::ReadFile(Target("three.dat")), DatText(List().Spec(2)));
  EXPECT_EQ(List().Spec(0).FileName(), "one.dat");
  EXPECT_EQ(List().Spec(1).FileName(), "two.fits");
  EXPECT_TRUE(List().Spec(1).Unsaved());
  EXPECT_EQ(List().Spec(2).FilePath(), Tmp.File("target") + "/");
  // The folder chooser made target/ the current folder and the field shows it.
  EXPECT_EQ(Main->SaveFiles().EdFolder->text().toStdString(), Tmp.File("target") + "/");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Tmp.File("target")));
}

TEST_F(MultiSaveTest, YesToAllOverwritesEveryLaterFileWithoutAsking) {
  testutil::WriteFile(Target("two.dat"), "old");
  testutil::WriteFile(Target("three.dat"), "old");
  Fake->OverwriteAnswers.push_back(TOverwriteAnswer::YesToAll);
  SaveAll();
  EXPECT_EQ(Fake->Texts(TK::kOverwrite), std::vector<std::string>{"two.dat?"});
  EXPECT_EQ(testutil::ReadFile(Target("two.dat")), DatText(List().Spec(1)));
  EXPECT_EQ(testutil::ReadFile(Target("three.dat")), DatText(List().Spec(2)));
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(List().Spec(i).Unsaved()) << i;
}

TEST_F(MultiSaveTest, YesAsksAgainForTheNextExistingFile) {
  testutil::WriteFile(Target("one.dat"), "old");
  testutil::WriteFile(Target("three.dat"), "old");
  Fake->OverwriteAnswers = {TOverwriteAnswer::Yes, TOverwriteAnswer::No};
  SaveAll();
  EXPECT_EQ(Fake->Texts(TK::kOverwrite), (std::vector<std::string>{"one.dat?", "three.dat?"}));
  EXPECT_EQ(testutil::ReadFile(Target("one.dat")), DatText(List().Spec(0)));
  EXPECT_EQ(testutil::ReadFile(Target("three.dat")), "old");
}

// A save that fails must leave the existing file and the spectrum's unsaved state alone.
class FailedSaveTest : public ShellTest {
protected:
  void Check(const std::string &Target) {
    TSpec32 &S = List().Spec(0);
    EXPECT_EQ(testutil::ReadFile(Target), "precious");
    EXPECT_TRUE(S.Unsaved());
    EXPECT_EQ(S.FileName(), "big");
    EXPECT_EQ(Text(0, lcPath), "");
    const auto Errors = Fake->Texts(TK::kError);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].rfind("Cannot create file \"" + Target + "\".", 0), 0u) << Errors[0];
    // No temporary file is left behind.
    int Files = 0;
    for (const auto &E : std::filesystem::directory_iterator(ExtractDir(Target)))
      Files += E.is_regular_file();
    EXPECT_EQ(Files, 1);
  }
  static std::string ExtractDir(const std::string &F) { return F.substr(0, F.find_last_of('/')); }
};

TEST_F(FailedSaveTest, ReadOnlyFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  std::filesystem::create_directory(Tmp.File("ro"));
  testutil::WriteFile(Tmp.File("ro/big.dat"), "precious");
  std::filesystem::permissions(Tmp.File("ro"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  AddRamp("big", 100);
  Select({0});
  Fake->SaveAnswers.push_back(Tmp.File("ro/big.dat"));
  Run(Main->ActionFileSave);
  Check(Tmp.File("ro/big.dat"));
}

TEST_F(FailedSaveTest, WriteFailsHalfway) {
  // A file size limit makes the write fail after part of the data, for any user.
  std::filesystem::create_directory(Tmp.File("lim"));
  testutil::WriteFile(Tmp.File("lim/big.dat"), "precious");
  AddRamp("big", 2000); // about 64 KB of text
  Select({0});
  Fake->SaveAnswers.push_back(Tmp.File("lim/big.dat"));
  rlimit Old;
  getrlimit(RLIMIT_FSIZE, &Old);
  rlimit Small = Old;
  Small.rlim_cur = 4096;
  auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &Small);
  Run(Main->ActionFileSave);
  setrlimit(RLIMIT_FSIZE, &Old);
  std::signal(SIGXFSZ, OldHandler);
  Check(Tmp.File("lim/big.dat"));
}

TEST_F(ShellTest, SaveFitsRefusesUnevenSpectra) {
  AddSpec("uneven", {1, 2, 4}, {1, 1, 1});
  Select({0});
  Run(Main->ActionSaveFitsList);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"x-values not equidistant; resample spectrum"});
  EXPECT_TRUE(Fake->Texts(TK::kModal).empty()) << "the dialog does not stay open";
  EXPECT_TRUE(Fake->FileDialogs.empty());
}

TEST_F(ShellTest, SaveFitsOfATextSpectrumWritesItsAxis) {
  testutil::WriteFile(Tmp.File("lamp.txt"), "5000 1\r\n5000.5 2\r\n5001 3\r\n5001.5 4\r\n");
  List().AddFiles({Tmp.File("lamp.txt")}, 1, 2, 0);
  Select({0});
  Fake->ModalScripts.push_back([](QDialog &D) { static_cast<TSaveFits &>(D).BuSaveClick(); });
  Fake->SaveAnswers.push_back(Tmp.File("lamp.fit"));
  Run(Main->ActionSaveFitsList);
  ASSERT_EQ(Fake->FileDialogs.size(), 1u);
  EXPECT_EQ(Fake->FileDialogs[0].Title, "Save as FIT");
  EXPECT_EQ(Fake->FileDialogs[0].FileName, "lamp.fit");
  EXPECT_EQ(Fake->FileDialogs[0].Filter, "*.fit, *.fits, *.fts|*.fit;*.fits;*.fts|*.*|*.*");
  EXPECT_EQ(List().Spec(0).FileName(), "lamp.fit");
  // Read back through the core's reader: the axis comes from CRVAL1, CDELT1, CRPIX1.
  TFitsBess H;
  H.ReadHeader(Tmp.File("lamp.fit"), false);
  EXPECT_EQ(H.BITPIX(), -32);
  EXPECT_EQ(H.CRPIX1(), 1.0);
  EXPECT_EQ(H.CRVAL1(), 5000.0);
  EXPECT_EQ(H.CDELT1(), 0.5);
  EXPECT_EQ(H.NAXIS1(), 4);
  EXPECT_EQ(std::filesystem::file_size(Tmp.File("lamp.fit")), 2u * 2880u);
}

// The editor is a step on the way: after it, with OK or Cancel, the Save FITS dialog is still
// open and saves with the edited header.
TEST_F(ShellTest, ShowFitsEditorComesBackToTheSaveStep) {
  for (const bool EditorOK : {true, false}) {
    List().CloseAll();
    Fake->Clear();
    AddRamp("star", 5);
    Select({0});
    int Finished = 0;
    int FinishedAfterEditor = -1;
    Fake->ModalScripts.push_back([&](QDialog &D) {
      auto &S = static_cast<TSaveFits &>(D);
      const QMetaObject::Connection C = QObject::connect(&S, &QDialog::finished, [&] { ++Finished; });
      S.BuShowEditorClick();
      FinishedAfterEditor = Finished;
      S.BuSaveClick();
      QObject::disconnect(C);
    });
    Fake->ModalScripts.push_back([EditorOK](QDialog &D) {
      auto &E = static_cast<TFitsEditor &>(D);
      E.SelectRow(10);
      E.BuAddClick();
      E.EdKey->setText("OBJNAME");
      E.EdValue->setText("Vega");
      E.GroupOKClick();
      if (EditorOK)
        E.BuOKClick();
      else
        E.BuCancelClick();
    });
    Fake->SaveAnswers.push_back(Tmp.File("star.fit"));
    Run(Main->ActionSaveFitsList);
    EXPECT_EQ(Fake->Texts(TK::kModal), (std::vector<std::string>{"Save FITS", "FITS Editor: star"}));
    EXPECT_EQ(FinishedAfterEditor, 0) << "the Save FITS dialog stayed open after the editor";
    EXPECT_EQ(Finished, 1) << "Save... closes it";
    EXPECT_EQ(List().Spec(0).FileName(), "star.fit") << "saved";
    EXPECT_FALSE(List().Spec(0).Unsaved());
    // The file carries the edited header (and the spectrum keeps it) only after OK.
    TFitsBess H;
    H.ReadHeader(Tmp.File("star.fit"), false);
    EXPECT_EQ(H.IndexOfKey("OBJNAME") >= 0, EditorOK);
    if (EditorOK) {
      EXPECT_EQ(H.OBJNAME(), "Vega");
    }
    EXPECT_EQ(H.NAXIS1(), 5);
    std::filesystem::remove(Tmp.File("star.fit"));
  }
}

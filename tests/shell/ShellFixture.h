#pragma once
// A main window with its file list and dialogs, on a fresh settings file in a temporary
// folder, with the scripted UI services; the current folder is put back afterwards.
#include <QAction>
#include <QApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "common/TestUtil.h"
#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/USpec32.h"
#include "gui/UFakeUiServices.h"
#include "gui/UUiServices.h"
#include "shell/UFileList.h"
#include "shell/UMain.h"

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override {
    pOldDir = std::filesystem::current_path();
    std::filesystem::current_path(Tmp.Path());
    Options.ExeName = Tmp.File("orvalumetrix");
    Options.IniFileName = Tmp.File("orvalumetrix.ini");
    Main = std::make_unique<TMain>(Options);
  }
  void TearDown() override {
    if (Main && !Main->Closed()) {
      Fake->UnsavedAnswers.push_back(true);
      Main->close();
    }
    Main.reset();
    std::filesystem::current_path(pOldDir);
    EXPECT_TRUE(Fake->Unexpected.empty()) << "unscripted question: " << Fake->Unexpected.front();
  }

  TFileList &List() { return Main->FileList(); }
  // A command as the user runs it: enabled by the idle rules first (a disabled one does nothing).
  void Run(QAction *A) {
    Main->ActionList1Update();
    A->trigger();
  }

  // A listed spectrum with the given x and y (unsaved).
  TSpec32 &AddSpec(const std::string &Name, const std::vector<double> &X, const std::vector<double> &Y) {
    TSpec32 &S = List().NewFile(Name, "", static_cast<int32_t>(X.size()), 0, nullptr);
    S.SetFileName(Name);
    S.DataX = X;
    S.DataY = Y;
    S.SetEquidistant(S.IsEquidistant());
    List().UpdateSpec(S);
    List().ListView->topLevelItem(List().GetItemIndex(&S))->setText(0, QString::fromStdString(Name));
    return S;
  }
  TSpec32 &AddRamp(const std::string &Name, int N, double X0 = 4000, double Step = 1) {
    std::vector<double> X(N), Y(N);
    for (int i = 0; i < N; ++i) {
      X[i] = X0 + Step * i;
      Y[i] = 1 + 0.01 * i;
    }
    return AddSpec(Name, X, Y);
  }
  // Selects exactly the given rows.
  void Select(const std::vector<int> &Rows) {
    List().ListView->clearSelection();
    for (int R : Rows)
      List().ListView->topLevelItem(R)->setSelected(true);
  }
  std::string Text(int Row, int Col) { return List().ListView->topLevelItem(Row)->text(Col).toStdString(); }

  testutil::TTempDir Tmp;
  TScopedFakeUi Fake;
  TMainOptions Options;
  std::unique_ptr<TMain> Main;

private:
  std::filesystem::path pOldDir;
};

// A small FITS file written by the core's writer from a ramp, with extra cards.
inline void WriteFitsRamp(const std::string &FName, int N, const std::vector<std::string> &ExtraCards = {}) {
  TSpec32 S;
  S.NewSpec("ramp", N, 0, nullptr);
  for (int i = 0; i < N; ++i) {
    S.DataX[i] = 6500 + 0.5 * i;
    S.DataY[i] = 100 + i;
  }
  S.FinishFromArrays();
  S.FitsBess().SetCRVAL1(6500);
  S.FitsBess().SetCDELT1(0.5);
  for (const std::string &C : ExtraCards) {
    std::string Card = C;
    Card.resize(80, ' ');
    S.FitsBess().Add(Card);
  }
  S.FitsBess().SaveToFile_32(FName, S.DataY);
}

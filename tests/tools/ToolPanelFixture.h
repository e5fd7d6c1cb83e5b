#pragma once
// A shown main window whose own tool host (its panels, the plot windows' hooks wired to it) the
// panel tests drive, with the helpers they share: plot windows opened and activated as the user
// does, the label texts, and the spectra listed by name.
#include <QLabel>
#include <QMdiArea>
#include <string>

#include "display/UProfile32.h"
#include "shell/ShellFixture.h"
#include "tools/UToolHost.h"

class ToolPanelTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Main->show();
    Main->resize(1000, 700);
    Host = &Main->ToolHost();
  }
  void TearDown() override {
    Host->HideActiveTool();
    ShellTest::TearDown();
  }

  // View Profile on one spectrum: its plot window.
  TProfile32 &Open(TSpec32 &Spec) {
    Select({List().GetItemIndex(&Spec)});
    Run(Main->ActionShowProfile);
    auto *P = dynamic_cast<TProfile32 *>(Spec.Profile32());
    EXPECT_NE(P, nullptr);
    return *P;
  }
  void Activate(TProfile32 &P) {
    Main->MdiArea->setActiveSubWindow(&P);
    P.FormActivate();
  }
  void ShowTool(TToolKind K) { Host->Command(K)->trigger(); }
  TSpec32 *Listed(const std::string &Name) {
    for (int i = 0; i < List().Count(); ++i)
      if (List().Spec(i).FileName() == Name) return &List().Spec(i);
    return nullptr;
  }
  // The text of a label or an edit.
  template <class W> static std::string S(const W *L) { return L->text().toStdString(); }

  TToolHost *Host = nullptr;
};

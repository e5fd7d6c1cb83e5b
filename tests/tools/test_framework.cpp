// The tool framework through real plot windows of a real main window (offscreen): connecting
// on show and on activation, the per-window data and its hook order, the selection event,
// closing windows, hiding, placement, the letters, and overlays that share a tool's arrays.
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <algorithm>

#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "shell/ShellFixture.h"
#include "tools/UToolHost.h"
#include "tools/UToolSelection.h"

using TK = TFakeUiServices;

namespace {

// A selection tool that logs its hooks and keeps, per window, a number and a curve that it
// shares with an overlay of that window.
class TRecTool : public TToolSelection {
public:
  struct TLocalData : ::TLocalData {
    int Value = 0;
    std::shared_ptr<TDblArr1D> Curve;
    TOverlayProfile *Ovl = nullptr;
  };
  TRecTool(TToolHost &H, const QString &Caption, std::vector<std::string> &Log, QWidget *Parent)
      : TToolSelection(H, Caption, Parent), pLog(Log) {
    resize(220, 150);
  }
  int Value = 0;
  int Calculated = 0;

  TLocalData *Data() const { return LocalDataAs<TLocalData>(); }

protected:
  void CreateLocalData() override {
    Log("Create");
    auto D = std::make_unique<TLocalData>();
    const int32_t N = pSpec32->Size();
    D->Curve = std::make_shared<TDblArr1D>(static_cast<size_t>(N), 1.5);
    D->Ovl = pOverlay->AddProfile();
    D->Ovl->SetNVal(N);
    D->Ovl->SetYVal(D->Curve);
    SetLocalData(std::move(D));
    Value = 0;
  }
  void StoreLocalData() override {
    Log("Store");
    Data()->Value = Value;
  }
  void RetreiveLocalData() override {
    Log("Retreive");
    Value = Data()->Value;
  }
  void ResetAll(QObject *) override { Log("Reset"); }
  void Calculate() override {
    Log("Calc");
    ++Calculated;
  }

private:
  void Log(const char *What) {
    pLog.push_back(std::string(What) + " " + (pSpec32 ? pSpec32->FileName() : std::string("-")));
  }
  std::vector<std::string> &pLog;
};

class ToolFrameworkTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Main->show();
    Main->resize(1000, 700);
    TToolHostEnv E;
    E.Main = Main.get();
    E.Area = Main->MdiArea;
    Host = std::make_unique<TToolHost>(E);
    // The plot windows talk to this host instead of the main window's.
    auto &PW = dynamic_cast<TProfileWindows &>(Main->ProfileHost());
    PW.Hooks().ConnectTool = [this](TProfile32 &W) { Host->ConnectTool(W); };
    PW.Hooks().DisconnectTool = [this](TProfile32 &W) { Host->DisconnectTool(W); };
    PW.Hooks().ToolLetter = [this](char L) { Host->ToolLetter(L); };
    T1 = new TRecTool(*Host, "One", Log, Main.get());
    T2 = new TRecTool(*Host, "Two", Log, Main.get());
    Host->AddTool(TToolKind::Statistics, T1);
    Host->AddTool(TToolKind::Crop, T2);
  }
  void TearDown() override {
    Host->HideActiveTool();
    ShellTest::TearDown();
  }
  // Opens plot windows for the given spectra (the first one ends on top).
  std::vector<TProfile32 *> Open(const std::vector<TSpec32 *> &Specs) {
    std::vector<int> Rows;
    for (TSpec32 *S : Specs)
      Rows.push_back(List().GetItemIndex(S));
    Select(Rows);
    Run(Main->ActionShowProfile);
    std::vector<TProfile32 *> R;
    for (TSpec32 *S : Specs)
      R.push_back(dynamic_cast<TProfile32 *>(S->Profile32()));
    return R;
  }
  void Activate(TProfile32 *P) {
    Main->MdiArea->setActiveSubWindow(P);
    P->FormActivate();
  }
  // The data hooks of the log (Create, Store, Retreive) since the last call.
  std::vector<std::string> DataHooks() {
    std::vector<std::string> R;
    for (const std::string &L : Log)
      if (L.rfind("Reset", 0) != 0 && L.rfind("Calc", 0) != 0) R.push_back(L);
    Log.clear();
    return R;
  }
  int Resets() {
    const auto N = std::count_if(Log.begin(), Log.end(), [](const std::string &L) { return L.rfind("Reset", 0) == 0; });
    Log.clear();
    return static_cast<int>(N);
  }

  std::vector<std::string> Log;
  std::unique_ptr<TToolHost> Host;
  TRecTool *T1 = nullptr;
  TRecTool *T2 = nullptr;
};

using TLog = std::vector<std::string>;

} // namespace

TEST_F(ToolFrameworkTest, ShowWithoutWindowsLeavesNoCurrentWindow) {
  Host->ShowTool(T1);
  EXPECT_EQ(Host->ActiveTool(), T1);
  EXPECT_TRUE(T1->isVisible());
  EXPECT_EQ(T1->ActIndex(), -1);
  EXPECT_EQ(T1->GetLocalData(), nullptr);
  EXPECT_EQ(T1->GetCount(), 0);
  EXPECT_EQ(T1->StatusText(), "");
  // Storing data without a current window frees it and changes nothing.
  T1->SetLocalData(std::make_unique<TLocalData>());
  EXPECT_EQ(T1->GetLocalData(), nullptr);
  EXPECT_EQ(Resets(), 1) << "a selection tool resets when it is shown";
  // A window opened now connects and becomes current.
  TSpec32 &A = AddRamp("a", 50);
  TProfile32 *PA = Open({&A})[0];
  EXPECT_EQ(T1->ActIndex(), 0);
  EXPECT_EQ(T1->Spec32(), &A);
  EXPECT_EQ(T1->StatusText(), "a");
  EXPECT_EQ(DataHooks(), TLog{"Create a"});
  EXPECT_NE(PA->Context().Slot(T1->ToolId()), nullptr);
}

TEST_F(ToolFrameworkTest, ShowConnectsEveryWindowAndSwitchingStoresAndRestores) {
  TSpec32 &A = AddRamp("a", 50);
  TSpec32 &B = AddRamp("b", 60);
  auto P = Open({&A, &B});
  TProfile32 *PA = P[0], *PB = P[1];
  Activate(PB);
  Host->ShowTool(T1);
  // Every window is met once, in the stacking order: the active window comes last.
  EXPECT_EQ(DataHooks(), (TLog{"Create a", "Store a", "Create b"}));
  ASSERT_EQ(T1->GetCount(), 2);
  EXPECT_NE(T1->List2(0), nullptr);
  EXPECT_NE(T1->List2(1), nullptr);
  EXPECT_EQ(T1->Profile32(), PB);
  EXPECT_EQ(T1->Overlay(), &PB->Overlay());
  EXPECT_EQ(PA->Overlay().Count(), 1);
  EXPECT_EQ(PB->Overlay().Count(), 1);

  // Work in A: a selection there, and a value in the tool.
  Activate(PA);
  EXPECT_EQ(DataHooks(), (TLog{"Store b", "Retreive a"}));
  PA->SelectRange(10, 20);
  EXPECT_EQ(T1->Calculated, 1);
  EXPECT_EQ(T1->Ind0(), 10);
  EXPECT_EQ(T1->Ind1(), 19);
  EXPECT_EQ(T1->NArr(), 10);
  EXPECT_EQ(T1->XArr(), TDblArr1D(A.DataX.begin() + 10, A.DataX.begin() + 20));
  EXPECT_EQ(T1->YArr(), TDblArr1D(A.DataY.begin() + 10, A.DataY.begin() + 20));
  T1->Value = 7;

  // To B: A's state stored and its selection hidden (the range is kept).
  Activate(PB);
  EXPECT_EQ(DataHooks(), (TLog{"Store a", "Retreive b"}));
  EXPECT_FALSE(PA->DrawSelection());
  EXPECT_EQ(PA->SelInd0(), 10);
  EXPECT_EQ(T1->Value, 0);
  T1->Value = 3;
  // Back to A: its state comes back.
  Activate(PA);
  EXPECT_EQ(DataHooks(), (TLog{"Store b", "Retreive a"}));
  EXPECT_EQ(T1->Value, 7);
  Activate(PB);
  EXPECT_EQ(T1->Value, 3);
}

TEST_F(ToolFrameworkTest, ReactivatingTheCurrentWindowOnlyResets) {
  TSpec32 &A = AddRamp("a", 50);
  TProfile32 *PA = Open({&A})[0];
  Host->ShowTool(T1);
  Activate(PA);
  PA->SelectRange(5, 9);
  EXPECT_TRUE(PA->DrawSelection());
  Log.clear();
  PA->FormActivate();
  EXPECT_EQ(Log, TLog{"Reset a"}) << "no store or retrieve, but the results are cleared";
  EXPECT_TRUE(PA->DrawSelection()) << "the window keeps its selection mark";
  EXPECT_EQ(T1->StatusText(), "a");
}

TEST_F(ToolFrameworkTest, ClosingTheCurrentWindowLeavesNoCurrentWindow) {
  TSpec32 &A = AddRamp("a", 50);
  TSpec32 &B = AddRamp("b", 60);
  auto P = Open({&A, &B});
  Host->ShowTool(T1);
  Activate(P[1]);
  ASSERT_EQ(T1->Profile32(), P[1]);
  // Disconnecting the current window: no current window, the other stays connected.
  T1->Disconnect(*P[1]);
  EXPECT_EQ(T1->ActIndex(), -1);
  EXPECT_EQ(T1->Profile32(), nullptr);
  EXPECT_EQ(T1->Spec32(), nullptr);
  EXPECT_EQ(T1->GetLocalData(), nullptr);
  EXPECT_EQ(T1->GetCount(), 1);
  EXPECT_EQ(T1->StatusText(), "");
  EXPECT_EQ(P[1]->Context().Slot(T1->ToolId()), nullptr);
  EXPECT_TRUE(P[1]->eOnSelect == nullptr);
  EXPECT_FALSE(P[0]->eOnSelect == nullptr) << "the other window stays hooked";
  // The next activation makes the other window current again, with its stored data.
  Log.clear();
  Activate(P[0]);
  EXPECT_EQ(DataHooks(), TLog{"Retreive a"});
  EXPECT_EQ(T1->Profile32(), P[0]);

  // Closing the current window through the window system: the window area activates the
  // other one, which the tool then meets again (restored, not created).
  Activate(P[1]);
  ASSERT_EQ(T1->Profile32(), P[1]);
  Log.clear();
  P[1]->close();
  const TLog Hooks = DataHooks();
  EXPECT_EQ(std::count(Hooks.begin(), Hooks.end(), "Create a"), 0);
  EXPECT_EQ(T1->GetCount(), 1);
  EXPECT_NE(T1->Profile32(), P[1]);
}

TEST_F(ToolFrameworkTest, DisconnectingAnUnknownWindowIsReportedAndChangesNothing) {
  TSpec32 &A = AddRamp("a", 50);
  TProfile32 *PA = Open({&A})[0];
  Host->ShowTool(T1);
  T2->Disconnect(*PA);
  EXPECT_EQ(Fake->Texts(TK::kError), TLog{"TToolTemplate: UE1"});
  EXPECT_EQ(T1->GetCount(), 1);
  EXPECT_EQ(T1->Profile32(), PA);
}

TEST_F(ToolFrameworkTest, ShowingAnotherToolHidesTheFirstAndItsOverlays) {
  TSpec32 &A = AddRamp("a", 50);
  TSpec32 &B = AddRamp("b", 60);
  auto P = Open({&A, &B});
  Host->ShowTool(T1);
  EXPECT_TRUE(Host->IsShown(TToolKind::Statistics));
  EXPECT_EQ(P[0]->Overlay().Count(), 1);
  Host->UpdateButtons();
  EXPECT_TRUE(Host->Command(TToolKind::Statistics)->isChecked());

  Host->ShowTool(T2);
  EXPECT_FALSE(T1->isVisible());
  EXPECT_EQ(T1->GetCount(), 0);
  EXPECT_EQ(T1->ActIndex(), -1);
  EXPECT_EQ(P[0]->Context().Slot(T1->ToolId()), nullptr);
  EXPECT_EQ(P[1]->Context().Slot(T1->ToolId()), nullptr);
  // Tool 2's own overlays are the only ones left.
  EXPECT_EQ(P[0]->Overlay().Count(), 1);
  EXPECT_EQ(P[1]->Overlay().Count(), 1);
  EXPECT_EQ(P[0]->Overlay().Object(0), P[0]->Context().SlotAs<TRecTool::TLocalData>(T2->ToolId())->Ovl);
  EXPECT_EQ(Host->ActiveTool(), T2);
  Host->UpdateButtons();
  EXPECT_FALSE(Host->Command(TToolKind::Statistics)->isChecked());
  EXPECT_TRUE(Host->Command(TToolKind::Crop)->isChecked());
  // Hiding the second clears everything and unhooks the windows.
  Host->HideActiveTool();
  EXPECT_EQ(Host->ActiveTool(), nullptr);
  EXPECT_EQ(P[0]->Overlay().Count(), 0);
  EXPECT_TRUE(P[0]->eOnSelect == nullptr);
  EXPECT_TRUE(P[1]->eOnNoSelection == nullptr);
  EXPECT_EQ(P[0]->Context().Slot(T2->ToolId()), nullptr);
}

TEST_F(ToolFrameworkTest, ClosingAWindowWhoseOverlaySharesToolDataThenRedrawingAnother) {
  TSpec32 &A = AddRamp("a", 500);
  TSpec32 &B = AddRamp("b", 500);
  auto P = Open({&A, &B});
  Host->ShowTool(T1);
  // The overlay of B shares B's curve with the tool's data.
  auto *DB = P[1]->Context().SlotAs<TRecTool::TLocalData>(T1->ToolId());
  ASSERT_NE(DB, nullptr);
  std::weak_ptr<TDblArr1D> CurveB = DB->Curve;
  P[1]->close();
  EXPECT_TRUE(CurveB.expired()) << "the data and the overlay died with the window";
  // Redrawing the other window (a resize, then its one-shot timer) draws only its own curve.
  P[0]->resize(P[0]->width() + 40, P[0]->height() + 20);
  P[0]->Timer1Timer();
  P[0]->FillBitmap();
  ASSERT_EQ(P[0]->Overlay().Count(), 1);
  auto *Ovl = static_cast<TOverlayProfile *>(P[0]->Overlay().Object(0));
  ASSERT_NE(Ovl->YVal(), nullptr);
  EXPECT_EQ(Ovl->YVal()->size(), 500u);
  // The curve (y = 1.5 across the ramp's range 1 ... 5.99) lies inside the plot: some pixels
  // differ from a picture without it.
  const QImage With = P[0]->Bmp();
  Ovl->SetEnabled(false);
  P[0]->FillBitmap();
  EXPECT_NE(With, P[0]->Bmp());
  // Closing the spectrum itself (its window goes first) leaves the tool consistent.
  Select({0});
  Fake->YesNoAnswers.push_back(true);
  Run(Main->ActionFileCloseSelected);
  EXPECT_EQ(T1->GetCount(), 0);
  EXPECT_EQ(T1->ActIndex(), -1);
}

TEST_F(ToolFrameworkTest, PanelsStackAtTheRightEdgeBelowTheLastOne) {
  const int Start = 120;
  Host->SetLastToolPos(Start);
  Host->ShowTool(T1);
  const QPoint Origin = Main->MdiArea->mapToGlobal(QPoint(0, 0));
  const int Right = Origin.x() + Main->MdiArea->width() - 1;
  EXPECT_EQ(T1->frameGeometry().right() + 1, Right) << "one pixel inside the client area's right edge";
  EXPECT_EQ(T1->pos().y(), Start);
  EXPECT_EQ(Host->LastToolPos(), Start + T1->frameGeometry().height());
  // Hiding gives the place back: the next panel opens where this one was.
  Host->ShowTool(T2);
  EXPECT_EQ(T2->pos().y(), Start);
}

TEST_F(ToolFrameworkTest, LettersShowToolsAndXHides) {
  TSpec32 &A = AddRamp("a", 50);
  TProfile32 *PA = Open({&A})[0];
  Activate(PA);
  // In the plot window: S shows the tool registered as statistics, C the one as crop.
  QTest::keyClick(PA->PlotSurface, Qt::Key_S);
  EXPECT_EQ(Host->ActiveTool(), T1);
  QTest::keyClick(PA->PlotSurface, Qt::Key_C, Qt::ShiftModifier);
  EXPECT_EQ(Host->ActiveTool(), T2);
  // A letter whose tool does not exist changes nothing.
  QTest::keyClick(PA->PlotSurface, Qt::Key_D);
  EXPECT_EQ(Host->ActiveTool(), T2);
  // In the tool window itself: S switches, X hides.
  QTest::keyClick(T2, Qt::Key_S);
  EXPECT_EQ(Host->ActiveTool(), T1);
  QTest::keyClick(T1, Qt::Key_X);
  EXPECT_EQ(Host->ActiveTool(), nullptr);
  EXPECT_FALSE(T1->isVisible());
  EXPECT_EQ(PA->Overlay().Count(), 0);
}

TEST_F(ToolFrameworkTest, ClosingThePanelHidesTheTool) {
  TSpec32 &A = AddRamp("a", 50);
  TProfile32 *PA = Open({&A})[0];
  Host->ShowTool(T1);
  ASSERT_EQ(PA->Overlay().Count(), 1);
  T1->close();
  EXPECT_EQ(Host->ActiveTool(), nullptr);
  EXPECT_EQ(PA->Overlay().Count(), 0);
  EXPECT_TRUE(PA->eOnSelect == nullptr);
  // And it can be shown again, starting afresh.
  Log.clear();
  Host->ShowTool(T1);
  EXPECT_EQ(DataHooks(), TLog{"Create a"});
}

TEST_F(ToolFrameworkTest, MenuAndToolBarFollowTheFixedOrder) {
  QMenu Menu;
  QToolBar Bar;
  // Added out of order: the menu still lists crop before statistics, and the tools without a
  // letter after a separator, in the menu only.
  auto *T3 = new TRecTool(*Host, "Three", Log, Main.get());
  Host->AddTool(TToolKind::GaussVoigt, T3);
  Host->FillMenu(&Menu);
  Host->FillToolBar(&Bar);
  QStringList Texts;
  for (QAction *A : Menu.actions())
    Texts << (A->isSeparator() ? "-" : A->text());
  EXPECT_EQ(Texts, (QStringList{"Crop (C)", "Statistics (S)", "-", "Gauss/Voigt Fit"}));
  EXPECT_EQ(Bar.actions().size(), 2);
  EXPECT_EQ(Host->Command(TToolKind::Statistics)->toolTip(), "One") << "the hint is the tool's caption";
}

// The smoothing spline panel through real plot windows of a real main window (offscreen),
// driven through its controls with the scripted UI services: the marks as the selection
// overlay's flags, the knots of the three methods seen in the interpolating spline, the guess
// and the slider, the two stored spectra against continua known in closed form, what is kept
// per window, and every message the panel shows.
#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "core/UFormat.h"
#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "ops/UOpListing.h"
#include "ToolPanelFixture.h"
#include "shell/ShellFixture.h"
#include "tools/UToolHost.h"
#include "tools/UToolPanels.h"
#include "tools/UToolSmoothSpline.h"

using TK = TFakeUiServices;

namespace {


class SplinePanelTest : public ToolPanelTest {
protected:
  void SetUp() override {
    ToolPanelTest::SetUp();
    Sp = dynamic_cast<TToolSmoothSpline *>(Host->Tool(TToolKind::SmoothSpline));
    ASSERT_NE(Sp, nullptr);
  }
  // The tool letter, as typed in a plot window.
  void ShowTool() { Host->ToolLetter('P'); }
  void Click(QPushButton *B) {
    Sp->ActionList1Update();
    ASSERT_TRUE(B->isEnabled()) << B->text().toStdString();
    B->click();
  }
  // The slider moved, and (Fire) the 10 ms timer ran out: run at once, no waiting.
  void Slide(int Pos, bool Fire = true) {
    Sp->TrackBar1->setValue(Pos);
    if (Fire && Sp->Timer1->isActive()) Sp->Timer1Timer();
  }
  // What the user types into "Max. Parameter", then leaves the field.
  void TypeGuess(const char *Text) {
    Sp->EdGuess->setText(Text);
    Sp->EdGuess->setModified(true);
    emit Sp->EdGuess->editingFinished();
  }
  template <class F> TSpec32 &Ramp(const std::string &Name, int N, F Fy, double X0 = 6000) {
    std::vector<double> X(N), Y(N);
    for (int i = 0; i < N; ++i) {
      X[i] = X0 + i;
      Y[i] = Fy(i);
    }
    return AddSpec(Name, X, Y);
  }
  TToolSmoothSpline::TLocalData *Data(TProfile32 &P) {
    return P.Context().SlotAs<TToolSmoothSpline::TLocalData>(Sp->ToolId());
  }
  std::vector<bool> Flags(TProfile32 &P) { return *Data(P)->Data.SelProf(); }
  const TDblArr1D &Spline(TProfile32 &P) { return *Data(P)->Data.SmoProf(); }
  static int Pixels(const QImage &Img, QRgb C) {
    int K = 0;
    for (int y = 0; y < Img.height(); ++y)
      for (int x = 0; x < Img.width(); ++x)
        K += Img.pixel(x, y) == C;
    return K;
  }
  static std::vector<bool> Marks(int N, std::initializer_list<std::pair<int, int>> Runs) {
    std::vector<bool> M(N, false);
    for (auto [A, B] : Runs)
      for (int i = A; i <= B; ++i)
        M[i] = true;
    return M;
  }
  // Marks the inclusive runs by selections in P ("add interval").
  void Mark(TProfile32 &P, std::initializer_list<std::pair<int, int>> Runs) {
    Sp->RgSelection->SetItemIndex(0);
    for (auto [A, B] : Runs)
      P.SelectRange(A, B + 1);
  }

  TToolSmoothSpline *Sp = nullptr;
};

} // namespace

TEST_F(SplinePanelTest, MarksAreTheSelectionOverlaysFlags) {
  TProfile32 &P = Open(Ramp("star.fits", 60, [](int i) { return 1.0 + 0.02 * i; }));
  ShowTool();
  ASSERT_TRUE(Host->IsShown(TToolKind::SmoothSpline));
  EXPECT_EQ(Sp->windowTitle().toStdString(), "Smoothing Spline");
  EXPECT_EQ(S(Sp->LaNArr), "Waiting for selection");
  // Three overlays in their order: the marks, the hidden white copy, the spline.
  ASSERT_EQ(P.Overlay().Count(), 3);
  auto *Sel = dynamic_cast<TOverlaySelection *>(P.Overlay().Object(0));
  auto *Hide = dynamic_cast<TOverlayProfile *>(P.Overlay().Object(1));
  auto *Smo = dynamic_cast<TOverlayProfile *>(P.Overlay().Object(2));
  ASSERT_TRUE(Sel && Hide && Smo);
  EXPECT_TRUE(Sel->Enabled());
  EXPECT_FALSE(Hide->Enabled());
  EXPECT_FALSE(Smo->Enabled());
  EXPECT_EQ(Sel->Pen().color(), QColor(0, 255, 0));
  EXPECT_EQ(Sel->PenClear().color(), QColor(255, 0, 0));
  EXPECT_EQ(Hide->Pen().color(), QColor(255, 255, 255));
  EXPECT_EQ(Smo->Pen().color(), QColor(0, 0, 0));
  // The overlays share the tool's arrays, not copies of them.
  EXPECT_EQ(Sel->YSel(), Data(P)->Data.SelProf().get());
  EXPECT_EQ(Smo->YVal(), Data(P)->Data.SmoProf().get());
  EXPECT_EQ(*Sel->YVal(), P.Spec32()->DataY);

  struct TStep {
    const char *What;
    std::function<void()> Do;
    std::vector<bool> Want;
    const char *Label; // empty: unchanged
  };
  const TStep Steps[] = {
      {"add 10..19", [&] { P.SelectRange(10, 20); }, Marks(60, {{10, 19}}),
       "10 points selected (index 10 .. index 19)"},
      {"add it again", [&] { P.SelectRange(10, 20); }, Marks(60, {{10, 19}}), ""},
      {"add 40", [&] { P.SelectRange(40, 41); }, Marks(60, {{10, 19}, {40, 40}}),
       "1 point selected (index 40)"},
      {"remove 12..14",
       [&] {
         Sp->RgSelection->SetItemIndex(1);
         P.SelectRange(12, 15);
       },
       Marks(60, {{10, 11}, {15, 19}, {40, 40}}), "3 points selected (index 12 .. index 14)"},
      {"remove what is unmarked", [&] { P.SelectRange(30, 35); }, Marks(60, {{10, 11}, {15, 19}, {40, 40}}),
       ""},
      {"select all", [&] { Click(Sp->BuSelectAll); }, std::vector<bool>(60, true), ""},
      {"clear all", [&] { Click(Sp->BuClearAll); }, std::vector<bool>(60, false), ""},
      {"drag 20..30 with the mouse",
       [&] {
         Sp->RgSelection->SetItemIndex(0);
         const int X0 = P.IndToScr(20), X1 = P.IndToScr(30);
         P.PlotMouseDown(QPoint(X0, 10), ssLeft);
         P.PlotMouseMove(QPoint(X1, 10), ssLeft);
         P.PlotMouseUp(QPoint(X1, 10), ssLeft);
       },
       {},
       ""},
  };
  for (const TStep &St : Steps) {
    SCOPED_TRACE(St.What);
    St.Do();
    if (!St.Want.empty()) {
      EXPECT_EQ(Flags(P), St.Want);
    }
    if (*St.Label) {
      EXPECT_EQ(S(Sp->LaNArr), St.Label);
    }
  }
  // The drag marked exactly what the window selected.
  const std::vector<bool> F = Flags(P);
  ASSERT_LT(P.SelInd0(), P.SelInd1());
  for (int i = 0; i < 60; ++i)
    EXPECT_EQ(F[i], i >= P.SelInd0() && i < P.SelInd1()) << i;
  // The marked stretch is drawn in lime, the rest in red; no spline yet.
  EXPECT_GT(Pixels(P.Bmp(), qRgb(0, 255, 0)), 0);
  EXPECT_GT(Pixels(P.Bmp(), qRgb(255, 0, 0)), 0);
  EXPECT_FALSE(Smo->Enabled());
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(SplinePanelTest, EachKnotMethodShowsInTheInterpolatingSpline) {
  // y = (i - 20)^2 / 40 + 1: not linear, so a bridged gap differs from the curve, and a run's
  // mean y differs from the y of its middle sample. The slider at 0 interpolates the knots.
  const int N = 40;
  auto Fy = [](int i) { return (i - 20.0) * (i - 20.0) / 40.0 + 1.0; };
  TSpec32 &Src = Ramp("q.dat", N, Fy);
  TProfile32 &P = Open(Src);
  ShowTool();
  Mark(P, {{0, 9}, {20, 29}});
  // Knots on the line from sample 9 to sample 20.
  auto Bridge = [&](int k) { return Fy(9) + (Fy(20) - Fy(9)) * (k - 9) / 11.0; };
  for (int M : {0, 1}) {
    SCOPED_TRACE(M + 1);
    Sp->RgMethod->SetItemIndex(M);
    Click(Sp->BuGuess);
    ASSERT_TRUE(Fake->Records.empty());
    EXPECT_EQ(Sp->Param(), 0.0);
    const TDblArr1D &Smo = Spline(P);
    for (int i : {0, 5, 9, 20, 25, 29})
      EXPECT_NEAR(Smo[i], Fy(i), 1e-9) << i;
    // Method 2 goes through the bridge, Method 1 has no knot there.
    for (int k : {12, 15, 18}) {
      if (M == 1) {
        EXPECT_NEAR(Smo[k], Bridge(k), 1e-9) << k;
      } else {
        EXPECT_GT(std::fabs(Smo[k] - Bridge(k)), 1e-3) << k;
      }
    }
  }
  // Method 3: five runs of three samples, one knot each at the middle sample's x and the
  // run's mean y = Fy(mid) + 2/3 * 1/40 (the mean of (d-1)^2, d^2, (d+1)^2 is d^2 + 2/3).
  Click(Sp->BuClearAll);
  Mark(P, {{1, 3}, {8, 10}, {15, 17}, {24, 26}, {33, 35}});
  Sp->RgMethod->SetItemIndex(2);
  Click(Sp->BuGuess);
  ASSERT_TRUE(Fake->Records.empty());
  for (int Mid : {2, 9, 16, 25, 34})
    EXPECT_NEAR(Spline(P)[Mid], Fy(Mid) + 2.0 / 3.0 / 40.0, 1e-9) << Mid;
  // Two runs (10..19 and 30..39, reaching the last sample) are two knots: too few.
  Click(Sp->BuClearAll);
  Mark(P, {{10, 19}, {30, 39}});
  const TDblArr1D Before = Spline(P);
  Click(Sp->BuGuess);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Select more points"});
  EXPECT_EQ(Spline(P), Before);
}

TEST_F(SplinePanelTest, GuessAndSliderComputeTheDrawnSpline) {
  // A level of 100 with a deterministic ripple of amplitude 0.5.
  const int N = 200;
  TSpec32 &Src = Ramp("noisy.dat", N, [](int i) { return 100.0 + 0.5 * std::sin(1.7 * i); });
  TProfile32 &P = Open(Src);
  ShowTool();
  EXPECT_EQ(Sp->RgMethod->ItemIndex(), 1);    // "Method 2"
  EXPECT_EQ(Sp->RgTolerance->ItemIndex(), 1); // "1%"
  Click(Sp->BuSelectAll);
  // Guess = (t * median)^2 * k with the upper middle value as median.
  std::vector<double> V = Src.DataY;
  std::nth_element(V.begin(), V.begin() + N / 2, V.end());
  const double Median = V[N / 2];
  const struct {
    int Tol;
    double T;
  } Rows[] = {{0, 0.001}, {2, 0.1}, {1, 0.01}};
  for (const auto &R : Rows) {
    Sp->RgTolerance->SetItemIndex(R.Tol);
    Click(Sp->BuGuess);
    const double Want = (R.T * Median) * (R.T * Median) * N;
    EXPECT_NEAR(Sp->Guess(), Want, 1e-12 * Want) << R.T;
    EXPECT_EQ(Sp->EdGuess->text().toStdString(), Format("%1.3g", Want));
  }
  const double G = Sp->Guess(); // 1% of 100, squared, times 200 = 200
  EXPECT_NEAR(G, 200.0, 1.0);
  // Slider moves coalesce into one computation once it rests.
  Slide(100, false);
  EXPECT_TRUE(Sp->Timer1->isActive());
  EXPECT_TRUE(Sp->Timer1->isSingleShot());
  EXPECT_EQ(Sp->Timer1->interval(), 10);
  // 10 is below the ripple's own sum of squares (about 25), so the spline bends.
  Slide(16);
  EXPECT_FALSE(Sp->Timer1->isActive());
  EXPECT_EQ(Sp->Param(), 16.0 / 320.0 * G);
  EXPECT_EQ(S(Sp->LaParam), Format("%1.3g", Sp->Param()));
  // The spline's sum of squared residuals is the parameter (within the iteration's 1%).
  double Sum = 0;
  for (int i = 0; i < N; ++i)
    Sum += (Src.DataY[i] - Spline(P)[i]) * (Src.DataY[i] - Spline(P)[i]);
  EXPECT_NEAR(Sum, Sp->Param(), 0.011 * Sp->Param());
  EXPECT_TRUE(Data(P)->OvlSmooth->Enabled());
  EXPECT_GT(Pixels(P.Bmp(), qRgb(0, 0, 0)), 0);
  // The same position again does nothing.
  Slide(16, false);
  EXPECT_FALSE(Sp->Timer1->isActive());

  // A huge maximum with the slider at the end: the least-squares straight line.
  TypeGuess("1e12");
  EXPECT_EQ(Sp->Guess(), 1e12);
  Slide(320);
  // The normal equations about the mean x.
  const double Xm = Src.DataX[0] + (N - 1) / 2.0;
  double Sy = 0, Sxx = 0, Sxy = 0;
  for (int i = 0; i < N; ++i) {
    const double X = Src.DataX[i] - Xm, Y = Src.DataY[i];
    Sy += Y, Sxx += X * X, Sxy += X * Y;
  }
  const double B = Sxy / Sxx, A = Sy / N;
  for (int i : {0, 50, 199})
    EXPECT_NEAR(Spline(P)[i], A + B * (Src.DataX[i] - Xm), 1e-8) << i;
  EXPECT_TRUE(Fake->Records.empty());

  // A typed maximum updates the parameter only; the spline waits for the slider.
  const TDblArr1D Line = Spline(P);
  TypeGuess("64");
  EXPECT_EQ(Sp->Param(), 64.0);
  EXPECT_EQ(S(Sp->LaParam), "64");
  EXPECT_EQ(Spline(P), Line);
  // "smoothed profile" unchecked hides the spline; the marks go white when their box is.
  Sp->CbSmooth->setChecked(false);
  EXPECT_FALSE(Data(P)->OvlSmooth->Enabled());
  Sp->CbSelected->setChecked(false);
  EXPECT_EQ(Data(P)->OvlSelect->Pen().color(), QColor(255, 255, 255));
  EXPECT_EQ(Data(P)->OvlSelect->PenClear().color(), QColor(255, 0, 0));
  Sp->CbUnselected->setChecked(false);
  EXPECT_EQ(Data(P)->OvlSelect->PenClear().color(), QColor(255, 255, 255));
  Sp->CbSmooth->setChecked(true);
  Sp->CbSelected->setChecked(true);
  EXPECT_TRUE(Data(P)->OvlSmooth->Enabled());
  // The swatches: a chosen colour becomes the pen, a cancelled chooser changes nothing.
  Sp->CbUnselected->setChecked(true);
  Fake->ColourAnswers = {0x0000FFu, std::nullopt};
  Sp->ShSelected->click();
  EXPECT_EQ(Data(P)->OvlSelect->Pen().color(), QColor(0, 0, 255));
  Sp->ShUnselected->click();
  EXPECT_EQ(Data(P)->OvlSelect->PenClear().color(), QColor(255, 0, 0));
  EXPECT_EQ(Fake->Texts(TK::kColour).size(), 2u);
}

TEST_F(SplinePanelTest, StoreSplineAndSpectrumOverSpline) {
  // A linear continuum 2 + 0.01 i with an absorption line on 20 ... 29. Method 2 bridges the
  // line on the continuum itself, and the natural spline through collinear knots is that line:
  // so "-smooth" is the continuum and "-cont" is 1 outside the line, 1 - depth inside.
  const int N = 50;
  auto Cont = [](int i) { return 2.0 + 0.01 * i; };
  auto Depth = [](int i) { return i >= 20 && i < 30 ? 0.3 + 0.02 * (i - 20) : 0.0; };
  TSpec32 &Src = Ramp("star.fits", N, [&](int i) { return Cont(i) * (1 - Depth(i)); });
  TProfile32 &P = Open(Src);
  ShowTool();
  // Before any spline: nothing to divide by, and no new spectrum.
  const int Before = List().Count();
  Click(Sp->BuStoreCont);
  EXPECT_EQ(Fake->Texts(TK::kError),
            std::vector<std::string>{"Division by zero, spectrum can not be normalized"});
  EXPECT_EQ(List().Count(), Before);
  Fake->Clear();

  Mark(P, {{0, 19}, {30, 49}});
  Click(Sp->BuGuess);
  Slide(40);
  ASSERT_TRUE(Fake->Records.empty());
  Click(Sp->BuStoreSpline);
  TSpec32 *Smooth = Listed("star-smooth");
  ASSERT_NE(Smooth, nullptr);
  ASSERT_EQ(Smooth->Size(), N);
  EXPECT_EQ(Smooth->DataX, Src.DataX);
  for (int i = 0; i < N; ++i)
    EXPECT_NEAR(Smooth->DataY[i], Cont(i), 1e-9) << i;
  EXPECT_TRUE(Smooth->Equidistant());
  // Stored, not shown: no window opens and the tool stays on the source's window.
  EXPECT_EQ(Smooth->Profile32(), nullptr);
  EXPECT_EQ(Sp->Profile32(), &P);

  Click(Sp->BuStoreCont);
  TSpec32 *C = Listed("star-cont");
  ASSERT_NE(C, nullptr);
  EXPECT_EQ(C->Profile32(), nullptr);
  ASSERT_EQ(C->Size(), N);
  EXPECT_EQ(C->DataX, Src.DataX);
  for (int i = 0; i < N; ++i)
    EXPECT_NEAR(C->DataY[i], 1 - Depth(i), 1e-9) << i;
  EXPECT_EQ(C->FitsBess().BSS_NORM().rfind("Orvalumetrix ", 0), 0u) << C->FitsBess().BSS_NORM();
  EXPECT_GT(C->FitsBess().BSS_NORM().size(), std::string("Orvalumetrix ").size());
  // The source keeps its header as it was.
  EXPECT_EQ(Src.FitsBess().BSS_NORM().find("Orvalumetrix"), std::string::npos);
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(SplinePanelTest, EveryWindowKeepsItsOwnWorkUntilTheToolIsHidden) {
  TSpec32 &SA = Ramp("a.dat", 60, [](int i) { return 10.0 + std::cos(0.3 * i); });
  TSpec32 &SB = Ramp("b.dat", 80, [](int i) { return 5.0 + 0.1 * i; });
  TProfile32 &A = Open(SA);
  TProfile32 &B = Open(SB);
  ShowTool();
  Activate(A);
  Mark(A, {{0, 29}});
  Click(Sp->BuGuess);
  const double GA = Sp->Guess();
  Slide(100);
  const TDblArr1D SplineA = Spline(A);
  const std::string EdA = Sp->EdGuess->text().toStdString();

  // B starts afresh; A's marks and spline stay as they were.
  Activate(B);
  EXPECT_EQ(Sp->Guess(), 0.0);
  EXPECT_EQ(Sp->EdGuess->text().toStdString(), "0");
  EXPECT_EQ(Sp->TrackBar1->value(), 0);
  EXPECT_EQ(Sp->Param(), 0.0);
  EXPECT_EQ(Flags(B), std::vector<bool>(80, false));
  Mark(B, {{40, 78}});
  EXPECT_EQ(Flags(A), Marks(60, {{0, 29}}));
  EXPECT_TRUE(Data(A)->OvlSmooth->Enabled());
  EXPECT_FALSE(Data(B)->OvlSmooth->Enabled());
  // With no maximum in B the slider asks for one, once per new position.
  Slide(50, false);
  Slide(50, false);
  EXPECT_FALSE(Sp->Timer1->isActive());
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"Choose a \"Max. Parameter\" Value"});
  Fake->Clear();

  // Back in A: its maximum, slider and parameter, with no recomputation.
  Activate(A);
  EXPECT_EQ(Sp->Guess(), GA);
  EXPECT_EQ(Sp->EdGuess->text().toStdString(), EdA);
  EXPECT_EQ(Sp->TrackBar1->value(), 100);
  EXPECT_EQ(Sp->TbPos(), 100);
  EXPECT_EQ(Sp->Param(), 100.0 / 320.0 * GA);
  EXPECT_EQ(Spline(A), SplineA);
  EXPECT_EQ(Flags(B), Marks(80, {{40, 78}}));
  // A slider move still pending when the window changes is computed for its own window.
  Slide(300, false);
  ASSERT_TRUE(Sp->Timer1->isActive());
  Activate(B);
  EXPECT_FALSE(Sp->Timer1->isActive());
  EXPECT_NE(Spline(A), SplineA);
  EXPECT_EQ(Data(A)->Data.TbPos, 300);
  EXPECT_EQ(Spline(B), TDblArr1D(80, 0.0));
  EXPECT_TRUE(Fake->Records.empty());

  // Hiding the tool (X) frees everything in every window.
  std::weak_ptr<const std::vector<bool>> FlagsA = Data(A)->Data.SelProf();
  Host->ToolLetter('X');
  EXPECT_FALSE(Host->IsShown(TToolKind::SmoothSpline));
  for (TProfile32 *W : {&A, &B}) {
    EXPECT_EQ(W->Overlay().Count(), 0);
    EXPECT_EQ(W->Context().Slot(Sp->ToolId()), nullptr);
  }
  EXPECT_TRUE(FlagsA.expired());
  // Shown again: nothing of the earlier work.
  ShowTool();
  EXPECT_EQ(Flags(A), std::vector<bool>(60, false));
  EXPECT_EQ(Sp->Guess(), 0.0);
}

TEST_F(SplinePanelTest, EveryMessageOfThePanel) {
  TSpec32 &Src = Ramp("m.dat", 40, [](int i) { return 3.0 + 0.05 * i; });
  TProfile32 &P = Open(Src);
  ShowTool();
  struct TRow {
    const char *What;
    std::function<void()> Do;
    TK::TKind Kind;
    const char *Text;
  };
  const TRow Rows[] = {
      {"no marks", [&] { TypeGuess("5"), Slide(10); }, TK::kError, "Select points"},
      {"three knots",
       [&] {
         Sp->RgMethod->SetItemIndex(0);
         Mark(P, {{5, 7}});
         Slide(20);
       },
       TK::kError, "Select more points"},
      {"four marks to guess from",
       [&] {
         Mark(P, {{5, 8}}), Click(Sp->BuGuess);
       },
       TK::kInfo, "select more points"},
      {"slider without maximum", [&] { TypeGuess("0"), Slide(30); }, TK::kError,
       "Choose a \"Max. Parameter\" Value"},
      {"typed maximum no number", [&] { TypeGuess("1,5"); }, TK::kError,
       "'1,5' is not a valid floating point value"},
      {"nothing to divide by", [&] { Click(Sp->BuStoreCont); }, TK::kError,
       "Division by zero, spectrum can not be normalized"},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.What);
    Fake->Clear();
    const int Before = List().Count();
    R.Do();
    ASSERT_EQ(Fake->Records.size(), 1u);
    EXPECT_EQ(Fake->Records[0].Kind, R.Kind);
    EXPECT_EQ(Fake->Records[0].Text, R.Text);
    EXPECT_EQ(List().Count(), Before);
    EXPECT_FALSE(Data(P)->Data.HasSpline());
  }
}

TEST_F(SplinePanelTest, CommandsNeedAWindow) {
  ShowTool();
  Sp->ActionList1Update();
  for (QPushButton *B : {Sp->BuSelectAll, Sp->BuClearAll, Sp->BuGuess, Sp->BuStoreSpline, Sp->BuStoreCont})
    EXPECT_FALSE(B->isEnabled()) << B->text().toStdString();
  // A slider move without a window computes nothing and says nothing once a maximum is known.
  TypeGuess("3");
  Slide(5);
  EXPECT_TRUE(Fake->Records.empty());
  TProfile32 &P = Open(Ramp("w.dat", 20, [](int i) { return 1.0 + i; }));
  Sp->ActionList1Update();
  EXPECT_TRUE(Sp->BuGuess->isEnabled());
  // Closing the current window leaves the tool without one.
  P.close();
  EXPECT_EQ(Sp->ActIndex(), -1);
  Sp->ActionList1Update();
  EXPECT_FALSE(Sp->BuStoreCont->isEnabled());
}

TEST_F(SplinePanelTest, ExampleStarBecomesFlatOutsideTheLines) {
  // The example A star: a sloping continuum 1 - 0.0008 (x - 6562.8), H-alpha at 6562.8 with
  // wings of some 30 A, noise 1/300. Three continuum stretches are dragged with the mouse.
  List().AddFiles({std::string(ORVA_SOURCE_DIR) + "/data/examples/star-halpha.fits"}, 1, 2, 0);
  ASSERT_EQ(List().Count(), 1);
  TSpec32 &Star = List().Spec(0);
  TProfile32 &P = Open(Star);
  ShowTool();
  P.HZoomFit();
  // x = 6500 + 0.1 i: 6501 ... 6514, 6520 ... 6530 and 6606 ... 6619.
  const std::pair<int, int> Stretches[] = {{10, 140}, {200, 300}, {1060, 1190}};
  for (auto [I0, I1] : Stretches) {
    const int X0 = P.IndToScr(I0), X1 = P.IndToScr(I1);
    P.PlotMouseDown(QPoint(X0, 20), ssLeft);
    P.PlotMouseMove(QPoint(X1, 20), ssLeft);
    P.PlotMouseUp(QPoint(X1, 20), ssLeft);
  }
  int Marked = 0;
  for (bool B : Flags(P))
    Marked += B;
  EXPECT_GT(Marked, 300);
  Click(Sp->BuGuess);
  Slide(200);
  ASSERT_TRUE(Fake->Records.empty()) << Fake->Records[0].Text;
  Click(Sp->BuStoreCont);
  TSpec32 *C = Listed("star-halpha-cont");
  ASSERT_NE(C, nullptr);
  // Flat around 1 where the star has no line: each stretch's mean within about one noise sigma
  // of 1, and the slope gone (the source's ends differ by 0.0008 * 105 A = 0.084).
  std::vector<double> Means;
  for (auto [I0, I1] : Stretches) {
    double Mean = 0;
    for (int i = I0; i <= I1; ++i)
      Mean += C->DataY[i] / (I1 - I0 + 1);
    EXPECT_NEAR(Mean, 1.0, 0.005) << I0;
    Means.push_back(Mean);
  }
  EXPECT_LT(std::fabs(Means.front() - Means.back()), 0.005);
  // The line itself stays: H-alpha's core is far below 1.
  EXPECT_LT(C->DataY[628], 0.6);
}

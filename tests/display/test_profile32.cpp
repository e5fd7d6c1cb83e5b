// The plot window on the offscreen platform: set-up, the rendered images checked pixel by
// pixel, the zoom and scroll commands, selection by call and by mouse, keys, overlays, the
// Set Y-Min/Y-Max dialog, activation and closing through the window host.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "display/UOverlay.h"
#include "display/UPlotGeometry.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "display/USetMinMax.h"
#include "gui/UFakeUiServices.h"

namespace {

const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 160, 0);

QPen Pen(QRgb C) {
  QPen P{QColor(C)};
  P.setWidth(1);
  P.setCosmetic(true);
  return P;
}

int CountColour(const QImage &Img, QRgb C, QRect R = QRect()) {
  if (R.isNull()) R = Img.rect();
  R = R.intersected(Img.rect());
  int N = 0;
  for (int y = R.top(); y <= R.bottom(); ++y)
    for (int x = R.left(); x <= R.right(); ++x)
      if (Img.pixel(x, y) == C) ++N;
  return N;
}

class ProfileTest : public ::testing::Test {
protected:
  void SetUp() override {
    Frame = std::make_unique<QMainWindow>();
    Area = new QMdiArea;
    Frame->setCentralWidget(Area);
    Frame->resize(1200, 800);
    Frame->show();
    SaveFits = new QAction("Save as FITS...", Frame.get());
    SaveDat = new QAction("Save as DAT...", Frame.get());
    FitsEditor = new QAction("FITS Editor...", Frame.get());
    TProfileHooks H;
    H.IgnoreActivation = [this] { return Ignore; };
    H.ActiveProfile = [this] { return Active; };
    H.SetActiveProfile = [this](TProfile32 *P) { Active = P; };
    H.ConnectTool = [this](TProfile32 &P) { Connected.push_back(&P); };
    H.DisconnectTool = [this](TProfile32 &P) { Disconnected.push_back(&P); };
    H.SelectInList = [this](const TSpec32 &S) { Selected.push_back(&S); };
    H.ToolLetter = [this](char C) { Letters += C; };
    H.SavePos = [this] { ++SavePosCalls; };
    H.SaveWL = [this] { ++SaveWLCalls; };
    H.SaveFits = SaveFits;
    H.SaveDat = SaveDat;
    H.FitsEditor = FitsEditor;
    Host = std::make_unique<TProfileWindows>(Area, H);
  }
  void TearDown() override {
    for (auto &S : Specs)
      Host->CloseProfile(*S);
    Host.reset();
    Frame.reset();
    Specs.clear();
    EXPECT_TRUE(Fake->Unexpected.empty()) << Fake->Unexpected.front();
  }

  // N samples, x = X0 + i*Dx (or the given axis), y = F(i).
  TSpec32 &MakeSpec(int N, const std::function<double(int)> &F, const std::string &Name = "star.fits",
                    double X0 = 6500, double Dx = 0.5) {
    auto S = std::make_unique<TSpec32>();
    S->SetFileName(Name);
    S->SetSize(N);
    for (int i = 0; i < N; ++i) {
      S->DataX[i] = X0 + i * Dx;
      S->DataY[i] = F(i);
    }
    S->FinishFromArrays();
    Specs.push_back(std::move(S));
    return *Specs.back();
  }
  TProfile32 &Show(TSpec32 &S, int W = 792, int H = 500) {
    Host->ShowProfile(S, W, H);
    TProfile32 *P = Host->Profile(S);
    EXPECT_NE(P, nullptr);
    return *P;
  }
  // Plot-image coordinates to the surface's own.
  static QPoint OnSurface(TProfile32 &P, QPoint Plot) {
    return {Plot.x() + P.BorderL() - P.ScrollPos(), Plot.y() + P.BorderT()};
  }
  static void Move(TProfile32 &P, QPoint Plot, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods = {}) {
    const QPoint W = OnSurface(P, Plot);
    QMouseEvent E(QEvent::MouseMove, W, P.PlotSurface->mapToGlobal(W), Qt::NoButton, Buttons, Mods);
    QApplication::sendEvent(P.PlotSurface, &E);
  }

  TScopedFakeUi Fake;
  std::unique_ptr<QMainWindow> Frame;
  QMdiArea *Area = nullptr;
  QAction *SaveFits = nullptr;
  QAction *SaveDat = nullptr;
  QAction *FitsEditor = nullptr;
  std::unique_ptr<TProfileWindows> Host;
  std::vector<std::unique_ptr<TSpec32>> Specs;
  bool Ignore = false;
  TProfile32 *Active = nullptr;
  std::vector<TProfile32 *> Connected, Disconnected;
  std::vector<const TSpec32 *> Selected;
  std::string Letters;
  int SavePosCalls = 0, SaveWLCalls = 0;
};

TEST_F(ProfileTest, DefineSetsCaptionRangeZoomAndStatus) {
  TSpec32 &S = MakeSpec(1000, [](int i) { return 0.05 + i / 999.0; });
  TProfile32 &P = Show(S);
  EXPECT_EQ(P.windowTitle().toStdString(), "star.fits");
  EXPECT_EQ(P.widget()->size(), QSize(792, 500));
  EXPECT_EQ(S.Profile32(), &P);
  EXPECT_EQ(P.Spec32(), &S);
  EXPECT_TRUE(P.FormDefined());
  EXPECT_TRUE(P.BmpOK());
  EXPECT_NEAR(P.PlotMin(), 0, 1e-12);
  EXPECT_DOUBLE_EQ(P.PlotMax(), 1.1);
  // 1000 samples in a surface of over 500 usable pixels: zoom 1, 1000 pixels, scrollable.
  ASSERT_GT(P.ZoomWidth(), 500);
  EXPECT_DOUBLE_EQ(P.HZoom(), 1.0);
  EXPECT_EQ(P.EdHZoom->text(), "1");
  EXPECT_EQ(P.PlotW(), 1000);
  EXPECT_EQ(P.ScrollRange(), 1010);
  EXPECT_EQ(P.ScrollBar->maximum(), 1010 - P.VisibleWidth());
  EXPECT_EQ(P.PlotH(), P.GraphHeight() - 4 - 2 - 20);
  EXPECT_EQ(P.Bmp().size(), QSize(1000, P.PlotH() + 20));
  EXPECT_EQ(P.BmpY().size(), QSize(57, P.PlotH() + 1));
  EXPECT_EQ(P.StatusPanel[0]->text(), "Index: 0 .. 999");
  EXPECT_EQ(P.StatusPanel[1]->text(), "x-values: 6500 .. 6999.5");
  EXPECT_EQ(P.StatusPanel[2]->text(), "y-values: 0.05 .. 1.05");
  EXPECT_EQ(P.StatusPanel[3]->text(), "");
  // The active tool (here: the hook) is connected at set-up.
  ASSERT_FALSE(Connected.empty());
  EXPECT_EQ(Connected.front(), &P);
}

TEST_F(ProfileTest, LongSpectrumOpensAtFitZoom) {
  TSpec32 &S = MakeSpec(3000, [](int i) { return std::sin(i * 0.01); });
  TProfile32 &P = Show(S);
  EXPECT_DOUBLE_EQ(P.HZoom(), static_cast<double>(P.ZoomWidth()) / 3000);
  EXPECT_LT(P.HZoom(), 0.5);
  EXPECT_EQ(P.PlotW(), P.IndToScr(3000));
}

TEST_F(ProfileTest, PlotAreaFrameCurveAndLines) {
  // y from -1 to 1 over 600 samples: zero line inside, curve rising.
  TSpec32 &S = MakeSpec(600, [](int i) { return -1 + 2.0 * i / 599; });
  TProfile32 &P = Show(S);
  const QImage &B = P.Bmp();
  const int W = P.PlotW(), H = P.PlotH();
  // Frame: bottom, right and top edges black, the left edge is the y scale's border.
  for (int x = 0; x < W; x += 37) {
    EXPECT_EQ(B.pixel(x, H), kBlack) << x;
    EXPECT_EQ(B.pixel(x, 0), kBlack) << x;
  }
  EXPECT_EQ(B.pixel(W - 1, H / 3), kBlack);
  EXPECT_EQ(B.pixel(0, 1), kBlack);
  EXPECT_NE(B.pixel(0, H / 4), kBlack);
  // The curve passes through each sample's pixel.
  for (int i = 0; i < 600; i += 29)
    EXPECT_EQ(B.pixel(P.IndToScr(i), P.VToScreen(S.DataY[i])), kBlue) << i;
  // Zero line: dashed, in its own colour, on row round(-slope * max).
  const int Y0 = P.VToScreen(0);
  EXPECT_GT(CountColour(B, qRgb(192, 220, 192), QRect(0, Y0, W, 1)), W / 4);
  EXPECT_EQ(CountColour(B, qRgb(192, 220, 192), QRect(0, Y0 + 3, W, 1)), 0);
  // The y scale: its right border and a tick label area.
  const QImage &BY = P.BmpY();
  EXPECT_EQ(BY.pixel(56, BY.height() / 2), kBlack);
  EXPECT_GT(CountColour(BY, kBlack, QRect(0, 0, 45, BY.height())), 20);

  // The horizontal line shows only while the box is checked and the value is in range.
  const QRgb Grey = qRgb(160, 160, 164);
  P.EdHorLine->setText("0.5");
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), Grey), 0);
  P.CbHorLine->setChecked(true);
  P.FillBitmap();
  EXPECT_GT(CountColour(P.Bmp(), Grey, QRect(0, P.VToScreen(0.5), W, 1)), W / 4);
  P.EdHorLine->setText("5");
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), Grey), 0);
  P.EdHorLine->setText("abc");
  try {
    P.FillBitmap();
    ADD_FAILURE() << "no error";
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "'abc' is not a valid floating point value");
  }
  // Through the check box's click the error becomes an error box.
  P.CbHorLine->setChecked(false);
  QTest::mouseClick(P.CbHorLine, Qt::LeftButton);
  ASSERT_EQ(Fake->Texts(TFakeUiServices::kError).size(), 1u);
  EXPECT_EQ(Fake->Texts(TFakeUiServices::kError)[0], "'abc' is not a valid floating point value");
}

TEST_F(ProfileTest, XScaleLabelsBlackWhenEquidistantRedOtherwise) {
  TSpec32 &E = MakeSpec(800, [](int i) { return i % 7; });
  TProfile32 &PE = Show(E);
  const QRect Band(0, PE.PlotH() + 1, PE.PlotW(), 19);
  EXPECT_GT(CountColour(PE.Bmp(), kBlack, Band), 30);
  EXPECT_EQ(CountColour(PE.Bmp(), kRed, Band), 0);
  // Tick marks: the 5-pixel marks above the band at the ticks' positions.
  // x 6500 ... 6899.5, step 50: the tick of 6550 lies at sample 100.
  EXPECT_EQ(PE.Bmp().pixel(100, PE.PlotH() - 3), kBlack);

  TSpec32 &U = MakeSpec(
      800, [](int i) { return i % 7; }, "uneven.dat");
  for (int i = 0; i < 800; ++i)
    U.DataX[i] = 4000 + 0.001 * i * i;
  U.FinishFromArrays();
  ASSERT_FALSE(U.Equidistant());
  TProfile32 &PU = Show(U);
  EXPECT_GT(CountColour(PU.Bmp(), kRed, Band), 30);
  // 4000 + 0.001 i^2 = 4100 at i = 316.23: the tick lies at that fractional sample.
  EXPECT_EQ(PU.Bmp().pixel(316, PU.PlotH() - 3), kBlack);
}

TEST_F(ProfileTest, BoxesOnlyAtWholeZoomsFromTwo) {
  TSpec32 &S = MakeSpec(200, [](int i) { return (i % 2) ? 1.0 : 0.0; });
  TProfile32 &P = Show(S);
  auto Render = [&](double Z, bool Boxes) {
    (Boxes ? P.RbBoxes : P.RbLines)->setChecked(true);
    P.SetHZoom(Z);
    P.FillBitmap();
    return P.Bmp().copy();
  };
  for (double Z : {1.0, 2.5})
    EXPECT_EQ(Render(Z, true), Render(Z, false)) << Z;
  for (double Z : {2.0, 4.0}) {
    const QImage Boxes = Render(Z, true), Lines = Render(Z, false);
    EXPECT_NE(Boxes, Lines) << Z;
    // Sample 1 (y = 1) is a flat step from x = Z to 2Z on its row.
    const int Y = P.VToScreen(1);
    for (int x = static_cast<int>(Z); x <= static_cast<int>(2 * Z); ++x)
      EXPECT_EQ(Boxes.pixel(x, Y), kBlue) << x;
  }
}

TEST_F(ProfileTest, DecimatedCurveEqualsPlainPolyline) {
  std::mt19937 Rng(7);
  std::normal_distribution<double> Noise(0, 1);
  for (int N : {5000, 20011, 60000}) {
    double Walk = 0;
    TSpec32 &S = MakeSpec(
        N, [&](int) { return (Walk += Noise(Rng)) + 4 * Noise(Rng); }, "r" + std::to_string(N));
    TProfile32 &P = Show(S);
    // A range that cuts the extremes off, so the clamped rows are compared as well.
    P.SetPlotRange(S.MinVal() * 0.6, S.MaxVal() * 0.6);
    std::vector<bool> Flags(N);
    for (int i = 0; i < N; ++i)
      Flags[i] = (i / 97) % 3 == 0;
    TDblArr1D Model(N);
    for (int i = 0; i < N; ++i)
      Model[i] = S.DataY[i] * 0.5;
    TOverlaySelection *O = P.Overlay().AddSelection();
    O->SetNVal(N);
    O->SetYVal(Model);
    O->SetYSel(Flags);
    O->SetPen(Pen(kGreen));
    for (double Z : {P.HZoom(), 0.5, 0.9, 1.0 / 16}) {
      P.SetHZoom(Z);
      P.SetDecimation(false);
      P.FillBitmap();
      const QImage Plain = P.Bmp().copy();
      P.SetDecimation(true);
      P.FillBitmap();
      EXPECT_EQ(P.Bmp(), Plain) << "N " << N << " zoom " << Z;
      EXPECT_GT(CountColour(Plain, kBlue), 0);
      EXPECT_GT(CountColour(Plain, kGreen), 0);
      EXPECT_GT(CountColour(Plain, kRed), 0);
    }
    // Data changed in place and announced with UpdateSpec: the kept block extremes are rebuilt.
    // Columns of 256 samples, so that whole blocks of the changed stretch are taken from the
    // kept extremes; the stretch swings over the whole visible range.
    P.SetHZoom(1.0 / 256);
    P.FillBitmap();
    const double Lo = P.PlotMin() + 0.1 * (P.PlotMax() - P.PlotMin());
    const double Hi = P.PlotMax() - 0.1 * (P.PlotMax() - P.PlotMin());
    for (int i = N / 3; i < N / 3 + 1000; ++i)
      S.DataY[i] = i % 2 ? Hi : Lo;
    S.UpdateSpec();
    P.SetDecimation(false);
    P.FillBitmap();
    const QImage Plain = P.Bmp().copy();
    P.SetDecimation(true);
    P.FillBitmap();
    EXPECT_EQ(P.Bmp(), Plain) << "N " << N << " after a change of the data";
  }
}

TEST_F(ProfileTest, HorizontalZoomCommands) {
  TSpec32 &S = MakeSpec(1000, [](int i) { return i; });
  TProfile32 &P = Show(S);
  for (double E : {2.0, 4.0, 4.0}) {
    P.ActionHZoomIn->trigger();
    EXPECT_DOUBLE_EQ(P.HZoom(), E);
  }
  EXPECT_EQ(P.PlotW(), 4000);
  EXPECT_EQ(P.EdHZoom->text(), "4");
  for (double E : {2.0, 1.0, 0.5, 0.25, 0.125, 0.0625, 0.0625}) {
    P.ActionHZoomOut->trigger();
    EXPECT_DOUBLE_EQ(P.HZoom(), E);
  }
  EXPECT_EQ(P.EdHZoom->text(), "0.0625");
  P.ActionHZoomFit->trigger();
  EXPECT_DOUBLE_EQ(P.HZoom(), P.ZoomWidth() / 1000.0);
  // Typed: a number is taken (clamped), anything else puts the edit back.
  P.EdHZoom->setText("10");
  QTest::keyClick(P.EdHZoom, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(P.HZoom(), 10);
  EXPECT_EQ(P.PlotW(), 10000);
  P.ActionHZoomIn->trigger();
  EXPECT_DOUBLE_EQ(P.HZoom(), 4);
  P.EdHZoom->setText("abc");
  P.EdHZoomEnter();
  EXPECT_DOUBLE_EQ(P.HZoom(), 4);
  EXPECT_EQ(P.EdHZoom->text(), "4");
  P.EdHZoom->setText("1e9");
  P.EdHZoomEnter();
  EXPECT_DOUBLE_EQ(P.HZoom(), 100);
}

TEST_F(ProfileTest, ZoomKeepsTheCentreSampleAndScrollCommands) {
  TSpec32 &S = MakeSpec(2000, [](int i) { return i % 10; });
  TProfile32 &P = Show(S);
  P.SetHZoom(1);
  P.FillBitmap();
  P.SetScrollPos(600);
  const int Half = P.VisibleWidth() / 2;
  const int Ic = P.ScrToInd(Half + 600);
  P.ActionHZoomIn->trigger();
  EXPECT_EQ(P.ScrollPos(), 2 * Ic - Half);
  P.ActionHZoomOut->trigger();
  P.ActionHZoomOut->trigger();
  // At 0.5 the centre sample sits at pixel Ic/2 ... clamped by the scroll range.
  EXPECT_EQ(P.ScrollPos(), std::min(P.ScrollBar->maximum(), std::max(0, P.IndToScr(Ic) - Half)));
  P.SetHZoom(1);
  P.FillBitmap();
  P.ActionMoveEnd->trigger();
  EXPECT_EQ(P.ScrollPos(), P.ScrollBar->maximum());
  EXPECT_EQ(P.ScrollPos(), 2010 - P.VisibleWidth());
  P.ActionMoveHome->trigger();
  EXPECT_EQ(P.ScrollPos(), 0);
  P.ActionMoveCenter->trigger();
  EXPECT_EQ(P.ScrollPos(), (2010 - P.VisibleWidth()) / 2);
}

TEST_F(ProfileTest, VerticalCommands) {
  TSpec32 &S = MakeSpec(500, [](int i) { return 1 + i / 499.0; });
  TProfile32 &P = Show(S);
  // 1 ... 2: shown 0.95 ... 2.05.
  EXPECT_DOUBLE_EQ(P.PlotMin(), 0.95);
  EXPECT_DOUBLE_EQ(P.PlotMax(), 2.05);
  P.ActionVZoomIn->trigger();
  EXPECT_NEAR(P.PlotMax() - P.PlotMin(), 1.1 / 1.5, 1e-12);
  EXPECT_NEAR(P.PlotMax() + P.PlotMin(), 3.0, 1e-12);
  P.ActionVZoomFit->trigger();
  P.ActionVZoomOut->trigger();
  EXPECT_NEAR(P.PlotMax() - P.PlotMin(), 1.65, 1e-12);
  EXPECT_NEAR(P.PlotMax() + P.PlotMin(), 3.0, 1e-12);
  P.ActionVZoomFit->trigger();
  P.ActionMoveUp->trigger();
  EXPECT_NEAR(P.PlotMin(), 0.84, 1e-12);
  EXPECT_NEAR(P.PlotMax(), 1.94, 1e-12);
  P.ActionMoveDown->trigger();
  P.ActionMoveDown->trigger();
  EXPECT_NEAR(P.PlotMin(), 1.06, 1e-12);
  EXPECT_NEAR(P.PlotMax(), 2.16, 1e-12);
  // The picture follows: the curve's first sample moves with the range.
  EXPECT_EQ(P.Bmp().pixel(100, P.VToScreen(S.DataY[100])), kBlue);
}

TEST_F(ProfileTest, SetMinMaxDialog) {
  TSpec32 &S = MakeSpec(500, [](int i) { return i; });
  TProfile32 &P = Show(S);
  const double Min0 = P.PlotMin(), Max0 = P.PlotMax();
  TSetMinMax &D = Host->SetMinMaxDialog();
  // Reversed range: the red message, the dialog stays; then a good range.
  Fake->ModalScripts.push_back([&](QDialog &) {
    EXPECT_EQ(D.EdYMin->text().toStdString(), "-24.95");
    EXPECT_EQ(D.EdYMax->text().toStdString(), "523.95");
    EXPECT_TRUE(D.LaError->text().isEmpty());
    D.EdYMin->setText("5");
    D.EdYMax->setText("5");
    D.BuOKClick();
    EXPECT_EQ(D.LaError->text(), "ymax must be bigger than ymin");
    EXPECT_EQ(D.result(), QDialog::Rejected);
    D.EdYMin->setText("-10");
    D.EdYMax->setText(" 100 ");
    D.BuOKClick();
  });
  P.ActionSetMinMax->trigger();
  EXPECT_DOUBLE_EQ(P.PlotMin(), -10);
  EXPECT_DOUBLE_EQ(P.PlotMax(), 100);
  EXPECT_EQ(P.VToScreen(100), 0);
  // Cancel changes nothing; a text that is not a number is the conversion error.
  Fake->ModalScripts.push_back([&](QDialog &) {
    EXPECT_TRUE(D.LaError->text().isEmpty());
    D.EdYMin->setText("x1");
    EXPECT_THROW(D.BuOKClick(), EOrvaError);
    QTest::mouseClick(D.BuOK, Qt::LeftButton);
    D.BuCancelClick();
  });
  P.ActionSetMinMax->trigger();
  EXPECT_DOUBLE_EQ(P.PlotMin(), -10);
  EXPECT_DOUBLE_EQ(P.PlotMax(), 100);
  ASSERT_EQ(Fake->Texts(TFakeUiServices::kError).size(), 1u);
  EXPECT_EQ(Fake->Texts(TFakeUiServices::kError)[0], "'x1' is not a valid floating point value");
  (void)Min0;
  (void)Max0;
}

TEST_F(ProfileTest, SelectionOperations) {
  TSpec32 &S = MakeSpec(100, [](int i) { return i; });
  TProfile32 &P = Show(S);
  int Sel = 0, NoSel = 0;
  P.eOnSelect = [&](TProfile32 &W) {
    EXPECT_EQ(&W, &P);
    ++Sel;
  };
  P.eOnNoSelection = [&](TProfile32 &) { ++NoSel; };
  struct Row {
    int From, To;
    bool Selected;
    int I0, I1;
  };
  // The half-open end is capped at N-1, so SelectRange never takes the last sample.
  const Row Rows[] = {{0, 99, true, 0, 99},    {0, 100, true, 0, 99}, {5, 8, true, 5, 8},
                      {-3, 2, true, 0, 2},     {5, 5, false, 0, 0},   {6, 5, false, 0, 0},
                      {98, 500, true, 98, 99}, {99, 200, false, 0, 0}};
  for (const Row &R : Rows) {
    const int Sel0 = Sel, NoSel0 = NoSel;
    P.SelectRange(R.From, R.To);
    EXPECT_EQ(P.DrawSelection(), R.Selected) << R.From << " " << R.To;
    if (R.Selected) {
      EXPECT_EQ(P.SelInd0(), R.I0) << R.From << " " << R.To;
      EXPECT_EQ(P.SelInd1(), R.I1) << R.From << " " << R.To;
      EXPECT_EQ(Sel, Sel0 + 1);
    } else {
      EXPECT_EQ(NoSel, NoSel0 + 1);
    }
  }
  P.SelectAll();
  EXPECT_EQ(P.SelInd0(), 0);
  EXPECT_EQ(P.SelInd1(), 100);
  EXPECT_TRUE(P.DrawSelection());
  // The selection frame is painted from IndToScr(0) to IndToScr(100).
  const QImage Shot = P.Snapshot();
  const QRgb SelColour = qRgb(200, 230, 200);
  EXPECT_EQ(Shot.pixel(OnSurface(P, {50, 0})), SelColour);
  EXPECT_EQ(Shot.pixel(OnSurface(P, {100, P.PlotH() / 2})), SelColour);
  const int Before = Sel + NoSel;
  P.HideSelection();
  EXPECT_FALSE(P.DrawSelection());
  EXPECT_EQ(Sel + NoSel, Before);
  P.ActionClearSelection->trigger();
  EXPECT_EQ(NoSel + Sel, Before + 1);
}

TEST_F(ProfileTest, MouseSelectionClickAndRightClick) {
  TSpec32 &S = MakeSpec(1000, [](int i) { return std::cos(i * 0.02); });
  TProfile32 &P = Show(S);
  ASSERT_DOUBLE_EQ(P.HZoom(), 1.0);
  int Sel = 0, NoSel = 0;
  P.eOnSelect = [&](TProfile32 &) { ++Sel; };
  P.eOnNoSelection = [&](TProfile32 &) { ++NoSel; };
  QWidget *W = P.PlotSurface;
  const int Y = 50;
  QTest::mousePress(W, Qt::LeftButton, {}, OnSurface(P, {10, Y}));
  Move(P, {15, Y}, Qt::LeftButton);
  Move(P, {20, Y}, Qt::LeftButton);
  QTest::mouseRelease(W, Qt::LeftButton, {}, OnSurface(P, {20, Y}));
  EXPECT_EQ(P.SelInd0(), 10);
  EXPECT_EQ(P.SelInd1(), 20);
  EXPECT_TRUE(P.DrawSelection());
  EXPECT_EQ(Sel, 1);
  EXPECT_EQ(NoSel, 0);
  // Dragging leftwards orders the ends.
  QTest::mousePress(W, Qt::LeftButton, {}, OnSurface(P, {300, Y}));
  Move(P, {250, Y}, Qt::LeftButton);
  QTest::mouseRelease(W, Qt::LeftButton, {}, OnSurface(P, {250, Y}));
  EXPECT_EQ(P.SelInd0(), 250);
  EXPECT_EQ(P.SelInd1(), 300);
  EXPECT_EQ(Sel, 2);
  // A right click keeps the selection and reports it again, then offers the menu.
  QTest::mouseClick(W, Qt::RightButton, {}, OnSurface(P, {500, Y}));
  EXPECT_TRUE(P.DrawSelection());
  EXPECT_EQ(P.SelInd0(), 250);
  EXPECT_EQ(Sel, 3);
  EXPECT_TRUE(P.PopupMenu->isVisible());
  P.PopupMenu->close();
  // A plain click removes it.
  QTest::mouseClick(W, Qt::LeftButton, {}, OnSurface(P, {400, Y}));
  EXPECT_FALSE(P.DrawSelection());
  EXPECT_EQ(NoSel, 1);
  EXPECT_EQ(Sel, 3);
}

TEST_F(ProfileTest, ContextMenuCarriesTheCommands) {
  TSpec32 &S = MakeSpec(100, [](int i) { return i; });
  TProfile32 &P = Show(S);
  std::vector<std::string> Texts;
  for (QAction *A : P.PopupMenu->actions())
    Texts.push_back(A->isSeparator() ? "-" : A->text().toStdString());
  const std::vector<std::string> Want = {"Select all",      "Deselect",       "-", "Set Y-Min/Y-Max...", "-",
                                         "Save as FITS...", "Save as DAT...", "-", "FITS Editor..."};
  EXPECT_EQ(Texts, Want);
}

TEST_F(ProfileTest, CursorReadOutAndHorizontalLineFromCursor) {
  TSpec32 &S = MakeSpec(1000, [](int i) { return 0.5 * i; });
  TProfile32 &P = Show(S);
  Move(P, {123, 40}, Qt::NoButton);
  EXPECT_TRUE(P.DrawCursor());
  EXPECT_EQ(P.LaIndex->text(), "= 123");
  EXPECT_EQ(P.LaX->text(), "= 6561.500");
  EXPECT_EQ(P.LaY->text(), "= 61.5");
  EXPECT_DOUBLE_EQ(P.LastYValue(), 61.5);
  EXPECT_EQ(P.StatusPanel[3]->text().toStdString(), Format("y(cursor) = %1.6g", P.ScreenToV(40)));
  // The cursor line is drawn on screen only, not into the image.
  const QImage Shot = P.Snapshot();
  EXPECT_EQ(Shot.pixel(OnSurface(P, {123, 10})), qRgb(247, 148, 29));
  EXPECT_NE(P.Bmp().pixel(123, 10), qRgb(247, 148, 29));
  // Outside the plot the position is clamped to its last pixel.
  Move(P, {5000, -20}, Qt::NoButton);
  EXPECT_EQ(P.LaIndex->text(), "= 999");
  P.ActionToolsSetHorLine->trigger();
  EXPECT_EQ(P.EdHorLine->text(), "499.5");
  // A window that is not the current child ignores the mouse.
  TSpec32 &S2 = MakeSpec(
      50, [](int i) { return i; }, "other.fits");
  Show(S2);
  Move(P, {7, 40}, Qt::NoButton);
  EXPECT_EQ(P.LaIndex->text(), "= 999");
}

TEST_F(ProfileTest, RubberBandZoom) {
  TSpec32 &S = MakeSpec(1000, [](int i) { return std::sin(i * 0.01); });
  TProfile32 &P = Show(S);
  ASSERT_DOUBLE_EQ(P.HZoom(), 1.0);
  const TPlotMapping Before = P.Mapping();
  QTest::mousePress(P.PlotSurface, Qt::LeftButton, Qt::ControlModifier, OnSurface(P, {300, 120}));
  Move(P, {400, 20}, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_TRUE(P.DrawVZoom());
  const QImage Shot = P.Snapshot();
  EXPECT_EQ(Shot.pixel(OnSurface(P, {350, 20})), qRgb(247, 148, 29));
  QTest::mouseRelease(P.PlotSurface, Qt::LeftButton, Qt::ControlModifier, OnSurface(P, {400, 20}));
  EXPECT_FALSE(P.DrawVZoom());
  EXPECT_DOUBLE_EQ(P.HZoom(), 2);
  EXPECT_DOUBLE_EQ(P.PlotMin(), Before.ScreenToV(120));
  EXPECT_DOUBLE_EQ(P.PlotMax(), Before.ScreenToV(20));
  // Sample 350 under the band's centre ends up in the middle of the view.
  EXPECT_EQ(P.ScrollPos(), 700 - P.VisibleWidth() / 2);
}

TEST_F(ProfileTest, KeysReachTheWindowFirst) {
  TSpec32 &S = MakeSpec(100, [](int i) { return i; });
  TProfile32 &P = Show(S);
  int Sel = 0;
  P.eOnSelect = [&](TProfile32 &) { ++Sel; };
  // From the line-style choice and even from an edit field.
  QTest::keyClick(P.RbLines, Qt::Key_N);
  QTest::keyClick(P.RbLines, Qt::Key_S, Qt::ShiftModifier);
  QTest::keyClick(P.EdHorLine, Qt::Key_X);
  QTest::keyClick(P.RbLines, Qt::Key_B);
  EXPECT_EQ(Letters, "NSX");
  EXPECT_EQ(P.EdHorLine->text(), "1.0");
  QTest::keyClick(P.RbLines, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Sel, 1);
  EXPECT_EQ(P.SelInd1(), 100);
  for (char C : std::string("CDFHPRT"))
    P.FormKeyDown(Qt::Key_A + (C - 'A'), {});
  EXPECT_EQ(Letters, "NSXCDFHPRT");
  EXPECT_FALSE(P.FormKeyDown(Qt::Key_C, Qt::ControlModifier));
}

TEST_F(ProfileTest, Overlays) {
  TSpec32 &S = MakeSpec(400, [](int i) { return i / 399.0; });
  TProfile32 &P = Show(S);
  // Shared with the test as a tool shares its arrays: changes in place show at the next redraw.
  auto HalfPtr = std::make_shared<TDblArr1D>(200, 0.5);
  TDblArr1D &Half = *HalfPtr;
  TOverlayProfile *A = P.Overlay().AddProfile();
  EXPECT_EQ(A->Pen().color(), QColor(255, 255, 255));
  EXPECT_TRUE(A->Enabled());
  A->SetPen(Pen(kRed));
  A->SetYVal(HalfPtr);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed), 0) << "NVal 0 draws nothing";
  A->SetNVal(200);
  P.FillBitmap();
  // Only its own 200 samples: the left half of the plot, on the row of 0.5.
  const int Y = P.VToScreen(0.5);
  EXPECT_EQ(P.Bmp().pixel(100, Y), kRed);
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(0, Y, 200, 1)), 200);
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(201, 0, 199, P.PlotH())), 0);
  // Drawn over the spectrum: where both cross the overlay wins.
  EXPECT_EQ(P.Bmp().pixel(P.IndToScr(199), P.VToScreen(S.DataY[199])), kRed);
  // Values beyond the range lie on the edges.
  Half.assign(200, 10.0);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(0, 0, 200, 1)), 200);
  Half.assign(200, -10.0);
  P.FillBitmap();
  // The bottom edge also carries the x scale's tick marks (drawn later) at pixels 0 and 100.
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(0, P.PlotH(), 200, 1)), 198);
  EXPECT_EQ(P.Bmp().pixel(100, P.PlotH()), kBlack);
  // Disabled: hidden, data kept.
  A->SetEnabled(false);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed), 0);
  A->SetEnabled(true);
  Half.assign(200, 0.5);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(0, Y, 200, 1)), 200);

  // A later object lies over an earlier one.
  TOverlayProfile *B = P.Overlay().AddProfile();
  B->SetYVal(TDblArr1D(400, 0.5));
  B->SetNVal(400);
  B->SetPen(Pen(kGreen));
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed), 0);
  EXPECT_EQ(CountColour(P.Bmp(), kGreen, QRect(0, Y, 400, 1)), 400);

  // Selection object: flagged segments in Pen, the others in PenClear.
  auto Flags = std::make_shared<std::vector<bool>>(400, false);
  for (int i = 0; i < 100; ++i)
    (*Flags)[i] = true;
  TOverlaySelection *C = P.Overlay().AddSelection();
  EXPECT_EQ(C->PenClear().color(), QColor(255, 0, 0));
  C->SetYVal(TDblArr1D(400, 0.25));
  C->SetNVal(400);
  C->SetPen(Pen(kBlack));
  const int YL = P.VToScreen(0.25);
  C->SetYSel(std::vector<bool>());
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed), 0) << "an empty flag array draws nothing";
  C->SetYSel(Flags);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kBlack, QRect(0, YL, 100, 1)), 100);
  EXPECT_EQ(CountColour(P.Bmp(), kRed, QRect(101, YL, 299, 1)), 299);

  EXPECT_EQ(P.Overlay().Count(), 3);
  TOverlay Other(&P);
  TOverlayProfile *Foreign = Other.AddProfile();
  P.Overlay().RemoveObject(Foreign);
  EXPECT_EQ(P.Overlay().Count(), 3);
  P.Overlay().RemoveObject(B);
  EXPECT_EQ(P.Overlay().Count(), 2);
  // An object whose count exceeds its array is a range error, not a read past the end.
  A->SetNVal(500);
  EXPECT_THROW(P.FillBitmap(), EOrvaError);
  P.Overlay().Clear();
  EXPECT_EQ(P.Overlay().Count(), 0);
  P.FillBitmap();
  EXPECT_EQ(CountColour(P.Bmp(), kRed), 0);
}

TEST_F(ProfileTest, ActivationAndClose) {
  TSpec32 &S1 = MakeSpec(
      100, [](int i) { return i; }, "a.fits");
  TSpec32 &S2 = MakeSpec(
      100, [](int i) { return -i; }, "b.fits");
  TProfile32 &P1 = Show(S1);
  TProfile32 &P2 = Show(S2);
  EXPECT_EQ(Active, &P2);
  ASSERT_FALSE(Selected.empty());
  EXPECT_EQ(Selected.back(), &S2);
  EXPECT_EQ(Host->ActiveSpec(), &S2);
  // While the file list is deleting, activation changes nothing.
  Ignore = true;
  const size_t NSel = Selected.size();
  Area->setActiveSubWindow(&P1);
  EXPECT_EQ(Active, &P2);
  EXPECT_EQ(Selected.size(), NSel);
  Ignore = false;
  Area->setActiveSubWindow(&P2);
  Area->setActiveSubWindow(&P1);
  EXPECT_EQ(Active, &P1);
  EXPECT_EQ(Selected.back(), &S1);
  EXPECT_EQ(Connected.back(), &P1);
  // Showing an open spectrum again only brings its window up.
  Host->ShowProfile(S2, 600, 400);
  EXPECT_EQ(Host->Profile(S2), &P2);
  Host->SetProfileCaption(S2, "renamed.fits");
  EXPECT_EQ(P2.windowTitle(), "renamed.fits");
  // Closing by the user: both links cleared, the tool disconnected, the window gone.
  Area->setActiveSubWindow(&P2);
  QPointer<TProfile32> W2 = &P2;
  P2.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(W2.isNull());
  EXPECT_EQ(S2.Profile32(), nullptr);
  EXPECT_FALSE(Host->HasProfile(S2));
  ASSERT_FALSE(Disconnected.empty());
  EXPECT_NE(Active, W2.data());
  // Closing through the host, as the file list does before freeing the spectrum.
  QPointer<TProfile32> W1 = &P1;
  Host->CloseProfile(S1);
  EXPECT_TRUE(W1.isNull());
  EXPECT_EQ(S1.Profile32(), nullptr);
  EXPECT_EQ(Active, nullptr);
  EXPECT_EQ(Host->ActiveSpec(), nullptr);
}

TEST_F(ProfileTest, ResizeRedrawsOnceAfterTheTimer) {
  TSpec32 &S = MakeSpec(300, [](int i) { return i; });
  TProfile32 &P = Show(S);
  const int H0 = P.GraphHeight();
  EXPECT_FALSE(P.Timer1->isActive());
  P.resize(P.width(), P.height() + 100);
  P.resize(P.width(), P.height() + 20);
  EXPECT_TRUE(P.Timer1->isActive());
  EXPECT_EQ(P.Timer1->interval(), 100);
  EXPECT_EQ(P.GraphHeight(), H0);
  P.Timer1Timer();
  EXPECT_FALSE(P.Timer1->isActive());
  EXPECT_EQ(P.GraphHeight(), H0 + 120);
  EXPECT_EQ(P.PlotH(), H0 + 120 - 26);
}

TEST_F(ProfileTest, ShrinkingStopsAtAUsableWindow) {
  // Six windows tiled in a small area, and one shrunk by hand as far as it goes.
  Frame->resize(700, 500);
  std::vector<TProfile32 *> W;
  for (int k = 0; k < 6; ++k)
    W.push_back(&Show(MakeSpec(
        1000, [](int i) { return std::sin(i * 0.02); }, "s" + std::to_string(k) + ".fits")));
  Area->tileSubWindows();
  W[0]->resize(10, 10);
  for (TProfile32 *P : W) {
    EXPECT_GE(P->width(), P->minimumWidth());
    EXPECT_GE(P->height(), P->minimumHeight());
    P->widget()->layout()->activate();
    P->Timer1Timer();
    // A plot of at least 200 x 120 pixels in view.
    EXPECT_GE(P->PlotH(), 120);
    EXPECT_GT(CountColour(P->BmpY(), kBlack, QRect(0, 0, 45, P->BmpY().height())), 20) << "y labels";
    EXPECT_GE(P->VisibleWidth() - P->BorderL(), 200);
    // The control groups whole, inside the top panel and clear of one another.
    const QRect Panel = P->Top->rect();
    std::vector<QRect> Groups;
    for (QWidget *G : P->Top->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
      EXPECT_TRUE(Panel.contains(G->geometry())) << G->metaObject()->className();
      for (const QRect &R : Groups)
        EXPECT_FALSE(R.intersects(G->geometry()));
      Groups.push_back(G->geometry());
    }
    EXPECT_EQ(Groups.size(), 5u);
    EXPECT_LE(P->Top->geometry().bottom(), P->PlotSurface->mapTo(P->widget(), QPoint(0, 0)).y());
    // Status texts side by side, never one over another; the ranges of index and x whole.
    for (int i = 0; i + 1 < 4; ++i)
      EXPECT_LT(P->StatusPanel[i]->geometry().right(), P->StatusPanel[i + 1]->geometry().left()) << i;
    for (int i = 0; i < 2; ++i) {
      QLabel *L = P->StatusPanel[i];
      EXPECT_GE(L->width(), L->fontMetrics().horizontalAdvance(L->text())) << i;
      EXPECT_LE(L->geometry().right(), P->StatusBar->rect().right()) << i;
    }
  }
  // The smallest window is the one asked for: shrunk by hand, it is exactly that.
  EXPECT_EQ(W[0]->size(), W[0]->minimumSize());
  EXPECT_LT(W[0]->minimumWidth(), 600);
}

TEST_F(ProfileTest, WindowOpenedWhileAnotherIsMaximizedOpensMaximized) {
  TProfile32 &P1 = Show(MakeSpec(
      300, [](int i) { return i; }, "a.fits"));
  P1.showMaximized();
  TSpec32 &S2 = MakeSpec(
      3000, [](int i) { return std::sin(i * 0.01); }, "b.fits");
  TProfile32 &P2 = Show(S2, 600, 400);
  EXPECT_TRUE(P2.isMaximized());
  EXPECT_EQ(Area->currentSubWindow(), &P2);
  EXPECT_EQ(P2.geometry(), Area->viewport()->rect());
  // Laid out and drawn at the maximized size: the zoom fits the wide view, the picture its height.
  EXPECT_DOUBLE_EQ(P2.HZoom(), static_cast<double>(P2.ZoomWidth()) / 3000);
  EXPECT_GT(P2.ZoomWidth(), 900);
  EXPECT_EQ(P2.GraphHeight(), P2.PlotSurface->height());
  // Nothing of the window behind shows: the area looks exactly like the new window (but for
  // the rounded corners of the title bar, which the style leaves to what lies below).
  const QImage Seen = Area->viewport()->grab().toImage(), Own = P2.grab().toImage();
  ASSERT_EQ(Seen.size(), Own.size());
  const QRect BelowCorners(0, 5, Own.width(), Own.height() - 5);
  EXPECT_EQ(Seen.copy(BelowCorners), Own.copy(BelowCorners));
  // Restored, it takes the size it was asked for.
  P2.showNormal();
  EXPECT_EQ(P2.widget()->size(), QSize(600, 400));
}

TEST_F(ProfileTest, WindowShortcutsActInTheirWindowOnly) {
  TProfile32 &P = Show(MakeSpec(200, [](int i) { return i; }));
  // A stand-in for the file list: its own F2, as the main window gives Rename to it alone.
  auto *List = new QLineEdit(Frame.get());
  List->setGeometry(0, 0, 50, 20);
  List->show();
  int Renames = 0;
  auto *Rename = new QAction("Rename", List);
  Rename->setShortcut(QKeySequence(Qt::Key_F2));
  Rename->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  List->addAction(Rename);
  QObject::connect(Rename, &QAction::triggered, [&] { ++Renames; });
  Frame->activateWindow();
  QApplication::setActiveWindow(Frame.get());
  P.RbLines->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), P.RbLines);
  QTest::keyClick(P.RbLines, Qt::Key_F2);
  QTest::keyClick(P.EdHorLine, Qt::Key_F1);
  EXPECT_EQ(SaveWLCalls, 1);
  EXPECT_EQ(SavePosCalls, 1);
  EXPECT_EQ(Renames, 0);
  List->setFocus();
  QTest::keyClick(List, Qt::Key_F2);
  EXPECT_EQ(Renames, 1);
  EXPECT_EQ(SaveWLCalls, 1);
  // Every shortcut of the window is its own.
  for (QAction *A : {P.ActionHZoomIn, P.ActionHZoomOut, P.ActionHZoomFit, P.ActionVZoomIn, P.ActionVZoomOut,
                     P.ActionMoveUp, P.ActionMoveDown, P.ActionVZoomFit, P.ActionMoveHome, P.ActionMoveEnd,
                     P.ActionMoveCenter, P.ActionClearSelection, P.ActionToolsSetHorLine,
                     P.ActionToolsSavePos, P.ActionToolsSaveWL}) {
    EXPECT_FALSE(A->shortcut().isEmpty()) << A->text().toStdString();
    EXPECT_EQ(A->shortcutContext(), Qt::WidgetWithChildrenShortcut) << A->text().toStdString();
    EXPECT_TRUE(P.actions().contains(A)) << A->text().toStdString();
  }

  // Letters typed in the open context menu belong to the menu, not to the tools.
  int Sel = 0;
  P.eOnSelect = [&](TProfile32 &) { ++Sel; };
  P.PopupMenu->popup(P.mapToGlobal(QPoint(60, 60)));
  ASSERT_TRUE(P.PopupMenu->isVisible());
  for (Qt::Key K : {Qt::Key_N, Qt::Key_C, Qt::Key_X, Qt::Key_D})
    QTest::keyClick(P.PopupMenu, K);
  EXPECT_EQ(Letters, "");
  EXPECT_EQ(Sel, 0);
  P.PopupMenu->close();
  // On the window itself they still run the tools.
  QTest::keyClick(P.RbLines, Qt::Key_N);
  EXPECT_EQ(Letters, "N");
}

// What the window must draw for a curve: the polyline through the samples, broken at NaN
// samples, a sample without neighbours as a step over its own columns. Built from the mapping
// alone, with the rows of y beyond the plot on its edges.
QImage ReferenceCurve(TProfile32 &P, const TDblArr1D &Y) {
  QImage Ref(P.Bmp().size(), QImage::Format_RGB32);
  Ref.fill(kWhite);
  const int32_t N = static_cast<int32_t>(Y.size());
  auto Draw = [&](const std::vector<TPixelPoint> &V) {
    RasterPolyline(reinterpret_cast<uint32_t *>(Ref.bits()), static_cast<int32_t>(Ref.bytesPerLine() / 4),
                   Ref.width(), Ref.height(), V.data(), V.size(), kBlue);
  };
  int32_t i = 0;
  while (i < N) {
    if (std::isnan(Y[i])) {
      ++i;
      continue;
    }
    std::vector<TPixelPoint> V;
    int32_t j = i;
    for (; j < N && !std::isnan(Y[j]); ++j)
      V.push_back({P.IndToScr(j), P.VToScreen(Y[j])});
    if (V.size() == 1) V.push_back({std::max(P.IndToScr(i), P.IndToScr(i + 1) - 1), V[0].Y});
    Draw(V);
    i = j;
  }
  return Ref;
}

// Pixels of the plot area (the x scale excluded) where one image is blue and the other not.
int BlueDifferences(const QImage &A, const QImage &B, int PlotH) {
  int D = 0;
  for (int y = 0; y <= PlotH; ++y)
    for (int x = 0; x < A.width(); ++x)
      if ((A.pixel(x, y) == kBlue) != (B.pixel(x, y) == kBlue)) ++D;
  return D;
}

TEST_F(ProfileTest, EverySpectrumTheListCanHoldDisplays) {
  const double NaN = std::nan(""), Inf = std::numeric_limits<double>::infinity();
  struct TKind {
    const char *Name;
    int N;
    std::function<double(int)> X, Y;
    const char *XText; // status panel 1
    int NonFinite;     // values the y scale leaves out
  };
  std::mt19937 Rng(3);
  std::normal_distribution<double> Noise(0, 1);
  std::vector<double> Walk(6000);
  for (size_t i = 0; i < Walk.size(); ++i)
    Walk[i] = (i ? Walk[i - 1] : 0) + Noise(Rng);
  const TKind Kinds[] = {
      {"text file with decreasing wavelengths", 600, [](int i) { return 7000 - 0.5 * i; },
       [](int i) { return 1 + 0.3 * std::sin(i / 20.0); }, "x-values: 7000 .. 6700.5", 0},
      {"all x equal", 300, [](int) { return 5000.0; }, [](int i) { return std::cos(i / 30.0); },
       "x-values: 5000 .. 5000", 0},
      // NaN at the start (an old minimum scan then gives NaN), a NaN block, samples alone between NaNs.
      {"FITS file with NaN pixels", 800, [](int i) { return 6400 + 0.25 * i; },
       [&](int i) {
         if (i < 5 || (i >= 200 && i < 260) || i == 500 || i == 502 || i == 504) return NaN;
         return 1 + 0.5 * std::exp(-std::pow((i - 400) / 30.0, 2));
       },
       "x-values: 6400 .. 6599.75", 68},
      {"arithmetic result with inf and NaN", 500, [](int i) { return 6400 + 0.25 * i; },
       [&](int i) {
         return i == 100 ? Inf : i == 300 ? -Inf : i == 400 ? NaN : std::sin(i / 40.0);
       },
       "x-values: 6400 .. 6524.75", 3},
      {"single point", 1, [](int) { return 6563.0; }, [](int) { return 2.5; }, "x-values: 6563 .. 6563", 0},
      {"no finite value", 100, [](int i) { return 6400.0 + i; }, [&](int) { return NaN; },
       "x-values: 6400 .. 6499", 100},
      // Long enough to be drawn one pixel column at a time, with NaN blocks and infinities.
      {"long, reduced per column, with gaps", 6000, [](int i) { return 9000 - 0.1 * i; },
       [&](int i) {
         if ((i >= 1000 && i < 1300) || i % 997 == 0) return NaN;
         return i == 4000 ? Inf : Walk[i];
       },
       "x-values: 9000 .. 8400.1", 7 + 300 + 1},
  };
  for (const TKind &K : Kinds) {
    SCOPED_TRACE(K.Name);
    TSpec32 &S = MakeSpec(K.N, K.Y, std::string(K.Name) + ".fits");
    for (int i = 0; i < K.N; ++i)
      S.DataX[i] = K.X(i);
    S.FinishFromArrays();
    TProfile32 *PP = nullptr;
    ASSERT_NO_THROW(PP = &Show(S));
    TProfile32 &P = *PP;
    ASSERT_TRUE(P.BmpOK());
    // The y range: 5 % margins around the finite values, or the range of a constant.
    double Lo = Inf, Hi = -Inf;
    for (double V : S.DataY)
      if (std::isfinite(V)) Lo = std::min(Lo, V), Hi = std::max(Hi, V);
    if (Lo > Hi) Lo = Hi = 0;
    const double Mid = (Lo + Hi) / 2, Half = Hi > Lo ? 0.55 * (Hi - Lo) : 0.5;
    EXPECT_NEAR(P.PlotMin(), Mid - Half, 1e-12);
    EXPECT_NEAR(P.PlotMax(), Mid + Half, 1e-12);
    EXPECT_EQ(P.StatusPanel[1]->text().toStdString(), K.XText);
    std::string YText =
        K.NonFinite == K.N ? "y-values: no finite value" : Format("y-values: %1.6g .. %1.6g", Lo, Hi);
    if (K.NonFinite > 0 && K.NonFinite < K.N) YText += Format(" (%d not finite)", K.NonFinite);
    EXPECT_EQ(P.StatusPanel[2]->text().toStdString(), YText);

    // The picture is the plain polyline's, at the opening zoom and at others, reduced or not.
    for (double Z : {P.HZoom(), 0.37, 2.0}) {
      P.SetHZoom(Z);
      P.FillBitmap();
      EXPECT_EQ(BlueDifferences(P.Bmp(), ReferenceCurve(P, S.DataY), P.PlotH()), 0) << "zoom " << Z;
      P.SetDecimation(false);
      P.FillBitmap();
      const QImage Plain = P.Bmp().copy();
      P.SetDecimation(true);
      P.FillBitmap();
      EXPECT_EQ(P.Bmp(), Plain) << "zoom " << Z;
    }
    // The commands and the mouse work on it as on any spectrum.
    for (QAction *A : {P.ActionVZoomFit, P.ActionVZoomIn, P.ActionVZoomOut, P.ActionMoveUp, P.ActionHZoomIn,
                       P.ActionHZoomOut, P.ActionHZoomFit, P.ActionSelectAll})
      A->trigger();
    P.ActionVZoomFit->trigger();
    Move(P, {P.PlotW() / 2, 30}, Qt::NoButton);
    P.ActionToolsSetHorLine->trigger();
    P.CbHorLine->setChecked(true);
    ASSERT_NO_THROW(P.FillBitmap());
    P.CbHorLine->setChecked(false);
  }
  EXPECT_TRUE(Fake->Texts(TFakeUiServices::kError).empty());
}

TEST_F(ProfileTest, OddSpectraInDetail) {
  const double NaN = std::nan(""), Inf = std::numeric_limits<double>::infinity();
  // Decreasing x: the scale runs the way the data do, the cursor reads the sample's own x.
  TSpec32 &D = MakeSpec(
      600, [](int i) { return 1 + 0.3 * std::sin(i / 20.0); }, "down.dat", 7000, -0.5);
  TProfile32 &PD = Show(D);
  ASSERT_DOUBLE_EQ(PD.HZoom(), 1);
  // Ticks every 50 from 6750 to 7000, on samples 500, 400, ... 0 (labels red: not equidistant).
  for (int i = 0; i <= 500; i += 100)
    EXPECT_EQ(PD.Bmp().pixel(i, PD.PlotH() - 3), kBlack) << i;
  EXPECT_NE(PD.Bmp().pixel(550, PD.PlotH() - 3), kBlack);
  EXPECT_GT(CountColour(PD.Bmp(), kRed, QRect(0, PD.PlotH() + 1, PD.PlotW(), 19)), 30);
  Move(PD, {100, 40}, Qt::NoButton);
  EXPECT_EQ(PD.LaX->text(), "= 6950.000");

  // All x equal: one label, the common value, under the middle; no ticks.
  TSpec32 &E = MakeSpec(
      300, [](int i) { return std::cos(i / 30.0); }, "equal.dat", 5000, 0);
  TProfile32 &PE = Show(E);
  const QRect Band(0, PE.PlotH() + 1, PE.PlotW(), 19);
  EXPECT_GT(CountColour(PE.Bmp(), kBlack, QRect(PE.PlotW() / 2 - 20, PE.PlotH() + 1, 40, 19)), 10);
  EXPECT_EQ(CountColour(PE.Bmp(), kBlack, QRect(0, PE.PlotH() + 1, PE.PlotW() / 2 - 30, 19)), 0);
  EXPECT_EQ(CountColour(PE.Bmp(), kBlack, Band),
            CountColour(PE.Bmp(), kBlack, QRect(PE.PlotW() / 2 - 30, PE.PlotH() + 1, 60, 19)));

  // NaN is a gap, an infinity a spike to the edge.
  TSpec32 &G = MakeSpec(
      500, [&](int i) { return i == 100                ? Inf
                               : i == 310              ? -Inf
                               : (i >= 200 && i < 210) ? NaN
                                                       : 0.5; },
      "gap.fits");
  TProfile32 &PG = Show(G);
  ASSERT_DOUBLE_EQ(PG.HZoom(), 1);
  EXPECT_EQ(PG.Bmp().pixel(100, 0), kBlue);
  EXPECT_EQ(PG.Bmp().pixel(310, PG.PlotH()), kBlue);
  EXPECT_EQ(CountColour(PG.Bmp(), kBlue, QRect(201, 0, 8, PG.PlotH() + 1)), 0);
  EXPECT_EQ(PG.Bmp().pixel(150, PG.VToScreen(0.5)), kBlue);

  // A single point: a line across the whole plot, its x under the middle.
  TSpec32 &One = MakeSpec(
      1, [](int) { return 2.5; }, "one.dat", 6563, 1);
  TProfile32 &P1 = Show(One);
  EXPECT_EQ(P1.PlotW(), P1.ZoomWidth());
  EXPECT_EQ(CountColour(P1.Bmp(), kBlue, QRect(0, P1.VToScreen(2.5), P1.PlotW(), 1)), P1.PlotW());
  Move(P1, {P1.PlotW() - 5, 40}, Qt::NoButton);
  EXPECT_EQ(P1.LaIndex->text(), "= 0");
  EXPECT_EQ(P1.LaX->text(), "= 6563.000");

  // Nothing finite: an empty plot and the reason in the status bar.
  TSpec32 &None = MakeSpec(
      100, [&](int) { return NaN; }, "none.fits");
  TProfile32 &PN = Show(None);
  EXPECT_EQ(CountColour(PN.Bmp(), kBlue), 0);
  EXPECT_EQ(PN.StatusPanel[2]->text(), "y-values: no finite value");
  // F5 on a NaN sample leaves the horizontal line's value alone.
  Move(PN, {50, 40}, Qt::NoButton);
  EXPECT_EQ(PN.LaY->text(), "= nan");
  PN.ActionToolsSetHorLine->trigger();
  EXPECT_EQ(PN.EdHorLine->text(), "1.0");

  // Vertical zooms stop where the range could no longer be mapped or labelled.
  PN.SetPlotRange(1, 1 + 1e-11);
  for (int k = 0; k < 10; ++k)
    PN.ActionVZoomIn->trigger();
  EXPECT_TRUE(UsableYRange(PN.PlotMin(), PN.PlotMax()));
  EXPECT_LT(PN.PlotMax() - PN.PlotMin(), 1e-11);
  PN.SetPlotRange(-1e307, 1e307);
  for (int k = 0; k < 10; ++k) {
    PN.ActionVZoomOut->trigger();
    PN.ActionMoveUp->trigger();
  }
  EXPECT_TRUE(UsableYRange(PN.PlotMin(), PN.PlotMax()));
  EXPECT_GE(PN.PlotMax() - PN.PlotMin(), 2e307);
}

} // namespace

// A tool's per-window data as a tool keeps it: values shared with an overlay of the window.
// Its destructor records its tag and how many overlay objects the window still had.
struct TCountedData : TLocalData {
  TCountedData(int T, std::vector<std::pair<int, int>> &L, TOverlay &O) : Tag(T), Log(L), Overlay(O) {}
  ~TCountedData() override { Log.emplace_back(Tag, Overlay.Count()); }
  int Tag;
  std::vector<std::pair<int, int>> &Log;
  TOverlay &Overlay;
  std::shared_ptr<TDblArr1D> Values;
};

TEST_F(ProfileTest, ToolSlotsLiveAndDieWithTheirWindow) {
  TSpec32 &SA = MakeSpec(
      100, [](int i) { return i; }, "a.fits");
  TSpec32 &SB = MakeSpec(
      100, [](int i) { return -i; }, "b.fits");
  TProfile32 &A = Show(SA);
  TProfile32 &B = Show(SB);
  const TToolId T = NewToolId(), U = NewToolId();
  EXPECT_NE(T, U);
  std::vector<std::pair<int, int>> Dead; // (tag, overlay objects left when it died)
  auto Data = [&](TProfile32 &P, int Tag) {
    auto D = std::make_unique<TCountedData>(Tag, Dead, P.Overlay());
    D->Values = std::make_shared<TDblArr1D>(100, 0.5);
    TOverlayProfile *O = P.Overlay().AddProfile();
    O->SetYVal(D->Values);
    O->SetNVal(100);
    O->SetPen(Pen(kGreen));
    return D;
  };
  A.Context().SetSlot(T, Data(A, 1));
  B.Context().SetSlot(T, Data(B, 2));
  A.Context().SetSlot(U, Data(A, 3));
  std::weak_ptr<TDblArr1D> ValuesA = A.Context().SlotAs<TCountedData>(T)->Values;
  EXPECT_EQ(A.Context().SlotCount(), 2);
  EXPECT_EQ(B.Context().SlotCount(), 1);
  EXPECT_EQ(B.Context().Slot(U), nullptr);

  // Switching between the windows keeps every slot.
  for (TProfile32 *P : {&B, &A, &B, &A})
    Area->setActiveSubWindow(P);
  EXPECT_EQ(Active, &A);
  EXPECT_TRUE(Dead.empty());
  ASSERT_NE(A.Context().SlotAs<TCountedData>(T), nullptr);
  EXPECT_EQ(A.Context().SlotAs<TCountedData>(T)->Tag, 1);
  EXPECT_EQ(B.Context().SlotAs<TCountedData>(T)->Tag, 2);

  // Replacing frees the old data; taking hands it over; an empty slot stays empty.
  A.Context().SetSlot(U, std::make_unique<TCountedData>(4, Dead, A.Overlay()));
  ASSERT_EQ(Dead.size(), 1u);
  EXPECT_EQ(Dead[0].first, 3);
  std::unique_ptr<TLocalData> Taken = A.Context().TakeSlot(U);
  EXPECT_EQ(A.Context().Slot(U), nullptr);
  EXPECT_EQ(Dead.size(), 1u);
  Taken.reset();
  EXPECT_EQ(Dead.back().first, 4);
  A.Context().FreeSlot(U);
  EXPECT_EQ(Dead.size(), 2u);

  // Closing the window frees its tools' data before its overlays, then both are gone.
  QPointer<TProfile32> WA = &A;
  A.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(WA.isNull());
  ASSERT_EQ(Dead.size(), 3u);
  EXPECT_EQ(Dead.back(), std::make_pair(1, 2)) << "data freed while its overlays still existed";
  EXPECT_TRUE(ValuesA.expired()) << "values shared by data and overlay die with the window";
  // The other window keeps its data and still draws after a resize.
  EXPECT_EQ(B.Context().SlotAs<TCountedData>(T)->Tag, 2);
  B.resize(B.width() + 40, B.height() + 30);
  B.Timer1Timer();
  EXPECT_GT(CountColour(B.Bmp(), kGreen), 50);
  B.Context().ClearSlots();
  EXPECT_EQ(Dead.back().first, 2);
  EXPECT_EQ(B.Context().SlotCount(), 0);
}

TEST_F(ProfileTest, OverlayOutlivesItsProducersArrays) {
  TSpec32 &S = MakeSpec(400, [](int i) { return std::sin(i / 40.0); });
  TProfile32 &P = Show(S);
  auto Y = std::make_shared<TDblArr1D>(400);
  auto Y2 = std::make_shared<TDblArr1D>(400);
  auto Flags = std::make_shared<std::vector<bool>>(400);
  for (int i = 0; i < 400; ++i) {
    (*Y)[i] = 0.5 * std::cos(i / 30.0);
    (*Y2)[i] = -0.5 + i / 800.0;
    (*Flags)[i] = (i / 50) % 2 == 0;
  }
  TOverlayProfile *A = P.Overlay().AddProfile();
  A->SetYVal(Y);
  A->SetNVal(400);
  A->SetPen(Pen(kGreen));
  TOverlaySelection *B = P.Overlay().AddSelection();
  B->SetYVal(Y2);
  B->SetYSel(Flags);
  B->SetNVal(400);
  B->SetPen(Pen(kBlack));
  P.FillBitmap();
  const QImage Before = P.Bmp().copy();
  ASSERT_GT(CountColour(Before, kGreen), 100);
  ASSERT_GT(CountColour(Before, kRed), 100);
  std::weak_ptr<const TDblArr1D> WY = Y;
  std::weak_ptr<const std::vector<bool>> WF = Flags;
  // The producer drops its arrays (one by replacing it with other values): the overlays keep
  // theirs and draw exactly what they drew before.
  Y.reset();
  Flags.reset();
  Y2 = std::make_shared<TDblArr1D>(400, 100.0);
  EXPECT_FALSE(WY.expired());
  P.FillBitmap();
  EXPECT_EQ(P.Bmp(), Before);
  // Removing the objects frees the values they kept.
  P.Overlay().RemoveObject(A);
  EXPECT_TRUE(WY.expired());
  P.Overlay().Clear();
  EXPECT_TRUE(WF.expired());
}

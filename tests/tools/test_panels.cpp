// The statistics, normalize, crop, Tool 2 and Gauss/Voigt panels through real plot windows of a
// real main window (offscreen), driven through their controls and commands with the scripted
// UI services: the shown results against values worked out by hand, the typed limits and their
// messages, the new spectra and their windows, and what each panel keeps per window.
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <optional>

#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "ops/UOpListing.h"
#include "ToolPanelFixture.h"
#include "shell/ShellFixture.h"
#include "tools/UTool2.h"
#include "tools/UToolCrop.h"
#include "tools/UToolGaussVoigt.h"
#include "tools/UToolHost.h"
#include "tools/UToolNormalize.h"
#include "tools/UToolPanels.h"
#include "tools/UToolStatistics.h"

using TK = TFakeUiServices;

namespace {


class PanelTest : public ToolPanelTest {
protected:
  void SetUp() override {
    ToolPanelTest::SetUp();
    Stat = dynamic_cast<TToolStatistics *>(Host->Tool(TToolKind::Statistics));
    Norm = dynamic_cast<TToolNormalize *>(Host->Tool(TToolKind::Normalize));
    Crop = dynamic_cast<TToolCrop *>(Host->Tool(TToolKind::Crop));
    Tool2 = dynamic_cast<TTool2 *>(Host->Tool(TToolKind::Tool2));
    Gauss = dynamic_cast<TToolGaussVoigt *>(Host->Tool(TToolKind::GaussVoigt));
    ASSERT_TRUE(Stat && Norm && Crop && Tool2 && Gauss);
  }
  // A panel's command as the user runs it: enabled by the idle rule first.
  template <class T> void RunCommand(T *Panel, QAction *A) {
    Panel->ActionList1Update();
    A->trigger();
  }
  // The application goes idle: the panels update their commands.
  static void Idle() {
    QAbstractEventDispatcher *D = QAbstractEventDispatcher::instance();
    emit D->awake();
    emit D->aboutToBlock();
  }
  template <class T> void Click(T *Panel, QPushButton *B) {
    Panel->ActionList1Update();
    B->click();
  }
  // A spectrum of N points, x = X0 + i, y = F(i).
  template <class F> TSpec32 &Ramp(const std::string &Name, int N, F Fy, double X0 = 6000) {
    std::vector<double> X(N), Y(N);
    for (int i = 0; i < N; ++i) {
      X[i] = X0 + i;
      Y[i] = Fy(i);
    }
    return AddSpec(Name, X, Y);
  }
  // The spectrum listed last.
  TSpec32 *Last() { return &List().Spec(List().Count() - 1); }

  TToolStatistics *Stat = nullptr;
  TToolNormalize *Norm = nullptr;
  TToolCrop *Crop = nullptr;
  TTool2 *Tool2 = nullptr;
  TToolGaussVoigt *Gauss = nullptr;
};

} // namespace

// ---- Statistics ----

TEST_F(PanelTest, StatisticsOfOneToFourWorkedByHand) {
  // Not equidistant in x, so the integral takes each sample's own bin.
  TSpec32 &Sp = AddSpec("hand.dat", {1, 2, 3, 4}, {1, 2, 3, 4});
  Sp.SetEquidistant(false);
  TProfile32 &P = Open(Sp);
  ShowTool(TToolKind::Statistics);
  EXPECT_EQ(S(Stat->LaNArr), "Waiting for selection");
  Stat->ActionList1Update();
  ASSERT_TRUE(Stat->BuSelectAll->isEnabled());
  Click(Stat, Stat->BuSelectAll);
  EXPECT_TRUE(P.Context().Selection().Exists());
  EXPECT_EQ(S(Stat->LaNArr), "4 points selected (index 0 .. index 3)");
  // sum 10, mean 2.5, sd sqrt(5/3) = 1.29099, median the upper middle value 3,
  // centre of gravity 30/10, integral 1*1 + 0.5*2*2 + 0.5*2*3 + 1*4 = 10,
  // S/N 2.5/1.29099 = 1.93649; the line fits exactly, so the trend-removed S/N is undefined;
  // EW = 1*(1-1)/2 + 1*(1-4)/2 + (1-1.5) + (1-2.5) + (1-3.5) = -6;
  // runs about 2.5 and about 3: flags - - + +, R = 2, mu = 3, sigma^2 = 2/3, z = -1.2247.
  const std::pair<QLabel *, const char *> Want[] = {
      {Stat->LaSum, "10"},
      {Stat->LaAverage, "2.5"},
      {Stat->LaSD, "1.291"},
      {Stat->LaMedian, "3"},
      {Stat->LaCog, "3.000"},
      {Stat->LaIntegral, "10"},
      {Stat->LaRange, "3"},
      {Stat->LaSN, "1.9365"},
      {Stat->LaSNTrend, ""},
      {Stat->LaEW, "-6"},
      {Stat->LaMin, "1"},
      {Stat->LaMinAt, "at I = 0"},
      {Stat->LaMax, "4"},
      {Stat->LaMaxAt, "at I = 3"},
      {Stat->LaRunsAverage, "-1.225"},
      {Stat->LaRunsMedian, "-1.225"},
  };
  for (const auto &[L, Text] : Want)
    EXPECT_EQ(S(L), Text) << "label " << L->objectName().toStdString() << " row of " << Text;
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(PanelTest, StatisticsIndexSelectionAndItsRemoval) {
  TProfile32 &P = Open(Ramp("ramp.dat", 50, [](int i) { return 1.0 + (i % 3); }));
  ShowTool(TToolKind::Statistics);
  // Typed limits are no command in mouse mode.
  Stat->ActionList1Update();
  EXPECT_FALSE(Stat->ActionSelect->isEnabled());
  EXPECT_FALSE(Stat->BuSelect->isEnabled());
  Stat->RgMethod->SetItemIndex(rmIndex);
  Stat->EdFrom->setText("10");
  Stat->EdTo->setText("20");
  // Return in an edit runs the command, as the panel's default button.
  Stat->ActionList1Update();
  EXPECT_TRUE(Stat->BuSelect->isEnabled());
  QTest::keyClick(Stat->EdTo, Qt::Key_Return);
  EXPECT_EQ(S(Stat->LaNArr), "10 points selected (index 10 .. index 19)");
  EXPECT_EQ(P.SelInd0(), 10);
  EXPECT_EQ(P.SelInd1(), 20);
  EXPECT_EQ(Stat->Ind0(), 10);
  EXPECT_EQ(Stat->Ind1(), 19);
  EXPECT_FALSE(S(Stat->LaSum).empty());
  // From = To removes the selection and the display waits again.
  Stat->EdFrom->setText("7");
  Stat->EdTo->setText("7");
  RunCommand(Stat, Stat->ActionSelect);
  EXPECT_FALSE(P.Context().Selection().Exists());
  EXPECT_EQ(S(Stat->LaNArr), "Waiting for selection");
  for (QLabel *L : {Stat->LaSum, Stat->LaAverage, Stat->LaSD, Stat->LaRange, Stat->LaRunsAverage})
    EXPECT_EQ(S(L), "");
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(PanelTest, StatisticsTypedLimitsAndTheirMessages) {
  // x = 6000 ... 6049.
  TProfile32 &P = Open(Ramp("ramp.dat", 50, [](int i) { return 2.0 + i; }));
  ShowTool(TToolKind::Statistics);
  struct TRow {
    TRangeMethod Mode;
    const char *From, *To;
    const char *Message; // empty: accepted
    int Sel0, Sel1;      // the window's selection when accepted
  };
  const TRow Rows[] = {
      {rmWavelength, "6000", "6010", "", 0, 10}, // From = x[0] exactly
      {rmWavelength, "5999.999", "6010", "Wavelength values out of bound", 0, 0},
      {rmWavelength, "6001", "6049.001", "Wavelength values out of bound", 0, 0},
      {rmWavelength, "6020", "6010", "To < From", 0, 0},
      {rmWavelength, "6010.4", "6020.6", "", 10, 21}, // nearest indices 10 and 21
      {rmWavelength, "abc", "6010", "'abc' is not a valid floating point value", 0, 0},
      {rmIndex, "-1", "10", "Index values out of bound", 0, 0},
      {rmIndex, "0", "50", "Index values out of bound", 0, 0},
      {rmIndex, "12", "11", "To < From", 0, 0},
      {rmIndex, "0", "49", "", 0, 49},
      {rmIndex, "1.5", "10", "'1.5' is not a valid integer value", 0, 0},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(std::string(R.From) + " .. " + R.To);
    // Start from a known selection, so that a refusal visibly changes nothing.
    Stat->RgMethod->SetItemIndex(rmIndex);
    Stat->EdFrom->setText("30");
    Stat->EdTo->setText("33");
    RunCommand(Stat, Stat->ActionSelect);
    ASSERT_EQ(S(Stat->LaNArr), "3 points selected (index 30 .. index 32)");
    Fake->Clear();
    Stat->RgMethod->SetItemIndex(R.Mode);
    Stat->EdFrom->setText(R.From);
    Stat->EdTo->setText(R.To);
    RunCommand(Stat, Stat->ActionSelect);
    if (*R.Message) {
      EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Message});
      EXPECT_EQ(P.SelInd0(), 30);
      EXPECT_EQ(P.SelInd1(), 33);
      EXPECT_EQ(S(Stat->LaNArr), "3 points selected (index 30 .. index 32)");
    } else {
      EXPECT_TRUE(Fake->Records.empty());
      EXPECT_EQ(P.SelInd0(), R.Sel0);
      EXPECT_EQ(P.SelInd1(), R.Sel1);
      EXPECT_EQ(Stat->Ind0(), R.Sel0);
      EXPECT_EQ(Stat->NArr(), R.Sel1 - R.Sel0);
    }
  }
}

TEST_F(PanelTest, StatisticsUndefinedResultsAreEmptyNeverNan) {
  TSpec32 &Sp = Ramp("flat.dat", 20, [](int i) { return i < 10 ? 3.0 : 1.0 + 0.25 * i; });
  TProfile32 &P = Open(Sp);
  ShowTool(TToolKind::Statistics);
  // A constant stretch: sd 0, so S/N is undefined; every value lies on one side of both
  // thresholds, so both runs tests are undefined.
  P.SelectRange(2, 8);
  EXPECT_EQ(S(Stat->LaNArr), "6 points selected (index 2 .. index 7)");
  EXPECT_EQ(S(Stat->LaSD), "0");
  for (QLabel *L : {Stat->LaSN, Stat->LaSNTrend, Stat->LaRunsAverage, Stat->LaRunsMedian})
    EXPECT_EQ(S(L), "");
  // A rising stretch first, then a single sample: too few for sd, integral, EW and runs, and
  // the extremes are that sample's, not the ones left from before.
  P.SelectRange(12, 18);
  EXPECT_EQ(S(Stat->LaMax), "5.25");
  P.SelectRange(15, 16);
  EXPECT_EQ(S(Stat->LaNArr), "1 point selected (index 15)");
  for (QLabel *L : {Stat->LaSD, Stat->LaSN, Stat->LaSNTrend, Stat->LaIntegral, Stat->LaEW,
                    Stat->LaRunsAverage, Stat->LaRunsMedian})
    EXPECT_EQ(S(L), "");
  EXPECT_EQ(S(Stat->LaSum), "4.75");
  EXPECT_EQ(S(Stat->LaMin), "4.75");
  EXPECT_EQ(S(Stat->LaMax), "4.75");
  EXPECT_EQ(S(Stat->LaMaxAt), "at I = 0");
  for (QLabel *L : Stat->findChildren<QLabel *>())
    EXPECT_EQ(L->text().toLower().indexOf("nan"), -1) << L->text().toStdString();
}

TEST_F(PanelTest, StatisticsFollowsWindowsAndCommandsNeedASpectrum) {
  ShowTool(TToolKind::Statistics);
  Stat->RgMethod->SetItemIndex(rmWavelength);
  Stat->ActionList1Update();
  // No window: nothing to select in.
  EXPECT_FALSE(Stat->ActionSelect->isEnabled());
  EXPECT_FALSE(Stat->BuSelectAll->isEnabled());
  TProfile32 &A = Open(Ramp("a.dat", 30, [](int i) { return 1.0 + i; }));
  TProfile32 &B = Open(Ramp("b.dat", 30, [](int i) { return 2.0 * i; }));
  Activate(A);
  Idle();
  EXPECT_TRUE(Stat->ActionSelect->isEnabled());
  EXPECT_TRUE(Stat->BuSelect->isEnabled());
  EXPECT_TRUE(Stat->BuSelectAll->isEnabled());
  Stat->RgMethod->SetItemIndex(rmMouse);
  Idle();
  EXPECT_FALSE(Stat->ActionSelect->isEnabled());
  EXPECT_FALSE(Stat->BuSelect->isEnabled());
  Click(Stat, Stat->BuSelectAll);
  EXPECT_EQ(S(Stat->LaSum), "465");
  // Another window: its statistics must be asked for anew.
  Activate(B);
  EXPECT_EQ(S(Stat->LaNArr), "Waiting for selection");
  EXPECT_EQ(S(Stat->LaSum), "");
  Click(Stat, Stat->BuSelectAll);
  EXPECT_EQ(S(Stat->LaSum), "870");
  EXPECT_EQ(Stat->StatusText().toStdString(), "b.dat");
}

// ---- Normalize ----

TEST_F(PanelTest, NormalizeMouseSelectionOpensANormWindow) {
  // y = 2 on 10 ... 19, elsewhere 1 + i.
  TSpec32 &Src = Ramp("star.fits", 40, [](int i) { return i >= 10 && i < 20 ? 2.0 : 1.0 + i; });
  TProfile32 &P = Open(Src);
  ShowTool(TToolKind::Normalize);
  const int Before = List().Count();
  P.SelectRange(10, 20);
  ASSERT_EQ(List().Count(), Before + 1);
  TSpec32 *R = Listed("star-norm");
  ASSERT_NE(R, nullptr);
  ASSERT_EQ(R->Size(), 40);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(R->DataX[i], Src.DataX[i]);
    EXPECT_EQ(R->DataY[i], Src.DataY[i] / 2.0);
  }
  EXPECT_EQ(R->Equidistant(), Src.Equidistant());
  // In its own window, which is now the current one.
  ASSERT_NE(R->Profile32(), nullptr);
  EXPECT_EQ(Norm->Spec32(), R);

  // A drag with the mouse in the source window: divided by the mean of what it selected.
  Activate(P);
  const int Drag0 = P.IndToScr(22), Drag1 = P.IndToScr(30);
  P.PlotMouseDown(QPoint(Drag0, 10), ssLeft);
  P.PlotMouseMove(QPoint(Drag1, 10), ssLeft);
  P.PlotMouseUp(QPoint(Drag1, 10), ssLeft);
  const int I0 = P.SelInd0(), I1 = P.SelInd1();
  ASSERT_LT(I0, I1);
  double Mean = 0;
  for (int i = I0; i < I1; ++i)
    Mean += Src.DataY[i] / (I1 - I0);
  TSpec32 *Dragged = Last();
  ASSERT_NE(Dragged, R);
  ASSERT_EQ(Dragged->Size(), 40);
  for (int i = 0; i < 40; ++i)
    EXPECT_DOUBLE_EQ(Dragged->DataY[i], Src.DataY[i] / Mean);
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(PanelTest, NormalizeTypedLimitsAndMessages) {
  // x = 6000 ... 6019; y = 4 at index 5, 0 on 10 ... 11, -1 at 12, -3 at 13.
  TSpec32 &Src = Ramp("star.fits", 20, [](int i) {
    switch (i) {
    case 5:
      return 4.0;
    case 10:
    case 11:
      return 0.0;
    case 12:
      return -1.0;
    case 13:
      return -3.0;
    default:
      return 1.0 + 0.5 * i;
    }
  });
  TProfile32 &P = Open(Src);
  ShowTool(TToolKind::Normalize);
  Norm->ActionList1Update();
  EXPECT_FALSE(Norm->ActionNormalize->isEnabled());
  struct TRow {
    TRangeMethod Mode;
    const char *From, *To;
    const char *Message;
    double Divisor; // the mean the result was divided by
  };
  const TRow Rows[] = {
      {rmIndex, "5", "5", "", 4.0},              // From = To: that one sample
      {rmIndex, "12", "13", "", -2.0},           // a negative mean flips the sign
      {rmWavelength, "6005", "6005.2", "", 4.0}, // both nearest to index 5
      {rmIndex, "10", "11", "Mean value in selected area equals zero", 0},
      {rmIndex, "-1", "3", "Index values out of bound", 0},
      {rmIndex, "3", "20", "Index values out of bound", 0},
      {rmIndex, "8", "7", "To < From", 0},
      {rmWavelength, "5999", "6003", "Wavelength values out of bound", 0},
      {rmWavelength, "6001", "6020", "Wavelength values out of bound", 0},
      {rmWavelength, "6008", "6002", "To < From", 0},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(std::string(R.From) + " .. " + R.To);
    Activate(P);
    Fake->Clear();
    const int Before = List().Count();
    Norm->RgMethod->SetItemIndex(R.Mode);
    Norm->EdFrom->setText(R.From);
    Norm->EdTo->setText(R.To);
    RunCommand(Norm, Norm->ActionNormalize);
    if (*R.Message) {
      EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Message});
      EXPECT_EQ(List().Count(), Before);
      continue;
    }
    EXPECT_TRUE(Fake->Records.empty());
    ASSERT_EQ(List().Count(), Before + 1);
    TSpec32 *New = Last();
    EXPECT_EQ(New->FileName().rfind("star-norm", 0), 0u) << New->FileName();
    ASSERT_EQ(New->Size(), Src.Size());
    for (int i = 0; i < Src.Size(); ++i)
      EXPECT_DOUBLE_EQ(New->DataY[i], Src.DataY[i] / R.Divisor);
    EXPECT_NE(New->Profile32(), nullptr);
  }
  // With typed limits a mouse selection makes nothing.
  Activate(P);
  const int Before = List().Count();
  Norm->RgMethod->SetItemIndex(rmIndex);
  P.SelectRange(2, 6);
  EXPECT_EQ(List().Count(), Before);
}

// ---- Crop ----

TEST_F(PanelTest, CropTypedLimitsMouseAndMessages) {
  TSpec32 &Src = Ramp("star.fits", 20, [](int i) { return 10.0 + i; });
  TProfile32 &P = Open(Src);
  ShowTool(TToolKind::Crop);
  struct TRow {
    TRangeMethod Mode;
    const char *From, *To;
    const char *Message;
    int I0, I1; // the samples copied, both included
  };
  const TRow Rows[] = {
      {rmIndex, "0", "19", "", 0, 19}, // the whole spectrum
      {rmIndex, "4", "9", "", 4, 9},
      {rmWavelength, "6003", "6007.4", "", 3, 7},
      {rmIndex, "7", "7", "From >= To", 0, 0},
      {rmIndex, "8", "7", "From >= To", 0, 0},
      {rmIndex, "-1", "7", "Index values out of bound", 0, 0},
      {rmIndex, "0", "20", "Index values out of bound", 0, 0},
      {rmWavelength, "6005", "6005", "From >= To", 0, 0},
      {rmWavelength, "6005.1", "6005.3", "From >= To", 0, 0}, // both nearest to index 5
      {rmWavelength, "5999.5", "6005", "Wavelength values out of bound", 0, 0},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(std::string(R.From) + " .. " + R.To);
    Activate(P);
    Fake->Clear();
    const int Before = List().Count();
    Crop->RgMethod->SetItemIndex(R.Mode);
    Crop->EdFrom->setText(R.From);
    Crop->EdTo->setText(R.To);
    RunCommand(Crop, Crop->ActionCrop);
    if (*R.Message) {
      EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Message});
      EXPECT_EQ(List().Count(), Before);
      continue;
    }
    EXPECT_TRUE(Fake->Records.empty());
    ASSERT_EQ(List().Count(), Before + 1);
    TSpec32 *New = Last();
    EXPECT_EQ(New->FileName().rfind("star-crop", 0), 0u) << New->FileName();
    ASSERT_EQ(New->Size(), R.I1 - R.I0 + 1);
    EXPECT_EQ(New->DataX, TDblArr1D(Src.DataX.begin() + R.I0, Src.DataX.begin() + R.I1 + 1));
    EXPECT_EQ(New->DataY, TDblArr1D(Src.DataY.begin() + R.I0, Src.DataY.begin() + R.I1 + 1));
    EXPECT_NE(New->Profile32(), nullptr);
  }
  // The whole spectrum under the plain suffix.
  EXPECT_NE(Listed("star-crop"), nullptr);
  // With the mouse: the selected samples 12 ... 16 at once.
  Activate(P);
  Crop->RgMethod->SetItemIndex(rmMouse);
  Crop->ActionList1Update();
  EXPECT_FALSE(Crop->ActionCrop->isEnabled());
  const int Before = List().Count();
  P.SelectRange(12, 17);
  ASSERT_EQ(List().Count(), Before + 1);
  TSpec32 *New = Last();
  EXPECT_EQ(New->DataY, (TDblArr1D{22, 23, 24, 25, 26}));
}

// ---- Tool 2 ----

TEST_F(PanelTest, Tool2CurvePerWindowUntilAnotherToolIsShown) {
  // y crosses zero, so the zero curve lies inside the plot.
  TProfile32 &A = Open(Ramp("a.dat", 60, [](int i) { return -1.0 + i / 30.0; }));
  TProfile32 &B = Open(Ramp("b.dat", 80, [](int i) { return std::sin(i / 5.0); }));
  ShowTool(TToolKind::Tool2);
  EXPECT_EQ(S(Tool2->LaNArr), "Waiting for selection");
  Activate(A);
  A.SelectRange(5, 9);
  EXPECT_EQ(S(Tool2->LaNArr), "4 points selected (index 5 .. index 8)");
  A.SelectRange(5, 6);
  EXPECT_EQ(S(Tool2->LaNArr), "1 point selected (index 5)");

  // A text that is no number: the general error, and no curve.
  Tool2->EdParam->setText("x1");
  Click(Tool2, Tool2->BuSmooth);
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'x1' is not a valid floating point value"});
  EXPECT_EQ(A.Overlay().Count(), 0);
  Fake->Clear();

  Tool2->EdParam->setText("2.5");
  Click(Tool2, Tool2->BuSmooth);
  ASSERT_EQ(A.Overlay().Count(), 1);
  auto *CurveA = dynamic_cast<TOverlayProfile *>(A.Overlay().Object(0));
  ASSERT_NE(CurveA, nullptr);
  EXPECT_TRUE(CurveA->Enabled());
  EXPECT_EQ(CurveA->NVal(), 60);
  ASSERT_NE(CurveA->YVal(), nullptr);
  EXPECT_EQ(*CurveA->YVal(), TDblArr1D(60, 0.0));
  EXPECT_EQ(CurveA->Pen().color(), QColor(255, 0, 0));
  // The zero line is drawn in red across the plot.
  int Red = 0;
  const QImage &Img = A.Bmp();
  for (int y = 0; y < Img.height(); ++y)
    for (int x = 0; x < Img.width(); ++x)
      Red += Img.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GT(Red, A.PlotW() / 2);
  // A second "Smooth" reuses the window's curve.
  Click(Tool2, Tool2->BuSmooth);
  EXPECT_EQ(A.Overlay().Count(), 1);

  // B has no curve of its own until asked; A keeps its curve and its parameter.
  Activate(B);
  EXPECT_EQ(A.Overlay().Count(), 1);
  EXPECT_EQ(B.Overlay().Count(), 0);
  Tool2->EdParam->setText("7");
  Click(Tool2, Tool2->BuSmooth);
  ASSERT_EQ(B.Overlay().Count(), 1);
  EXPECT_EQ(dynamic_cast<TOverlayProfile *>(B.Overlay().Object(0))->NVal(), 80);
  Activate(A);
  EXPECT_EQ(Tool2->EdParam->text().toStdString(), "2.5");
  EXPECT_EQ(Tool2->Smooth(), CurveA);
  Activate(B);
  EXPECT_EQ(Tool2->EdParam->text().toStdString(), "7");
  EXPECT_DOUBLE_EQ(Tool2->Param(), 7);

  // Closing the current window: the tool moves on to B (or to no window), never keeping A's
  // freed curve; "Smooth" then works on B's own curve.
  TOverlayObject *CurveB = B.Overlay().Object(0);
  Activate(A);
  A.close();
  EXPECT_TRUE(Tool2->Smooth() == nullptr || Tool2->Smooth() == CurveB);
  Activate(B);
  EXPECT_EQ(Tool2->Smooth(), CurveB);
  Click(Tool2, Tool2->BuSmooth);
  EXPECT_EQ(B.Overlay().Count(), 1);

  // Another tool: every curve of Tool 2 is gone.
  ShowTool(TToolKind::Statistics);
  EXPECT_EQ(B.Overlay().Count(), 0);
  EXPECT_EQ(Tool2->Smooth(), nullptr);
  EXPECT_TRUE(Fake->Records.empty());
}

// ---- Gauss/Voigt ----

TEST_F(PanelTest, GaussVoigtBaselinePoints) {
  TProfile32 &P = Open(AddSpec("line.dat", {6500, 6501, 6502}, {1.0, 1.1, 0.9}));
  ShowTool(TToolKind::GaussVoigt);
  EXPECT_EQ(S(Gauss->LaNArr), "Waiting for selection");
  EXPECT_EQ(S(Gauss->LaBLLeft), "Baseline left :");
  EXPECT_EQ(S(Gauss->LaBLRight), "Baseline right:");
  struct TRow {
    int Choice;
    const char *Left, *Right;
  };
  // Each row on top of the one before: the fixed choices change nothing.
  const TRow Rows[] = {
      {0, "Baseline left : 6501, 1", "Baseline right:"},
      {2, "Baseline left : 6501, 1", "Baseline right:"},
      {1, "Baseline left : 6501, 1", "Baseline right: 6501, 1"},
      {3, "Baseline left : 6501, 1", "Baseline right: 6501, 1"},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.Choice);
    Gauss->RgBaseLine->SetItemIndex(R.Choice);
    P.SelectAll();
    EXPECT_EQ(S(Gauss->LaNArr), "3 points selected");
    EXPECT_EQ(S(Gauss->LaBLLeft), R.Left);
    EXPECT_EQ(S(Gauss->LaBLRight), R.Right);
  }
  // The first two samples on the right (the window never selects the sample at To): mean
  // (6500.5, 1.05).
  Gauss->RgBaseLine->SetItemIndex(1);
  P.SelectRange(0, 2);
  EXPECT_EQ(S(Gauss->LaNArr), "2 points selected");
  EXPECT_EQ(S(Gauss->LaBLRight), "Baseline right: 6500.5, 1.05");
  P.ClearSelection();
  EXPECT_EQ(S(Gauss->LaNArr), "Waiting for selection");
  EXPECT_EQ(S(Gauss->LaBLLeft), "Baseline left :");
}

TEST_F(PanelTest, GaussVoigtKeepsTheChoicePerWindow) {
  TProfile32 &A = Open(Ramp("a.dat", 10, [](int i) { return 1.0 + i; }));
  TProfile32 &B = Open(Ramp("b.dat", 10, [](int i) { return 2.0 + i; }));
  ShowTool(TToolKind::GaussVoigt);
  Activate(A);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 0);
  Gauss->RgBaseLine->SetItemIndex(1);
  Activate(B);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 0);
  Gauss->RgBaseLine->SetItemIndex(3);
  // Switching back and forth gives each window its own choice; the labels are reset.
  const std::pair<TProfile32 *, int> Steps[] = {{&A, 1}, {&B, 3}, {&A, 1}, {&A, 1}, {&B, 3}};
  for (const auto &[W, Choice] : Steps) {
    Activate(*W);
    EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), Choice) << W->Spec32()->FileName();
    EXPECT_EQ(S(Gauss->LaBLLeft), "Baseline left :");
  }
  // A window opened now starts with "select left"; the others keep theirs.
  TProfile32 &C = Open(Ramp("c.dat", 10, [](int i) { return 3.0 + i; }));
  Activate(C);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 0);
  Activate(B);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 3);
  // Hiding forgets everything: shown again, every window starts anew.
  ShowTool(TToolKind::Statistics);
  ShowTool(TToolKind::GaussVoigt);
  Activate(A);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 0);
}

TEST_F(PanelTest, InstallAddsTheFivePanelsHidden) {
  const std::pair<TToolKind, const char *> Kinds[] = {{TToolKind::Statistics, "Statistics"},
                                                      {TToolKind::Normalize, "Normalize"},
                                                      {TToolKind::Crop, "Crop"},
                                                      {TToolKind::Tool2, "Tool2"},
                                                      {TToolKind::GaussVoigt, "Gauss / Voigt Fit"}};
  for (const auto &[K, Caption] : Kinds) {
    TToolTemplate *T = Host->Tool(K);
    ASSERT_NE(T, nullptr) << Caption;
    EXPECT_EQ(T->windowTitle().toStdString(), Caption);
    EXPECT_FALSE(T->isVisible());
    EXPECT_EQ(T->parentWidget(), Main.get());
  }
  // The letter N shows the normalize tool.
  Host->ToolLetter('N');
  EXPECT_TRUE(Host->IsShown(TToolKind::Normalize));
}

TEST_F(PanelTest, MainWindowCommandsMenuAndToolBar) {
  // The "i-Tools" menu in its fixed order, the tools without a letter after a separator.
  QStringList Menu;
  for (QAction *A : Main->MenuITools->actions())
    Menu << (A->isSeparator() ? "-" : A->text());
  EXPECT_EQ(Menu, (QStringList{"Crop (C)", "Normalize (N)", "Smoothing Spline (P)", "FWHM/Extremum (F)",
                               "Statistics (S)", "-", "Gauss/Voigt Fit", "Tool 2..."}));
  // The tool bar: Open, List View, then a toggle button per lettered tool with its caption as hint.
  QStringList Bar;
  for (QAction *A : Main->MainToolBar->actions())
    if (!A->isSeparator()) Bar << A->toolTip();
  EXPECT_EQ(Bar, (QStringList{"Open File(s)", "File list on/off", "Crop", "Normalize", "Smoothing Spline",
                              "FWHM/Extremum", "Statistics"}));
  // A button is pressed while its tool is shown; another tool's button releases it.
  TSpec32 &A = Ramp("a", 30, [](int i) { return 1.0 + i; });
  TProfile32 &P = Open(A);
  Activate(P);
  QTest::keyClick(P.PlotSurface, Qt::Key_S);
  Main->ActionList1Update();
  EXPECT_TRUE(Host->Command(TToolKind::Statistics)->isChecked());
  EXPECT_EQ(Stat->Profile32(), &P);
  Run(Host->Command(TToolKind::Crop));
  Main->ActionList1Update();
  EXPECT_FALSE(Host->Command(TToolKind::Statistics)->isChecked());
  EXPECT_TRUE(Host->Command(TToolKind::Crop)->isChecked());
  // Quitting closes the shown tool.
  Fake->UnsavedAnswers.push_back(true);
  Main->close();
  EXPECT_EQ(Host->ActiveTool(), nullptr);
  EXPECT_FALSE(Crop->isVisible());
}

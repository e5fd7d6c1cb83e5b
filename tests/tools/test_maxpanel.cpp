// The FWHM/extremum panel and the profile fit of the Gauss/Voigt panel through real plot
// windows of a real main window (offscreen), driven through their controls and commands with
// the scripted UI services: values worked out by hand, the messages, what is rewritten and
// cleared, and fits of synthetic lines whose true parameters are known.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

#include "Units/UVoigt.h"
#include "core/UFormat.h"
#include "display/UOverlay.h"
#include "display/UProfile32.h"
#include "display/UProfileWindows.h"
#include "ops/UOpListing.h"
#include "ToolPanelFixture.h"
#include "shell/ShellFixture.h"
#include "tools/UToolGaussVoigt.h"
#include "tools/UToolHost.h"
#include "tools/UToolMaximum.h"
#include "tools/UToolMaximumCore.h"
#include "tools/UToolPanels.h"

using TK = TFakeUiServices;

namespace {

// The text of a label or an edit.
template <class W> std::string S(const W *E) { return E->text().toStdString(); }
std::vector<std::string> Lines(const QPlainTextEdit *M) {
  const QString T = M->toPlainText();
  std::vector<std::string> Out;
  if (T.isEmpty()) return Out;
  for (const QString &L : T.split('\n'))
    Out.push_back(L.toStdString());
  return Out;
}

class MaxPanelTest : public ToolPanelTest {
protected:
  void SetUp() override {
    ToolPanelTest::SetUp();
    Max = dynamic_cast<TToolMaximum *>(Host->Tool(TToolKind::Maximum));
    Gauss = dynamic_cast<TToolGaussVoigt *>(Host->Tool(TToolKind::GaussVoigt));
    ASSERT_TRUE(Max && Gauss);
  }
  // A spectrum x = X0 + Step i, y = F(x), i = 0 ... N-1.
  template <class F> TSpec32 &Sampled(const std::string &Name, int N, double X0, double Step, F Fy) {
    std::vector<double> X(N), Y(N);
    for (int i = 0; i < N; ++i) {
      X[i] = X0 + Step * i;
      Y[i] = Fy(X[i]);
    }
    return AddSpec(Name, X, Y);
  }
  // "Re-Calculate" as the user runs it: enabled by the idle rule first.
  void ReCalculate() {
    Max->ActionList1Update();
    Max->ActionCalculate->trigger();
  }
  bool MaxResultsCleared() {
    return S(Max->LaExtrem) == "Extremum" && S(Max->EdExtremum).empty() && S(Max->EdLocation).empty() &&
           S(Max->EdFWHM).empty() && Max->Memo1->toPlainText().isEmpty();
  }
  static int CountPixels(const QImage &Img, QRgb C) {
    int K = 0;
    for (int y = 0; y < Img.height(); ++y)
      for (int x = 0; x < Img.width(); ++x)
        K += Img.pixel(x, y) == C;
    return K;
  }

  TToolMaximum *Max = nullptr;
  TToolGaussVoigt *Gauss = nullptr;
};

// ---- FWHM/extremum ----

TEST_F(MaxPanelTest, MaximumExactParabolaAndItsMirror) {
  // y = +-(5 - (x - 2)^2) at x = 0, 0.5, ... 4: samples 1, 2.75, 4, 4.75, 5, 4.75, 4, 2.75, 1.
  // Level 2.5 is crossed between x = 0 and 0.5 (slope 3.5: at 0 + 1.5/3.5) and between 3.5 and 4
  // (at 3.5 + 0.25/3.5): FWHM = 22/7 = 3.14286. The mirrored curve is an absorption dip below
  // zero: its extremum is a minimum of -5.
  struct TRow {
    double Sign;
    const char *Extrem, *Value;
  };
  const TRow Rows[] = {{1, "Maximum", "5.00000"}, {-1, "Minimum", "-5.00000"}};
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.Extrem);
    TProfile32 &P = Open(Sampled(R.Sign > 0 ? "up.dat" : "down.dat", 9, 0, 0.5,
                                 [&](double x) { return R.Sign * (5 - (x - 2) * (x - 2)); }));
    ShowTool(TToolKind::Maximum);
    EXPECT_EQ(S(Max->LaNArr), "Make selection");
    EXPECT_TRUE(MaxResultsCleared());
    Max->RgPoly->SetItemIndex(0);
    Max->EdNPoints->setText("5");
    P.SelectAll();
    EXPECT_EQ(S(Max->LaNArr), "9 points selected (index 0 .. index 8)");
    EXPECT_EQ(S(Max->LaExtrem), R.Extrem);
    EXPECT_EQ(S(Max->EdExtremum), R.Value);
    EXPECT_EQ(S(Max->EdLocation), "2.00000");
    EXPECT_EQ(S(Max->EdFWHM), "3.14286");
    EXPECT_EQ(Max->Sign(), R.Sign > 0 ? 1 : -1);
    EXPECT_EQ(Max->Degree(), 2);
    // "Residuals", "---------", five residuals of an exact fit, the RMS line.
    const std::vector<std::string> M = Lines(Max->Memo1);
    ASSERT_EQ(M.size(), 8u);
    EXPECT_EQ(M[0], "Residuals");
    EXPECT_EQ(M[1], "---------");
    for (size_t j = 2; j < 7; ++j)
      EXPECT_LT(std::fabs(StrToFloat(M[j])), 1e-12) << M[j];
    ASSERT_EQ(M[7].rfind("RMS residuals: ", 0), 0u) << M[7];
    EXPECT_LT(std::fabs(StrToFloat(M[7].substr(15))), 1e-12) << M[7];
    EXPECT_TRUE(Fake->Records.empty());
    P.close();
  }
}

TEST_F(MaxPanelTest, MaximumNumberOfPointsIsRewritten) {
  // A peak at x = 10 on samples x = 0 ... 20: the selection 0 ... 19 has it at position 10, so
  // even m = 20 (window 0 ... 19) fits.
  TProfile32 &P =
      Open(Sampled("peak.dat", 21, 0, 1, [](double x) { return std::exp(-(x - 10) * (x - 10) / 18); }));
  ShowTool(TToolKind::Maximum);
  struct TRow {
    int Poly;
    const char *Typed;
    int Sel1; // SelectRange(0, Sel1): samples 0 ... Sel1 - 1
    const char *Want;
  };
  const TRow Rows[] = {
      {1, "3", 21, "5"},   // degree 4 needs at least 5 points
      {0, "2", 21, "3"},   // degree 2 at least 3
      {1, "50", 20, "20"}, // no more than the 20 selected
      {0, "7", 21, "7"},   // a fitting number stays
      {1, " 9 ", 21, "9"}, // as the user may type it
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.Typed);
    Max->RgPoly->SetItemIndex(R.Poly);
    Max->EdNPoints->setText(R.Typed);
    P.SelectRange(0, R.Sel1);
    EXPECT_EQ(S(Max->EdNPoints), R.Want);
    EXPECT_EQ(std::to_string(Max->NPoints()), R.Want);
    // An odd number of points centres the fit window on the peak: the symmetric line's extremum
    // lies exactly there. (Twenty points take one more sample on the left.)
    if (Max->NPoints() % 2 == 1) {
      EXPECT_EQ(S(Max->EdLocation), "10.00000");
    }
    EXPECT_FALSE(S(Max->EdLocation).empty());
    EXPECT_TRUE(Fake->Records.empty()) << Fake->Records.front().Text;
    Fake->Clear();
  }
  // Text that is no integer: the general conversion error; the selection stays usable, so the
  // corrected number recalculates.
  Max->EdNPoints->setText("5x");
  ReCalculate();
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{"'5x' is not a valid integer value"});
  Max->EdNPoints->setText("5");
  Fake->Clear();
  ReCalculate();
  EXPECT_EQ(S(Max->EdLocation), "10.00000");
  EXPECT_TRUE(Fake->Records.empty());
}

TEST_F(MaxPanelTest, MaximumFailuresShowTheirMessageAndClear) {
  // Samples 0 ... 39: a peak of height 1 at x = 20 (sigma 2) on a zero baseline, then a rising
  // straight line, then a flat stretch.
  TProfile32 &P = Open(Sampled("mixed.dat", 40, 0, 1, [](double x) {
    if (x < 30) return std::exp(-(x - 20) * (x - 20) / 8);
    return x < 35 ? x - 30 : 4.0;
  }));
  ShowTool(TToolKind::Maximum);
  Max->RgPoly->SetItemIndex(0);
  struct TRow {
    const char *What;
    int From, To; // SelectRange(From, To)
    const char *Msg;
  };
  const TRow Rows[] = {
      // The extreme sample at the selection's end: the window of 5 would leave it.
      {"line at the end", 30, 35, MaxNotFoundText},
      // The peak one sample from the start: window start 1 - 2 < 0.
      {"peak near the start", 19, 30, MaxNotFoundText},
      // Nothing stands out of a constant stretch.
      {"flat", 34, 40, MaxNoExtremumText},
  };
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.What);
    Max->EdNPoints->setText("5");
    P.SelectRange(14, 27); // the peak well inside: results shown
    ASSERT_EQ(S(Max->EdLocation), "20.00000");
    ASSERT_TRUE(Fake->Records.empty());
    P.SelectRange(R.From, R.To);
    EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{R.Msg});
    EXPECT_TRUE(MaxResultsCleared());
    Fake->Clear();
  }
  // A peak on a baseline of 1 (not zero): its samples never fall to half of about 2, so the
  // width fails while the extremum stands.
  TProfile32 &Q =
      Open(Sampled("base1.dat", 21, 0, 1, [](double x) { return 1 + std::exp(-(x - 10) * (x - 10) / 8); }));
  Activate(Q);
  Max->EdNPoints->setText("5");
  Q.SelectAll();
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{MaxFwhmFailedText});
  EXPECT_EQ(S(Max->LaExtrem), "Maximum");
  EXPECT_EQ(S(Max->EdLocation), "10.00000");
  EXPECT_EQ(S(Max->EdFWHM), "");
  EXPECT_EQ(Lines(Max->Memo1).size(), 8u);
}

TEST_F(MaxPanelTest, MaximumSmallSelectionRecalculateAndWindowSwitch) {
  // An asymmetric line, so that degree and number of points move the extremum.
  auto Line = [](double x) {
    return x < 10 ? std::exp(-(x - 10) * (x - 10) / 8) : std::exp(-(x - 10) * (x - 10) / 30);
  };
  TProfile32 &A = Open(Sampled("a.dat", 31, 0, 1, Line));
  TProfile32 &B = Open(Sampled("b.dat", 31, 0, 1, Line));
  ShowTool(TToolKind::Maximum);
  Activate(A);
  Max->ActionList1Update();
  EXPECT_FALSE(Max->ActionCalculate->isEnabled());
  EXPECT_FALSE(Max->BuCalculate->isEnabled());
  Max->RgPoly->SetItemIndex(0);
  Max->EdNPoints->setText("5");
  A.SelectRange(3, 20);
  Max->ActionList1Update();
  EXPECT_TRUE(Max->BuCalculate->isEnabled());
  const std::string Loc2 = S(Max->EdLocation);
  EXPECT_EQ(Lines(Max->Memo1).size(), 8u);

  // Four samples: only the text changes, the results stay; nothing to recalculate.
  A.SelectRange(3, 7);
  EXPECT_EQ(S(Max->LaNArr), MaxTooFewText);
  EXPECT_EQ(S(Max->EdLocation), Loc2);
  Max->ActionList1Update();
  EXPECT_FALSE(Max->ActionCalculate->isEnabled());

  // Degree 4 on 9 points, run by Return in the edit (the default button): the panel shows what
  // the model gives for those samples.
  A.SelectRange(3, 20);
  Max->RgPoly->SetItemIndex(1);
  Max->EdNPoints->setText("9");
  Max->ActionList1Update();
  QTest::keyClick(Max->EdNPoints, Qt::Key_Return);
  EXPECT_EQ(Max->Degree(), 4);
  EXPECT_EQ(Lines(Max->Memo1).size(), 12u);
  const TSpec32 &Sp = *A.Spec32();
  const std::vector<double> X(Sp.DataX.begin() + 3, Sp.DataX.begin() + 20),
      Y(Sp.DataY.begin() + 3, Sp.DataY.begin() + 20);
  const TMaximumResult R = ToolMaximum(X, Y, 4, 9);
  ASSERT_TRUE(R.Ok());
  EXPECT_EQ(S(Max->EdLocation), Format("%1.5f", R.Location));
  EXPECT_NE(S(Max->EdLocation), Loc2);
  EXPECT_TRUE(Fake->Records.empty());

  // Another window: everything reset.
  Activate(B);
  EXPECT_EQ(S(Max->LaNArr), "Make selection");
  EXPECT_TRUE(MaxResultsCleared());
  Max->ActionList1Update();
  EXPECT_FALSE(Max->ActionCalculate->isEnabled());
  // A click without a drag in the window (no selection) resets as well.
  B.SelectRange(3, 20);
  EXPECT_FALSE(MaxResultsCleared());
  B.ClearSelection();
  EXPECT_EQ(S(Max->LaNArr), "Make selection");
  EXPECT_TRUE(MaxResultsCleared());
}

TEST_F(MaxPanelTest, MaximumIsInstalledUnderItsLetter) {
  TToolTemplate *T = Host->Tool(TToolKind::Maximum);
  ASSERT_EQ(T, Max);
  EXPECT_EQ(T->windowTitle().toStdString(), "FWHM/Extremum");
  EXPECT_FALSE(T->isVisible());
  Host->ToolLetter('F');
  EXPECT_TRUE(Host->IsShown(TToolKind::Maximum));
  // The defaults of the controls.
  EXPECT_EQ(Max->RgPoly->ItemIndex(), 1);
  EXPECT_EQ(S(Max->EdNPoints), "5");
  EXPECT_EQ(S(Max->LaNArr), "Make selection");
}

// ---- Gauss/Voigt fit ----

// A label's number, "± " in front of an error skipped.
double Num(const QLabel *L) {
  std::string T = S(L);
  if (T.rfind("± ", 0) == 0) T = T.substr(std::string("± ").size());
  return StrToFloat(T);
}

TEST_F(MaxPanelTest, FitRecoversSyntheticLines) {
  // Lines with noise of standard deviation Noise (fixed seed), sampled every 0.05 from 6500.
  // The fitted centre and FWHM must lie within three of their standard errors of the truth, and
  // those errors must be of the size the noise allows. Truths: Gaussian FWHM 2 sqrt(2 ln 2)
  // sigma; Voigt FWHM from the approximation of Olivero and Longbothum (1977, JQSRT 17, 233:
  // 0.5346 fL + sqrt(0.2166 fL^2 + fG^2), good to 2e-4) with fG = 2 sqrt(ln 2) D and fL = 2 a D;
  // EW of a Gaussian depth sigma sqrt(2 pi) on a continuum of 1.
  struct TRow {
    const char *Name;
    bool Voigt;
    int Baseline;        // 1 = straight line through left and right points, 2 = fixed 0, 3 = fixed 1
    double Cont0, Slope; // continuum Cont0 + Slope (x - 6500)
    double Amp, Centre, Width, Damping; // Gauss: Width = sigma; Voigt: Width = D
    const char *Type;
  };
  const TRow Rows[] = {
      {"gauss absorption on 1", false, 3, 1.0, 0.0, -0.4, 6501.53, 0.12, 0, "Absorption (Gauss)"},
      {"gauss emission on 0", false, 2, 0.0, 0.0, 2.0, 6501.21, 0.2, 0, "Emission (Gauss)"},
      {"gauss on a sloped continuum", false, 1, 1.2, -0.1, -0.5, 6501.47, 0.15, 0, "Absorption (Gauss)"},
      {"voigt absorption on 1", true, 3, 1.0, 0.0, -0.6, 6501.52, 0.15, 0.4, "Absorption (Voigt, a = "},
  };
  const double Noise = 0.004;
  const int N = 61; // x = 6500 ... 6503
  for (const TRow &R : Rows) {
    SCOPED_TRACE(R.Name);
    std::mt19937 Gen(1234);
    std::normal_distribution<double> Gn(0.0, Noise);
    auto Model = [&](double x) {
      const double B = R.Cont0 + R.Slope * (x - 6500);
      if (!R.Voigt) {
        const double u = (x - R.Centre) / R.Width;
        return B + R.Amp * std::exp(-0.5 * u * u);
      }
      return B + R.Amp * Voigt((x - R.Centre) / R.Width, R.Damping) / Voigt(0, R.Damping);
    };
    TSpec32 &Sp =
        Sampled(std::string(R.Name) + ".dat", N, 6500, 0.05, [&](double x) { return Model(x) + Gn(Gen); });
    TProfile32 &P = Open(Sp);
    ShowTool(TToolKind::GaussVoigt);
    Gauss->RgProfile->SetItemIndex(R.Voigt ? 1 : 0);
    int I0 = 2, I1 = N - 3; // the samples fitted
    if (R.Baseline == 1) {
      // Left stretch 2 ... 9, right stretch 51 ... 58: the fit runs from 2 to 58.
      Gauss->RgBaseLine->SetItemIndex(0);
      P.SelectRange(2, 10);
      Gauss->RgBaseLine->SetItemIndex(1);
      P.SelectRange(51, 59);
    } else {
      Gauss->RgBaseLine->SetItemIndex(R.Baseline);
      P.SelectRange(I0, I1 + 1);
    }
    EXPECT_EQ(S(Gauss->LaFitBase).find("missing"), std::string::npos) << S(Gauss->LaFitBase);
    Gauss->ActionList1Update();
    ASSERT_TRUE(Gauss->BuFit->isEnabled());
    Gauss->BuFit->click();
    ASSERT_TRUE(Fake->Records.empty()) << Fake->Records.front().Text;
    const TProfileFitResult *F = Gauss->FitResult();
    ASSERT_NE(F, nullptr);
    EXPECT_EQ(F->N, I1 - I0 + 1);

    const double TrueFwhm = R.Voigt ? 0.5346 * 2 * R.Damping * R.Width +
                                          std::sqrt(0.2166 * std::pow(2 * R.Damping * R.Width, 2) +
                                                    std::pow(2 * std::sqrt(std::log(2.0)) * R.Width, 2))
                                    : 2 * std::sqrt(2 * std::log(2.0)) * R.Width;
    // What the panel shows, read back from its labels.
    const double C = Num(Gauss->LaCentre), CE = Num(Gauss->LaCentreErr);
    const double W = Num(Gauss->LaFWHM), WE = Num(Gauss->LaFWHMErr);
    const double D = Num(Gauss->LaDepth), DE = Num(Gauss->LaDepthErr);
    EXPECT_GT(CE, 0);
    EXPECT_LT(CE, 0.01);
    EXPECT_NEAR(C, R.Centre, 3 * CE);
    EXPECT_GT(WE, 0);
    EXPECT_LT(WE, 0.05 * TrueFwhm);
    EXPECT_NEAR(W, TrueFwhm, 3 * WE);
    EXPECT_NEAR(D, std::fabs(R.Amp), 3 * DE);
    EXPECT_EQ(S(Gauss->LaType).rfind(R.Type, 0), 0u) << S(Gauss->LaType);
    EXPECT_EQ(S(Gauss->LaDepthCaption), R.Amp < 0 ? "Depth" : "Height");
    if (R.Voigt) {
      EXPECT_NEAR(F->Damping, R.Damping, 3 * F->DampingErr);
    }
    if (R.Cont0 == 0) {
      // No equivalent width on a zero continuum; the area A sigma sqrt(2 pi) instead.
      EXPECT_EQ(S(Gauss->LaEW), "");
      EXPECT_NEAR(Num(Gauss->LaArea), R.Amp * R.Width * std::sqrt(2 * std::numbers::pi),
                  3 * Num(Gauss->LaAreaErr));
    } else if (!R.Voigt && R.Slope == 0) {
      EXPECT_NEAR(Num(Gauss->LaEW), -R.Amp * R.Width * std::sqrt(2 * std::numbers::pi),
                  3 * Num(Gauss->LaEWErr));
    }

    // The fitted curve over the spectrum: the window's one overlay, with gaps outside the fit.
    ASSERT_EQ(P.Overlay().Count(), 1);
    auto *Curve = dynamic_cast<TOverlayProfile *>(P.Overlay().Object(0));
    ASSERT_NE(Curve, nullptr);
    EXPECT_TRUE(Curve->Enabled());
    ASSERT_EQ(Curve->NVal(), N);
    const TDblArr1D &V = *Curve->YVal();
    for (int i = 0; i < N; ++i) {
      if (i < I0 || i > I1)
        EXPECT_TRUE(std::isnan(V[i])) << i;
      else
        EXPECT_NEAR(V[i], Model(Sp.DataX[i]), 5 * Noise) << i;
    }
    EXPECT_GT(CountPixels(P.Bmp(), Curve->Pen().color().rgb()), 50);
    P.close();
    Fake->Clear();
  }
}

TEST_F(MaxPanelTest, FitSaysWhatIsMissingAndKeepsItsWorkPerWindow) {
  auto Line = [](double x) { return 1 - 0.5 * std::exp(-0.5 * std::pow((x - 6501.5) / 0.15, 2)); };
  TProfile32 &A = Open(Sampled("a.dat", 61, 6500, 0.05, Line));
  TProfile32 &B = Open(Sampled("b.dat", 61, 6500, 0.05, Line));
  ShowTool(TToolKind::GaussVoigt);
  Activate(A);
  struct TStep {
    int Choice;
    int From, To; // SelectRange(From, To); From < 0: none
    const char *Base;
    bool Enabled;
  };
  const TStep Steps[] = {
      {0, -1, 0, "Baseline points left and right missing:\nselect the stretches beside the line", false},
      {0, 2, 10, "Baseline point right missing:\nselect it with \"select right\"", false},
      {3, -1, 0, "Fit on the baseline fixed at 1,\nindex 2 .. index 9", true},
      {1, 51, 59, "Fit on the line through the baseline points,\nindex 2 .. index 58", true},
      {2, -1, 0, "Fit on the baseline fixed at 0,\nindex 51 .. index 58", true},
  };
  for (const TStep &St : Steps) {
    SCOPED_TRACE(St.Base);
    Gauss->RgBaseLine->SetItemIndex(St.Choice);
    if (St.From >= 0) A.SelectRange(St.From, St.To);
    Gauss->ActionList1Update();
    EXPECT_EQ(S(Gauss->LaFitBase), St.Base);
    EXPECT_EQ(Gauss->BuFit->isEnabled(), St.Enabled);
  }
  // A click without a drag removes the selection: a fixed baseline has nothing to fit, the
  // straight line still has its two points.
  A.ClearSelection();
  Gauss->ActionList1Update();
  EXPECT_EQ(S(Gauss->LaFitBase), "Baseline fixed at 0:\nselect the line to fit");
  EXPECT_FALSE(Gauss->BuFit->isEnabled());
  Gauss->RgBaseLine->SetItemIndex(1);
  Gauss->ActionList1Update();
  ASSERT_TRUE(Gauss->BuFit->isEnabled());
  Gauss->BuFit->click();
  ASSERT_NE(Gauss->FitResult(), nullptr);
  const std::string CentreA = S(Gauss->LaCentre);
  EXPECT_EQ(CentreA.substr(0, 6), "6501.5");
  EXPECT_EQ(A.Overlay().Count(), 1);

  // B starts with nothing of A's; A's curve stays in A.
  Activate(B);
  EXPECT_EQ(Gauss->FitResult(), nullptr);
  EXPECT_EQ(S(Gauss->LaCentre), "");
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 0);
  Gauss->ActionList1Update();
  EXPECT_FALSE(Gauss->BuFit->isEnabled());
  EXPECT_EQ(B.Overlay().Count(), 0);
  EXPECT_EQ(A.Overlay().Count(), 1);
  // Two baseline points at the same x make no line.
  B.SelectRange(5, 10);
  Gauss->RgBaseLine->SetItemIndex(1);
  B.SelectRange(5, 10);
  Gauss->ActionList1Update();
  Gauss->BuFit->click();
  EXPECT_EQ(Fake->Texts(TK::kError), std::vector<std::string>{ProfSameXText});
  EXPECT_EQ(B.Overlay().Count(), 0);
  Fake->Clear();

  // Back in A: its points, its results and its curve.
  Activate(A);
  EXPECT_EQ(Gauss->RgBaseLine->ItemIndex(), 1);
  EXPECT_EQ(S(Gauss->LaCentre), CentreA);
  Gauss->ActionList1Update();
  EXPECT_TRUE(Gauss->BuFit->isEnabled());
  // A fit that fails (a flat stretch on its own level) clears the results and hides the curve.
  Gauss->RgBaseLine->SetItemIndex(3);
  A.SelectRange(0, 8);
  Gauss->ActionList1Update();
  Gauss->BuFit->click();
  EXPECT_EQ(Fake->Texts(TK::kError).size(), 1u);
  EXPECT_EQ(Gauss->FitResult(), nullptr);
  EXPECT_EQ(S(Gauss->LaCentre), "");
  ASSERT_EQ(A.Overlay().Count(), 1);
  EXPECT_FALSE(A.Overlay().Object(0)->Enabled());
  Fake->Clear();

  // Another tool: the curves go.
  Gauss->RgBaseLine->SetItemIndex(1);
  Gauss->ActionList1Update();
  Gauss->BuFit->click();
  EXPECT_TRUE(A.Overlay().Object(0)->Enabled());
  ShowTool(TToolKind::Maximum);
  EXPECT_EQ(A.Overlay().Count(), 0);
  EXPECT_TRUE(Fake->Records.empty());
}

} // namespace

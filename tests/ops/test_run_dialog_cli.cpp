// The same spectra through an operation dialog (scripted UI services) and through the
// command-line front end: the same messages, the same results (names and values as written
// to .dat), the dialog closing exactly when the command line ends with exit code 0.
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>

#include "cli/CliRun.h"
#include "core/UDatFile.h"
#include "core/USpecFiles.h"
#include "ops/UOpAddZeros.h"
#include "ops/UOpBinary0.h"
#include "ops/UOpBinary1.h"
#include "ops/UOpBinary2.h"
#include "ops/UOpCrop.h"
#include "ops/UOpListing.h"
#include "ops/UOpResample.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

const double Inf = std::numeric_limits<double>::infinity();
const std::string NonFinite =
    ": the result holds infinite or undefined values (a division by zero or a power "
    "that is not a real number)";

struct TSource {
  std::string Name; // ".dat" or ".fits" (the latter for values a text file cannot hold)
  std::vector<double> X, Y;
};

std::vector<double> Steps(int N, double X0, double Step = 1) {
  std::vector<double> X(static_cast<size_t>(N));
  for (int i = 0; i < N; ++i)
    X[static_cast<size_t>(i)] = X0 + i * Step;
  return X;
}

class RunDialogCliTest : public ShellTest {
protected:
  // Shows the dialog as its command does and drives it with Script; returns its result.
  template <class D> int Drive(D &Dlg, std::function<void(D &)> Script) {
    Fake->ModalScripts.push_back([&Dlg, Script](QDialog &Shown) {
      EXPECT_EQ(&Shown, &Dlg);
      Script(Dlg);
    });
    Dlg.Execute();
    return Dlg.result();
  }
};

struct TCase {
  const char *What;
  std::vector<TSource> Sources;
  std::vector<int> Selected;
  std::function<int()> Dialog;
  std::string Cli; // "@name" stands for the source file
  // What both must do, worked out by hand.
  std::vector<std::string> Messages, Results;
  bool Completes; // the dialog closes
  int Rc;         // the command line's exit code: 1 after any refusal (a warning is none)
};

TEST_F(RunDialogCliTest, DialogAndCommandLineAgree) {
  const std::vector<TCase> Cases = {
      {"add zeros: a spectrum that is not equidistant in the middle ends the loop",
       {{"a.dat", Steps(4, 1), {1, 2, 3, 4}},
        {"u.dat", {1, 2, 4, 5}, {1, 1, 1, 1}},
        {"c.dat", Steps(3, 1), {1, 1, 1}}},
       {0, 1, 2},
       [this] {
         TOpAddZeros Dlg(List(), Main.get());
         return Drive<TOpAddZeros>(Dlg, [](TOpAddZeros &D) {
           D.EdZero->setText("2");
           D.BuOKClick();
         });
       },
       "op zeros --count 2 @a.dat @u.dat @c.dat",
       {"u.dat is not equidistant"},
       {"a-zeros"},
       false,
       1},
      {"resample: a grid outside two spectra is refused before anything is made, the first told",
       {{"a.dat", Steps(10, 1), Steps(10, 0)},
        {"b.dat", Steps(8, 3), Steps(8, 0)},
        {"c.dat", Steps(6, 5), Steps(6, 0)}},
       {0, 1, 2},
       [this] {
         TOpResample Dlg(List(), Main.get());
         return Drive<TOpResample>(Dlg, [](TOpResample &D) {
           D.EdFromWL->setText("1");
           D.EdToWL->setText("9");
           D.EdStepWL->setText("1");
           D.RgInterpolation->SetItemIndex(0);
           D.BuOKClick();
         });
       },
       "op resample --from 1 --to 9 --step 1 --linear @a.dat @b.dat @c.dat",
       {"b.dat: the new grid (1 ... 9) reaches outside the x-range 3 ... 10"},
       {},
       false,
       1},
      {"resample inside every spectrum: natural splines, the same values",
       {{"a.dat", Steps(10, 1), {0, 1, 4, 9, 16, 25, 36, 49, 64, 81}},
        {"b.dat", Steps(8, 3), {5, 3, 2, 2, 3, 5, 8, 12}}},
       {0, 1},
       [this] {
         TOpResample Dlg(List(), Main.get());
         return Drive<TOpResample>(Dlg, [](TOpResample &D) {
           D.EdFromWL->setText("3.25");
           D.EdToWL->setText("9.75");
           D.EdStepWL->setText("0.5");
           D.RgInterpolation->SetItemIndex(1);
           D.BuOKClick();
         });
       },
       "op resample --from 3.25 --to 9.75 --step 0.5 @a.dat @b.dat",
       {},
       {"a-spline", "b-spline"},
       true,
       0},
      {"division by zero: told for the finite source only",
       {{"a.dat", Steps(3, 1), {1, -2, 0}}, {"w.fits", Steps(3, 1), {1, Inf, 3}}},
       {0, 1},
       [this] {
         TOpBinary0 Dlg(List(), Main.get());
         return Drive<TOpBinary0>(Dlg, [](TOpBinary0 &D) {
           D.RgOp->SetItemIndex(2);
           D.EdVal->setText("0");
           D.BuOKClick();
         });
       },
       "op number --div 0 @a.dat @w.fits",
       {"a-div" + NonFinite},
       {"a-div", "w-div"},
       true,
       0},
      {"crop: a spectrum too short for the index range is told, the others are cropped",
       {{"a.dat", Steps(5, 1), {1, 2, 3, 4, 5}},
        {"s.dat", Steps(3, 1), {1, 2, 3}},
        {"c.dat", Steps(5, 2), {5, 4, 3, 2, 1}}},
       {0, 1, 2},
       [this] {
         TOpCrop Dlg(List(), Main.get());
         return Drive<TOpCrop>(Dlg, [](TOpCrop &D) {
           D.RgMethod->SetItemIndex(1);
           D.EdFrom->setText("1");
           D.EdTo->setText("3");
           D.BuOKClick();
         });
       },
       "op crop --index --from 1 --to 3 @a.dat @s.dat @c.dat",
       {"s.dat: Index values out of bound"},
       {"a-crop", "c-crop"},
       true,
       1},
      {"each: a right-hand operand that is infinite already is not the operation's doing",
       {{"a1.dat", Steps(3, 1), {1, 2, 3}},
        {"a2.dat", Steps(3, 1), {4, 5, 6}},
        {"b.fits", Steps(3, 1), {0, Inf, 1}}},
       {0, 1},
       [this] {
         TOpBinary2 Dlg(List(), Main.get());
         return Drive<TOpBinary2>(Dlg, [](TOpBinary2 &D) {
           D.RgOp->SetItemIndex(0);
           D.BuOKClick();
         });
       },
       "op each --add --operand @b.fits @a1.dat @a2.dat",
       {},
       {"a1-add", "a2-add"},
       true,
       0},
      {"each: one left-hand operand on another x-axis makes nothing",
       {{"a1.dat", Steps(3, 1), {1, 2, 3}},
        {"a2.dat", Steps(4, 1), {4, 5, 6, 7}},
        {"b.dat", Steps(3, 1), {1, 1, 1}}},
       {0, 1},
       [this] {
         TOpBinary2 Dlg(List(), Main.get());
         return Drive<TOpBinary2>(Dlg, [](TOpBinary2 &D) {
           D.RgOp->SetItemIndex(1);
           D.BuOKClick();
           EXPECT_FALSE(D.BuOK->isEnabled());
         });
       },
       "op each --sub --operand @b.dat @a1.dat @a2.dat",
       {"a2.dat, b.dat: Number of data points differ"},
       {},
       false,
       1},
      {"pair: a zero in the divisor, both sources finite",
       {{"a.dat", Steps(3, 1), {1, 2, 3}}, {"z.dat", Steps(3, 1), {1, 0, 1}}},
       {0, 1},
       [this] {
         TOpBinary1 Dlg(List(), Main.get());
         Fake->ModalScripts.push_back([&Dlg](QDialog &) {
           Dlg.RgOp->SetItemIndex(3);
           Dlg.BuOKClick();
         });
         Dlg.Execute();
         return Dlg.result();
       },
       "op pair --div @a.dat @z.dat",
       {"Untitled-1" + NonFinite},
       {"Untitled-1"},
       true,
       0},
  };

  int K = 0;
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.What);
    // The dialog on a fresh main window (a fresh "Untitled-" counter).
    if (Main && !Main->Closed()) {
      Fake->UnsavedAnswers.push_back(true);
      Main->close();
    }
    Main.reset();
    Main = std::make_unique<TMain>(Options);
    Fake->Clear();
    for (const TSource &S : C.Sources)
      AddSpec(S.Name, S.X, S.Y);
    Select(C.Selected);
    const int N0 = List().Count();
    const int DialogResult = C.Dialog();
    std::vector<std::string> DlgNames, DlgTexts;
    for (int i = N0; i < List().Count(); ++i) {
      DlgNames.push_back(List().Spec(i).FileName());
      DlgTexts.push_back(DatText(List().Spec(i)));
    }
    EXPECT_EQ(Fake->Texts(TK::kError), C.Messages);
    EXPECT_EQ(DlgNames, C.Results);
    EXPECT_EQ(DialogResult == QDialog::Accepted, C.Completes);

    // The command line on the same spectra, written to files.
    testutil::TTempDir D;
    std::string Args = C.Cli;
    for (const TSource &S : C.Sources) {
      TSpec32 F;
      F.NewSpec(S.Name, static_cast<int32_t>(S.X.size()), 0, nullptr);
      F.DataX = S.X;
      F.DataY = S.Y;
      F.FinishFromArrays();
      if (S.Name.ends_with(".fits"))
        SaveSpecAsFits(F, D.File(S.Name));
      else
        WriteDat(F, D.File(S.Name));
      const std::string Token = "@" + S.Name;
      for (size_t P; (P = Args.find(Token + " ")) != std::string::npos || Args.ends_with(Token);) {
        if (P == std::string::npos) P = Args.size() - Token.size();
        Args.replace(P, Token.size(), "'" + D.File(S.Name) + "'");
      }
    }
    const std::string Out = D.File("out" + std::to_string(K++));
    const TCliResult R = RunCli(Args + " --out '" + Out + "'", D);
    std::vector<std::string> CliMessages, CliNames, CliTexts;
    std::istringstream Err(R.Err), Made(R.Out);
    for (std::string L; std::getline(Err, L);) {
      const std::string Prefix = "orvalumetrix-cli: ";
      EXPECT_TRUE(L.starts_with(Prefix)) << L;
      CliMessages.push_back(L.substr(std::min(L.size(), Prefix.size())));
    }
    for (std::string L; std::getline(Made, L);) {
      CliNames.push_back(std::filesystem::path(L).stem().string());
      CliTexts.push_back(testutil::ReadFile(L));
    }
    EXPECT_EQ(CliMessages, C.Messages);
    EXPECT_EQ(CliNames, C.Results);
    EXPECT_EQ(CliTexts, DlgTexts);
    EXPECT_EQ(R.Code, C.Rc) << R.Err;
  }
}

} // namespace

// The text window and the spectrum check on the single selected spectrum.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "ShellFixture.h"
#include "shell/UOpCheckSpectrum.h"
#include "shell/UTextWindow.h"

using TK = TFakeUiServices;

TEST_F(ShellTest, TextWindowShowsAtMost5000Lines) {
  AddRamp("long", 12000, 3000, 0.125);
  Select({0});
  int Rows = -1;
  std::string First, Last, Title;
  Fake->ModalScripts.push_back([&](QDialog &D) {
    auto &W = static_cast<TTextWindow &>(D);
    Rows = W.LvPoints->rowCount();
    First = W.LvPoints->item(1, 0)->text().toStdString() + "|" +
            W.LvPoints->item(1, 1)->text().toStdString() + "|" + W.LvPoints->item(1, 2)->text().toStdString();
    Last = W.LvPoints->item(4999, 0)->text().toStdString();
    Title = W.windowTitle().toStdString();
    W.BuClose->click();
  });
  Run(Main->ActionShowText);
  EXPECT_EQ(Fake->Texts(TK::kInfo), std::vector<std::string>{"Only 5000 lines out of 12000 lines are shown"});
  EXPECT_EQ(Rows, 5000);
  // x = 3000.125 with "%1.8g", y = 1.01 with "%1.7g".
  EXPECT_EQ(First, "1|3000.125|1.01");
  EXPECT_EQ(Last, "4999");
  EXPECT_EQ(Title, "long");
}

TEST_F(ShellTest, TextWindowOfAShortSpectrumHasNoMessage) {
  AddSpec("short", {1.23456789012, 2}, {0.000123456789, 5});
  Select({0});
  TTextWindow W(List());
  W.FormShow();
  EXPECT_TRUE(Fake->Records.empty());
  ASSERT_EQ(W.LvPoints->rowCount(), 2);
  EXPECT_EQ(W.LvPoints->item(0, 1)->text().toStdString(), "1.2345679");
  EXPECT_EQ(W.LvPoints->item(0, 2)->text().toStdString(), "0.0001234568");
}

TEST_F(ShellTest, TextWindowNeedsExactlyOneSelected) {
  AddRamp("a", 2);
  AddRamp("b", 2);
  Select({0, 1});
  TTextWindow W(List());
  EXPECT_THROW(W.FormShow(), EAssertFailure);
  EXPECT_FALSE(List().Locked());
}

TEST_F(ShellTest, CheckSpectrumReportsEveryPointNotAboveTheRunningMaximum) {
  AddSpec("bumpy", {1, 5, 2, 3, 6}, {0, 0, 0, 0, 0});
  AddSpec("fine", {1, 2, 3}, {0, 0, 0});
  TOpCheckSpectrum &C = Main->CheckSpectrum();
  Select({0});
  C.FormShow();
  EXPECT_EQ(C.MeText->toPlainText().toStdString(),
            "x-values are not strictly increasing with index (line 2)\n"
            "x-values are not strictly increasing with index (line 3)");
  Select({1});
  Fake->ModalScripts.push_back([](QDialog &D) { static_cast<TOpCheckSpectrum &>(D).BuClose->click(); });
  Run(Main->ActionOpCheckSpectrum);
  EXPECT_EQ(C.MeText->toPlainText().toStdString(), "x-vlaues are strictly increasing with index");
  EXPECT_EQ(C.Source(), &List().Spec(1));
}

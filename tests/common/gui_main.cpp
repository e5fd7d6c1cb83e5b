// Test entry point for GUI tests: one QApplication per executable, offscreen.
#include <QApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  // gtest_discover_tests lists the tests without the test environment; without a display
  // QApplication would abort.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QStandardPaths::setTestModeEnabled(true);
  QApplication App(argc, argv);
  // QApplication adopts the user's LC_NUMERIC; the program never formats through it.
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Program start: the main window with the file list and the dialogs, then the files named on
// the command line, then the event loop.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <clocale>
#include <string>
#include <vector>

#include "gui/UUiServices.h"
#include "shell/UFileList.h"
#include "shell/UMain.h"

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  QApplication::setApplicationName("Orvalumetrix");
  QApplication::setApplicationDisplayName("Orvalumetrix");
  // QApplication adopts the user's LC_NUMERIC; "." is the decimal separator everywhere.
  std::setlocale(LC_NUMERIC, "C");

  // Before the main window exists: reading the settings moves the current folder, and names
  // given relative to the folder the program was started in must still find their files.
  std::vector<std::string> Args;
  for (const QString &A : QCoreApplication::arguments())
    Args.push_back(A.toStdString());
  const TStartFiles Start = StartFilesFromArguments(Args);

  TMainOptions Options;
  Options.ExeName = QCoreApplication::applicationFilePath().toStdString();
  TMain Main(Options);
  // Without a window manager (a bare X server) "maximised" is only a wish: start at the
  // screen's full size anyway.
  if (QScreen *S = QGuiApplication::primaryScreen()) Main.setGeometry(S->availableGeometry());
  Main.showMaximized();

  // "--view": the files named are also shown in plot windows, as View Profile does.
  // Opened once the loop runs, so that message boxes have their windows.
  if (!Start.Names.empty())
    QTimer::singleShot(0, &Main, [&Main, Start] {
      Guarded([&] {
        Main.OpenFiles(Start.Names);
        if (Start.View && Main.FileList().Count() > 0) {
          Main.FileList().ListView->selectAll();
          Main.ViewProfile();
        }
      });
    });
  return App.exec();
}

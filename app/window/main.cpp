// The window program: the Qt runtime installed under the logic's entry.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/app_start.h"
#include "ui/qt/qt_runtime.h"
#include "ui/window_runtime.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("parcora"));
  QtRuntime runtime;
  Ui_SetRuntime(&runtime);
  App_Start();
  Ui_RunExitRoutines();
  Ui_SetRuntime(nullptr);
  if (runtime.FetchStillRunning()) {
    // The window was closed while a page was on its way. Nothing is left to
    // do with it, so the program ends now instead of waiting for the network.
    std::fflush(nullptr);
    std::_Exit(0);
  }
  return 0;
}

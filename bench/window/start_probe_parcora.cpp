// The window program's start-up, as app/window/main.cpp runs it, reporting
// when the main window has first been painted and then closing it.
#include "first_paint_reporter.h"
#include "ui/app_start.h"
#include "ui/qt/qt_runtime.h"
#include "ui/window_runtime.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  FirstPaintReporter reporter;
  application.installEventFilter(&reporter);
  QtRuntime runtime;
  Ui_SetRuntime(&runtime);
  App_Start();
  Ui_RunExitRoutines();
  Ui_SetRuntime(nullptr);
  return 0;
}

// The yardstick: a minimal Qt Widgets program showing one empty window with
// the main window's client size.
#include "first_paint_reporter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  FirstPaintReporter reporter;
  application.installEventFilter(&reporter);
  QWidget window;
  window.setFixedSize(615, 346);
  window.show();
  return application.exec();
}

// The yardstick with the core's libraries loaded (PCRE2; libcurl only comes
// with the first fetch): the same empty window, so the difference to
// start_probe_minimal is what loading those libraries costs by itself.
#include "first_paint_reporter.h"
#include "web/web_access.h"

int main(int argc, char* argv[]) {
  // A use of the web layer keeps the linker from dropping it.
  volatile auto fetch = &Web_Fetch;
  (void)fetch;
  QApplication application(argc, argv);
  FirstPaintReporter reporter;
  application.installEventFilter(&reporter);
  QWidget window;
  window.setFixedSize(615, 346);
  window.show();
  return application.exec();
}

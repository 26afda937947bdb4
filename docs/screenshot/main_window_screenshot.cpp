// Takes the README's picture of the main window: the window program's own
// runtime, one click of 查询 against the tracking-service stand-in on
// 127.0.0.1, then the window as it is drawn. Run it under xvfb-run:
//   xvfb-run -a BUILD/docs/main_window_screenshot docs/main-window.png
#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "query/report_clock.h"
#include "query/track_service.h"
#include "support/tracking_service.h"
#include "ui/program_globals.h"
#include "ui/qt/qt_runtime.h"
#include "ui/window_records.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  TrackingService service;
  service.ServeEntries({
      {"2016-09-20 18:42:10", "", TrackingService::JsonEscape("【杭州市】 浙江杭州西湖公司 已揽收"), ""},
      {"2016-09-21 02:15:37", "", TrackingService::JsonEscape("【杭州市】 已发往 上海转运中心"), ""},
      {"2016-09-21 09:03:54", "", TrackingService::JsonEscape("【上海市】 已到达 上海转运中心"), ""},
      {"2016-09-22 07:48:21", "", TrackingService::JsonEscape("【上海市】 派件员正在为您派件"), ""},
      {"2016-09-22 10:05:03", "", TrackingService::JsonEscape("【上海市】 已签收，签收人：本人"), ""},
  });
  Query_SetTrackServiceBase(service.BaseUrl());
  Query_SetTimeSource([] { return DateTime{2016, 9, 22, 10, 30, 12}; });
  Globals_CreateTrackRegex();

  QtRuntime runtime;
  Ui_SetRuntime(&runtime);
  RecordWindow* window = runtime.ShowWindow(MainWindowName);
  if (!QTest::qWaitForWindowExposed(window)) return 1;
  window->findChild<QPushButton*>(QStringLiteral("按钮_查询"))->click();
  QTest::qWait(1100);  // one tick of the clock line
  bool saved = window->grab().save(QString::fromLocal8Bit(argv[1]));
  delete window;
  Ui_SetRuntime(nullptr);
  Globals_Release();
  return saved ? 0 : 1;
}

// A query whose pages come slowly: the window keeps painting and its clock
// ticking, shows that it is busy, defers the timed query, and can be closed.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWindow>
#include <QPlainTextEdit>
#include <QPushButton>

#include "qt_window_fixture.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int Count() const { return count_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count_;
    return false;
  }

 private:
  int count_ = 0;
};

std::vector<std::string> RequestPaths(const std::vector<RecordedRequest>& requests) {
  std::vector<std::string> paths;
  for (const RecordedRequest& request : requests) {
    paths.push_back(request.target.substr(0, request.target.find('?')));
  }
  return paths;
}

}  // namespace

TEST_F(QtWindowTest, WindowPaintsAndShowsItIsBusyDuringASlowQuery) {
  GatedTrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  auto* button = Find<QPushButton>("按钮_查询");
  auto* clock = Find<QLabel>("透明标签2");
  PaintCounter paints(clock);
  Ui_SetTimerPeriod("时钟1", 10);

  bool sawBusy = false;
  bool buttonDisabled = false;
  bool busyCursor = false;
  bool painted = false;
  QTimer::singleShot(0, [&] {
    if (!WaitUntil([&] { return service.Arrived() == 1; })) return;  // the query waits at the gate
    sawBusy = runtime_.Busy();
    buttonDisabled = !button->isEnabled();
    busyCursor = QApplication::overrideCursor() &&
                 QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    clock->clear();
    int before = paints.Count();
    painted = WaitUntil([&] { return !clock->text().isEmpty() && paints.Count() > before; });
    service.Open();
  });
  QTest::mouseClick(button, Qt::LeftButton);

  EXPECT_TRUE(sawBusy);
  EXPECT_TRUE(buttonDisabled);
  EXPECT_TRUE(busyCursor);
  EXPECT_TRUE(painted) << "the clock line ticks and paints while the page is on its way";
  EXPECT_FALSE(runtime_.Busy());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(ReportText().contains(U("已签收")));
}

TEST_F(QtWindowTest, InputDuringASlowQueryWaitsForItsEnd) {
  GatedTrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  auto* methodTwo = Find<QCheckBox>("选择框2");
  auto* number = Find<QLineEdit>("编辑框_ID");
  QWindow* window = mainWindow_->windowHandle();
  bool heldDuringQuery = false;
  QTimer::singleShot(0, [&] {
    if (!WaitUntil([&] { return service.Arrived() == 1; })) return;
    // Through the window, as the window system delivers input.
    number->setFocus();
    number->end(false);
    QTest::keyClick(window, Qt::Key_7);
    QTest::mouseClick(window, Qt::LeftButton, {}, methodTwo->geometry().center());
    QTest::qWait(30);
    heldDuringQuery = !methodTwo->isChecked() && number->text() == U("3903300539521");
    service.Open();
  });
  QTest::mouseClick(Find<QPushButton>("按钮_查询"), Qt::LeftButton);

  EXPECT_TRUE(heldDuringQuery) << "no input reached the window while the query ran";
  // Afterwards it arrives, in order: the key typed, the click ran its handler.
  EXPECT_TRUE(WaitUntil([&] { return methodTwo->isChecked(); }));
  EXPECT_FALSE(Find<QCheckBox>("选择框1")->isChecked());
  EXPECT_EQ(number->text(), U("39033005395217"));
}

TEST_F(QtWindowTest, TimedTickDuringAQueryRunsOnceAfterIt) {
  GatedTrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  int timedRunsDuringQuery = -1;
  QTimer::singleShot(0, [&] {
    if (!WaitUntil([&] { return service.Arrived() == 1; })) return;
    // Several periods fall due while the query waits for its first page.
    Ui_SetTimerPeriod("时钟2", 10);
    QTest::qWait(80);
    timedRunsDuringQuery = service.Arrived() - 1;
    // A long period from now on: only the tick already due may still come.
    Ui_SetTimerPeriod("时钟2", 600000);
    service.Open();
  });
  QTest::mouseClick(Find<QPushButton>("按钮_查询"), Qt::LeftButton);

  EXPECT_EQ(timedRunsDuringQuery, 0) << "no handler starts while a query runs";
  ASSERT_TRUE(WaitUntil([&] { return service.Requests().size() >= 4; }));
  QTest::qWait(50);
  // The button's query, then exactly one timed query: never interleaved.
  EXPECT_EQ(RequestPaths(service.Requests()),
            (std::vector<std::string>{"/autonumber/autoComNum", "/query", "/autonumber/autoComNum",
                                      "/query"}));
  QString report = ReportText();
  EXPECT_EQ(report.count(U("查询开始")), 2);
  EXPECT_EQ(report.count(U("如果方式一无法获取运单详情请使用方式二")), 1) << "the timed frame has no hint";
}

TEST_F(QtWindowTest, TimedTickDueDuringAQueryIsDroppedWhenItsTimerStops) {
  GatedTrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  QTimer::singleShot(0, [&] {
    if (!WaitUntil([&] { return service.Arrived() == 1; })) return;
    Ui_SetTimerPeriod("时钟2", 10);
    QTest::qWait(50);
    // Switched off before the query ends: the tick that fell due goes too.
    Ui_SetTimerPeriod("时钟2", 0);
    service.Open();
  });
  QTest::mouseClick(Find<QPushButton>("按钮_查询"), Qt::LeftButton);

  ASSERT_TRUE(WaitUntil([&] { return service.Requests().size() >= 2; }));
  QTest::qWait(100);
  EXPECT_EQ(RequestPaths(service.Requests()),
            (std::vector<std::string>{"/autonumber/autoComNum", "/query"}));
}

TEST_F(QtWindowTest, ClosingTheWindowDuringASlowQueryEndsTheRun) {
  // The test's own window goes; Run shows a fresh one as the program does.
  delete mainWindow_;
  GatedTrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  QPointer<QWidget> window;
  QPointer<QPlainTextEdit> report;
  bool hiddenAtOnce = false;
  QTimer::singleShot(0, [&] {
    window = runtime_.OpenWindow(MainWindowName);
    if (!window) return;
    report = window->findChild<QPlainTextEdit*>(U("编辑框_信息"));
    QTimer::singleShot(0, [&] {
      if (!WaitUntil([&] { return service.Arrived() == 1; })) return;
      window->close();
      hiddenAtOnce = window && !window->isVisible();
    });
    QTest::mouseClick(window->findChild<QPushButton*>(U("按钮_查询")), Qt::LeftButton);
  });
  runtime_.Run(MainWindowName);  // returns once no window is left

  EXPECT_TRUE(hiddenAtOnce);
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(report.isNull());
  EXPECT_FALSE(runtime_.Busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(service.Arrived(), 1) << "the query's second page is never asked for";
  service.Open();
  EXPECT_TRUE(WaitUntil([&] { return !runtime_.FetchStillRunning(); }));
}

TEST_F(QtWindowTest, ClosingTheWindowDuringAnUpdateCheckShowsNothingMore) {
  delete mainWindow_;
  GatedTrackingService site;  // answers the manifest request late, like any other
  Ui_SetMakerSiteBase(site.BaseUrl());
  BrowserRecorder browser;
  MessageBoxAnswerer answerer(QMessageBox::Yes);
  QTimer::singleShot(0, [&] {
    QWidget* window = runtime_.OpenWindow(MainWindowName);
    if (!window) return;
    QTimer::singleShot(0, [&site, window] {
      if (QTest::qWaitFor([&] { return site.Arrived() == 1; }, 5000)) window->close();
    });
    QTest::mouseClick(window->findChild<QPushButton*>(U("按钮1")), Qt::LeftButton);
  });
  runtime_.Run(MainWindowName);

  // The given-up fetch reads as a failed check, but the user has gone: no
  // failure message, no error page.
  EXPECT_TRUE(answerer.SeenBoxes().empty());
  EXPECT_TRUE(browser.Opened().isEmpty());
  site.Open();
  EXPECT_TRUE(WaitUntil([&] { return !runtime_.FetchStillRunning(); }));
}

// Queries through the real widgets against the tracking-service stand-in:
// the query button, Enter in the number box, the timed query and the clock.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <fstream>
#include <string>

#include "qt_window_fixture.h"
#include "support/tracking_service.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/tick_timer.h"

namespace {

DateTime FixedMoment() { return {2016, 9, 22, 8, 5, 3}; }

bool NetworkLibraryLoaded() {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("/libcurl.so") != std::string::npos) return true;
  }
  return false;
}

// Taken while the program loads, before any test runs.
const bool NetworkLibraryLoadedAtStart = NetworkLibraryLoaded();

const char* const StartBanner =
    "*************************** MorvyParcora 查询开始 ***************************\n\n";
const char* const HintOne =
    "******************** 如果方式一无法获取运单详情请使用方式二  ********************\n\n";
const char* const EndBanner =
    "************* MorvyParcora 2016年9月22日8时5分3秒 查询完毕 **************\n\n";

class QueryWindowTest : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    Query_SetTrackServiceBase(service_.BaseUrl());
    Query_SetTimeSource(FixedMoment);
    service_.ServeEntries({{"2016-09-22 08:00:00", "", TrackingService::JsonEscape("已揽收"), ""},
                           {"2016-09-22 09:30:00", "", TrackingService::JsonEscape("已签收"), ""}});
  }

  std::vector<std::string> AskedNumbers() const {
    std::vector<std::string> numbers;
    for (const RecordedRequest& request : service_.Requests()) {
      if (auto number = TrackingService::QueryValue(request.target, "postid")) numbers.push_back(*number);
    }
    return numbers;
  }

  TrackingService service_;
};

}  // namespace

TEST_F(QueryWindowTest, QueryButtonWritesTheReportAndShowsItsEnd) {
  // More entries than the box shows at once, so showing the end means scrolling.
  std::vector<TraceEntry> entries;
  QString expected = U(StartBanner);
  for (int i = 1; i <= 30; ++i) {
    std::string time = "2016-09-22 08:00:" + std::to_string(10 + i);
    entries.push_back({time, "", TrackingService::JsonEscape("运输中"), ""});
    expected += QString::fromStdString(time) + U("　　运输中\n\n");
  }
  expected += U(HintOne) + U(EndBanner);
  service_.ServeEntries(entries);
  auto* report = Find<QPlainTextEdit>("编辑框_信息");
  QTest::mouseClick(Find<QPushButton>("按钮_查询"), Qt::LeftButton);

  EXPECT_EQ(report->toPlainText(), expected);
  EXPECT_EQ(AskedNumbers(), std::vector<std::string>{"3903300539521"});
  EXPECT_GT(report->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(report->verticalScrollBar()->value(), report->verticalScrollBar()->maximum());
  EXPECT_TRUE(report->textCursor().atEnd());
  EXPECT_FALSE(report->document()->isUndoAvailable()) << "the report is not the user's typing";
  EXPECT_TRUE(Find<QPushButton>("按钮_查询")->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "no busy cursor once the query has ended";
}

// The network library and the thirty libraries it brings cost the window's
// start megabytes; they arrive with the first fetch instead.
TEST_F(QueryWindowTest, NetworkLibraryArrivesWithTheFirstQuery) {
  EXPECT_FALSE(NetworkLibraryLoadedAtStart) << "linked in, it loads before main";
  if (NetworkLibraryLoaded()) GTEST_SKIP() << "an earlier test of this process has fetched";
  QTest::mouseClick(Find<QPushButton>("按钮_查询"), Qt::LeftButton);
  EXPECT_EQ(AskedNumbers(), std::vector<std::string>{"3903300539521"});
  EXPECT_TRUE(NetworkLibraryLoaded());
}

TEST_F(QueryWindowTest, EnterInTheNumberBoxRunsTheQuery) {
  auto* number = Find<QLineEdit>("编辑框_ID");
  number->setFocus();
  number->selectAll();
  QTest::keyClicks(number, QStringLiteral("YT123"));
  QTest::keyClick(number, Qt::Key_Return);
  EXPECT_EQ(AskedNumbers(), std::vector<std::string>{"YT123"});
  EXPECT_TRUE(ReportText().startsWith(U(StartBanner)));
}

TEST_F(QueryWindowTest, TimedQuerySwitchesOnAndOff) {
  Find<QLineEdit>("编辑框_定时")->setText(QStringLiteral("30"));
  auto* timedSwitch = Find<QCheckBox>("选择框3");
  QTest::mouseClick(timedSwitch, Qt::LeftButton);
  EXPECT_EQ(Find<TickTimer>("时钟2")->Period(), 30);
  EXPECT_TRUE(service_.Requests().empty()) << "the click itself runs no query";

  // Two timed frames appended after the greeting, without hint lines.
  ASSERT_TRUE(WaitUntil([&] { return AskedNumbers().size() >= 2; }));
  QTest::mouseClick(timedSwitch, Qt::LeftButton);
  EXPECT_EQ(Find<TickTimer>("时钟2")->Period(), 0);
  QString report = ReportText();
  EXPECT_TRUE(report.startsWith(Qt_FromGbkLines(Ui_WindowRecord(MainWindowName).controls[8].text)));
  QString frame = U(StartBanner) + U("2016-09-22 08:00:00　　已揽收\n\n") +
                  U("2016-09-22 09:30:00　　已签收\n\n") + U(EndBanner);
  EXPECT_GE(report.count(frame), 2);
  EXPECT_FALSE(report.contains(U(HintOne)));

  // Off: no further query, however long the window runs.
  size_t asked = AskedNumbers().size();
  QTest::qWait(120);
  EXPECT_EQ(AskedNumbers().size(), asked);
}

TEST_F(QueryWindowTest, ClockLineShowsTheDateTimeText) {
  struct Row {
    const char* name;
    DateTime moment;
    const char* line;
  };
  const Row rows[] = {
      {"all fields", {2016, 9, 22, 8, 5, 3}, "当前时间: 2016年9月22日8时5分3秒"},
      {"second 0 ends with the minute", {2016, 9, 22, 8, 5, 0}, "当前时间: 2016年9月22日8时5分"},
      {"full hour ends with the hour", {2016, 9, 22, 8, 0, 0}, "当前时间: 2016年9月22日8时"},
  };
  auto* clock = Find<QLabel>("透明标签2");
  Ui_SetTimerPeriod("时钟1", 10);
  for (const Row& row : rows) {
    DateTime moment = row.moment;
    Query_SetTimeSource([moment] { return moment; });
    EXPECT_TRUE(WaitUntil([&] { return clock->text() == U(row.line); }))
        << row.name << ": the clock line reads " << clock->text().toStdString();
  }
}

// The timed query, its switch and the clock line, driven by the recording
// runtime's virtual clock.

#include "query/query.h"
#include "query_fixture.h"
#include "ui/window_records.h"

namespace {

using TimedQuery = QueryFixture;

Text Greeting() {
  for (const ControlRecord& control : Ui_WindowRecord(MainWindowName).controls) {
    if (control.name == "编辑框_信息") return control.text;
  }
  return "no report box";
}

TEST_F(TimedQuery, AppendsFramesWithoutHintLinesAfterWhatTheBoxHolds) {
  service.ServeEntries({{"T1", "L1", "C1", "F1"}});
  runtime.Type("编辑框_定时", "60000");
  ASSERT_TRUE(runtime.Click("选择框3"));
  EXPECT_TRUE(service.Requests().empty()) << "the click itself runs no query";

  runtime.AdvanceTime(59999);
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_EQ(Report(), Greeting());

  runtime.AdvanceTime(1);
  const std::string frame = StartBanner() + EntryLine("T1", "C1") + EndBanner();
  EXPECT_EQ(Report(), Greeting() + frame);

  // Both method boxes are read afresh on each tick.
  Ui_SetChecked("选择框2", 1);
  runtime.AdvanceTime(60000);
  const std::string methodTwoFrame = StartBanner() + EntryLine("T1L1", "C1") + EndBanner();
  EXPECT_EQ(Report(), Greeting() + frame + frame + methodTwoFrame);
}

TEST_F(TimedQuery, FailingTicksLeaveTheErrorTextBackToBackOnOneLine) {
  service.ServeEchoedNumber("other");
  runtime.Type("编辑框_定时", "1000");
  runtime.Click("选择框3");
  runtime.AdvanceTime(3000);
  EXPECT_EQ(Report(), Greeting() + ErrorText() + ErrorText() + ErrorText());
  EXPECT_EQ(runtime.TimerPeriod("时钟2"), 1000) << "a failing query does not stop the timer";
}

TEST_F(TimedQuery, TheSwitchTakesItsPeriodFromTheIntervalText) {
  struct Case {
    const char* interval;
    int period;
  };
  const Case cases[] = {
      {"60000", 60000}, {"0", 0}, {"", 0}, {"-5", 0}, {"abc", 0}, {"250ms", 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interval);
    runtime.Type("编辑框_定时", c.interval);
    runtime.Click("选择框3");
    EXPECT_EQ(runtime.GetChecked("选择框3"), 1);
    EXPECT_EQ(runtime.TimerPeriod("时钟2"), c.period);
    runtime.Click("选择框3");
    EXPECT_EQ(runtime.TimerPeriod("时钟2"), 0) << "unchecking stops the timed query";
  }
}

TEST_F(TimedQuery, SwitchingOffAndOnAgainRestartsAFullInterval) {
  runtime.Type("编辑框_定时", "60000");
  runtime.Click("选择框3");
  runtime.AdvanceTime(30000);
  runtime.Click("选择框3");
  runtime.Click("选择框3");
  // Editing the interval while the timed query runs changes nothing.
  runtime.Type("编辑框_定时", "10");
  runtime.AdvanceTime(59999);
  EXPECT_EQ(runtime.TickCount("时钟2"), 0);
  runtime.AdvanceTime(1);
  EXPECT_EQ(runtime.TickCount("时钟2"), 1);
  EXPECT_EQ(service.Requests().size(), 2u);
}

TEST_F(TimedQuery, AQueryLongerThanTheIntervalIsFollowedByOneMoreNotABurst) {
  runtime.FetchDuration = 2500;  // two fetches: 5 s per query
  runtime.Type("编辑框_定时", "1000");
  runtime.Click("选择框3");
  runtime.AdvanceTime(1000);
  EXPECT_EQ(runtime.TickCount("时钟2"), 1);
  // Four ticks fell due during the query; they fold into one pending tick.
  runtime.AdvanceTime(0);
  EXPECT_EQ(runtime.TickCount("时钟2"), 2);
  EXPECT_EQ(service.Requests().size(), 4u);
}

TEST_F(TimedQuery, ClockLineShowsTheDateTimeWithTrailingZeroFieldsDropped) {
  struct Case {
    const char* name;
    DateTime moment;
    const char* line;
  };
  const Case cases[] = {
      {"all fields", {2016, 9, 22, 8, 5, 3}, "当前时间: 2016年9月22日8时5分3秒"},
      {"zero minute kept before a second", {2016, 9, 22, 8, 0, 3}, "当前时间: 2016年9月22日8时0分3秒"},
      {"second 0", {2016, 9, 22, 8, 5, 0}, "当前时间: 2016年9月22日8时5分"},
      {"full hour", {2016, 9, 22, 8, 0, 0}, "当前时间: 2016年9月22日8时"},
      {"midnight", {2016, 9, 22, 0, 0, 0}, "当前时间: 2016年9月22日"},
      {"two-digit fields", {2026, 12, 31, 23, 59, 59}, "当前时间: 2026年12月31日23时59分59秒"},
  };
  EXPECT_EQ(runtime.GetText("透明标签2"), "") << "empty until the first tick";
  runtime.AdvanceTime(998);
  EXPECT_EQ(runtime.GetText("透明标签2"), "");
  runtime.AdvanceTime(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DateTime moment = c.moment;
    Query_SetTimeSource([moment] { return moment; });
    runtime.AdvanceTime(999);
    EXPECT_EQ(runtime.GetText("透明标签2"), Gbk(c.line));
  }
}

}  // namespace

// The recording runtime's timer rules, which the query tests and the fuzzing
// rely on. 时钟1 (the clock line) serves as the probe: its handler is cheap.

#include <gtest/gtest.h>

#include "support/recording_runtime.h"
#include "text/code_page.h"
#include "ui/window_runtime.h"

namespace {

struct Step {
  enum Kind { Set, Advance, Busy } kind;
  int value;
};

TEST(RecordingRuntimeTimers, FollowTheTimerRules) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int period;
    int ticks;
  };
  const Case cases[] = {
      {"first tick one full period after the write", {{Step::Set, 100}, {Step::Advance, 99}}, 100, 0},
      {"then every period", {{Step::Set, 100}, {Step::Advance, 350}}, 100, 3},
      {"the same period changes nothing",
       {{Step::Set, 100}, {Step::Advance, 60}, {Step::Set, 100}, {Step::Advance, 40}}, 100, 1},
      {"another period restarts",
       {{Step::Set, 100}, {Step::Advance, 60}, {Step::Set, 101}, {Step::Advance, 100}}, 101, 0},
      {"below 0 counts as 0", {{Step::Set, 100}, {Step::Set, -5}, {Step::Advance, 1000}}, 0, 0},
      {"0 stops", {{Step::Set, 100}, {Step::Advance, 100}, {Step::Set, 0}, {Step::Advance, 1000}}, 0, 1},
      {"at most one pending tick after a busy spell",
       {{Step::Set, 100}, {Step::Busy, 1000}, {Step::Advance, 0}}, 100, 1},
      {"back on the grid after the pending tick",
       {{Step::Set, 100}, {Step::Busy, 1050}, {Step::Advance, 49}, {Step::Advance, 1}}, 100, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRuntime runtime;
    runtime.OpenMainWindow();
    for (const Step& step : c.steps) {
      switch (step.kind) {
        case Step::Set: Ui_SetTimerPeriod("时钟1", step.value); break;
        case Step::Advance: runtime.AdvanceTime(step.value); break;
        case Step::Busy: runtime.SpendTime(step.value); break;
      }
    }
    EXPECT_EQ(runtime.TimerPeriod("时钟1"), c.period);
    EXPECT_EQ(runtime.TickCount("时钟1"), c.ticks);
  }
}

TEST(RecordingRuntimeMessages, AnswersFromTheScriptThenByDefault) {
  RecordingRuntime runtime;
  bool ranWhileOpen = false;
  runtime.ScriptAnswer(MessageAnswerYes, [&] { ranWhileOpen = true; });
  EXPECT_EQ(Ui_MessageBox("a", MessageButtonsYesNo, "t"), MessageAnswerYes);
  EXPECT_TRUE(ranWhileOpen);
  EXPECT_EQ(Ui_MessageBox("b", MessageButtonsYesNo, "t"), MessageAnswerNo);
  EXPECT_EQ(Ui_MessageBox("c"), MessageAnswerOk);
  ASSERT_EQ(runtime.MessageBoxes().size(), 3u);
  EXPECT_EQ(runtime.MessageBoxes()[2].title, Gbk("信息："));
}

}  // namespace

// The main window's own handlers, the about window, and start-up and exit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "query/report_clock.h"
#include "query/track_service.h"
#include "support/recording_runtime.h"
#include "support/tracking_service.h"
#include "text/code_page.h"
#include "ui/app_start.h"
#include "ui/maker_site.h"
#include "ui/program_globals.h"
#include "ui/window_records.h"

namespace {

TEST(MethodBoxes, CheckingOneUnchecksTheOther) {
  struct Case {
    const char* name;
    std::vector<const char*> clicks;
    int one;
    int two;
  };
  const Case cases[] = {
      {"start", {}, 1, 0},
      {"click two", {"选择框2"}, 0, 1},
      {"click two twice leaves both unchecked", {"选择框2", "选择框2"}, 0, 0},
      {"click one unchecks it", {"选择框1"}, 0, 0},
      {"click one twice", {"选择框1", "选择框1"}, 1, 0},
      {"two then one", {"选择框2", "选择框1"}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRuntime runtime;
    runtime.OpenMainWindow();
    for (const char* control : c.clicks) ASSERT_TRUE(runtime.Click(control));
    EXPECT_EQ(runtime.GetChecked("选择框1"), c.one);
    EXPECT_EQ(runtime.GetChecked("选择框2"), c.two);
  }
}

TEST(AboutWindow, IsModalWhileTheClockGoesOnAndEachPressOpensTheHomePage) {
  RecordingRuntime runtime;
  Query_SetTimeSource([] { return DateTime{2016, 9, 22, 8, 5, 3}; });
  runtime.OpenMainWindow();
  bool sawItOpen = false;
  runtime.WhileModalOpen = [&] {
    sawItOpen = runtime.IsOpen(AboutWindowName);
    EXPECT_FALSE(runtime.IsEnabled(MainWindowName));
    EXPECT_FALSE(runtime.Click("按钮_查询")) << "the main window is disabled";
    runtime.AdvanceTime(999);
    EXPECT_EQ(runtime.GetText("透明标签2"), Gbk("当前时间: 2016年9月22日8时5分3秒"));
    EXPECT_TRUE(runtime.Press("透明标签1"));
    EXPECT_TRUE(runtime.Press("透明标签1"));
  };
  ASSERT_TRUE(runtime.Click("按钮2"));
  Query_SetTimeSource({});
  EXPECT_TRUE(sawItOpen);
  EXPECT_FALSE(runtime.IsOpen(AboutWindowName));
  EXPECT_TRUE(runtime.IsEnabled(MainWindowName));
  EXPECT_EQ(runtime.OpenedUrls(), (std::vector<Text>{MakerSiteBase(), MakerSiteBase()}));
  EXPECT_EQ(runtime.LoadedWindows(),
            (std::vector<std::string>{std::string(MainWindowName), std::string(AboutWindowName)}));
}

TEST(AppStart, RunsTheMainWindowAndTheExitRoutineReleasesEveryGlobal) {
  struct Case {
    const char* name;
    bool useTheProgram;
  };
  const Case cases[] = {{"closed right after start", false}, {"closed after a query", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrackingService service;
    service.ServeEntries({{"T", "L", "C", "F"}});
    Query_SetTrackServiceBase(service.BaseUrl());
    RecordingRuntime runtime;
    bool regexDuringRun = false;
    runtime.Session = [&] {
      regexDuringRun = Globals.TrackRegex != nullptr;
      EXPECT_EQ(runtime.TimerPeriod("时钟1"), 999);
      if (c.useTheProgram) {
        runtime.Click("按钮_查询");
        EXPECT_FALSE(Globals.ReplyText.empty());
        EXPECT_GT(Globals.EntryIndex, 0);
      }
    };
    EXPECT_EQ(App_Start(), 0);
    EXPECT_TRUE(regexDuringRun) << "TrackRegex exists before the first event";
    EXPECT_EQ(runtime.LoadedWindows(), std::vector<std::string>{std::string(MainWindowName)});
    EXPECT_FALSE(runtime.IsOpen(MainWindowName));

    Ui_RunExitRoutines();
    Query_SetTrackServiceBase({});
    EXPECT_EQ(Globals.TrackRegex, nullptr);
    for (const Text* text : {&Globals.CompanyCode, &Globals.ReplyText, &Globals.ReplyNumber,
                             &Globals.RegexSubject, &Globals.ManifestText, &Globals.UpdateVersion,
                             &Globals.UpdateFileName, &Globals.UpdateFileSize,
                             &Globals.UpdateFileMd5, &Globals.UpdateNotes,
                             &Globals.UpdateDownloadAddress}) {
      EXPECT_TRUE(text->empty());
      EXPECT_EQ(text->capacity(), Text().capacity()) << "the memory is given back";
    }
  }
}

}  // namespace

// The window records as the runtimes see them: start state, fixed texts, and
// bindings that name real controls.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/recording_runtime.h"
#include "text/code_page.h"
#include "ui/maker_site.h"
#include "ui/window_records.h"

namespace {

const ControlRecord* FindControl(std::string_view window, std::string_view name) {
  for (const ControlRecord& control : Ui_WindowRecord(window).controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

std::string ExpectedGreeting() {
  auto spaces = [](int n) { return std::string(static_cast<size_t>(n), ' '); };
  return "\r\n\r\n\r\n\r\n\r\n\r\n \r\n" + spaces(37) + Gbk("感谢使用 MorvyParcora ！") + "\r\n\r\n" +
         spaces(38) + Gbk("填入单号自动识别快递商哦！") + "\r\n \r\n" + spaces(31) +
         Gbk("查询方式：方式一和方式二切换使用即可！") + "\r\n\r\n" + spaces(43) +
         Gbk("出品：Morvy网") + "\r\n\r\n" + spaces(26) +
         Gbk("定时功能：60000毫秒等于1分钟，后续版本继续优化。");
}

TEST(WindowRecords, MainWindowStartsAsTheUserFirstSeesIt) {
  RecordingRuntime runtime;
  runtime.OpenMainWindow();
  EXPECT_EQ(runtime.GetChecked("选择框1"), 1);
  EXPECT_EQ(runtime.GetChecked("选择框2"), 0);
  EXPECT_EQ(runtime.GetChecked("选择框3"), 0);
  EXPECT_EQ(runtime.GetText("编辑框_ID"), "3903300539521");
  EXPECT_EQ(runtime.GetText("编辑框_定时"), "60000");
  EXPECT_EQ(runtime.GetText("编辑框_信息"), ExpectedGreeting());
  EXPECT_EQ(runtime.GetText("透明标签2"), "");
  EXPECT_EQ(runtime.TimerPeriod("时钟1"), 999) << "the creation handler starts the clock line";
  EXPECT_EQ(runtime.TimerPeriod("时钟2"), 0);
  EXPECT_EQ(runtime.TimerPeriod("时钟3"), 0);

  const WindowRecord& main = Ui_WindowRecord(MainWindowName);
  EXPECT_EQ(main.title, Gbk("Parcora - Morvy网"));
  EXPECT_EQ(main.outerWidth, 621);
  EXPECT_EQ(main.outerHeight, 371);
  EXPECT_TRUE(main.minimizeBox);
  const ControlRecord* link = FindControl(MainWindowName, "超级链接框1");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->text, Gbk("@Morvy网"));
  EXPECT_EQ(link->target, MakerSiteBase() + "/kuaidi-chaxun.html");
  const ControlRecord* numberBox = FindControl(MainWindowName, "编辑框_ID");
  ASSERT_NE(numberBox, nullptr);
  EXPECT_EQ(numberBox->color.red, 255);
  EXPECT_EQ(numberBox->font.pixelHeight, 21);
  EXPECT_TRUE(numberBox->font.bold);
}

TEST(WindowRecords, AboutWindowNamesTheMakerSite) {
  const WindowRecord& about = Ui_WindowRecord(AboutWindowName);
  EXPECT_EQ(about.title, Gbk("关于"));
  EXPECT_EQ(about.outerWidth, 473);
  EXPECT_EQ(about.outerHeight, 298);
  EXPECT_FALSE(about.minimizeBox);
  ASSERT_EQ(about.controls.size(), 1u);
  EXPECT_EQ(about.controls[0].text,
            Gbk("Parcora v1.20160922：\r\n\r\n感谢使用Morvy制作的工具，本工具只需输入正确的快件号，"
                "即可自动查询您的快件运输情况，有方式一、二供您选择，欢迎反馈您的宝贵意见，"
                "感谢您对Morvy网的支持！\r\n\r\nMorvy网：") +
                MakerSiteBase() + "\r\n\r\n2016-9-22");

  // Pointing the program at another site refreshes the records in place.
  Ui_SetMakerSiteBase("http://127.0.0.1:9");
  EXPECT_EQ(&Ui_WindowRecord(AboutWindowName), &about);
  EXPECT_NE(about.controls[0].text.find("http://127.0.0.1:9\r\n\r\n2016-9-22"), std::string::npos);
  EXPECT_EQ(FindControl(MainWindowName, "超级链接框1")->target,
            "http://127.0.0.1:9/kuaidi-chaxun.html");
  Ui_SetMakerSiteBase({});
}

TEST(WindowRecords, EveryBindingNamesAControlOfItsWindowOfTheRightKind) {
  std::set<std::pair<std::string, std::string>> seen;
  for (const EventBinding& binding : Ui_EventBindings()) {
    SCOPED_TRACE(std::string(binding.window) + " " + std::string(binding.control));
    ASSERT_NE(binding.handler, nullptr);
    EXPECT_TRUE(seen.insert({std::string(binding.window), std::string(binding.control)}).second)
        << "bound twice";
    if (binding.event == UiEvent::Create) {
      EXPECT_TRUE(binding.control.empty());
      continue;
    }
    const ControlRecord* control = FindControl(binding.window, binding.control);
    ASSERT_NE(control, nullptr);
    switch (binding.event) {
      case UiEvent::Tick: EXPECT_EQ(control->kind, ControlKind::Timer); break;
      case UiEvent::Click:
        EXPECT_TRUE(control->kind == ControlKind::Button || control->kind == ControlKind::CheckBox);
        break;
      case UiEvent::LeftPress: EXPECT_EQ(control->kind, ControlKind::Label); break;
      case UiEvent::Create: break;
    }
  }
  EXPECT_EQ(seen.size(), 10u) << "every event of the program is bound once";
}

TEST(WindowRecords, ControlNamesAreUniqueWithinAWindow) {
  for (std::string_view window : {MainWindowName, AboutWindowName}) {
    std::set<std::string_view> names;
    for (const ControlRecord& control : Ui_WindowRecord(window).controls) {
      EXPECT_TRUE(names.insert(control.name).second) << control.name;
    }
  }
  EXPECT_EQ(Ui_WindowRecord(MainWindowName).controls.size(), 16u);
}

}  // namespace

#include "ui/window_records.h"

#include <array>
#include <string>

#include "query/query.h"
#include "text/code_page.h"
#include "ui/maker_site.h"
#include "ui/window_handlers.h"
#include "update/update_check.h"

namespace {

constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 128, 0};
constexpr Rgb Blue{0, 0, 255};
constexpr Rgb LightBlue{51, 153, 255};
constexpr Rgb DarkRed{128, 0, 0};

constexpr FontRecord BoldChinese21{21, true, true};
constexpr FontRecord BoldChinese19{19, true, true};

Text SpacesThen(int spaces, std::string_view utf8) {
  return std::string(static_cast<size_t>(spaces), ' ') + Gbk(utf8);
}

// Sixteen lines joined by CR LF, no line break after the last.
Text GreetingText() {
  const Text lines[] = {
      "", "", "", "", "", "",
      " ",
      SpacesThen(37, "感谢使用 MorvyParcora ！"),
      "",
      SpacesThen(38, "填入单号自动识别快递商哦！"),
      " ",
      SpacesThen(31, "查询方式：方式一和方式二切换使用即可！"),
      "",
      SpacesThen(43, "出品：") + MakerSiteName(),
      "",
      SpacesThen(26, "定时功能：60000毫秒等于1分钟，后续版本继续优化。"),
  };
  Text text;
  for (const Text& line : lines) {
    if (&line != &lines[0]) text += "\r\n";
    text += line;
  }
  return text;
}

Text AboutText() {
  return Gbk("Parcora v1.20160922：\r\n\r\n感谢使用Morvy制作的工具，本工具只需输入正确的快件号，"
             "即可自动查询您的快件运输情况，有方式一、二供您选择，欢迎反馈您的宝贵意见，"
             "感谢您对Morvy网的支持！\r\n\r\nMorvy网：") +
         MakerSiteBase() + "\r\n\r\n2016-9-22";
}

ControlRecord Control(std::string_view name, ControlKind kind, int left, int top, int width,
                      int height, Text text = {}) {
  ControlRecord record{};
  record.name = name;
  record.kind = kind;
  record.left = left;
  record.top = top;
  record.width = width;
  record.height = height;
  record.text = std::move(text);
  return record;
}

std::array<ControlRecord, 16> MainControls() {
  ControlRecord numberLabel = Control("透明标签1", ControlKind::Label, 16, 8, 72, 40, Gbk("运单号："));
  numberLabel.color = Black;
  numberLabel.font = BoldChinese21;

  ControlRecord numberBox = Control("编辑框_ID", ControlKind::LineEdit, 104, 8, 224, 40, "3903300539521");
  numberBox.color = Red;
  numberBox.font = BoldChinese21;
  numberBox.background = White;
  numberBox.thinBorder = true;

  ControlRecord methodOne = Control("选择框1", ControlKind::CheckBox, 347, 10, 64, 16, Gbk("方式一"));
  methodOne.checked = true;

  ControlRecord intervalBox = Control("编辑框_定时", ControlKind::LineEdit, 413, 32, 40, 16, "60000");
  intervalBox.thinBorder = true;

  ControlRecord reportBox =
      Control("编辑框_信息", ControlKind::MultiLineEdit, 11, 56, 593, 264, GreetingText());
  reportBox.color = Green;
  reportBox.background = White;
  reportBox.thinBorder = true;

  ControlRecord clockLine = Control("透明标签2", ControlKind::Label, 16, 323, 216, 16);
  clockLine.color = Black;

  Text linkCaption = "@";
  linkCaption += MakerSiteName();
  ControlRecord link = Control("超级链接框1", ControlKind::Hyperlink, 512, 320, 96, 24, linkCaption);
  link.target = MakerSiteBase() + "/kuaidi-chaxun.html";
  link.color = Blue;
  link.hoverColor = LightBlue;
  link.visitedColor = DarkRed;

  return {
      numberLabel,
      numberBox,
      methodOne,
      Control("选择框2", ControlKind::CheckBox, 347, 31, 64, 16, Gbk("方式二")),
      Control("选择框3", ControlKind::CheckBox, 413, 11, 72, 16, Gbk("定时查询")),
      intervalBox,
      Control("标签1", ControlKind::PlainLabel, 456, 32, 24, 16, Gbk("毫秒")),
      Control("按钮_查询", ControlKind::Button, 488, 8, 112, 40, Gbk("查询")),
      reportBox,
      clockLine,
      Control("按钮1", ControlKind::Button, 240, 321, 128, 20, Gbk("检查更新")),
      Control("按钮2", ControlKind::Button, 376, 321, 128, 20, Gbk("关于")),
      link,
      Control("时钟1", ControlKind::Timer, 0, 0, 0, 0),
      Control("时钟2", ControlKind::Timer, 0, 0, 0, 0),
      Control("时钟3", ControlKind::Timer, 0, 0, 0, 0),
  };
}

std::array<ControlRecord, 1> AboutControls() {
  ControlRecord text = Control("透明标签1", ControlKind::Label, 8, 32, 448, 200, AboutText());
  text.color = Red;
  text.font = BoldChinese19;
  text.layout = LabelLayout::CentredLinesFromTop;
  return {text};
}

struct Records {
  std::array<ControlRecord, 16> mainControls;
  std::array<ControlRecord, 1> aboutControls;
  WindowRecord main;
  WindowRecord about;
  Text builtForSite;
};

// Built on first use (the texts need the code-page converter) and refreshed
// in place when a test points the program at another maker site, so earlier
// references stay valid.
Records& CurrentRecords() {
  static Records records;
  static bool built = false;
  Text site = MakerSiteBase();
  if (!built || records.builtForSite != site) {
    records.mainControls = MainControls();
    records.aboutControls = AboutControls();
    records.main.name = MainWindowName;
    records.main.title = Text("Parcora - ").append(MakerSiteName());
    records.main.outerWidth = 621;
    records.main.outerHeight = 371;
    records.main.minimizeBox = true;
    records.main.controls = records.mainControls;
    records.about.name = AboutWindowName;
    records.about.title = Gbk("关于");
    records.about.outerWidth = 473;
    records.about.outerHeight = 298;
    records.about.minimizeBox = false;
    records.about.controls = records.aboutControls;
    records.builtForSite = site;
    built = true;
  }
  return records;
}

constexpr EventBinding Bindings[] = {
    {MainWindowName, "", UiEvent::Create, MainWindow_OnCreate},
    {MainWindowName, "按钮_查询", UiEvent::Click, Query_Run},
    {MainWindowName, "时钟2", UiEvent::Tick, Query_RunTimed},
    {MainWindowName, "选择框3", UiEvent::Click, Query_OnTimedSwitchClick},
    {MainWindowName, "时钟1", UiEvent::Tick, Query_OnClockTick},
    {MainWindowName, "选择框1", UiEvent::Click, MainWindow_OnMethodOneClick},
    {MainWindowName, "选择框2", UiEvent::Click, MainWindow_OnMethodTwoClick},
    {MainWindowName, "按钮1", UiEvent::Click, Update_Check},
    {MainWindowName, "按钮2", UiEvent::Click, MainWindow_OnAboutClick},
    {AboutWindowName, "透明标签1", UiEvent::LeftPress, AboutWindow_OnTextPress},
};

}  // namespace

const WindowRecord& Ui_WindowRecord(std::string_view window) {
  Records& records = CurrentRecords();
  return window == AboutWindowName ? records.about : records.main;
}

std::span<const EventBinding> Ui_EventBindings() { return Bindings; }

void (*Ui_FindHandler(std::string_view window, std::string_view control, UiEvent event))() {
  for (const EventBinding& binding : Bindings) {
    if (binding.window == window && binding.control == control && binding.event == event) {
      return binding.handler;
    }
  }
  return nullptr;
}

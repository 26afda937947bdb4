#include "query/query.h"

#include <string_view>
#include <utility>

#include "query/report_clock.h"
#include "query/report_texts.h"
#include "query/track_service.h"
#include "text/code_page.h"
#include "text/date_time.h"
#include "text/text_between.h"
#include "text/unescape.h"
#include "ui/program_globals.h"
#include "ui/window_runtime.h"

namespace {

constexpr std::string_view NumberBox = "编辑框_ID";
constexpr std::string_view ReportBox = "编辑框_信息";
constexpr std::string_view MethodOneBox = "选择框1";
constexpr std::string_view MethodTwoBox = "选择框2";

// Where a lazy time group of method two runs over the location member; it is
// removed from both pieces of every entry.
constexpr std::string_view LocationDelimiter = "\",\"location\":\"";

struct Method {
  std::string_view pattern;
  int timeGroup;
  int contextGroup;
  const Text& (*hintLine)();
};

const Method MethodOne{
    R"re({"time":"(.*?)","location":"(.*?)","context":"(.*?)","ftime":"(.*?)"})re", 1, 3,
    Report_HintMethodOne};
const Method MethodTwo{R"re({"time":"(.*?)","context":"(.*?)","ftime":"(.*?)"})re", 1, 2,
                       Report_HintMethodTwo};

enum class QueryKind { Button, Timed };

// The number is read afresh for each use, as the user may edit it while a
// fetch keeps the window responsive.
Text TypedNumber() { return Ui_GetText(NumberBox); }

// An empty number is never sent: the fetch counts as failed.
Text FetchForNumber(const Text& number, const Text& address) {
  return number.empty() ? Text() : Ui_FetchPage(address);
}

Text WithoutLocationDelimiter(Text text) {
  // A piece without a double quote cannot hold the delimiter and needs no
  // pass through Text_ReplacePairs, which keeps long reports cheap.
  if (text.find('"') == Text::npos) return text;
  return Text_ReplacePairs(text, LocationDelimiter, "");
}

void RunMethod(const Method& method, QueryKind kind) {
  Globals.RegexSubject = Globals.ReplyText;
  Globals_CreateTrackRegex();
  RegexObject& regex = *Globals.TrackRegex;
  regex.Create(Text(method.pattern), Globals.RegexSubject);
  Ui_AppendText(ReportBox, Report_StartBanner());
  const int matchCount = regex.MatchCount();
  for (Globals.EntryIndex = 1; Globals.EntryIndex <= matchCount; ++Globals.EntryIndex) {
    Text time = Text_UnescapeUnicode(regex.SubMatchText(Globals.EntryIndex, method.timeGroup));
    time += Report_TimeSeparator();
    Ui_AppendText(ReportBox, WithoutLocationDelimiter(std::move(time)));
    Text context =
        Text_UnescapeUnicode(regex.SubMatchText(Globals.EntryIndex, method.contextGroup));
    Text piece = WithoutLocationDelimiter(std::move(context));
    piece += "\r\n\r\n";
    Ui_AppendText(ReportBox, piece);
  }
  if (kind == QueryKind::Button) Ui_AppendText(ReportBox, method.hintLine());
  Ui_AppendText(ReportBox, Report_EndBanner(Time_ToText(Query_CurrentTime())));
}

bool EchoesTypedNumber(const Text& number) {
  return !number.empty() && Globals.ReplyNumber == number;
}

void RunQuery(QueryKind kind) {
  if (kind == QueryKind::Button) Ui_SetText(ReportBox, Text());

  Text number = TypedNumber();
  Text detection = FetchForNumber(number, Query_DetectionAddress(number));
  Globals.CompanyCode = Text_Between(detection, "[{\"comCode\":\"", "\",\"id\":\"");

  number = TypedNumber();
  Text trace = FetchForNumber(number, Query_TraceAddress(Globals.CompanyCode, number));
  Globals.ReplyText = Code_Utf8ToAnsi(trace);
  Globals.ReplyNumber = Text_Between(Globals.ReplyText, "\"nu\":\"", "\",\"");

  if (EchoesTypedNumber(TypedNumber())) {
    if (Ui_GetChecked(MethodOneBox) == 1) RunMethod(MethodOne, kind);
    if (Ui_GetChecked(MethodTwoBox) == 1) RunMethod(MethodTwo, kind);
  }
  if (!EchoesTypedNumber(TypedNumber())) Ui_AppendText(ReportBox, Report_ErrorText());
}

}  // namespace

void Query_Run() { RunQuery(QueryKind::Button); }

void Query_RunTimed() { RunQuery(QueryKind::Timed); }

void Query_OnTimedSwitchClick() {
  constexpr std::string_view TimedSwitch = "选择框3";
  constexpr std::string_view TimedQueryTimer = "时钟2";
  // The interval is read only here: editing it later changes nothing until
  // the switch is clicked off and on again.
  if (Ui_GetChecked(TimedSwitch) == 1) {
    Ui_SetTimerPeriod(TimedQueryTimer, Text_ToInt(Ui_GetText("编辑框_定时")));
  }
  if (Ui_GetChecked(TimedSwitch) != 1) Ui_SetTimerPeriod(TimedQueryTimer, 0);
}

void Query_OnClockTick() {
  Ui_SetText("透明标签2", Report_ClockPrefix() + Time_ToText(Query_CurrentTime()));
}

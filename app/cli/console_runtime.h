#pragma once
// The window runtime of the command line: the main window's controls as plain
// values, with no window behind them. The number box holds the number to
// query, the two method boxes are set from the command line, and every text
// the logic appends to the report box is handed to a sink at once (to
// standard output, or to the JSON writer) instead of being kept.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "cli_options.h"
#include "ui/window_runtime.h"

inline constexpr std::string_view NumberBox = "编辑框_ID";
inline constexpr std::string_view ReportBox = "编辑框_信息";
inline constexpr std::string_view MethodOneBox = "选择框1";
inline constexpr std::string_view MethodTwoBox = "选择框2";

class ConsoleRuntime : public WindowRuntime {
 public:
  using ReportSink = std::function<void(const Text&)>;

  // `number` is code page 936 text.
  ConsoleRuntime(Text number, MethodChoice method, ReportSink reportSink);

  Text GetText(std::string_view control) override;
  void SetText(std::string_view control, const Text& text) override;
  int GetChecked(std::string_view control) override;
  void SetChecked(std::string_view control, int checked) override;
  void AppendText(std::string_view control, const Text& text) override;
  // The command line drives its own timer loop; the logic's timers are not run.
  void SetTimerPeriod(std::string_view timer, int milliseconds) override;
  void LoadWindow(std::string_view window, bool modal) override;
  // There is nobody to answer: the box counts as cancelled.
  int MessageBox(const Text& text, int buttons, const Text& title) override;
  void OpenUrl(const Text& url) override;
  void Run(std::string_view window) override;

 private:
  std::map<std::string, Text, std::less<>> texts_;
  std::map<std::string, int, std::less<>> checked_;
  ReportSink reportSink_;
};

// A sink that writes each appended text to standard output, converted to
// UTF-8 or left in code page 936. The caller flushes after each run.
ConsoleRuntime::ReportSink Cli_StandardOutputSink(OutputEncoding encoding);

#include "console_runtime.h"

#include <cstdio>

#include "text/code_page.h"

ConsoleRuntime::ConsoleRuntime(Text number, MethodChoice method, ReportSink reportSink)
    : reportSink_(std::move(reportSink)) {
  texts_[std::string(NumberBox)] = std::move(number);
  texts_[std::string(ReportBox)] = Text();
  bool one = method == MethodChoice::One || method == MethodChoice::Both;
  bool two = method == MethodChoice::Two || method == MethodChoice::Both;
  checked_[std::string(MethodOneBox)] = one ? 1 : 0;
  checked_[std::string(MethodTwoBox)] = two ? 1 : 0;
}

Text ConsoleRuntime::GetText(std::string_view control) {
  auto found = texts_.find(control);
  return found == texts_.end() ? Text() : found->second;
}

// Setting the report box (the query empties it at its start) cannot take back
// what has already been written out, so only other controls keep their text.
void ConsoleRuntime::SetText(std::string_view control, const Text& text) {
  if (control == ReportBox) return;
  texts_.insert_or_assign(std::string(control), text);
}

int ConsoleRuntime::GetChecked(std::string_view control) {
  auto found = checked_.find(control);
  return found == checked_.end() ? 0 : found->second;
}

void ConsoleRuntime::SetChecked(std::string_view control, int checked) {
  checked_.insert_or_assign(std::string(control), checked == 1 ? 1 : 0);
}

void ConsoleRuntime::AppendText(std::string_view control, const Text& text) {
  if (control == ReportBox) {
    // The report is not kept: a run with --every and no --count would grow it forever.
    if (reportSink_) reportSink_(text);
    return;
  }
  texts_[std::string(control)] += text;
}

void ConsoleRuntime::SetTimerPeriod(std::string_view, int) {}

void ConsoleRuntime::LoadWindow(std::string_view, bool) {}

int ConsoleRuntime::MessageBox(const Text&, int, const Text&) { return MessageAnswerCancel; }

void ConsoleRuntime::OpenUrl(const Text&) {}

void ConsoleRuntime::Run(std::string_view) {}

ConsoleRuntime::ReportSink Cli_StandardOutputSink(OutputEncoding encoding) {
  return [encoding](const Text& text) {
    std::string bytes = encoding == OutputEncoding::Utf8 ? Code_GbkToUtf8(text) : text;
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  };
}

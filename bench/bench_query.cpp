// How long the report of a large trace reply takes next to the matching that
// it cannot avoid: Query_Run over a 10,000-entry reply (about 2 MiB) through a
// recording-style runtime, against RegexObject::Create with method one's
// pattern over the same subject. Prints both times and their ratio.
//
//   bench_query [entries] [rounds] [any third argument: the escaped reply only]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "query/query.h"
#include "query/report_clock.h"
#include "regex/regex_object.h"
#include "text/code_page.h"
#include "ui/program_globals.h"
#include "ui/window_runtime.h"

namespace {

constexpr const char* Number = "3903300539521";
constexpr const char* MethodOnePattern =
    R"re({"time":"(.*?)","location":"(.*?)","context":"(.*?)","ftime":"(.*?)"})re";

// Keeps texts in memory and serves both service replies without a network.
class MemoryRuntime : public WindowRuntime {
 public:
  Text GetText(std::string_view control) override { return Slot(texts_, control); }
  void SetText(std::string_view control, const Text& text) override { Slot(texts_, control) = text; }
  int GetChecked(std::string_view control) override { return Slot(checked_, control); }
  void SetChecked(std::string_view control, int checked) override {
    Slot(checked_, control) = checked;
  }
  void AppendText(std::string_view control, const Text& text) override {
    Slot(texts_, control) += text;
  }
  void SetTimerPeriod(std::string_view, int) override {}
  void LoadWindow(std::string_view, bool) override {}
  int MessageBox(const Text&, int, const Text&) override { return MessageAnswerOk; }
  void OpenUrl(const Text&) override {}
  void Run(std::string_view) override {}
  // The trace reply comes from copies made before the round starts: what a
  // fetch costs is the network's share, not the report's.
  Text FetchPage(const Text& url) override {
    if (url.find("/autonumber/") != Text::npos) return detection;
    if (preparedTraces.empty()) return trace;
    Text reply = std::move(preparedTraces.back());
    preparedTraces.pop_back();
    return reply;
  }

  Text detection;
  Text trace;
  std::vector<Text> preparedTraces;

 private:
  template <typename Value>
  static Value& Slot(std::map<std::string, Value, std::less<>>& map, std::string_view name) {
    auto found = map.find(name);
    return found != map.end() ? found->second : map[std::string(name)];
  }

  std::map<std::string, Text, std::less<>> texts_;
  std::map<std::string, int, std::less<>> checked_;
};

// "\uXXXX" escapes of a run of Chinese text, as the service writes them.
std::string Escaped(const char16_t* units) {
  std::string out;
  char buffer[8];
  for (; *units; ++units) {
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(*units));
    out += buffer;
  }
  return out;
}

enum class Values { Escaped, RawUtf8 };

std::string TraceReply(int entries, Values values) {
  const bool escaped = values == Values::Escaped;
  const std::string location = escaped ? Escaped(u"上海市浦东新区") : "上海市浦东新区";
  const std::string context = escaped ? Escaped(u"快件已到达上海转运中心正在派送")
                                      : "快件已到达上海转运中心正在派送，请耐心等待";
  std::string reply = std::string("{\"message\":\"ok\",\"nu\":\"") + Number +
                      "\",\"ischeck\":\"1\",\"status\":\"200\",\"data\":[";
  for (int i = 0; i < entries; ++i) {
    char time[32];
    std::snprintf(time, sizeof time, "2016-09-%02d %02d:%02d:%02d", 1 + i % 28, i % 24, i % 60,
                  (i / 60) % 60);
    if (i > 0) reply += ",";
    reply += std::string("{\"time\":\"") + time + "\",\"location\":\"" + location +
             "\",\"context\":\"" + context + " #" + std::to_string(i) + "\",\"ftime\":\"" + time +
             "\"}";
  }
  return reply + "]}";
}

// Processor time of this process: the machine is shared, and time spent
// waiting for a core says nothing about this code.
double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Work>
double Seconds(Work work) {
  const double start = ProcessSeconds();
  work();
  return ProcessSeconds() - start;
}

void Measure(const char* name, const Text& trace, int rounds) {
  MemoryRuntime runtime;
  runtime.detection = std::string("{\"comCode\":\"\",\"num\":\"") + Number +
                      "\",\"auto\":[{\"comCode\":\"yuantong\",\"id\":\"\"}]}";
  runtime.trace = trace;
  Ui_SetRuntime(&runtime);
  runtime.SetText("编辑框_ID", Number);
  runtime.SetChecked("选择框1", 1);

  const Text subject = Code_Utf8ToAnsi(trace);
  RegexObject regex;
  int matches = 0;
  // The two alternate, so that both meet the same load on a shared machine;
  // the best round of each counts.
  double matchSeconds = 1e30;
  double reportSeconds = 1e30;
  for (int round = 0; round < rounds; ++round) {
    matchSeconds = std::min(matchSeconds, Seconds([&] {
      regex.Create(MethodOnePattern, subject);
      matches = regex.MatchCount();
    }));
    runtime.preparedTraces.assign(1, trace);
    reportSeconds = std::min(reportSeconds, Seconds([] { Query_Run(); }));
  }
  const Text report = runtime.GetText("编辑框_信息");
  size_t entryLines = 0;
  for (size_t at = report.find("\r\n\r\n"); at != Text::npos; at = report.find("\r\n\r\n", at + 4)) {
    ++entryLines;
  }

  std::printf("%s: %.2f MiB of UTF-8, %d matches, report of %zu bytes and %zu entries\n", name,
              static_cast<double>(trace.size()) / (1024.0 * 1024.0), matches, report.size(),
              entryLines - 3);
  std::printf("  match method one's pattern alone: %8.2f ms\n", matchSeconds * 1e3);
  std::printf("  Query_Run, whole report:          %8.2f ms\n", reportSeconds * 1e3);
  std::printf("  ratio report / match:             %8.2f\n", reportSeconds / matchSeconds);
  Ui_SetRuntime(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
  Query_SetTimeSource([] { return DateTime{2016, 9, 22, 8, 5, 3}; });
  Globals_CreateTrackRegex();

  std::printf("%d entries; processor time, best of %d rounds; target: ratio at most 2.00\n",
              entries, rounds);
  Measure("values with \\u escapes (the service's own form)", TraceReply(entries, Values::Escaped),
          rounds);
  if (argc <= 3) Measure("values as raw UTF-8", TraceReply(entries, Values::RawUtf8), rounds);

  Globals_Release();
  return 0;
}

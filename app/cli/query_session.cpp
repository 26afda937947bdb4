#include "query_session.h"

#include <cstdio>
#include <vector>

#include "console_runtime.h"
#include "json_report.h"
#include "query/query.h"
#include "query/report_texts.h"
#include "query/track_service.h"
#include "text/code_page.h"
#include "timed_loop.h"
#include "ui/program_globals.h"

namespace {

constexpr int StatusEchoed = 0;
constexpr int StatusErrorText = 1;

// What one run appended, for the exit status and the JSON document.
struct RunRecord {
  std::vector<Text> appends;
  bool errorTextWritten = false;
};

class QuerySession {
 public:
  explicit QuerySession(const CliOptions& options)
      : options_(options),
        number_(Code_Utf8ToAnsi(options.number)),
        writeReport_(Cli_StandardOutputSink(options.encoding)),
        runtime_(number_, options.method, [this](const Text& text) { OnAppend(text); }) {
    Ui_SetRuntime(&runtime_);
  }
  ~QuerySession() { Ui_SetRuntime(nullptr); }
  QuerySession(const QuerySession&) = delete;
  QuerySession& operator=(const QuerySession&) = delete;

  // Runs one query and writes what it produced; returns its exit status.
  int RunOnce(void (*query)()) {
    record_ = RunRecord();
    query();
    if (options_.json) {
      std::string document = Cli_JsonDocument({number_, Globals.CompanyCode, Globals.ReplyText,
                                               !record_.errorTextWritten, options_.method,
                                               record_.appends});
      std::fwrite(document.data(), 1, document.size(), stdout);
    }
    std::fflush(stdout);
    return record_.errorTextWritten ? StatusErrorText : StatusEchoed;
  }

 private:
  // The query decides whether the echo matched; its error text is the one
  // append that says it did not, and nothing else it appends can equal it.
  void OnAppend(const Text& text) {
    if (text == Report_ErrorText()) record_.errorTextWritten = true;
    if (options_.json) {
      record_.appends.push_back(text);
    } else {
      writeReport_(text);
    }
  }

  const CliOptions& options_;
  Text number_;
  ConsoleRuntime::ReportSink writeReport_;
  RunRecord record_;
  ConsoleRuntime runtime_;
};

}  // namespace

int Cli_RunQueries(const CliOptions& options) {
  if (options.service) Query_SetTrackServiceBase(Code_Utf8ToAnsi(*options.service));
  Globals_CreateTrackRegex();

  int status = StatusEchoed;
  {
    QuerySession session(options);
    if (options.everyMilliseconds > 0) {
      Cli_RunEvery(options.everyMilliseconds, options.count,
                   [&] { status = session.RunOnce(Query_RunTimed); });
    } else {
      status = session.RunOnce(Query_Run);
    }
  }
  Globals_Release();
  return status;
}

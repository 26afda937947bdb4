// The whole report, built by the query procedure from an arbitrary trace
// reply through the recording runtime (no network): the typed number is the
// one the reply echoes, so the entry patterns, the decoding and the appends
// all run on what the fuzzer writes.
#include "query/query.h"
#include "support/recording_runtime.h"
#include "text/code_page.h"
#include "text/text_between.h"
#include "ui/program_globals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  bool timed = (data[0] & 1) != 0;
  int methods = (data[0] >> 1) & 3;
  std::string reply(reinterpret_cast<const char*>(data) + 1, size - 1);

  Globals_CreateTrackRegex();
  RecordingRuntime runtime;
  runtime.LogAppends = false;
  runtime.OpenMainWindow();
  runtime.PageSource = [&reply](const Text& url) -> Text {
    if (url.find("/autonumber/") != Text::npos) {
      return "{\"comCode\":\"\",\"num\":\"1\",\"auto\":[{\"comCode\":\"yuantong\",\"id\":\"\"}]}";
    }
    return reply;
  };
  Text echoed = Text_Between(Code_Utf8ToAnsi(reply), "\"nu\":\"", "\",\"");
  runtime.Type("编辑框_ID", echoed);
  runtime.SetChecked("选择框1", methods & 1);
  runtime.SetChecked("选择框2", (methods >> 1) & 1);
  if (timed) {
    Query_RunTimed();
  } else {
    Query_Run();
  }
  return 0;
}

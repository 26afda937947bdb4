#include "json_report.h"

#include <nlohmann/json.hpp>

#include "query/report_texts.h"
#include "text/code_page.h"

namespace {

// Keeps the members in the order the output promises.
using Json = nlohmann::ordered_json;

struct ShownEntry {
  Text time;
  Text context;
};

// Splits the appended texts into the frames of the method runs. A frame
// opens with the start banner; each entry is two appends, a time piece that
// ends in two ideographic spaces and a context piece that ends in an empty
// line. The hint line and the end banner end in an empty line and never in
// the spaces, so the first append of a pair alone tells an entry from the
// frame's close, whatever the entry's own text holds.
std::vector<std::vector<ShownEntry>> ReadFrames(const std::vector<Text>& appends) {
  const Text& startBanner = Report_StartBanner();
  const Text& timeTail = Report_TimeSeparator();
  const std::string_view contextTail = "\r\n\r\n";

  std::vector<std::vector<ShownEntry>> frames;
  size_t i = 0;
  while (i < appends.size()) {
    if (appends[i++] != startBanner) continue;
    auto& entries = frames.emplace_back();
    while (i + 1 < appends.size() && appends[i].ends_with(timeTail)) {
      const Text& time = appends[i];
      const Text& context = appends[i + 1];
      entries.push_back({time.substr(0, time.size() - timeTail.size()),
                         context.ends_with(contextTail)
                             ? context.substr(0, context.size() - contextTail.size())
                             : context});
      i += 2;
    }
  }
  return frames;
}

std::vector<int> CheckedMethods(MethodChoice method) {
  switch (method) {
    case MethodChoice::One: return {1};
    case MethodChoice::Two: return {2};
    case MethodChoice::Both: return {1, 2};
    case MethodChoice::None: return {};
  }
  return {};
}

Json MethodsShown(const JsonRunFacts& facts) {
  Json methods = Json::array();
  auto frames = ReadFrames(facts.appends);
  auto checked = CheckedMethods(facts.method);
  // The query writes one frame per checked method, method one's first.
  for (size_t k = 0; k < frames.size() && k < checked.size(); ++k) {
    Json entries = Json::array();
    for (const ShownEntry& entry : frames[k]) {
      entries.push_back({{"time", Code_GbkToUtf8(entry.time)},
                         {"context", Code_GbkToUtf8(entry.context)}});
    }
    methods.push_back({{"method", checked[k]}, {"entries", std::move(entries)}});
  }
  return methods;
}

// A reply that is not a JSON object with a "data" list gives no entries.
Json ReplyEntries(const Text& replyText) {
  Json entries = Json::array();
  Json reply = Json::parse(Code_GbkToUtf8(replyText), nullptr, /*allow_exceptions=*/false);
  if (!reply.is_object()) return entries;
  auto data = reply.find("data");
  if (data == reply.end() || !data->is_array()) return entries;
  for (const Json& item : *data) {
    Json entry = Json::object();
    for (const char* member : {"time", "ftime", "context", "location"}) {
      Json value = nullptr;
      if (item.is_object()) {
        if (auto found = item.find(member); found != item.end()) value = *found;
      }
      entry[member] = std::move(value);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::string Cli_JsonDocument(const JsonRunFacts& facts) {
  Json document = Json::object();
  document["number"] = Code_GbkToUtf8(facts.number);
  // The detection reply is cut as fetched, so the code is still the service's UTF-8.
  document["company"] = facts.companyCode;
  document["matched"] = facts.matched;
  document["methods"] = MethodsShown(facts);
  document["entries"] = ReplyEntries(facts.replyText);
  // Bytes that are not UTF-8 (a broken reply) come out as U+FFFD instead of
  // ending the program.
  return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// --json: one UTF-8 document per run, entries read by member name.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/query_program.h"
#include "support/tracking_service.h"

namespace {

using Json = nlohmann::json;

std::string Escaped(std::string_view utf8) { return TrackingService::JsonEscape(utf8); }

// Two replies with the same trace: the service's usual member order, and a
// scrambled one. The second entry has no location and a null ftime.
const std::string UsualOrder =
    "{\"message\":\"ok\",\"nu\":\"YT1\",\"ischeck\":\"1\",\"data\":["
    "{\"time\":\"2016-09-22 08:05:03\",\"location\":\"" + Escaped("上海") + "\",\"context\":\"" +
    Escaped("已签收") + "\",\"ftime\":\"2016-09-22 08:05:03\"},"
    "{\"time\":\"2016-09-21 20:00:00\",\"context\":\"" + Escaped("运输中") +
    "\",\"ftime\":null}]}";
const std::string ScrambledOrder =
    "{\"data\":["
    "{\"ftime\":\"2016-09-22 08:05:03\",\"context\":\"" + Escaped("已签收") +
    "\",\"location\":\"" + Escaped("上海") + "\",\"time\":\"2016-09-22 08:05:03\"},"
    "{\"context\":\"" + Escaped("运输中") + "\",\"time\":\"2016-09-21 20:00:00\"}"
    "],\"nu\":\"YT1\",\"message\":\"ok\"}";

Json RunJson(TrackingService& service, const std::string& traceBody,
             const std::vector<std::string>& options, int expectedStatus) {
  service.ServeTraceBody(traceBody);
  std::vector<std::string> arguments = {"--service", service.BaseUrl(), "--json"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back("YT1");
  ChildResult result = RunQuery(arguments);
  EXPECT_EQ(result.exitStatus, expectedStatus);
  EXPECT_EQ(result.err, "");
  // One document on one line, its members in the documented order.
  EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << result.out;
  EXPECT_TRUE(result.out.starts_with("{\"number\":")) << result.out;
  EXPECT_LT(result.out.find("\"company\":"), result.out.find("\"matched\":"));
  EXPECT_LT(result.out.find("\"methods\":"), result.out.find("\"entries\":"));
  return Json::parse(result.out, nullptr, false);
}

TEST(QueryProgramJson, EntriesDoNotDependOnMemberOrder) {
  TrackingService service;
  service.ServeCompany("yuantong");
  Json usual = RunJson(service, UsualOrder, {"--method", "both"}, 0);
  Json scrambled = RunJson(service, ScrambledOrder, {"--method", "both"}, 0);
  ASSERT_FALSE(usual.is_discarded());
  ASSERT_FALSE(scrambled.is_discarded());

  const Json expectedEntries = Json::parse(R"([
    {"time": "2016-09-22 08:05:03", "ftime": "2016-09-22 08:05:03", "context": "已签收", "location": "上海"},
    {"time": "2016-09-21 20:00:00", "ftime": null, "context": "运输中", "location": null}])");
  EXPECT_EQ(usual["entries"], expectedEntries) << usual.dump();
  EXPECT_EQ(scrambled["entries"], expectedEntries) << scrambled.dump();

  EXPECT_EQ(usual["number"], "YT1");
  EXPECT_EQ(usual["company"], "yuantong");
  EXPECT_EQ(usual["matched"], true);

  // "methods" holds what each frame shows: method one reads the first entry
  // of the usual order; method two's lazy time group runs over the location
  // member (shown glued to the time) and cannot end the second entry, whose
  // ftime is not a string. The scrambled order matches neither pattern.
  const Json usualMethods = Json::parse(R"([
    {"method": 1, "entries": [{"time": "2016-09-22 08:05:03", "context": "已签收"}]},
    {"method": 2, "entries": [{"time": "2016-09-22 08:05:03上海", "context": "已签收"}]}])");
  EXPECT_EQ(usual["methods"], usualMethods) << usual["methods"].dump();
  const Json scrambledMethods = Json::parse(R"([
    {"method": 1, "entries": []},
    {"method": 2, "entries": []}])");
  EXPECT_EQ(scrambled["methods"], scrambledMethods) << scrambled["methods"].dump();
}

TEST(QueryProgramJson, MismatchAndUnreadableReplies) {
  struct Row {
    const char* name;
    std::string traceBody;
    std::vector<std::string> options;
    int status;
    bool matched;
    size_t methodCount;
    size_t entryCount;
  };
  const Row rows[] = {
      {"other number echoed", "{\"nu\":\"YT2\",\"x\":1,\"data\":[{\"time\":\"t\"}]}", {}, 1, false,
       0, 1},
      {"not json", "<html>\"nu\":\"YT1\",\"</html>", {}, 0, true, 1, 0},
      {"data not a list", "{\"nu\":\"YT1\",\"data\":{\"time\":\"t\"}}", {}, 0, true, 1, 0},
      {"entry not an object", "{\"nu\":\"YT1\",\"data\":[7]}", {}, 0, true, 1, 1},
      {"method none", UsualOrder, {"--method", "none"}, 0, true, 0, 2},
  };
  TrackingService service;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Json document = RunJson(service, row.traceBody, row.options, row.status);
    ASSERT_FALSE(document.is_discarded());
    EXPECT_EQ(document["matched"], row.matched);
    EXPECT_EQ(document["methods"].size(), row.methodCount) << document.dump();
    EXPECT_EQ(document["entries"].size(), row.entryCount) << document.dump();
  }
}

TEST(QueryProgramJson, EveryRunPrintsItsOwnLine) {
  TrackingService service;
  service.ServeTraceBody(UsualOrder);
  ChildResult result = RunQuery(
      {"--service", service.BaseUrl(), "--json", "--every", "50", "--count", "2", "YT1"});
  EXPECT_EQ(result.exitStatus, 0);
  size_t firstEnd = result.out.find('\n');
  ASSERT_NE(firstEnd, std::string::npos);
  Json first = Json::parse(result.out.substr(0, firstEnd), nullptr, false);
  Json second = Json::parse(result.out.substr(firstEnd + 1), nullptr, false);
  ASSERT_FALSE(first.is_discarded()) << result.out;
  ASSERT_FALSE(second.is_discarded()) << result.out;
  // Each document covers its own run, not everything appended so far.
  EXPECT_EQ(first["methods"], second["methods"]);
  EXPECT_EQ(first["methods"][0]["entries"].size(), 1u);
}

}  // namespace

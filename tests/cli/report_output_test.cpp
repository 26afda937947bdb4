// The report on standard output, byte for byte, and the exit statuses.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "cli/query_program.h"
#include "text/code_page.h"
#include "support/tracking_service.h"

namespace {

// The end banner's date-time is the child's own clock; only its form is checked.
bool IsDateTimeText(const std::string& utf8) {
  std::string shape;  // every run of digits as one N
  for (char c : utf8) {
    bool digit = c >= '0' && c <= '9';
    if (!digit) shape += c;
    else if (shape.empty() || shape.back() != 'N') shape += 'N';
  }
  for (const char* form : {"N年N月N日", "N年N月N日N时", "N年N月N日N时N分", "N年N月N日N时N分N秒"}) {
    if (shape == form) return true;
  }
  return false;
}

// Checks one frame: exact bytes up to the date-time and after it.
void ExpectOneFrame(const std::string& out, const std::string& headUtf8, bool gbk) {
  std::string head = (gbk ? Gbk(headUtf8) : headUtf8) + EndBannerHead;
  std::string tail = gbk ? Gbk(EndBannerTail) : EndBannerTail;
  ASSERT_GE(out.size(), head.size() + tail.size()) << out;
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  std::string dateTime = out.substr(head.size(), out.size() - head.size() - tail.size());
  EXPECT_TRUE(IsDateTimeText(gbk ? Code_GbkToUtf8(dateTime) : dateTime)) << dateTime;
}

TEST(QueryProgramReport, PrintsTheFrameInEitherEncoding) {
  const std::vector<TraceEntry> entries = {
      {"2016-09-22 08:05:03", TrackingService::JsonEscape("上海"),
       TrackingService::JsonEscape("【上海市】 快件已签收，签收人：本人"), "2016-09-22 08:05:03"},
      {"2016-09-21 20:00:00", "", TrackingService::JsonEscape("到达 转运中心"),
       "2016-09-21 20:00:00"},
  };
  const std::string shownEntries =
      "2016-09-22 08:05:03　　【上海市】 快件已签收，签收人：本人\r\n\r\n"
      "2016-09-21 20:00:00　　到达 转运中心\r\n\r\n";
  struct Row {
    const char* name;
    std::vector<std::string> options;
    EntryLayout layout;
    std::string expectedHead;
    bool gbk;
  };
  const Row rows[] = {
      {"method one, utf-8", {}, EntryLayout::WithLocation, StartBanner + shownEntries + HintMethodOne,
       false},
      {"method one, gbk", {"--encoding", "gbk"}, EntryLayout::WithLocation,
       StartBanner + shownEntries + HintMethodOne, true},
      {"method two, gbk", {"--method", "2", "--encoding=gbk"}, EntryLayout::WithoutLocation,
       StartBanner + shownEntries + HintMethodTwo, true},
  };
  TrackingService service;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    service.ServeEntries(entries, row.layout);
    std::vector<std::string> arguments = {"--service", service.BaseUrl(), "YT1234567890"};
    arguments.insert(arguments.end(), row.options.begin(), row.options.end());
    ChildResult result = RunQuery(arguments);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    ExpectOneFrame(result.out, row.expectedHead, row.gbk);
  }
}

TEST(QueryProgramReport, ExitStatusFollowsTheEcho) {
  struct Row {
    const char* name;
    std::function<void(TrackingService&)> serve;
    std::vector<std::string> arguments;  // after --service
    int status;
    std::function<bool(const std::string&)> outputIsRight;
  };
  auto exactly = [](std::string expected) {
    return [expected](const std::string& out) { return out == expected; };
  };
  auto oneFrame = [](const std::string& out) {
    return out.starts_with(StartBanner) && out.find(StartBanner, 1) == std::string::npos &&
           out.ends_with(EndBannerTail);
  };
  auto nothing = [](TrackingService&) {};
  const Row rows[] = {
      {"echoed number", nothing, {"YT1"}, 0, oneFrame},
      {"another number echoed", [](TrackingService& s) { s.ServeEchoedNumber("YT2"); }, {"YT1"}, 1,
       exactly(ErrorText)},
      {"number differing in case", [](TrackingService& s) { s.ServeEchoedNumber("yt1"); }, {"YT1"},
       1, exactly(ErrorText)},
      {"not found", [](TrackingService& s) { s.ServeNotFound(); }, {"YT1"}, 1, exactly(ErrorText)},
      {"method none, echoed", nothing, {"--method", "none", "YT1"}, 0, exactly("")},
      {"method none, not echoed", [](TrackingService& s) { s.ServeNotFound(); },
       {"--method", "none", "YT1"}, 1, exactly(ErrorText)},
      {"number after --", nothing, {"--", "-5"}, 0, oneFrame},
      {"both methods", nothing, {"--method", "both", "YT1"}, 0,
       [](const std::string& out) {
         size_t one = out.find(HintMethodOne);
         size_t two = out.find(HintMethodTwo);
         return out.starts_with(StartBanner) && one != std::string::npos &&
                two != std::string::npos && one < two;
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TrackingService service;
    row.serve(service);
    std::vector<std::string> arguments = {"--service", service.BaseUrl()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    ChildResult result = RunQuery(arguments);
    EXPECT_EQ(result.exitStatus, row.status);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(row.outputIsRight(result.out)) << result.out;
  }
}

// The number crosses into the core as code page 936, so the service is asked
// for those bytes and its UTF-8 echo compares equal to them.
TEST(QueryProgramReport, NumberGoesToTheServiceInCodePage936) {
  TrackingService service;
  service.ServeEchoedNumber("单号1");
  ChildResult result = RunQuery({"--service", service.BaseUrl() + "/", "单号1"});
  EXPECT_EQ(result.exitStatus, 0);
  auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  // The trailing slash of --service does not double the path's.
  EXPECT_TRUE(requests[0].target.starts_with("/autonumber/autoComNum?")) << requests[0].target;
  EXPECT_EQ(TrackingService::QueryValue(requests[0].target, "text"), Gbk("单号1"));
  EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "postid"), Gbk("单号1"));
}

// "" is the empty number, queried like any other; the query itself decides
// whether that can echo, and the exit status says what it wrote.
TEST(QueryProgramReport, EmptyNumberIsAQueryNotAUsageError) {
  TrackingService service;
  service.ServeNotFound();
  ChildResult result = RunQuery({"--service", service.BaseUrl(), ""});
  EXPECT_EQ(result.err, "");
  ASSERT_NE(result.exitStatus, 2);
  EXPECT_EQ(result.exitStatus == 1, result.out == ErrorText) << result.out;
}

TEST(QueryProgramTimed, ThreeFailedRunsLeaveThreeErrorTextsOnOneLine) {
  LoopbackServer failing([](const RecordedRequest&) { return LoopbackServer::Response(500, ""); });
  ChildResult result =
      RunQuery({"--service", failing.BaseUrl(), "--every", "50", "--count", "3", "YT1"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, ErrorText + ErrorText + ErrorText);
  // Each run asks twice: the company, then the trace.
  EXPECT_EQ(failing.Requests().size(), 6u);
}

TEST(QueryProgramTimed, TimedFramesHaveNoHintLine) {
  TrackingService service;
  ChildResult result = RunQuery(
      {"--service", service.BaseUrl(), "--every=50", "--count=2", "--encoding", "gbk", "YT1"});
  EXPECT_EQ(result.exitStatus, 0);
  std::string out = Code_GbkToUtf8(result.out);
  size_t second = out.find(StartBanner, 1);
  ASSERT_NE(second, std::string::npos) << out;
  EXPECT_EQ(out.find(StartBanner, second + 1), std::string::npos) << out;
  EXPECT_EQ(out.substr(StartBanner.size(), EndBannerHead.size()), EndBannerHead);
  EXPECT_EQ(out.find("如果方式"), std::string::npos) << out;
}

// Ctrl+C between runs ends the program through its normal exit, after whole
// frames only.
TEST(QueryProgramTimed, InterruptEndsCleanly) {
  TrackingService service;
  ChildProcess child(QueryProgram, {"--service", service.BaseUrl(), "--every", "50", "YT1"});
  ASSERT_TRUE(child.WaitForOutput(EndBannerTail));
  child.Signal(SIGINT);
  ChildResult result = child.Finish();
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.ends_with(EndBannerTail)) << result.out;
}

}  // namespace

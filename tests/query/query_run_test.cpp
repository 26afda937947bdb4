// Query_Run against the tracking-service stand-in: the report byte for byte,
// the requests it sends, and the error text.

#include <vector>

#include "query/query.h"
#include "query_fixture.h"
#include "ui/window_runtime.h"
#include "web/web_test_hooks.h"

namespace {

using QueryRun = QueryFixture;

// Two entries with escaped Chinese descriptions; the location and ftime
// values carry markers that must never reach the report.
std::vector<TraceEntry> TwoEntries() {
  return {
      {"2016-09-21 18:30:00", "LOC1", TrackingService::JsonEscape("已签收，感谢使用"), "FTIME1"},
      {"2016-09-20 09:12:45", "LOC2", TrackingService::JsonEscape("到达【上海转运中心】"), "FTIME2"},
  };
}

void SelectMethods(int one, int two) {
  Ui_SetChecked("选择框1", one);
  Ui_SetChecked("选择框2", two);
}

TEST_F(QueryRun, ReportsEachMethodByteForByte) {
  struct Case {
    const char* name;
    int methodOne;
    int methodTwo;
    EntryLayout layout;
    std::string expected;
  };
  const std::string one = StartBanner() + EntryLine("2016-09-21 18:30:00", "已签收，感谢使用") +
                          EntryLine("2016-09-20 09:12:45", "到达【上海转运中心】") + HintOne() +
                          EndBanner();
  // Over entries with a location, method two's lazy time group runs over the
  // location member; removing the member delimiter glues the location on.
  const std::string twoOverLocation =
      StartBanner() + EntryLine("2016-09-21 18:30:00LOC1", "已签收，感谢使用") +
      EntryLine("2016-09-20 09:12:45LOC2", "到达【上海转运中心】") + HintTwo() + EndBanner();
  const std::string two = StartBanner() + EntryLine("2016-09-21 18:30:00", "已签收，感谢使用") +
                          EntryLine("2016-09-20 09:12:45", "到达【上海转运中心】") + HintTwo() +
                          EndBanner();
  const std::string emptyOne = StartBanner() + HintOne() + EndBanner();
  const Case cases[] = {
      {"method one", 1, 0, EntryLayout::WithLocation, one},
      {"method two over entries with location", 0, 1, EntryLayout::WithLocation, twoOverLocation},
      {"method two over entries without location", 0, 1, EntryLayout::WithoutLocation, two},
      {"method one finds nothing without location", 1, 0, EntryLayout::WithoutLocation, emptyOne},
      {"both methods, method one first", 1, 1, EntryLayout::WithLocation, one + twoOverLocation},
      {"neither method", 0, 0, EntryLayout::WithLocation, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    service.ServeEntries(TwoEntries(), c.layout);
    SelectMethods(c.methodOne, c.methodTwo);
    Query_Run();
    EXPECT_EQ(Report(), c.expected);
  }
}

TEST_F(QueryRun, EmptiesTheBoxAndSendsBothRequests) {
  service.ServeCompany("zhongtong");
  Query_Run();
  EXPECT_EQ(Report(), StartBanner() + HintOne() + EndBanner()) << "greeting text must be gone";
  auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/autonumber/autoComNum?text=3903300539521");
  EXPECT_EQ(requests[1].target,
            "/query?type=zhongtong&postid=3903300539521&id=1&valicode=&temp=0.8770382014516336");
  EXPECT_EQ(Globals.CompanyCode, "zhongtong");
  EXPECT_EQ(Globals.ReplyNumber, "3903300539521");
  EXPECT_EQ(Globals.RegexSubject, Globals.ReplyText);
}

TEST_F(QueryRun, RemovesTheMemberDelimiterInAnyLetterCase) {
  service.ServeTraceBody(
      "{\"message\":\"ok\",\"nu\":\"3903300539521\",\"data\":["
      "{\"time\":\"T1\",\"LoCaTiOn\":\"L1\",\"context\":\"C1\",\"ftime\":\"F1\"}]}");
  SelectMethods(0, 1);
  Query_Run();
  EXPECT_EQ(Report(), StartBanner() + EntryLine("T1L1", "C1") + HintTwo() + EndBanner());
}

TEST_F(QueryRun, AnEntryWhoseDecodingsFailShowsOnlyTheSeparator) {
  // A value ending in a lone backslash is no valid string literal.
  service.ServeTraceBody(
      "{\"message\":\"ok\",\"nu\":\"3903300539521\",\"data\":["
      "{\"time\":\"T\\\",\"location\":\"L\",\"context\":\"C\\\",\"ftime\":\"F\"}]}");
  Query_Run();
  EXPECT_EQ(Report(), StartBanner() + "\xA1\xA1\xA1\xA1\r\n\r\n" + HintOne() + EndBanner());
}

TEST_F(QueryRun, WritesOnlyTheErrorTextWhenTheReplyDoesNotEchoTheNumber) {
  struct Case {
    const char* name;
    std::string typed;
    void (*serve)(TrackingService&);
  };
  const Case cases[] = {
      {"other number", "3903300539521",
       [](TrackingService& s) { s.ServeEchoedNumber("3903300539522"); }},
      {"letter case differs", "abc123", [](TrackingService& s) { s.ServeEchoedNumber("ABC123"); }},
      {"leading space typed", " 3903300539521",
       [](TrackingService& s) { s.ServeEchoedNumber("3903300539521"); }},
      {"trailing space typed", "3903300539521 ",
       [](TrackingService& s) { s.ServeEchoedNumber("3903300539521"); }},
      {"not found", "3903300539521", [](TrackingService& s) { s.ServeNotFound(); }},
      {"reply is not the service's", "3903300539521",
       [](TrackingService& s) { s.ServeTraceBody("<html>busy</html>"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrackingService fresh;
    Query_SetTrackServiceBase(fresh.BaseUrl());
    c.serve(fresh);
    fresh.ServeEntries({{"T", "L", "C", "F"}});
    runtime.Type("编辑框_ID", c.typed);
    Query_Run();
    EXPECT_EQ(Report(), ErrorText());
  }
}

TEST_F(QueryRun, UnreachableServiceGivesTheErrorText) {
  // Nothing listens on port 1 of the loopback interface.
  Query_SetTrackServiceBase("http://127.0.0.1:1");
  Query_Run();
  EXPECT_EQ(Report(), ErrorText());
}

TEST_F(QueryRun, EmptyNumberSendsNothingAndFails) {
  runtime.Type("编辑框_ID", "");
  // Even a service that would echo the empty number must not be asked.
  service.ServeNotFound();
  Query_Run();
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_TRUE(runtime.FetchedUrls().empty());
  EXPECT_EQ(Report(), ErrorText());
}

TEST_F(QueryRun, SendsTheNumberPercentEncodedAndComparesItAsTyped) {
  struct Case {
    const char* name;
    std::string typed;
    std::string encoded;
    bool echoMatches;  // whether the stand-in's echo can equal the typed text
  };
  const Case cases[] = {
      {"unreserved bytes stay", "Az09-._~", "Az09-._~", true},
      {"space", "12 34", "12%2034", true},
      {"ampersand cannot add a parameter", "1&type=x", "1%26type%3Dx", true},
      {"hash cannot cut the address", "1#2", "1%232", true},
      {"percent", "50%", "50%25", true},
      {"line break", "1\r\n2", "1%0D%0A2", true},
      // Code page 936 bytes are not UTF-8, so the echo cannot match them.
      {"Chinese", Gbk("中文"), "%D6%D0%CE%C4", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    service.ClearRequests();
    runtime.Type("编辑框_ID", c.typed);
    Query_Run();
    auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/autonumber/autoComNum?text=" + c.encoded);
    EXPECT_EQ(requests[1].target, "/query?type=yuantong&postid=" + c.encoded +
                                      "&id=1&valicode=&temp=0.8770382014516336");
    EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "postid"), c.typed);
    EXPECT_EQ(Report(), c.echoMatches ? StartBanner() + HintOne() + EndBanner() : ErrorText());
  }
}

TEST_F(QueryRun, CompanyCodeFromTheReplyCannotAlterTheTraceRequest) {
  service.ServeCompany("x&postid=999#frag");
  runtime.Type("编辑框_ID", "12345");
  Query_Run();
  auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, "/query?type=x%26postid%3D999%23frag&postid=12345"
                                "&id=1&valicode=&temp=0.8770382014516336");
  EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "type"), "x&postid=999#frag");
}

}  // namespace

namespace {

TEST(QueryRunOverHttps, ReportsAsOverPlainHttp) {
  TrackingService service(LoopbackServer::Tls::On);
  service.ServeEntries({{"T1", "L1", TrackingService::JsonEscape("已签收"), "F1"}});
  WebTest_TrustOnly(LoopbackServer::CertificatePath());
  Query_SetTrackServiceBase(service.BaseUrl());
  Query_SetTimeSource(FixedMoment);
  RecordingRuntime runtime;
  runtime.OpenMainWindow();
  Query_Run();
  WebTest_Reset();
  Query_SetTrackServiceBase({});
  Query_SetTimeSource({});
  Globals_Release();
  EXPECT_EQ(service.BaseUrl().rfind("https://", 0), 0u);
  EXPECT_EQ(runtime.GetText("编辑框_信息"),
            StartBanner() + EntryLine("T1", "已签收") + HintOne() + EndBanner());
}

}  // namespace

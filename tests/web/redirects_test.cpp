// Which redirects Web_Access follows, and what the caller gets back.

#include "web/web_access.h"
#include "web_test_support.h"

namespace {

TEST_F(WebTest, RedirectFollowedByDefaultAndHeadersAreTheFinalResponseOnly) {
  LoopbackServer server([](const RecordedRequest& request) {
    if (request.target == "/old") return Redirect(302, "/new");
    return LoopbackServer::Response(200, "landed", "X-Final: yes\r\n");
  });
  Text headers;
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/old", HttpMethod::Get, {}, nullptr, nullptr, {},
                       &headers),
            "landed");
  EXPECT_EQ(headers,
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: 6\r\n"
            "X-Final: yes");

  headers.clear();
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/old", HttpMethod::Get, {}, nullptr, nullptr, {},
                       &headers, /*noRedirect=*/true),
            "moved");
  EXPECT_NE(headers.find("HTTP/1.1 302 Found\r\n"), std::string::npos);
  EXPECT_NE(headers.find("\r\nLocation: /new"), std::string::npos);
  EXPECT_EQ(server.Requests().size(), 3u);
}

TEST_F(WebTest, RedirectTargetsThatAreFollowedOrNot) {
  LoopbackServer secure(Answer(LoopbackServer::Response(200, "secure page")),
                        LoopbackServer::Tls::On);
  LoopbackServer plain(Answer(LoopbackServer::Response(200, "plain page")));
  struct Case {
    const char* name;
    bool startSecure;
    std::string location;
    const char* body;
  } cases[] = {
      {"http up to https is followed", false, secure.BaseUrl() + "/up", "secure page"},
      {"https down to http is not", true, plain.BaseUrl() + "/down", "moved"},
      {"file: is never followed", false, "file:///etc/passwd", "moved"},
      {"ftp: is never followed", false, "ftp://127.0.0.1/x", "moved"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer start(Answer(Redirect(302, c.location)),
                         c.startSecure ? LoopbackServer::Tls::On : LoopbackServer::Tls::Off);
    EXPECT_EQ(Web_Fetch(start.BaseUrl() + "/start"), c.body);
  }
  EXPECT_EQ(plain.Requests().size(), 0u);
}

TEST_F(WebTest, EndlessRedirectsStopAfterTen) {
  LoopbackServer server([](const RecordedRequest& request) {
    return Redirect(302, request.target + "x");
  });
  EXPECT_EQ(Web_Fetch(server.BaseUrl() + "/loop"), "moved");
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST_F(WebTest, PostAfterRedirect) {
  LoopbackServer server([](const RecordedRequest& request) {
    if (request.target != "/done") return Redirect(std::stoi(request.target.substr(1)), "/done");
    return LoopbackServer::Response(200, request.method + ":" + request.body);
  });
  const struct {
    const char* status;
    const char* arrives;
  } cases[] = {
      {"301", "GET:"}, {"302", "GET:"}, {"303", "GET:"}, {"307", "POST:a=1"}, {"308", "POST:a=1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Web_Access(server.BaseUrl() + "/" + c.status, HttpMethod::Post, "a=1"), c.arrives)
        << c.status;
  }
}

TEST_F(WebTest, InterimResponseLeavesNoHeadersBehind) {
  LoopbackServer server(Answer(
      "HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\n"
      "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
  Text headers;
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/", HttpMethod::Get, {}, nullptr, nullptr, {}, &headers),
            "ok");
  EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\nContent-Length: 2");
}

TEST_F(WebTest, CallersCookieLinesStayWithTheHostTheyWereGivenFor) {
  LoopbackServer elsewhere(Answer(LoopbackServer::Response(200, "elsewhere")));
  LoopbackServer server([&](const RecordedRequest& request) {
    if (request.target == "/here") return Redirect(302, "/same");
    if (request.target == "/away") return Redirect(302, elsewhere.BaseUrl() + "/other");
    return LoopbackServer::Response(200, "same");
  });
  Text cookies = "sid=1";
  Web_Access(server.BaseUrl() + "/here", HttpMethod::Get, {}, &cookies);
  Web_Access(server.BaseUrl() + "/away", HttpMethod::Get, {}, &cookies, nullptr, "Cookie: x=2");
  ASSERT_EQ(server.Requests().size(), 3u);
  EXPECT_NE(server.Requests()[1].headers.find("Cookie: sid=1\r\n"), std::string::npos);
  ASSERT_EQ(elsewhere.Requests().size(), 1u);
  EXPECT_EQ(elsewhere.Requests()[0].headers.find("Cookie"), std::string::npos);
}

// Through a proxy, so that the address can use the default port: the implied
// port and the spelled-out one are the same host.
TEST_F(WebTest, CookieLinesFollowARedirectWithinTheSameHostOnTheDefaultPort) {
  LoopbackServer proxy([](const RecordedRequest& request) {
    if (request.target == "http://parcora.test/start") return Redirect(302, "/next");
    return LoopbackServer::Response(200, "next");
  });
  Text cookies = "sid=1";
  EXPECT_EQ(Web_Access("http://parcora.test/start", HttpMethod::Get, {}, &cookies, nullptr, {},
                       nullptr, false, {}, "127.0.0.1:" + std::to_string(proxy.Port())),
            "next");
  const auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, "http://parcora.test/next");
  EXPECT_NE(requests[1].headers.find("Cookie: sid=1\r\n"), std::string::npos);
}

}  // namespace

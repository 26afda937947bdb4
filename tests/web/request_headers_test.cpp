// The request as the server receives it, for the caller's header lines,
// cookies and bodies.

#include <vector>

#include "text/text_primitives.h"
#include "web/header_rules.h"
#include "web/web_access.h"
#include "web_test_support.h"

namespace {

const std::string kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";
const std::string kDefaults =
    "Referer: {url}\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n";

std::string Fill(std::string text, const std::string& url) {
  for (size_t at; (at = text.find("{url}")) != std::string::npos;) text.replace(at, 5, url);
  return text;
}

struct WireCase {
  const char* name;
  HttpMethod method;
  std::string extraHeaders;
  std::string postText;
  std::string postBytes;
  const char* cookies;  // nullptr: not given
  std::string expected; // everything after the Host line; {url} is the requested address
};

const std::vector<WireCase> kWireCases = {
    {"one User-Agent line becomes the agent and leads the block", HttpMethod::Get,
     "User-Agent: Parcora Test/1.0", "", "", nullptr,
     "User-Agent: Parcora Test/1.0\r\nAccept: */*\r\n" + kDefaults + "\r\n"},
    {"a lower-case User-Agent line is still the only agent line", HttpMethod::Get,
     "user-agent: Lower/2.0", "", "", nullptr,
     "user-agent: Lower/2.0\r\nAccept: */*\r\n" + kDefaults + "\r\n"},
    {"a lower-case Accept line does not count", HttpMethod::Get, "accept: text/html", "", "",
     nullptr, kAgent + "accept: text/html\r\nAccept: */*\r\n" + kDefaults + "\r\n"},
    {"caller lines suppress their defaults and go out as written", HttpMethod::Get,
     "Referer: http://elsewhere/\r\nAccept-Language: en\r\nContent-Type: text/plain", "", "",
     nullptr,
     kAgent +
         "Referer: http://elsewhere/\r\nAccept-Language: en\r\nContent-Type: text/plain\r\n"
         "Accept: */*\r\n\r\n"},
    {"a label inside a value counts as present", HttpMethod::Get, "X-Note: Accept: maybe", "",
     "", nullptr, kAgent + "X-Note: Accept: maybe\r\n" + kDefaults + "\r\n"},
    {"an empty header value goes out as an empty header", HttpMethod::Get,
     "X-Empty:\r\nX-B: 1", "", "", nullptr,
     kAgent + "X-Empty:\r\nX-B: 1\r\nAccept: */*\r\n" + kDefaults + "\r\n"},
    {"a line break at the end of the caller's lines leaves no empty line", HttpMethod::Get,
     "X-A: 1\r\n", "", "", nullptr,
     kAgent + "X-A: 1\r\nAccept: */*\r\n" + kDefaults + "\r\n"},
    {"a Cookie line of the caller and the cookies argument are both sent", HttpMethod::Get,
     "Cookie: a=1", "", "", "b=2",
     kAgent + "Cookie: a=1\r\nAccept: */*\r\n" + kDefaults + "Cookie: b=2\r\n\r\n"},
    {"an empty given cookie text adds no Cookie line", HttpMethod::Get, "", "", "", "",
     kAgent + "Accept: */*\r\n" + kDefaults + "\r\n"},
    {"POST bytes win over POST text and keep their zero byte", HttpMethod::Post, "", "text=1",
     std::string("by\0tes", 6), nullptr,
     kAgent + "Accept: */*\r\n" + kDefaults + "Content-Length: 6\r\n\r\n" +
         std::string("by\0tes", 6)},
    {"POST text is sent unencoded when there are no bytes", HttpMethod::Post, "", "a=1 b&c", "",
     nullptr, kAgent + "Accept: */*\r\n" + kDefaults + "Content-Length: 7\r\n\r\na=1 b&c"},
    {"POST with no body at all", HttpMethod::Post, "", "", "", nullptr,
     kAgent + "Accept: */*\r\n" + kDefaults + "Content-Length: 0\r\n\r\n"},
    {"a large POST body is sent without waiting for 100-continue", HttpMethod::Post, "",
     std::string(2 << 20, 'x'), "", nullptr,
     kAgent + "Accept: */*\r\n" + kDefaults + "Content-Length: 2097152\r\n\r\n" +
         std::string(2 << 20, 'x')},
};

TEST_F(WebTest, RequestOnTheWireForEachKindOfCaller) {
  LoopbackServer server(Answer(LoopbackServer::Response(200, "ok")));
  for (const WireCase& c : kWireCases) {
    SCOPED_TRACE(c.name);
    server.ClearRequests();
    const std::string url = server.BaseUrl() + "/form?id=7";
    Text cookies = c.cookies ? c.cookies : "";
    const Bytes body = Web_Access(url, c.method, c.postText, c.cookies ? &cookies : nullptr,
                                  nullptr, c.extraHeaders, nullptr, false, c.postBytes);
    EXPECT_EQ(body, "ok");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string verb = c.method == HttpMethod::Post ? "POST" : "GET";
    const std::string expected = verb + " /form?id=7 HTTP/1.1\r\nHost: 127.0.0.1:" +
                                 std::to_string(server.Port()) + "\r\n" + Fill(c.expected, url);
    EXPECT_EQ(requests[0].raw.size(), expected.size());
    EXPECT_TRUE(requests[0].raw == expected) << requests[0].raw.substr(0, 600);
  }
}

TEST(AgentString, FromTheCallersLines) {
  struct Case {
    const char* name;
    const char* extraHeaders;
    const char* agent;
  } cases[] = {
      {"no caller lines", "", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
      {"exact label, first of two lines", "User-Agent:  Tool/1 \r\nX: y", "Tool/1"},
      {"exact label on the last line", "X: y\r\nUser-Agent: Tool/2", "Tool/2"},
      {"lower-case label alone", "user-agent:   Lower/2.0  ", "Lower/2.0"},
      {"lower-case label among lines: only its own line", "user-agent: Mine\r\nX-Other: z",
       "Mine"},
      {"no label", "X-Thing: 1", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Header_AgentString(c.extraHeaders), c.agent) << c.name;
  }
  EXPECT_EQ(Header_ValueAfterColon("Name:  a: b  "), "a: b");
  EXPECT_EQ(Header_ValueAfterColon("no colon"), "");
}

// A proxy given with an http address serves the http request (in absolute
// form); with an https address it is asked for a tunnel.
TEST_F(WebTest, ProxyIsUsedForHttpAndAskedToTunnelHttps) {
  LoopbackServer proxy([](const RecordedRequest& request) {
    if (request.method == "CONNECT") return LoopbackServer::Response(403, "no tunnel");
    return LoopbackServer::Response(200, "via proxy");
  });
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.Port());

  EXPECT_EQ(Web_Access("http://parcora.test/page?x=1", HttpMethod::Get, {}, nullptr, nullptr, {},
                       nullptr, false, {}, proxyAddress),
            "via proxy");
  EXPECT_EQ(Web_Access("https://parcora.test/secure", HttpMethod::Get, {}, nullptr, nullptr, {},
                       nullptr, false, {}, proxyAddress),
            "");
  const auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].raw,
            "GET http://parcora.test/page?x=1 HTTP/1.1\r\nHost: parcora.test\r\n" + kAgent +
                "Accept: */*\r\n" + Fill(kDefaults, "http://parcora.test/page?x=1") + "\r\n");
  EXPECT_EQ(requests[1].method, "CONNECT");
  EXPECT_EQ(requests[1].target, "parcora.test:443");
}

TEST_F(WebTest, ProxyGivenForAnHttpAddressIsNotUsedAfterARedirectToHttps) {
  LoopbackServer secure(Answer(LoopbackServer::Response(200, "direct")), LoopbackServer::Tls::On);
  LoopbackServer proxy(Answer(Redirect(302, secure.BaseUrl() + "/landing")));
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.Port());

  EXPECT_EQ(Web_Access("http://parcora.test/start", HttpMethod::Get, {}, nullptr, nullptr, {},
                       nullptr, false, {}, proxyAddress),
            "direct");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0].method, "GET");
  ASSERT_EQ(secure.Requests().size(), 1u);
  EXPECT_EQ(secure.Requests()[0].target, "/landing");
}

}  // namespace

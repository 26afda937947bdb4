// Web_Access and Web_Fetch against real loopback servers: what goes on the
// wire, and what comes back.

#include "web/web_access.h"

#include "web_test_support.h"

namespace {

const std::string kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

TEST_F(WebTest, FetchSendsTheDefaultHeaderBlockByteForByte) {
  LoopbackServer server(Answer(LoopbackServer::Response(200, "hello")));
  const std::string url = server.BaseUrl() + "/Track/Query?type=yunda&postid=123";
  EXPECT_EQ(Web_Fetch(url), "hello");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].raw,
            "GET /Track/Query?type=yunda&postid=123 HTTP/1.1\r\n"
            "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n" + kAgentLine +
            "Accept: */*\r\n"
            "Referer: " + url + "\r\n"
            "Accept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            "\r\n");
}

TEST_F(WebTest, SpacesInThePathArePercentEncoded) {
  LoopbackServer server([](const RecordedRequest& request) {
    return LoopbackServer::Response(200, request.target);
  });
  EXPECT_EQ(Web_Fetch(server.BaseUrl() + "/a b?q=x y"), "/a%20b?q=x%20y");
  EXPECT_NE(server.Requests()[0].headers.find("Referer: " + server.BaseUrl() + "/a b?q=x y\r\n"),
            std::string::npos);
}

// The header block of a response comes back whole, however long it is.
TEST_F(WebTest, LongResponseHeaderBlockComesBackWhole) {
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += "X-Line-" + std::to_string(i) + ": " + std::string(40, 'v') + "\r\n";
  LoopbackServer server(Answer(LoopbackServer::Response(200, "ok", lines)));
  Text headers;
  Web_Access(server.BaseUrl() + "/", HttpMethod::Get, {}, nullptr, nullptr, {}, &headers);
  EXPECT_GT(headers.size(), 15000u);
  EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
                     "Content-Length: 2\r\n" + lines.substr(0, lines.size() - 2));
}

}  // namespace

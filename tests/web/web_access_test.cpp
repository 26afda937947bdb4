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

}  // namespace

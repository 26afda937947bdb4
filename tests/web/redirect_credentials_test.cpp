// The caller's credentials on a redirect: an Authorization line given for one
// host must not be handed to whatever other host that one redirects to (a
// hostile or compromised server would otherwise collect it), while a
// redirect within the same host keeps it.

#include "web/web_access.h"
#include "web_test_support.h"

namespace {

TEST_F(WebTest, AuthorizationLineStaysWithTheHostItWasGivenFor) {
  LoopbackServer elsewhere(Answer(LoopbackServer::Response(200, "elsewhere")));
  LoopbackServer server([&](const RecordedRequest& request) {
    if (request.target == "/here") return Redirect(302, "/same");
    if (request.target == "/away") return Redirect(302, elsewhere.BaseUrl() + "/other");
    return LoopbackServer::Response(200, "same");
  });
  const Text credentials = "Authorization: Basic dXNlcjpzZWNyZXQ=\r\nX-Kept: 1";
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/here", HttpMethod::Get, {}, nullptr, nullptr,
                       credentials),
            "same");
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/away", HttpMethod::Get, {}, nullptr, nullptr,
                       credentials),
            "elsewhere");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[1].headers.find("Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"), std::string::npos)
      << requests[1].headers;
  ASSERT_EQ(elsewhere.Requests().size(), 1u);
  const std::string away = elsewhere.Requests()[0].headers;
  EXPECT_EQ(Text_Find(away, "Authorization", 1, LetterCase::Ignore), -1) << away;
  // Only the credentials go; the caller's other lines still follow.
  EXPECT_NE(away.find("X-Kept: 1\r\n"), std::string::npos) << away;
}

}  // namespace

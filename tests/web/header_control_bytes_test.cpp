// A hostile server's header line with a bare carriage return (or another
// control byte) inside it: libcurl hands such a line over whole, so unless
// the web layer cleans it, a Set-Cookie value carries the byte into the
// caller's cookie text and from there into the next request's Cookie line,
// where a server that ends lines at a lone CR reads a header of its own.

#include "web/web_access.h"
#include "web_test_support.h"

namespace {

bool HasBareControlByte(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool lineEnd = byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    const bool lineFeedOfLineEnd = byte == '\n' && i > 0 && text[i - 1] == '\r';
    if ((byte < 0x20 && byte != '\t' && !lineEnd && !lineFeedOfLineEnd) || byte == 0x7f) return true;
  }
  return false;
}

TEST_F(WebTest, ControlBytesInsideResponseHeaderLinesNeverReachTheNextRequest) {
  struct Case {
    const char* name;
    std::string setCookieLine;
  } cases[] = {
      {"bare carriage return", "Set-Cookie: a=b\rX-Injected: 1\r\n"},
      {"escape byte", "Set-Cookie: a=b\x1bX-Injected: 1\r\n"},
      {"vertical tab and delete", "Set-Cookie: a=b\v\x7fX-Injected: 1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(Answer(LoopbackServer::Response(200, "ok", c.setCookieLine)));
    Text cookies;
    Text fresh;
    Text headers;
    Web_Access(server.BaseUrl() + "/set", HttpMethod::Get, {}, &cookies, &fresh, {}, &headers);
    EXPECT_FALSE(HasBareControlByte(cookies)) << cookies;
    EXPECT_FALSE(HasBareControlByte(fresh)) << fresh;
    EXPECT_FALSE(HasBareControlByte(headers)) << headers;
    EXPECT_NE(cookies.find("a=b"), Text::npos) << cookies;

    Web_Access(server.BaseUrl() + "/next", HttpMethod::Get, {}, &cookies);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(HasBareControlByte(requests[1].raw)) << requests[1].raw;
  }
}

}  // namespace

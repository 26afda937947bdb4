#include "web/url.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
  const char* name;
  const char* url;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

const UrlCase kUrlCases[] = {
    {"capital scheme and host, explicit port, query kept in its case",
     "HTTPS://WWW.Example.COM:8443/Path/To?Q=A", "www.example.com", "www.example.com:8443", 8443,
     "/Path/To?Q=A"},
    {"capital scheme without port means 443", "HTTPS://Example.com/x", "example.com",
     "example.com", 443, "/x"},
    {"http without port or path", "http://example.com", "example.com", "example.com", 80, "/"},
    {"no scheme is http", "Example.com/a/b?c=1", "example.com", "example.com", 80, "/a/b?c=1"},
    {"non-numeric port converts like atoi", "http://example.com:abc/x", "example.com",
     "example.com:abc", 0, "/x"},
    {"port with digits then letters", "http://example.com:81x/", "example.com", "example.com:81x",
     81, "/"},
    {"one-letter host inside the scheme's letters", "http://h/x", "h", "h", 80, "/x"},
    {"host spelled like the scheme", "https://s:444/p", "s", "s:444", 444, "/p"},
};

TEST(UrlSplit, Table) {
  for (const UrlCase& c : kUrlCases) {
    SCOPED_TRACE(std::string(c.name) + ": " + c.url);
    EXPECT_EQ(Url_Host(c.url), c.host);
    EXPECT_EQ(Url_Host(c.url, KeepPort::Yes), c.hostWithPort);
    EXPECT_EQ(Url_Port(c.url), c.port);
    EXPECT_EQ(Url_Path(c.url), c.path);
  }
}

}  // namespace

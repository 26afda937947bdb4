// Broken, hostile and unreachable servers: each call ends, with the body that
// had arrived, and leaves nothing open behind it.

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "web/web_access.h"
#include "web_test_support.h"

namespace {

int OpenDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder) != nullptr) ++count;
    closedir(folder);
  }
  return count;
}

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

TEST_F(WebTest, BodyWithAZeroByte) {
  const std::string body("before\0after", 12);
  LoopbackServer server(Answer(LoopbackServer::Response(200, body)));
  EXPECT_EQ(Web_Access(server.BaseUrl() + "/"), body);
  EXPECT_EQ(Web_Fetch(server.BaseUrl() + "/"), "before");
}

TEST_F(WebTest, ClosedPortGivesEmptyResultsAndStillNormalisesGivenCookies) {
  const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  EXPECT_EQ(Web_Fetch(url), "");
  Text cookies = "a=1;  b=deleted";
  Text newCookies = "stale";
  Text headers = "stale";
  EXPECT_EQ(Web_Access(url, HttpMethod::Get, {}, &cookies, &newCookies, {}, &headers), "");
  EXPECT_EQ(cookies, "a=1");
  EXPECT_EQ(newCookies, "");
  EXPECT_EQ(headers, "");
}

TEST_F(WebTest, UntrustedCertificateIsRefused) {
  LoopbackServer server(Answer(LoopbackServer::Response(200, "secret")), LoopbackServer::Tls::On);
  EXPECT_EQ(Web_Fetch(server.BaseUrl() + "/"), "secret");
  WebTest_TrustOnly("");  // the system's store, which has never heard of the test certificate
  EXPECT_EQ(Web_Fetch(server.BaseUrl() + "/"), "");
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(WebTest, UnsafeAddressSendsNothing) {
  LoopbackServer server(Answer(LoopbackServer::Response(200, "ok")));
  const std::string port = std::to_string(server.Port());
  const std::string unsafe[] = {
      server.BaseUrl() + "/a\r\nX-Injected: 1",
      server.BaseUrl() + "/a\nX: 1",
      server.BaseUrl() + "/a\rX: 1",
      server.BaseUrl() + std::string("/a\0b", 4),
      "http://user@127.0.0.1:" + port + "/",  // the split's host would not be libcurl's
  };
  for (const std::string& url : unsafe) {
    SCOPED_TRACE(url);
    Text cookies = "keep = me";
    Text headers = "untouched";
    EXPECT_EQ(Web_Access(url, HttpMethod::Get, {}, &cookies, nullptr, {}, &headers), "");
    EXPECT_EQ(cookies, "keep = me");
    EXPECT_EQ(headers, "untouched");
  }
  EXPECT_EQ(server.Requests().size(), 0u);
  EXPECT_EQ(server.AcceptedConnections(), 0);
}

TEST_F(WebTest, HostileServersEndWithWhatHadArrived) {
  const std::string partialHead = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n";
  struct Case {
    const char* name;
    LoopbackServer::RawHandler handler;
    size_t bodySize;
  } cases[] = {
      {"silent after the request",
       [](LoopbackConnection& connection) {
         RecordedRequest request;
         connection.ReadRequest(request);
         connection.WaitForClose();
       },
       0},
      {"stalls in the middle of the body",
       [&](LoopbackConnection& connection) {
         RecordedRequest request;
         connection.ReadRequest(request);
         connection.Write(partialHead + "partial");
         connection.WaitForClose();
       },
       7},
      {"resets in the middle of the body",
       [&](LoopbackConnection& connection) {
         RecordedRequest request;
         connection.ReadRequest(request);
         connection.Write(partialHead + "partial");
         connection.Reset();
       },
       7},
      {"endless body without a length",
       [](LoopbackConnection& connection) {
         RecordedRequest request;
         connection.ReadRequest(request);
         connection.Write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
         const std::string chunk(64 * 1024, 'z');
         while (connection.Write(chunk)) {
         }
       },
       size_t{1} << 20},
  };
  WebLimits limits = WebTest_Limits();
  limits.bodyCap = size_t{1} << 20;
  WebTest_SetLimits(limits);
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(std::move(c.handler));
    const Bytes body = Web_Access(server.BaseUrl() + "/");
    EXPECT_EQ(body.size(), c.bodySize);
    if (c.bodySize == 7) {
      EXPECT_EQ(body, "partial");
    }
  }
}

TEST_F(WebTest, NoDescriptorLeftOpenAfterAThousandCalls) {
  const int before = OpenDescriptors();
  {
    LoopbackServer keepAlive(Answer(LoopbackServer::Response(200, "k")));
    LoopbackServer closing(Answer(LoopbackServer::Response(200, "c", "Connection: close\r\n")));
    LoopbackServer secure(Answer(LoopbackServer::Response(200, "s")), LoopbackServer::Tls::On);
    const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    for (int i = 0; i < 250; ++i) {
      ASSERT_EQ(Web_Fetch(keepAlive.BaseUrl() + "/"), "k");
      ASSERT_EQ(Web_Fetch(closing.BaseUrl() + "/"), "c");
      ASSERT_EQ(Web_Fetch(secure.BaseUrl() + "/"), "s");
      ASSERT_EQ(Web_Fetch(refused), "");
    }
  }
  // The pool may keep a few idle connections to the servers that are gone;
  // a leak would show as hundreds.
  EXPECT_LE(OpenDescriptors(), before + 5);
}

// Calls from several threads at once each get their own answer.
TEST_F(WebTest, CallsFromSeveralThreads) {
  LoopbackServer server([](const RecordedRequest& request) {
    return LoopbackServer::Response(200, request.target);
  });
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        const std::string path = "/t" + std::to_string(t) + "/" + std::to_string(i);
        if (Web_Fetch(server.BaseUrl() + path) != path) ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace

// The test server itself, driven by bare libcurl so that a fault in the web
// layer cannot hide one in the server the other suites rely on.

#include "support/loopback_server.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

size_t Collect(char* data, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

struct Easy {
  CURL* handle = curl_easy_init();
  std::string body;
  Easy() {
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, 20L);
  }
  ~Easy() { curl_easy_cleanup(handle); }
  CURLcode Get(const std::string& url) {
    body.clear();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    return curl_easy_perform(handle);
  }
};

LoopbackServer::Handler Echo() {
  return [](const RecordedRequest& request) {
    return LoopbackServer::Response(200, request.method + " " + request.target + " " + request.body);
  };
}

TEST(LoopbackServer, RecordsRawRequestsAndKeepsConnectionsAlive) {
  LoopbackServer server(Echo());
  Easy easy;
  ASSERT_EQ(easy.Get(server.BaseUrl() + "/first?a=1"), CURLE_OK);
  EXPECT_EQ(easy.body, "GET /first?a=1 ");

  curl_easy_setopt(easy.handle, CURLOPT_POSTFIELDS, "x=1&y=2");
  ASSERT_EQ(easy.Get(server.BaseUrl() + "/second"), CURLE_OK);
  EXPECT_EQ(easy.body, "POST /second x=1&y=2");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].raw.rfind("GET /first?a=1 HTTP/1.1\r\nHost: 127.0.0.1:", 0), 0u);
  EXPECT_EQ(requests[0].raw.substr(requests[0].raw.size() - 4), "\r\n\r\n");
  EXPECT_EQ(requests[1].raw.substr(requests[1].raw.size() - 11), "\r\n\r\nx=1&y=2");
  EXPECT_NE(requests[1].headers.find("Content-Length: 7\r\n"), std::string::npos);
  EXPECT_EQ(server.AcceptedConnections(), 1);
}

TEST(LoopbackServer, ClosesWhenTheResponseSaysSo) {
  LoopbackServer server([](const RecordedRequest&) {
    return LoopbackServer::Response(200, "bye", "Connection: close\r\n");
  });
  Easy easy;
  ASSERT_EQ(easy.Get(server.BaseUrl() + "/"), CURLE_OK);
  ASSERT_EQ(easy.Get(server.BaseUrl() + "/"), CURLE_OK);
  EXPECT_EQ(server.AcceptedConnections(), 2);
}

TEST(LoopbackServer, ServesHttpsWithTheTestCertificate) {
  LoopbackServer server(Echo(), LoopbackServer::Tls::On);
  EXPECT_EQ(server.BaseUrl().rfind("https://127.0.0.1:", 0), 0u);

  Easy trusting;
  curl_easy_setopt(trusting.handle, CURLOPT_CAINFO, LoopbackServer::CertificatePath().c_str());
  ASSERT_EQ(trusting.Get(server.BaseUrl() + "/secure"), CURLE_OK);
  EXPECT_EQ(trusting.body, "GET /secure ");
  ASSERT_EQ(trusting.Get(server.BaseUrl() + "/again"), CURLE_OK);
  EXPECT_EQ(server.AcceptedConnections(), 1);

  Easy doubting;  // the system's trust store knows nothing of the test certificate
  EXPECT_NE(doubting.Get(server.BaseUrl() + "/secure"), CURLE_OK);
}

TEST(LoopbackServer, RawHandlerCanResetOrStall) {
  LoopbackServer reset([](LoopbackConnection& connection) {
    RecordedRequest request;
    if (connection.ReadRequest(request)) {
      connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial");
      connection.Reset();
    }
  });
  Easy easy;
  EXPECT_NE(easy.Get(reset.BaseUrl() + "/"), CURLE_OK);
  EXPECT_EQ(reset.Requests().size(), 1u);

  // The server's destructor must unblock a handler that waits for the client.
  auto stalled = std::make_unique<LoopbackServer>([](LoopbackConnection& connection) {
    RecordedRequest request;
    connection.ReadRequest(request);
    connection.WaitForClose();
  });
  curl_easy_setopt(easy.handle, CURLOPT_TIMEOUT_MS, 300L);
  EXPECT_EQ(easy.Get(stalled->BaseUrl() + "/"), CURLE_OPERATION_TIMEDOUT);
  stalled.reset();
}

TEST(LoopbackServer, ManyServersPerProcess) {
  for (int round = 0; round < 20; ++round) {
    LoopbackServer plain(Echo());
    LoopbackServer secure(Echo(), LoopbackServer::Tls::On);
    EXPECT_NE(plain.Port(), secure.Port());
  }
}

}  // namespace

// Whole queries against servers that misbehave: each query ends within the
// web layer's time-outs with the error text (or, where the reply still holds
// a trace, its frame), keeps no more of a body than the cap allows, and the
// next query against a healthy service works.

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hardening_fixture.h"
#include "query/query.h"

namespace {

using namespace std::chrono_literals;
using FaultInjection = HardeningTest;

constexpr char kTime[] = "2016-09-21 18:30:00";
constexpr char kContext[] = "已签收，感谢使用";

std::vector<TraceEntry> OneEntry() {
  return {{kTime, "LOC", TrackingService::JsonEscape(kContext), "FTIME"}};
}

std::string ReportWithOneEntry() {
  return StartBanner() + EntryLine(kTime, kContext) + HintOne() + EndBanner();
}

// What the stand-in would answer, with the trace body passed through `shape`.
std::string ServiceAnswer(const RecordedRequest& request,
                          const std::function<std::string(std::string)>& shape) {
  const std::string& target = request.target;
  if (target.starts_with("/autonumber/")) {
    return LoopbackServer::Response(
        200, TrackingService::DetectionReply(
                 TrackingService::QueryValue(target, "text").value_or(""), "yuantong"));
  }
  const std::string trace = TrackingService::TraceReply(
      TrackingService::QueryValue(target, "postid").value_or(""), OneEntry());
  return LoopbackServer::Response(200, shape(trace));
}

std::unique_ptr<LoopbackServer> Serve(LoopbackServer::Handler handler,
                                      LoopbackServer::Tls tls = LoopbackServer::Tls::Off) {
  return std::make_unique<LoopbackServer>(std::move(handler), tls);
}

std::unique_ptr<LoopbackServer> ServeRaw(LoopbackServer::RawHandler handler) {
  return std::make_unique<LoopbackServer>(std::move(handler));
}

// Answers each request on the connection with `write`; returning false
// from it drops the connection.
std::unique_ptr<LoopbackServer> ServeEachRequest(
    std::function<bool(LoopbackConnection&, const RecordedRequest&)> write) {
  return ServeRaw([write](LoopbackConnection& connection) {
    RecordedRequest request;
    while (connection.ReadRequest(request)) {
      if (!write(connection, request)) return;
    }
  });
}

std::string RedirectTo(const std::string& location) {
  return LoopbackServer::Response(302, "moved", "Location: " + location + "\r\n");
}

// Bytes the trickling server sends at most: a client that waits for all of
// them has no limit on the length of a transfer.
constexpr int kTrickleBytes = 100;

struct FaultCase {
  const char* name;
  std::function<std::unique_ptr<LoopbackServer>()> start;
  bool framed = false;  // the report shows the trace; otherwise the error text
  std::function<void(const LoopbackServer&, const std::vector<size_t>& fetched)> verify = {};
  bool distrust = false;  // the client checks the certificate against the system's store
};

TEST_F(FaultInjection, EveryMisbehavingServerEndsTheQueryAndTheNextOneWorks) {
  const size_t cap = WebTest_Limits().bodyCap;
  FaultCase cases[] = {
      {"accepts and never answers",
       [] {
         return ServeRaw([](LoopbackConnection& connection) {
           RecordedRequest request;
           connection.ReadRequest(request);
           connection.WaitForClose();
         });
       }},
      {"closes the connection without a word",
       [] { return ServeRaw([](LoopbackConnection&) {}); }},
      {"trickles a byte every 100 ms, inside the stall time-out",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
           for (int i = 0; i < kTrickleBytes && !connection.Stopping(); ++i) {
             if (!connection.Write("x")) return false;
             std::this_thread::sleep_for(100ms);
           }
           return false;
         });
       },
       false,
       [](const LoopbackServer&, const std::vector<size_t>& fetched) {
         for (size_t size : fetched) EXPECT_LT(size, size_t{kTrickleBytes}) << "not cut short";
       }},
      {"resets the connection in the middle of the body",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n{\"nu\":\"39033");
           connection.Reset();
           return false;
         });
       }},
      {"endless body without a length",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
           const std::string chunk(256 * 1024, 'z');
           while (connection.Write(chunk)) {
           }
           return false;
         });
       },
       false,
       [cap](const LoopbackServer&, const std::vector<size_t>& fetched) {
         for (size_t size : fetched) EXPECT_EQ(size, cap);
       }},
      {"endless header lines",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write("HTTP/1.1 200 OK\r\n");
           const std::string line = "X-Padding: " + std::string(1000, 'p') + "\r\n";
           while (connection.Write(line)) {
           }
           return false;
         });
       }},
      {"endless interim responses",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           while (connection.Write("HTTP/1.1 100 Continue\r\n\r\n")) {
           }
           return false;
         });
       }},
      {"redirect loop",
       [] { return Serve([](const RecordedRequest& r) { return RedirectTo(r.target); }); },
       false,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         const size_t hops = size_t(WebTest_Limits().maxRedirects) + 1;
         EXPECT_EQ(server.Requests().size(), 2 * hops) << "each fetch gives up after the limit";
       }},
      {"redirect loop whose every hop waits just under the stall time-out",
       [] {
         return Serve([](const RecordedRequest& r) {
           std::this_thread::sleep_for(300ms);
           return RedirectTo(r.target);
         });
       },
       false,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         const size_t hops = size_t(WebTest_Limits().maxRedirects) + 1;
         EXPECT_LT(server.Requests().size(), 2 * hops) << "each hop got a time allowance of its own";
       }},
      {"redirect to file:///etc/passwd",
       [] { return Serve([](const RecordedRequest&) { return RedirectTo("file:///etc/passwd"); }); }},
      {"redirect to ftp: on the same port",
       [] {
         return Serve([](const RecordedRequest& r) {
           const size_t host = r.headers.find("Host: ");
           const std::string hostPort =
               r.headers.substr(host + 6, r.headers.find("\r\n", host) - host - 6);
           return RedirectTo("ftp://" + hostPort + "/etc/passwd");
         });
       },
       false,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         EXPECT_EQ(server.Requests().size(), 2u);
         EXPECT_EQ(server.AcceptedConnections(), 1) << "something connected to follow the ftp: address";
       }},
      {"certificate the client does not trust",
       [] {
         return Serve([](const RecordedRequest& r) { return ServiceAnswer(r, std::identity()); },
                      LoopbackServer::Tls::On);
       },
       false,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         EXPECT_EQ(server.Requests().size(), 0u) << "a request went out over the untrusted link";
       },
       true},
      {"garbage instead of HTTP",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write(std::string("\x16\x03\x01\xff\xfe garbage\0\r\n\r\n{\"nu\":\"", 25));
           return false;
         });
       }},
      {"chunked body with a chunk size that is not a number",
       [] {
         return ServeEachRequest([](LoopbackConnection& connection, const RecordedRequest&) {
           connection.Write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n");
           return false;
         });
       }},
      // New names every response, so the process-wide store would grow; the
      // cookies go to the healthy service too, which shares the host.
      {"Set-Cookie flood under the header cap",
       [] {
         return Serve([](const RecordedRequest& r) {
           static int round = 0;
           std::string lines;
           for (int i = 0; i < 60; ++i) {
             lines += "Set-Cookie: c" + std::to_string(round) + "_" + std::to_string(i) + "=" +
                      std::string(4000, 'v') + "; Path=/\r\n";
           }
           ++round;
           return ServiceAnswer(r, std::identity()).insert(17, lines);
         });
       },
       true,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         for (const RecordedRequest& request : server.Requests()) {
           EXPECT_LT(request.raw.size(), size_t{64} << 10) << "the cookies sent back are not capped";
         }
       }},
      {"company code that would rewrite the trace address",
       [] {
         return Serve([](const RecordedRequest& r) {
           if (!r.target.starts_with("/autonumber/")) return ServiceAnswer(r, std::identity());
           return LoopbackServer::Response(
               200, TrackingService::DetectionReply("", "a b&postid=1#x\x01/../@evil"));
         });
       },
       true,
       [](const LoopbackServer& server, const std::vector<size_t>&) {
         const auto requests = server.Requests();
         ASSERT_EQ(requests.size(), 2u);
         const std::string& target = requests[1].target;
         EXPECT_EQ(TrackingService::QueryValue(target, "type"), "a b&postid=1#x\x01/../@evil");
         EXPECT_EQ(TrackingService::QueryValue(target, "postid"), "3903300539521") << target;
       }},
      {"reply that is not UTF-8",
       [] {
         return Serve([](const RecordedRequest& r) {
           return ServiceAnswer(r, [](std::string trace) {
             // Stray continuation bytes, a cut-off sequence, an overlong
             // form and a lone surrogate ahead of the entries.
             const std::string junk = "\"junk\":\"\x80\xbf\xe4\xb8 \xc0\xaf \xed\xa0\x80\xff\xfe\",";
             return trace.insert(1, junk);
           });
         });
       },
       true},
      {"reply of 50 MiB",
       [] {
         return Serve([](const RecordedRequest& r) {
           return ServiceAnswer(r, [](std::string trace) {
             return trace.insert(1, "\"pad\":\"" + std::string(size_t{50} << 20, 'p') + "\",");
           });
         });
       },
       true,
       [](const LoopbackServer&, const std::vector<size_t>& fetched) {
         ASSERT_EQ(fetched.size(), 2u);
         EXPECT_GT(fetched[1], size_t{50} << 20) << "the whole reply, below the cap, is kept";
       }},
  };
  service.ServeEntries(OneEntry());
  for (FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    fetchedSizes.clear();
    {
      std::unique_ptr<LoopbackServer> server = c.start();
      if (c.distrust) WebTest_TrustOnly("");
      const Text report = QueryAgainst(server->BaseUrl());
      WebTest_TrustOnly(LoopbackServer::CertificatePath());
      if (c.framed) {
        EXPECT_EQ(report, ReportWithOneEntry());
      } else {
        EXPECT_EQ(report, ErrorText());
      }
      for (size_t size : fetchedSizes) EXPECT_LE(size, cap);
      if (c.verify) c.verify(*server, fetchedSizes);
    }
    EXPECT_EQ(QueryAgainst(service.BaseUrl()), ReportWithOneEntry()) << "the next query";
  }
}

}  // namespace

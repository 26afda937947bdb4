// Numbers typed by the user that try to break the request: every request
// that goes out is well-formed and carries the number intact as its one
// query value, and the report shows the trace or the error text.

#include <string>
#include <string_view>

#include "hardening_fixture.h"
#include "query/query.h"

namespace {

using HostileInput = HardeningTest;

// The request line and every header line hold only visible ASCII and single
// spaces, the target no byte that would end or split it.
void ExpectWellFormed(const RecordedRequest& request) {
  const std::string& raw = request.raw;
  const size_t headEnd = raw.find("\r\n\r\n");
  ASSERT_NE(headEnd, std::string::npos);
  EXPECT_EQ(headEnd + 4, raw.size()) << "a GET carries no body";
  const std::string_view head(raw.data(), headEnd + 2);
  size_t lineStart = 0;
  for (int line = 0; lineStart < head.size(); ++line) {
    const size_t lineEnd = head.find("\r\n", lineStart);
    const std::string_view text = head.substr(lineStart, lineEnd - lineStart);
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      ASSERT_TRUE(byte >= 0x20 && byte < 0x7f) << "byte " << int(byte) << " in line " << line;
    }
    if (line == 0) {
      EXPECT_EQ(text, "GET " + request.target + " HTTP/1.1");
    } else {
      EXPECT_NE(text.find(": "), std::string_view::npos) << text.substr(0, 80);
    }
    lineStart = lineEnd + 2;
  }
  EXPECT_EQ(request.target.find_first_of(" #"), std::string::npos);
}

enum class Outcome {
  Trace,      // the stand-in's echo matches: the report shows the trace
  ErrorText,  // sent, but the echo does not match
  NotSent,    // too long for one request: nothing goes out, the error text shows
};

struct HostileNumber {
  const char* name;
  std::string number;
  Outcome outcome;
};

TEST_F(HostileInput, TypedNumbersKeepTheRequestsWellFormed) {
  const auto mixed = [](size_t size) {
    std::string number;
    while (number.size() < size) number += "12 %&#\r\n\x01" + Gbk("中文单号");
    return number;
  };
  const size_t MiB = size_t{1} << 20;
  // The request line and the Referer line each carry the number, and libcurl
  // builds no request beyond 1 MiB.
  const HostileNumber cases[] = {
      {"400 KiB of digits", std::string(400 * 1024, '7'), Outcome::Trace},
      {"1 MiB of digits", std::string(MiB, '7'), Outcome::NotSent},
      {"line breaks and a header after them", "3903\r\nX-Injected: 1\r\n\r\nGET / HTTP/1.1\n",
       Outcome::Trace},
      {"percent, ampersand and hash", "39%41&type=evil&postid=1#frag", Outcome::Trace},
      {"control characters", "39\x01\x08\t\x1b[31m\x7f", Outcome::Trace},
      {"quotes, spaces and brackets", "39 \"03\" '<x>' {}", Outcome::Trace},
      // Web_Fetch ends the stand-in's echo at the zero byte.
      {"a zero byte", std::string("39\0" "03", 5), Outcome::ErrorText},
      // The stand-in echoes the code page 936 bytes unconverted, which no
      // UTF-8 reading gives back.
      {"Chinese text", Gbk("单号３９０三"), Outcome::ErrorText},
      {"100 KiB of all of them", mixed(100 * 1024), Outcome::ErrorText},
      {"1 MiB of all of them", mixed(MiB), Outcome::NotSent},
  };
  for (const HostileNumber& c : cases) {
    SCOPED_TRACE(c.name);
    service.ClearRequests();
    runtime.Type("编辑框_ID", c.number);
    Query_Run();
    const auto requests = service.Requests();
    if (c.outcome == Outcome::NotSent) {
      EXPECT_TRUE(requests.empty());
      EXPECT_EQ(Report(), ErrorText());
      continue;
    }
    ASSERT_EQ(requests.size(), 2u);
    for (const RecordedRequest& request : requests) ExpectWellFormed(request);
    EXPECT_EQ(TrackingService::QueryValue(requests[0].target, "text"), c.number);
    EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "postid"), c.number);
    // The company code comes from the detection reply, which a zero byte cuts.
    if (c.outcome == Outcome::Trace) {
      EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "type"), "yuantong");
    }
    EXPECT_EQ(TrackingService::QueryValue(requests[1].target, "id"), "1");
    if (c.outcome == Outcome::Trace) {
      EXPECT_TRUE(IsFramed(Report())) << Report().substr(0, 200);
    } else {
      EXPECT_EQ(Report(), ErrorText());
    }
  }
}

TEST_F(HostileInput, EmptyNumberIsNeverSent) {
  runtime.Type("编辑框_ID", "");
  Query_Run();
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_EQ(Report(), ErrorText());
}

}  // namespace

#pragma once
// The main window on the recording runtime, as the query suites use it, with
// the web layer's time-outs cut down so that every misbehaving server is given
// up on within a second or two, and every fetched body's size kept.

#include <chrono>
#include <string>
#include <vector>

#include "query/query.h"
#include "query/query_fixture.h"
#include "web/web_access.h"
#include "web/web_test_hooks.h"

class HardeningTest : public QueryFixture {
 protected:
  void SetUp() override {
    QueryFixture::SetUp();
    WebTest_Reset();
    WebTest_TrustOnly(LoopbackServer::CertificatePath());
    WebLimits limits;
    limits.connectTimeout = std::chrono::milliseconds(2000);
    limits.stallTimeout = std::chrono::milliseconds(400);
    limits.transferTimeout = std::chrono::milliseconds(1500);
    WebTest_SetLimits(limits);
    runtime.PageSource = [this](const Text& url) {
      Text body = Web_Fetch(url);
      fetchedSizes.push_back(body.size());
      return body;
    };
  }
  void TearDown() override {
    WebTest_Reset();
    QueryFixture::TearDown();
  }

  // Query_Run against the service at base; the report it leaves.
  Text QueryAgainst(const std::string& base) {
    Query_SetTrackServiceBase(base);
    Query_Run();
    Query_SetTrackServiceBase(service.BaseUrl());
    return Report();
  }

  std::vector<size_t> fetchedSizes;
};

// The frame of a report: start banner first, end banner last.
inline bool IsFramed(const std::string& report) {
  return report.starts_with(StartBanner()) && report.ends_with(EndBanner());
}

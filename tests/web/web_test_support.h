#pragma once
// What the web suites share: a fixture that trusts the test certificate and
// keeps the time-outs short, and a few response builders.

#include <gtest/gtest.h>

#include <string>

#include "support/loopback_server.h"
#include "web/web_test_hooks.h"

class WebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WebTest_Reset();
    WebTest_TrustOnly(LoopbackServer::CertificatePath());
    WebLimits limits;
    limits.connectTimeout = std::chrono::milliseconds(3000);
    limits.stallTimeout = std::chrono::milliseconds(400);
    WebTest_SetLimits(limits);
  }
  void TearDown() override { WebTest_Reset(); }
};

inline LoopbackServer::Handler Answer(std::string response) {
  return [response](const RecordedRequest&) { return response; };
}

inline std::string Redirect(int status, const std::string& location) {
  return LoopbackServer::Response(status, "moved", "Location: " + location + "\r\n");
}

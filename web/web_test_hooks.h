#pragma once
// Settings that only tests and benchmarks change: whom to trust for https,
// how long to wait, how much to accept, whether to reuse connections. The
// program never calls these; each Web_Access reads the current values.

#include <chrono>
#include <cstddef>
#include <string>

struct WebLimits {
  std::chrono::milliseconds connectTimeout{15000};
  std::chrono::milliseconds stallTimeout{30000};  // a transfer that moves no byte this long ends
  // A transfer still running after this long ends, however steadily bytes
  // trickle in; the redirects a call follows share the one allowance.
  std::chrono::milliseconds transferTimeout{120000};
  size_t bodyCap = size_t{64} << 20;      // bytes kept of one response body
  int maxRedirects = 10;
};

WebLimits WebTest_Limits();
void WebTest_SetLimits(const WebLimits& limits);

// Verifies https peers against this PEM file instead of the system's trust
// store; the empty text goes back to the system's store. Verification of the
// peer and of its host name stays on in every case.
void WebTest_TrustOnly(const std::string& certificateFile);
std::string WebTest_TrustedCertificateFile();

// Off: every call opens a new connection and a new TLS session, as a client
// without a pool would (for comparing the two in a benchmark).
void WebTest_SetConnectionReuse(bool reuse);
bool WebTest_ConnectionReuse();

// Back to the program's own settings.
void WebTest_Reset();

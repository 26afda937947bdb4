#include "web/web_test_hooks.h"

#include <mutex>

namespace {

struct Settings {
  std::mutex mutex;
  WebLimits limits;
  std::string trustedCertificateFile;
  bool reuseConnections = true;
};

Settings& Current() {
  static Settings settings;
  return settings;
}

}  // namespace

WebLimits WebTest_Limits() {
  std::lock_guard lock(Current().mutex);
  return Current().limits;
}

void WebTest_SetLimits(const WebLimits& limits) {
  std::lock_guard lock(Current().mutex);
  Current().limits = limits;
}

void WebTest_TrustOnly(const std::string& certificateFile) {
  std::lock_guard lock(Current().mutex);
  Current().trustedCertificateFile = certificateFile;
}

std::string WebTest_TrustedCertificateFile() {
  std::lock_guard lock(Current().mutex);
  return Current().trustedCertificateFile;
}

void WebTest_SetConnectionReuse(bool reuse) {
  std::lock_guard lock(Current().mutex);
  Current().reuseConnections = reuse;
}

bool WebTest_ConnectionReuse() {
  std::lock_guard lock(Current().mutex);
  return Current().reuseConnections;
}

void WebTest_Reset() {
  std::lock_guard lock(Current().mutex);
  Current().limits = WebLimits{};
  Current().trustedCertificateFile.clear();
  Current().reuseConnections = true;
}

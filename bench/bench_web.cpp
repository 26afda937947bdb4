// Web_Fetch against loopback servers, each figure measured beside its
// reference in the same run:
//  1. a 16 MiB body through Web_Fetch and through a bare libcurl transfer
//     (time, and the peak resident memory the transfer added);
//  2. 200 sequential small https fetches with the connection pool and with a
//     fresh connection (and TLS handshake) for each.

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/loopback_server.h"
#include "web/web_access.h"
#include "web/web_test_hooks.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return -1;
}

// Resets the process's peak resident size to its current size (Linux 4.0+).
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The peak resident memory (KiB) that `work` adds above the resident size before it.
template <typename Work>
long PeakAddedKilobytes(Work work) {
  ResetPeak();
  const long before = StatusKilobytes("VmRSS:");
  work();
  return StatusKilobytes("VmHWM:") - before;
}

size_t Collect(char* data, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

size_t Count(char*, size_t size, size_t count, void* sink) {
  *static_cast<size_t*>(sink) += size * count;
  return size * count;
}

// A plain libcurl transfer into a string, as a program without our layer would write it.
std::string BareCurl(const std::string& url) {
  std::string body;
  CURL* easy = curl_easy_init();
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  return body;
}

// The transfer alone: the body is counted and dropped, on a kept connection.
size_t BareCurlDiscarding(CURL* easy, const std::string& url) {
  size_t received = 0;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Count);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_perform(easy);
  return received;
}

void LargeBody() {
  const size_t size = size_t{16} << 20;
  std::string content(size, 'a');
  for (size_t i = 0; i < size; i += 4093) content[i] = static_cast<char>('b' + i % 20);
  const std::string response = LoopbackServer::Response(200, content);
  LoopbackServer server([&response](const RecordedRequest&) { return response; });
  const std::string url = server.BaseUrl() + "/big";

  // Warm both paths (connection set up, allocator pools grown) before measuring.
  if (Web_Fetch(url).size() != size || BareCurl(url).size() != size) {
    std::printf("large body: transfer failed\n");
    return;
  }
  CURL* kept = curl_easy_init();
  BareCurlDiscarding(kept, url);
  std::vector<double> ours, bare, discarding;
  for (int round = 0; round < 9; ++round) {
    auto start = Clock::now();
    const size_t gotOurs = Web_Fetch(url).size();
    ours.push_back(MillisecondsSince(start));
    start = Clock::now();
    const size_t gotBare = BareCurl(url).size();
    bare.push_back(MillisecondsSince(start));
    start = Clock::now();
    const size_t gotDiscarding = BareCurlDiscarding(kept, url);
    discarding.push_back(MillisecondsSince(start));
    if (gotOurs != size || gotBare != size || gotDiscarding != size) {
      std::printf("large body: short transfer\n");
    }
  }
  curl_easy_cleanup(kept);
  const long peakOurs = PeakAddedKilobytes([&] { (void)Web_Fetch(url).size(); });
  const long peakBare = PeakAddedKilobytes([&] { (void)BareCurl(url).size(); });
  const double bodyKilobytes = static_cast<double>(size) / 1024;
  std::printf("16 MiB body, median of 9:  Web_Fetch %.1f ms   bare libcurl into a string %.1f ms"
              " (ratio %.2f)   bare libcurl discarding the body %.1f ms (ratio %.2f)\n",
              Median(ours), Median(bare), Median(ours) / Median(bare), Median(discarding),
              Median(ours) / Median(discarding));
  std::printf("16 MiB body, peak memory added:  Web_Fetch %ld KiB (%.2fx body)   "
              "bare libcurl %ld KiB (%.2fx body)\n",
              peakOurs, peakOurs / bodyKilobytes, peakBare, peakBare / bodyKilobytes);
}

double SmallHttpsFetches(const std::string& url, int count) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    if (Web_Fetch(url) != "small page") std::printf("small https: fetch failed\n");
  }
  return MillisecondsSince(start);
}

void PooledVersusFresh() {
  WebTest_TrustOnly(LoopbackServer::CertificatePath());
  LoopbackServer server([](const RecordedRequest&) {
    return LoopbackServer::Response(200, "small page");
  }, LoopbackServer::Tls::On);
  const std::string url = server.BaseUrl() + "/small";
  SmallHttpsFetches(url, 5);

  WebTest_SetConnectionReuse(false);
  const int connectionsBefore = server.AcceptedConnections();
  const double fresh = SmallHttpsFetches(url, 200);
  const int freshConnections = server.AcceptedConnections() - connectionsBefore;

  WebTest_SetConnectionReuse(true);
  SmallHttpsFetches(url, 1);  // one connection into the pool
  const int pooledBefore = server.AcceptedConnections();
  const double pooled = SmallHttpsFetches(url, 200);
  const int pooledConnections = server.AcceptedConnections() - pooledBefore;

  std::printf("200 small https fetches:  pooled %.1f ms (%d new connections)   "
              "fresh %.1f ms (%d new connections)   speed-up %.2fx\n",
              pooled, pooledConnections, fresh, freshConnections, fresh / pooled);
  WebTest_Reset();
}

}  // namespace

int main() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  LargeBody();
  PooledVersusFresh();
  return 0;
}

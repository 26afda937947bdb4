#include "web/http_transfer.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "web/curl_handles.h"
#include "web/web_test_hooks.h"

namespace {

// The response header block a server may send before the transfer is ended.
constexpr size_t kHeaderCap = size_t{1} << 20;

struct Sink {
  const CurlApi* curl = nullptr;
  CURL* easy = nullptr;
  HttpOutcome* outcome = nullptr;
  size_t bodyCap = 0;
  size_t headerBytes = 0;
  std::chrono::steady_clock::duration stallTimeout{};
  curl_off_t bytesMoved = -1;
  std::chrono::steady_clock::time_point lastMove{};
};

// Ends a transfer that has moved no byte for the stall time-out. libcurl's
// low-speed limit would not do: it averages over a window, so a few bytes
// followed by silence keep a transfer alive for several seconds more.
int WatchForStall(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto* sink = static_cast<Sink*>(user);
  const auto now = std::chrono::steady_clock::now();
  // Header lines count as movement too; libcurl's figures hold only bodies.
  const curl_off_t moved = downloaded + uploaded + static_cast<curl_off_t>(sink->headerBytes);
  if (moved != sink->bytesMoved) {
    sink->bytesMoved = moved;
    sink->lastMove = now;
    return 0;
  }
  return now - sink->lastMove > sink->stallTimeout ? 1 : 0;
}

// libcurl callbacks report failure by their return value; nothing may throw
// through them, so each catches everything.
size_t TakeBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t length = size * count;
  try {
    Bytes& body = sink->outcome->body;
    if (body.empty() && body.capacity() < 4096) {
      // Room for the announced length up front: growth by doubling would
      // briefly hold the old and the new buffer, near three times the body.
      curl_off_t announced = -1;
      sink->curl->easy_getinfo(sink->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
      if (announced > 0) body.reserve(std::min(static_cast<size_t>(announced), sink->bodyCap));
    }
    const size_t room = sink->bodyCap - std::min(sink->bodyCap, body.size());
    body.append(data, std::min(length, room));
    // A short count ends the transfer: a body sent without Content-Length is
    // not stopped by libcurl's own size limit.
    return length <= room ? length : 0;
  } catch (...) {
    return 0;
  }
}

size_t TakeHeader(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t length = size * count;
  try {
    sink->headerBytes += length;
    if (sink->headerBytes > kHeaderCap) return 0;
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.empty()) return length;
    // libcurl ends a line at its line feed only: a lone carriage return, a
    // zero byte or another control byte inside it comes through as it was
    // sent. Left there, a Set-Cookie value would carry it into the caller's
    // cookie text and on into the next request's Cookie line, where a server
    // that ends lines at a lone CR reads what follows as a header of its own.
    std::string cleaned(line);
    for (char& c : cleaned) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && byte != '\t') || byte == 0x7f) c = ' ';
    }
    Text& headers = sink->outcome->headers;
    // Each status line starts a new response (an interim 1xx, a proxy's
    // tunnel answer); only the last one is kept.
    if (line.substr(0, 5) == "HTTP/") {
      headers.clear();
    } else if (!headers.empty()) {
      headers += "\r\n";
    }
    headers += cleaned;
    return length;
  } catch (...) {
    return 0;
  }
}

}  // namespace

HttpOutcome Http_Perform(const HttpHop& hop) {
  // libcurl does not support one shared connection pool in transfers running
  // at the same time on several threads, so transfers take turns. The program
  // fetches one page at a time anyway; the lock only matters when calls come
  // from several threads at once.
  static std::mutex oneTransferAtATime;
  std::lock_guard turn(oneTransferAtATime);

  HttpOutcome outcome;
  const CurlApi* api = Curl_Api();
  if (api == nullptr) return outcome;
  const CurlApi& curl = *api;
  EasyHandle easy(curl);
  HeaderList headers(curl, hop.headerLines);
  // libcurl would add a Proxy-Connection line of its own to proxied requests.
  HeaderList proxyHeaders(curl, {"Proxy-Connection:"});
  if (!easy || headers.failed() || proxyHeaders.failed()) return outcome;
  CURL* handle = easy.get();

  const WebLimits limits = WebTest_Limits();
  Sink sink;
  sink.curl = &curl;
  sink.easy = handle;
  sink.outcome = &outcome;
  sink.bodyCap = limits.bodyCap;
  sink.stallTimeout = limits.stallTimeout;

  curl.easy_setopt(handle, CURLOPT_URL, hop.url.c_str());
  curl.easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl.easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl.easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl.easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl.easy_setopt(handle, CURLOPT_USERAGENT, hop.agent.c_str());

  // An empty proxy text keeps out any proxy named in the environment, and an
  // empty no-proxy list keeps the environment from exempting hosts.
  curl.easy_setopt(handle, CURLOPT_PROXY, hop.proxy.c_str());
  curl.easy_setopt(handle, CURLOPT_NOPROXY, "");
  curl.easy_setopt(handle, CURLOPT_PROXYHEADER, proxyHeaders.get());

  if (hop.cookieStore) curl.easy_setopt(handle, CURLOPT_COOKIEFILE, "");

  if (hop.post) {
    static const Bytes kNoBody;
    const Bytes& body = hop.body != nullptr ? *hop.body : kNoBody;
    curl.easy_setopt(handle, CURLOPT_POST, 1L);
    curl.easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl.easy_setopt(handle, CURLOPT_POSTFIELDS, body.data());
  }

  curl.easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl.easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  const std::string trusted = WebTest_TrustedCertificateFile();
  if (!trusted.empty()) {
    curl.easy_setopt(handle, CURLOPT_CAINFO, trusted.c_str());
    curl.easy_setopt(handle, CURLOPT_CAPATH, nullptr);
  }
  if (!WebTest_ConnectionReuse()) {
    curl.easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
    curl.easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl.easy_setopt(handle, CURLOPT_SSL_SESSIONID_CACHE, 0L);
  }

  curl.easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(limits.connectTimeout.count()));
  // The stall watch alone lets a server that sends a byte now and then keep
  // the caller waiting for ever; this bounds the whole transfer. A deadline
  // already past still gets a millisecond, as 0 would mean no limit at all.
  const auto now = std::chrono::steady_clock::now();
  const auto deadline =
      hop.deadline == std::chrono::steady_clock::time_point{} ? now + limits.transferTimeout
                                                              : hop.deadline;
  const auto allowance = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
  curl.easy_setopt(handle, CURLOPT_TIMEOUT_MS, std::max<long>(1, static_cast<long>(allowance.count())));
  curl.easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl.easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, WatchForStall);
  curl.easy_setopt(handle, CURLOPT_XFERINFODATA, &sink);

  curl.easy_setopt(handle, CURLOPT_BUFFERSIZE, 256L * 1024);
  curl.easy_setopt(handle, CURLOPT_WRITEFUNCTION, TakeBody);
  curl.easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
  curl.easy_setopt(handle, CURLOPT_HEADERFUNCTION, TakeHeader);
  curl.easy_setopt(handle, CURLOPT_HEADERDATA, &sink);

  outcome.complete = curl.easy_perform(handle) == CURLE_OK;
  curl.easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &outcome.status);
  const char* location = nullptr;
  if (curl.easy_getinfo(handle, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location) {
    outcome.redirectUrl = location;
  }
  return outcome;
}

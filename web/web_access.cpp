#include "web/web_access.h"

#include <algorithm>
#include <chrono>

#include "web/cookie_rules.h"
#include "web/header_rules.h"
#include "web/http_transfer.h"
#include "web/url.h"
#include "web/web_test_hooks.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         Text_Find(text.substr(0, prefix.size()), prefix, 1, LetterCase::Ignore) == 1;
}

bool IsSecure(std::string_view url) { return StartsWithNoCase(url, "https"); }

// A line break in the address would end the Referer line early and let the
// rest of the address pose as a header of its own; a zero byte would cut it.
bool HasLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Host names as the split yields them: letters, digits, dots, hyphens and
// underscores. Anything else ("@", "?", "#", a space) would make libcurl read
// the rebuilt address differently from the split.
bool IsPlainHost(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
  });
}

// The path as the request line carries it: a space or another control byte
// would break the request line, so those go percent-encoded.
std::string RequestTarget(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string target;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f) {
      target += '%';
      target += kHex[byte >> 4];
      target += kHex[byte & 0x0f];
    } else {
      target += c;
    }
  }
  return target;
}

std::string HeaderName(std::string_view line) {
  const size_t colon = line.find(':');
  return Text_ToLower(Text_Trim(line.substr(0, colon == std::string_view::npos ? 0 : colon)));
}

// The header block as libcurl's list: one entry per line, in order. A line
// whose value is empty goes out in libcurl's "Name;" form, since "Name:" alone
// would only switch off a header of its own. libcurl's own Accept, Expect and
// POST Content-Type lines are switched off unless the block names them.
std::vector<std::string> HeaderLines(const Text& block) {
  std::vector<std::string> lines;
  bool namesAccept = false, namesExpect = false, namesContentType = false;
  for (const Text& line : Text_Split(block, "\r\n")) {
    if (line.empty()) continue;
    const std::string name = HeaderName(line);
    namesAccept |= name == "accept";
    namesExpect |= name == "expect";
    namesContentType |= name == "content-type";
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Text_Trim(line.substr(colon + 1)).empty()) {
      lines.push_back(line.substr(0, colon) + ";");
    } else {
      lines.push_back(line);
    }
  }
  if (!namesAccept) lines.emplace_back("Accept:");
  if (!namesExpect) lines.emplace_back("Expect:");
  if (!namesContentType) lines.emplace_back("Content-Type:");
  return lines;
}

// The caller's cookies and credentials belong to the host it addressed.
std::vector<std::string> WithoutCredentialLines(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) {
    const std::string name = HeaderName(line);
    return name == "cookie" || name == "authorization";
  });
  return lines;
}

// Host and port, the port spelled out even where the address leaves it implied.
std::string Origin(std::string_view absoluteUrl) {
  return Url_Host(absoluteUrl) + ":" + std::to_string(Url_Port(absoluteUrl));
}

struct Exchange {
  Bytes body;
  Text headers;
};

// Runs the request and the redirects it may follow: only to http and https,
// never from https down to http, at most the configured count. A redirect not
// followed is returned as the response it is.
Exchange Perform(HttpHop hop, bool noRedirect) {
  const std::string startOrigin = Origin(hop.url);
  const bool startSecure = IsSecure(hop.url);
  const Text proxy = hop.proxy;
  const int maxRedirects = WebTest_Limits().maxRedirects;
  for (int redirects = 0;; ++redirects) {
    HttpOutcome outcome = Http_Perform(hop);
    const std::string& next = outcome.redirectUrl;
    const bool nextSecure = StartsWithNoCase(next, "https://");
    const bool followable = !noRedirect && outcome.complete && outcome.status >= 300 &&
                            outcome.status < 400 && redirects < maxRedirects &&
                            (nextSecure || StartsWithNoCase(next, "http://")) &&
                            !(IsSecure(hop.url) && !nextSecure) && !HasLineBreak(next);
    if (!followable) return {std::move(outcome.body), std::move(outcome.headers)};

    // Like the browsers: 303, and 301/302 after a POST, continue as a GET.
    if (outcome.status == 303 || (hop.post && (outcome.status == 301 || outcome.status == 302))) {
      hop.post = false;
    }
    // The caller's cookies and credentials belong to the host it addressed,
    // not to wherever that host sends us.
    if (Origin(next) != startOrigin) hop.headerLines = WithoutCredentialLines(hop.headerLines);
    // A proxy given for an http address serves http requests only; one given
    // for an https address serves every request of the call.
    hop.proxy = (!nextSecure || startSecure) ? proxy : Text();
    hop.url = next;
  }
}

}  // namespace

Bytes Web_Access(const Text& url, HttpMethod method, const Text& postText, Text* cookies,
                 Text* newCookies, const Text& extraHeaders, Text* responseHeaders, bool noRedirect,
                 const Bytes& postBytes, const Text& proxy) {
  const bool secure = IsSecure(url);
  const Text host = Url_Host(url);
  if (HasLineBreak(url) || HasLineBreak(proxy) || !IsPlainHost(host)) return {};

  HttpHop hop;
  hop.url = std::string(secure ? "https://" : "http://") + host + ":" +
            std::to_string(Url_Port(url)) + RequestTarget(Url_Path(url));
  hop.post = method == HttpMethod::Post;
  const Bytes textBody = hop.post && postBytes.empty() ? Text_ToBytes(postText) : Bytes();
  hop.body = postBytes.empty() ? &textBody : &postBytes;
  hop.agent = Header_AgentString(extraHeaders);
  hop.headerLines = HeaderLines(Header_Block(url, extraHeaders, cookies));
  hop.proxy = proxy;
  hop.cookieStore = cookies == nullptr;
  // One allowance for the call: a chain of slow redirects must not get a
  // fresh one at every hop.
  hop.deadline = std::chrono::steady_clock::now() + WebTest_Limits().transferTimeout;

  Exchange exchange = Perform(std::move(hop), noRedirect);

  const Text headers = Cookie_NormaliseLabels(exchange.headers);
  Text fresh = Cookie_ReadNew(headers);
  if (cookies != nullptr) Cookie_Merge(*cookies, fresh);
  if (newCookies != nullptr) *newCookies = std::move(fresh);
  if (responseHeaders != nullptr) *responseHeaders = headers;
  return std::move(exchange.body);
}

Text Web_Fetch(const Text& url) {
  Bytes body = Web_Access(url);
  const size_t zero = body.find('\0');
  if (zero != Bytes::npos) body.resize(zero);
  return body;
}

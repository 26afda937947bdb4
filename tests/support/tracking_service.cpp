#include "tracking_service.h"

#include <cstdio>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

void AppendUnit(std::string& out, unsigned unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", unit);
  out += buffer;
}

}  // namespace

TrackingService::TrackingService(LoopbackServer::Tls tls)
    : server_([this](const RecordedRequest& request) { return Answer(request); }, tls) {}

void TrackingService::ServeCompany(std::string comCode) {
  std::lock_guard lock(mutex_);
  comCode_ = std::move(comCode);
}

void TrackingService::ServeEntries(std::vector<TraceEntry> entries, EntryLayout layout) {
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
  layout_ = layout;
}

void TrackingService::ServeEchoedNumber(std::string number) {
  std::lock_guard lock(mutex_);
  echoedNumber_ = std::move(number);
}

void TrackingService::ServeNotFound() {
  std::lock_guard lock(mutex_);
  notFound_ = true;
}

void TrackingService::ServeTraceBody(std::string body) {
  std::lock_guard lock(mutex_);
  traceBody_ = std::move(body);
}

std::string TrackingService::Answer(const RecordedRequest& request) {
  std::lock_guard lock(mutex_);
  const std::string& target = request.target;
  std::string body;
  if (target.starts_with("/autonumber/autoComNum?")) {
    body = DetectionReply(QueryValue(target, "text").value_or(""), comCode_);
  } else if (target.starts_with("/query?")) {
    if (traceBody_) {
      body = *traceBody_;
    } else if (notFound_) {
      body = NotFoundReply();
    } else {
      body = TraceReply(echoedNumber_ ? *echoedNumber_ : QueryValue(target, "postid").value_or(""),
                        entries_, layout_);
    }
  } else {
    return LoopbackServer::Response(404, "");
  }
  return LoopbackServer::Response(200, body, {}, "application/json;charset=UTF-8");
}

std::string TrackingService::DetectionReply(std::string_view number, std::string_view comCode) {
  return "{\"comCode\":\"\",\"num\":\"" + std::string(number) + "\",\"auto\":[{\"comCode\":\"" +
         std::string(comCode) + "\",\"id\":\"\",\"noCount\":1,\"noPre\":\"390330\",\"startTime\":\"\"}]}";
}

std::string TrackingService::TraceReply(std::string_view number,
                                        const std::vector<TraceEntry>& entries, EntryLayout layout) {
  std::string reply = "{\"message\":\"ok\",\"nu\":\"" + std::string(number) +
                      "\",\"ischeck\":\"1\",\"condition\":\"F00\",\"com\":\"yuantong\","
                      "\"status\":\"200\",\"state\":\"3\",\"data\":[";
  for (size_t i = 0; i < entries.size(); ++i) {
    const TraceEntry& entry = entries[i];
    if (i > 0) reply += ",";
    reply += "{\"time\":\"" + entry.time + "\",";
    if (layout == EntryLayout::WithLocation) reply += "\"location\":\"" + entry.location + "\",";
    reply += "\"context\":\"" + entry.context + "\",\"ftime\":\"" + entry.ftime + "\"}";
  }
  return reply + "]}";
}

std::string TrackingService::NotFoundReply() {
  return "{\"message\":\"" + JsonEscape("快递公司参数异常：单号不存在或者已经过期") +
         "\",\"nu\":\"\",\"ischeck\":\"0\",\"condition\":\"\",\"com\":\"\",\"status\":\"201\","
         "\"state\":\"0\",\"data\":[]}";
}

std::string TrackingService::JsonEscape(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    unsigned code = lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      AppendUnit(out, 0xD800 + (code >> 10));
      AppendUnit(out, 0xDC00 + (code & 0x3FF));
    } else {
      AppendUnit(out, code);
    }
  }
  return out;
}

std::optional<std::string> TrackingService::QueryValue(std::string_view target,
                                                       std::string_view name) {
  size_t query = target.find('?');
  if (query == std::string_view::npos) return std::nullopt;
  std::string_view rest = target.substr(query + 1);
  while (!rest.empty()) {
    size_t end = rest.find('&');
    std::string_view pair = rest.substr(0, end);
    size_t equals = pair.find('=');
    if (pair.substr(0, equals) == name) {
      return PercentDecode(equals == std::string_view::npos ? "" : pair.substr(equals + 1));
    }
    if (end == std::string_view::npos) break;
    rest = rest.substr(end + 1);
  }
  return std::nullopt;
}

MakerSite::MakerSite()
    : server_([this](const RecordedRequest& request) {
        std::lock_guard lock(mutex_);
        if (failing_) return LoopbackServer::Response(500, "");
        if (request.target != "/api/kuaidi.txt") return LoopbackServer::Response(404, "");
        return LoopbackServer::Response(200, manifest_, {}, "text/plain");
      }) {}

void MakerSite::ServeManifest(std::string bytes) {
  std::lock_guard lock(mutex_);
  manifest_ = std::move(bytes);
  failing_ = false;
}

void MakerSite::ServeFailure() {
  std::lock_guard lock(mutex_);
  failing_ = true;
}

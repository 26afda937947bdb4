#pragma once
// A stand-in for the tracking service on 127.0.0.1 (plain http by default):
// it answers the company-detection and the trace request in the service's
// JSON format and records every request. By default the trace reply echoes
// the number that was asked for, so any typed number gets its report.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loopback_server.h"

// One trace entry. The values go into the JSON text exactly as given, so
// they may hold \u escapes (see JsonEscape).
struct TraceEntry {
  std::string time;
  std::string location;
  std::string context;
  std::string ftime;
};

enum class EntryLayout {
  WithLocation,     // time, location, context, ftime: read by method one
  WithoutLocation,  // time, context, ftime: read by method two
};

class TrackingService {
 public:
  explicit TrackingService(LoopbackServer::Tls tls = LoopbackServer::Tls::Off);

  std::string BaseUrl() const { return server_.BaseUrl(); }
  std::vector<RecordedRequest> Requests() const { return server_.Requests(); }
  void ClearRequests() { server_.ClearRequests(); }

  // The company code the detection reply names ("yuantong" at start).
  void ServeCompany(std::string comCode);
  // The trace entries of every number (none at start).
  void ServeEntries(std::vector<TraceEntry> entries, EntryLayout layout = EntryLayout::WithLocation);
  // Echo this number instead of the one asked for (to provoke a mismatch).
  void ServeEchoedNumber(std::string number);
  // The not-found reply, "nu":"".
  void ServeNotFound();
  // A raw body for the trace request, replacing the built one.
  void ServeTraceBody(std::string body);

  // The bodies in the service's format.
  static std::string DetectionReply(std::string_view number, std::string_view comCode);
  static std::string TraceReply(std::string_view number, const std::vector<TraceEntry>& entries,
                                EntryLayout layout = EntryLayout::WithLocation);
  static std::string NotFoundReply();
  // UTF-8 text with every non-ASCII character written as \uXXXX (surrogate
  // pairs beyond the basic plane), as the service writes its values.
  static std::string JsonEscape(std::string_view utf8);
  // A query value of a request target, percent-decoded; nullopt when absent.
  static std::optional<std::string> QueryValue(std::string_view target, std::string_view name);

 private:
  std::string Answer(const RecordedRequest& request);

  mutable std::mutex mutex_;
  std::string comCode_ = "yuantong";
  std::vector<TraceEntry> entries_;
  EntryLayout layout_ = EntryLayout::WithLocation;
  std::optional<std::string> echoedNumber_;
  bool notFound_ = false;
  std::optional<std::string> traceBody_;
  LoopbackServer server_;  // last: stops before the state it reads goes away
};

// A stand-in for the maker's site: serves the update manifest at
// /api/kuaidi.txt with the bytes given (code page 936 as a rule) and 404 for
// anything else.
class MakerSite {
 public:
  MakerSite();
  std::string BaseUrl() const { return server_.BaseUrl(); }
  std::vector<RecordedRequest> Requests() const { return server_.Requests(); }
  void ServeManifest(std::string bytes);
  // Every request gets a 500 with an empty body.
  void ServeFailure();

 private:
  mutable std::mutex mutex_;
  std::string manifest_;
  bool failing_ = false;
  LoopbackServer server_;
};

#pragma once
// One HTTP/1.1 request and its response on libcurl, without following
// redirects: Web_Access decides hop by hop what to follow.

#include <chrono>
#include <string>
#include <vector>

#include "text/text_primitives.h"

struct HttpHop {
  std::string url;                       // absolute, http or https
  bool post = false;
  const Bytes* body = nullptr;           // the POST body; may be empty
  std::vector<std::string> headerLines;  // sent in this order, none added beside them
  std::string agent;                     // User-Agent unless a line names one
  std::string proxy;                     // empty: a direct connection
  bool cookieStore = false;              // take part in the process-wide cookie store
  // When the transfer is given up, however steadily bytes arrive; unset: the
  // transfer time-out from now.
  std::chrono::steady_clock::time_point deadline{};
};

struct HttpOutcome {
  Bytes body;                // what arrived, up to the body cap
  Text headers;              // the final status line and header lines, joined by "\r\n"
  long status = 0;           // 0 when no response arrived
  std::string redirectUrl;   // the absolute Location of a 3xx response
  bool complete = false;     // the transfer ended without error
};

HttpOutcome Http_Perform(const HttpHop& hop);

#pragma once
// Owners of libcurl handles, and the process-wide share that pools
// connections, TLS sessions, DNS answers and the cookie store.

#include "web/curl_api.h"

#include <string>
#include <vector>

// One easy handle; attached to the process-wide share from birth.
class EasyHandle {
 public:
  explicit EasyHandle(const CurlApi& curl);
  ~EasyHandle();
  EasyHandle(const EasyHandle&) = delete;
  EasyHandle& operator=(const EasyHandle&) = delete;

  CURL* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  const CurlApi& curl_;
  CURL* handle_;
};

// A header list for CURLOPT_HTTPHEADER.
class HeaderList {
 public:
  HeaderList(const CurlApi& curl, const std::vector<std::string>& lines);
  ~HeaderList();
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;

  curl_slist* get() const { return list_; }
  bool failed() const { return failed_; }

 private:
  const CurlApi& curl_;
  curl_slist* list_ = nullptr;
  bool failed_ = false;
};

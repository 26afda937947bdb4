#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: it records the raw bytes
// of every request and answers each one from a handler. With Tls::On it speaks
// HTTPS with a certificate made for the test run (trusted by the client only
// through the web layer's test entry point).

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct RecordedRequest {
  std::string raw;      // request line, header block and body exactly as received
  std::string method;
  std::string target;   // the request target as sent, e.g. "/query?type=x&postid=1"
  std::string headers;  // the header lines, each ending in "\r\n"
  std::string body;
};

class LoopbackServer {
 public:
  enum class Tls { Off, On };
  // Returns the whole raw response (status line, headers, body).
  using Handler = std::function<std::string(const RecordedRequest&)>;

  explicit LoopbackServer(Handler handler, Tls tls = Tls::Off);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::string BaseUrl() const;  // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT"
  int Port() const;
  std::vector<RecordedRequest> Requests() const;
  void ClearRequests();

  // A complete response with Content-Length; extraHeaders are lines ending in "\r\n".
  static std::string Response(int status, const std::string& body,
                              const std::string& extraHeaders = {},
                              const std::string& contentType = "text/plain; charset=utf-8");

  // The PEM certificate the HTTPS server presents (made once per test process).
  static std::string CertificatePath();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

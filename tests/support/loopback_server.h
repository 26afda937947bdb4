#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the tests: it records the raw bytes
// of every request and answers each one from a handler. With Tls::On it speaks
// HTTPS with a certificate made for the test run (trusted by the client only
// through the web layer's test entry point).
//
// Connections are kept alive between requests unless the client or the
// response says "Connection: close". Each connection runs on its own thread;
// the destructor unblocks and joins them all, so a handler may block on the
// connection (read until the client gives up) without hanging the test.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct RecordedRequest {
  std::string raw;      // request line, header block and body exactly as received
  std::string method;
  std::string target;   // the request target as sent, e.g. "/query?type=x&postid=1"
  std::string headers;  // the header lines, each ending in "\r\n"
  std::string body;
};

// One accepted connection, as seen by a raw handler: the way to serve what a
// well-behaved server never would (a stall, a reset, an endless body).
class LoopbackConnection {
 public:
  virtual ~LoopbackConnection() = default;
  // Reads the next request (recorded like any other); false when the client
  // closed the connection or the server is stopping.
  virtual bool ReadRequest(RecordedRequest& request) = 0;
  // Writes all bytes; false once the client has gone or the server is stopping.
  virtual bool Write(std::string_view bytes) = 0;
  // Blocks until the client closes the connection or the server stops.
  virtual void WaitForClose() = 0;
  // Ends the connection with a TCP reset instead of an orderly close.
  virtual void Reset() = 0;
  virtual bool Stopping() const = 0;
};

class LoopbackServer {
 public:
  enum class Tls { Off, On };
  // Returns the whole raw response (status line, headers, body).
  using Handler = std::function<std::string(const RecordedRequest&)>;
  // Owns the connection from accept to close; returning closes it.
  using RawHandler = std::function<void(LoopbackConnection&)>;

  explicit LoopbackServer(Handler handler, Tls tls = Tls::Off);
  explicit LoopbackServer(RawHandler handler, Tls tls = Tls::Off);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::string BaseUrl() const;  // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT"
  int Port() const;
  std::vector<RecordedRequest> Requests() const;
  void ClearRequests();
  // How many TCP connections have been accepted so far (to tell reuse from reconnects).
  int AcceptedConnections() const;

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

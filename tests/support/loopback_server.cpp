#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <list>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "support/loopback_certificate.h"

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The value of the first header line named `name` (any letter case), trimmed.
std::string HeaderValue(std::string_view headers, std::string_view name) {
  const std::string lower = Lower(headers);
  const std::string label = Lower(name) + ":";
  size_t lineStart = 0;
  while (lineStart < lower.size()) {
    size_t lineEnd = lower.find("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = lower.size();
    if (lower.compare(lineStart, label.size(), label) == 0) {
      std::string value(headers.substr(lineStart + label.size(), lineEnd - lineStart - label.size()));
      value.erase(0, value.find_first_not_of(" \t"));
      value.erase(value.find_last_not_of(" \t") + 1);
      return value;
    }
    lineStart = lineEnd + 2;
  }
  return {};
}

bool AsksToClose(std::string_view headers) {
  return Lower(HeaderValue(headers, "Connection")) == "close";
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

struct LoopbackServer::Impl {
  Handler handler;
  RawHandler rawHandler;
  Tls tls = Tls::Off;
  SSL_CTX* tlsContext = nullptr;
  int listenFd = -1;
  int port = 0;
  std::atomic<bool> stopping{false};
  std::thread acceptThread;

  struct ConnectionSlot {
    std::thread thread;
    int fd = -1;  // -1 once the connection thread has closed it
    bool done = false;
  };

  mutable std::mutex mutex;  // guards everything below
  std::vector<RecordedRequest> requests;
  int accepted = 0;
  std::list<ConnectionSlot> connections;

  class Connection;

  void Start();
  void AcceptLoop();
  void Serve(ConnectionSlot* slot, int fd);
  void ReapFinished();
  void Record(const RecordedRequest& request) {
    std::lock_guard lock(mutex);
    requests.push_back(request);
  }
  // Closes the socket under the lock so the destructor never shuts down a
  // descriptor number that the process has meanwhile handed out again.
  void CloseSocket(ConnectionSlot* slot, bool reset) {
    std::lock_guard lock(mutex);
    if (slot->fd < 0) return;
    if (reset) {
      linger hard{1, 0};
      setsockopt(slot->fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    close(slot->fd);
    slot->fd = -1;
  }
};

class LoopbackServer::Impl::Connection final : public LoopbackConnection {
 public:
  Connection(Impl& server, ConnectionSlot* slot, int fd, SSL* ssl)
      : server_(server), slot_(slot), fd_(fd), ssl_(ssl) {}
  ~Connection() override { Close(false); }

  bool ReadRequest(RecordedRequest& request) override {
    size_t headerEnd;
    while ((headerEnd = buffer_.find("\r\n\r\n")) == std::string::npos) {
      if (!ReadMore()) return false;
    }
    const std::string head = buffer_.substr(0, headerEnd + 4);
    const size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    request = {};
    request.headers = head.substr(lineEnd + 2, head.size() - lineEnd - 4);
    const size_t firstSpace = requestLine.find(' ');
    const size_t lastSpace = requestLine.rfind(' ');
    request.method = requestLine.substr(0, firstSpace);
    if (firstSpace != std::string::npos && lastSpace > firstSpace) {
      request.target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    }
    if (Lower(HeaderValue(request.headers, "Expect")) == "100-continue" &&
        buffer_.size() == head.size()) {
      Write("HTTP/1.1 100 Continue\r\n\r\n");
    }

    size_t consumed = head.size();
    if (Lower(HeaderValue(request.headers, "Transfer-Encoding")) == "chunked") {
      if (!ReadChunkedBody(consumed, request.body)) return false;
    } else {
      const size_t length = std::strtoull(HeaderValue(request.headers, "Content-Length").c_str(),
                                          nullptr, 10);
      while (buffer_.size() < head.size() + length) {
        if (!ReadMore()) return false;
      }
      request.body = buffer_.substr(head.size(), length);
      consumed += length;
    }
    request.raw = buffer_.substr(0, consumed);
    buffer_.erase(0, consumed);
    server_.Record(request);
    return true;
  }

  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      if (fd_ < 0 || server_.stopping) return false;
      const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
      const long written = ssl_ ? SSL_write(ssl_, bytes.data(), chunk)
                                : send(fd_, bytes.data(), chunk, MSG_NOSIGNAL);
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
  }

  void WaitForClose() override {
    while (ReadMore()) buffer_.clear();
  }

  void Reset() override { Close(true); }

  bool Stopping() const override { return server_.stopping; }

 private:
  bool ReadMore() {
    if (fd_ < 0) return false;
    char chunk[16384];
    const long got = ssl_ ? SSL_read(ssl_, chunk, sizeof chunk) : recv(fd_, chunk, sizeof chunk, 0);
    if (got <= 0) return false;
    buffer_.append(chunk, static_cast<size_t>(got));
    return true;
  }

  // Decodes a chunked body that starts at `consumed`; advances `consumed` past it.
  bool ReadChunkedBody(size_t& consumed, std::string& body) {
    for (;;) {
      size_t sizeEnd;
      while ((sizeEnd = buffer_.find("\r\n", consumed)) == std::string::npos) {
        if (!ReadMore()) return false;
      }
      const size_t size = std::strtoull(buffer_.substr(consumed, sizeEnd - consumed).c_str(),
                                        nullptr, 16);
      consumed = sizeEnd + 2;
      if (size == 0) {
        size_t trailerEnd;
        while ((trailerEnd = buffer_.find("\r\n", consumed)) == std::string::npos) {
          if (!ReadMore()) return false;
        }
        consumed = trailerEnd + 2;  // only an empty trailer is expected
        return true;
      }
      while (buffer_.size() < consumed + size + 2) {
        if (!ReadMore()) return false;
      }
      body.append(buffer_, consumed, size);
      consumed += size + 2;
    }
  }

  void Close(bool reset) {
    if (fd_ < 0) return;
    if (ssl_) {
      if (!reset) SSL_shutdown(ssl_);
      SSL_free(ssl_);
      ssl_ = nullptr;
    }
    server_.CloseSocket(slot_, reset);
    fd_ = -1;
  }

  Impl& server_;
  ConnectionSlot* slot_;
  int fd_;
  SSL* ssl_;
  std::string buffer_;  // bytes read but not yet part of a request
};

void LoopbackServer::Impl::Start() {
  // A client that hangs up mid-response must not kill the test process.
  static std::once_flag ignorePipe;
  std::call_once(ignorePipe, [] { std::signal(SIGPIPE, SIG_IGN); });

  if (tls == Tls::On) {
    const CertificateFiles& files = LoopbackCertificate();
    tlsContext = SSL_CTX_new(TLS_server_method());
    if (tlsContext == nullptr ||
        SSL_CTX_use_certificate_file(tlsContext, files.certificate.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(tlsContext, files.privateKey.c_str(), SSL_FILETYPE_PEM) != 1) {
      throw std::runtime_error("cannot set up TLS for the loopback server");
    }
    // Lets a client resume its session on a new connection, as a real server would.
    static const unsigned char sessionContext[] = "parcora-loopback";
    SSL_CTX_set_session_id_context(tlsContext, sessionContext, sizeof sessionContext - 1);
  }

  listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd < 0) throw std::runtime_error("cannot open the loopback socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd, 128) != 0 ||
      getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(listenFd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  acceptThread = std::thread([this] { AcceptLoop(); });
}

void LoopbackServer::Impl::AcceptLoop() {
  while (!stopping) {
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (stopping) return;
      continue;
    }
    ReapFinished();
    std::lock_guard lock(mutex);
    ++accepted;
    ConnectionSlot& slot = connections.emplace_back();
    slot.fd = fd;
    slot.thread = std::thread([this, fd, slotPointer = &slot] { Serve(slotPointer, fd); });
  }
}

void LoopbackServer::Impl::ReapFinished() {
  std::list<ConnectionSlot> finished;
  {
    std::lock_guard lock(mutex);
    for (auto it = connections.begin(); it != connections.end();) {
      auto next = std::next(it);
      if (it->done) finished.splice(finished.end(), connections, it);
      it = next;
    }
  }
  for (ConnectionSlot& slot : finished) slot.thread.join();
}

void LoopbackServer::Impl::Serve(ConnectionSlot* slot, int fd) {
  SSL* ssl = nullptr;
  if (tlsContext != nullptr) {
    ssl = SSL_new(tlsContext);
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ssl = nullptr;
      CloseSocket(slot, false);
      ERR_clear_error();
      std::lock_guard lock(mutex);
      slot->done = true;
      return;
    }
  }
  {
    Connection connection(*this, slot, fd, ssl);
    try {
      if (rawHandler) {
        rawHandler(connection);
      } else {
        RecordedRequest request;
        while (!stopping && connection.ReadRequest(request)) {
          std::string response;
          try {
            response = handler(request);
          } catch (const std::exception& error) {
            response = Response(500, error.what(), "Connection: close\r\n");
          }
          const size_t headerEnd = response.find("\r\n\r\n");
          const bool closeAfter =
              AsksToClose(request.headers) ||
              AsksToClose(response.substr(0, headerEnd == std::string::npos ? 0 : headerEnd + 2));
          if (!connection.Write(response) || closeAfter) break;
        }
      }
    } catch (...) {
      // A failing raw handler ends its connection only.
    }
  }
  ERR_clear_error();
  std::lock_guard lock(mutex);
  slot->done = true;
}

LoopbackServer::LoopbackServer(Handler handler, Tls tls) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->tls = tls;
  impl_->Start();
}

LoopbackServer::LoopbackServer(RawHandler handler, Tls tls) : impl_(std::make_unique<Impl>()) {
  impl_->rawHandler = std::move(handler);
  impl_->tls = tls;
  impl_->Start();
}

LoopbackServer::~LoopbackServer() {
  impl_->stopping = true;
  shutdown(impl_->listenFd, SHUT_RDWR);
  impl_->acceptThread.join();
  close(impl_->listenFd);
  {
    // Unblocks every connection thread that waits in a read.
    std::lock_guard lock(impl_->mutex);
    for (auto& slot : impl_->connections) {
      if (slot.fd >= 0) shutdown(slot.fd, SHUT_RDWR);
    }
  }
  for (auto& slot : impl_->connections) slot.thread.join();
  if (impl_->tlsContext != nullptr) SSL_CTX_free(impl_->tlsContext);
}

std::string LoopbackServer::BaseUrl() const {
  return std::string(impl_->tls == Tls::On ? "https" : "http") + "://127.0.0.1:" +
         std::to_string(impl_->port);
}

int LoopbackServer::Port() const { return impl_->port; }

std::vector<RecordedRequest> LoopbackServer::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void LoopbackServer::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

int LoopbackServer::AcceptedConnections() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->accepted;
}

std::string LoopbackServer::Response(int status, const std::string& body,
                                     const std::string& extraHeaders,
                                     const std::string& contentType) {
  std::string response = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  if (!contentType.empty()) response += "Content-Type: " + contentType + "\r\n";
  response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  response += extraHeaders;
  response += "\r\n";
  response += body;
  return response;
}

std::string LoopbackServer::CertificatePath() { return LoopbackCertificate().certificate; }

// The address split on arbitrary bytes.
#include "web/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string url(reinterpret_cast<const char*>(data), size);
  Text host = Url_Host(url);
  Text hostAndPort = Url_Host(url, KeepPort::Yes);
  int port = Url_Port(url);
  Text path = Url_Path(url);
  (void)host;
  (void)hostAndPort;
  (void)port;
  (void)path;
  return 0;
}

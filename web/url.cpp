#include "web/url.h"

#include "text/text_between.h"

Text Url_Host(std::string_view url, KeepPort keepPort) {
  Text s = Text_ToLower(url);
  if (s.empty() || s.back() != '/') s += '/';
  Text host;
  if (Text_Left(s, 8) == "https://") {
    host = Text_Between(s, "https://", "/");
  } else {
    if (Text_Find(s, "http://") == -1) s = "http://" + s;
    host = Text_Between(s, "http://", "/");
  }
  if (keepPort == KeepPort::No) {
    const int colon = Text_Find(host, ":");
    if (colon != -1) host = Text_Left(host, colon - 1);
  }
  return host;
}

int Url_Port(std::string_view url) {
  const Text host = Url_Host(url, KeepPort::Yes);
  const int colon = Text_FindLast(host, ":");
  if (colon != -1) return Text_ToInt(Text_Mid(host, colon + 1, Text_Length(host)));
  return Text_Left(Text_ToLower(url), 5) == "https" ? 443 : 80;
}

Text Url_Path(std::string_view url) {
  const Text host = Url_Host(url);
  // The host is looked for after the scheme: a one-label host such as "s" or
  // "tp" would otherwise be found inside "https://" itself and the path would
  // start at the scheme's slashes.
  const Text lower = Text_ToLower(url);
  int from = 1;
  if (Text_Left(lower, 8) == "https://") {
    from = 9;
  } else if (Text_Left(lower, 7) == "http://") {
    from = 8;
  }
  const int hostAt = Text_Find(url, host, from, LetterCase::Ignore);
  const int slash = Text_Find(url, "/", hostAt == -1 ? from : hostAt);
  if (slash == -1) return "/";
  return Text_Mid(url, slash, Text_Length(url));
}

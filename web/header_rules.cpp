#include "web/header_rules.h"

#include "text/text_between.h"

Text Header_ValueAfterColon(std::string_view line) {
  const int colon = Text_Find(line, ":");
  if (colon == -1) return {};
  return Text_Trim(Text_Mid(line, colon + 1, Text_Length(line)));
}

Text Header_AgentString(std::string_view extraHeaders) {
  const int label = Text_Find(extraHeaders, "User-Agent:", 1, LetterCase::Ignore);
  if (label == -1) return Text(kDefaultAgent);
  Text agent = Text_Trim(Text_Between(extraHeaders, "User-Agent:", "\r\n"));
  if (!agent.empty()) return agent;
  // The exact-case cut found nothing: the label is written in other letter
  // case, or its line is the last one.
  if (Text_Find(extraHeaders, "\r\n") == -1) return Header_ValueAfterColon(extraHeaders);
  // Among several lines, take the rest of the labelled line only, never the
  // lines after it, so no other header leaks into the agent string.
  const int lineEnd = Text_Find(extraHeaders, "\r\n", label);
  const Text line = lineEnd == -1 ? Text_Mid(extraHeaders, label, Text_Length(extraHeaders))
                                  : Text_Mid(extraHeaders, label, lineEnd - label);
  return Header_ValueAfterColon(line);
}

Text Header_Block(std::string_view url, std::string_view extraHeaders, const Text* cookies) {
  Text block;
  if (extraHeaders.empty()) {
    block = "Accept: */*";
  } else {
    block = Text(extraHeaders);
    if (Text_Find(block, "Accept:") == -1) block += "\r\nAccept: */*";
  }
  if (Text_Find(block, "Referer:") == -1) block += "\r\nReferer: " + Text(url);
  if (Text_Find(block, "Accept-Language:") == -1) block += "\r\nAccept-Language: zh-cn";
  if (Text_Find(block, "Content-Type:") == -1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (cookies != nullptr && !cookies->empty()) block += "\r\nCookie: " + *cookies;
  return block;
}

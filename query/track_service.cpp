#include "query/track_service.h"

#ifndef PARCORA_TRACK_SERVICE
#define PARCORA_TRACK_SERVICE "https://www.kuaidi100.com"
#endif

namespace {
Text& ServiceOverride() {
  static Text base;
  return base;
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}
}  // namespace

Text TrackServiceBase() {
  const Text& override = ServiceOverride();
  return override.empty() ? Text(PARCORA_TRACK_SERVICE) : override;
}

void Query_SetTrackServiceBase(const Text& base) { ServiceOverride() = base; }

Text Query_PercentEncode(std::string_view text) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  Text encoded;
  encoded.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += Hex[c >> 4];
      encoded += Hex[c & 0x0F];
    }
  }
  return encoded;
}

Text Query_DetectionAddress(std::string_view number) {
  return TrackServiceBase() + "/autonumber/autoComNum?text=" + Query_PercentEncode(number);
}

Text Query_TraceAddress(std::string_view companyCode, std::string_view number) {
  // The company code comes from a reply, so it is encoded like the number: a
  // real code ("yuantong") is unchanged, while "&", "#" or a line break in a
  // hostile reply cannot add parameters or cut the address. The tail is constant.
  return TrackServiceBase() + "/query?type=" + Query_PercentEncode(companyCode) + "&postid=" +
         Query_PercentEncode(number) + "&id=1&valicode=&temp=0.8770382014516336";
}

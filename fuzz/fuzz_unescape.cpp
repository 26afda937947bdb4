// Text_UnescapeUnicode on arbitrary bytes.
#include "text/unescape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Text decoded = Text_UnescapeUnicode(text);
  (void)decoded;
  return 0;
}

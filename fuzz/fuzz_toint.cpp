// Text_ToInt on arbitrary bytes: never undefined, whatever the digits.
#include "text/text_primitives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  volatile int32_t value = Text_ToInt(text);
  (void)value;
  return 0;
}

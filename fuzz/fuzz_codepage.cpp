// The code page conversions on arbitrary bytes, in every direction.
#include <cstdlib>

#include "text/code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Text gbk = Code_Utf8ToAnsi(bytes);
  Bytes wide = Code_GbkToWide(bytes);
  if (wide.size() % 2 != 0) std::abort();
  Text back = Code_WideToGbk(wide);
  Text fromWide = Code_FromWide(bytes);
  Bytes utf8Wide = Code_ToWide(bytes);
  std::string utf8 = Code_GbkToUtf8(gbk);
  (void)back;
  (void)fromWide;
  (void)utf8Wide;
  (void)utf8;
  return 0;
}

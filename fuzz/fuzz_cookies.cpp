// The Set-Cookie reading and Cookie_Merge on arbitrary header blocks and
// cookie texts.
#include "fuzz/fuzz_input.h"
#include "web/cookie_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  Text cookies = input.Text();
  Text headers = Cookie_NormaliseLabels(input.Text());
  Text newCookies = Cookie_ReadNew(headers);
  Text merged = Cookie_Merge(cookies, newCookies);
  (void)merged;
  return 0;
}

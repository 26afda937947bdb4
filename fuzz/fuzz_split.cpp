// Text_Split on arbitrary bytes: the pieces rejoined give back the text.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "text/text_primitives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  std::string delimiter = input.Text();
  std::string text = input.Text();
  auto pieces = Text_Split(text, delimiter);
  if (!delimiter.empty() && !text.empty()) {
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i) joined += delimiter;
      joined += pieces[i];
    }
    // Only an empty last piece may have been dropped.
    if (joined != text && joined + delimiter != text) std::abort();
  }
  auto limited = Text_Split(text, delimiter, input.Number());
  (void)limited;
  return 0;
}

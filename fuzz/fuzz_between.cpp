// Text_Between and Text_ReplacePairs on arbitrary code page 936 bytes.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "text/text_between.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  int start = input.Number();
  bool ignoreCase = input.Flag();
  std::string left = input.Text();
  std::string right = input.Text();
  std::string source = input.Text();
  Text cut = Text_Between(source, left, right, start, ignoreCase ? LetterCase::Ignore : LetterCase::Exact);
  // The value is a piece of the source, never more.
  if (cut.size() > source.size() || source.find(cut) == std::string::npos) std::abort();
  Text replaced = Text_ReplacePairs(source, std::nullopt, start, LetterCase::Ignore,
                                    {{left, right}, {right, left}});
  (void)replaced;
  return 0;
}

// Text_Replace and Text_Find on arbitrary bytes, with every argument varied.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "text/text_primitives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  int start = input.Number();
  int count = input.Number();
  LetterCase letterCase = input.Flag() ? LetterCase::Ignore : LetterCase::Exact;
  std::string find = input.Text();
  std::string replacement = input.Text();
  std::string text = input.Text();
  Text all = Text_Replace(text, find, replacement, start, std::nullopt, letterCase);
  Text some = Text_Replace(text, find, replacement, start, count, letterCase);
  (void)all;
  (void)some;
  int at = Text_Find(text, find, start, letterCase);
  if (at != -1 && (at < 1 || static_cast<size_t>(at - 1) + find.size() > text.size())) std::abort();
  int last = Text_FindLast(text, find, start, letterCase);
  if (last != -1 && (last < 1 || static_cast<size_t>(last - 1) + find.size() > text.size())) {
    std::abort();
  }
  return 0;
}

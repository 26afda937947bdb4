#include "text/text_between.h"

#include "text/code_page.h"

namespace {

Text WithQuotes(std::string_view delimiter) {
  static const Text quotePlaceholder = Gbk("#引号");
  return Text_Replace(delimiter, quotePlaceholder, "\"", 1, std::nullopt, LetterCase::Exact);
}

}  // namespace

Text Text_Between(std::string_view source, std::string_view left, std::string_view right, int start,
                  LetterCase letterCase) {
  const Text leftDelimiter = WithQuotes(left);
  const Text rightDelimiter = WithQuotes(right);
  const int leftAt = Text_Find(source, leftDelimiter, start < 1 ? 1 : start, letterCase);
  if (leftAt < 0) return {};
  const int valueAt = leftAt + Text_Length(leftDelimiter);
  const int rightAt = Text_Find(source, rightDelimiter, valueAt, letterCase);
  if (rightAt < 0) return {};
  return Text_Mid(source, valueAt, rightAt - valueAt);
}

Text Text_ReplacePairs(std::string_view text, std::optional<int> count, int start,
                       LetterCase letterCase, const std::vector<ReplacePair>& pairs) {
  if (count && *count < 0) count.reset();  // a negative count means every occurrence
  if (start < 1) start = 1;
  Text current(text);
  const size_t usedPairs = pairs.size() < 5 ? pairs.size() : 5;
  for (size_t i = 0; i < usedPairs; ++i) {
    current = Text_Replace(current, pairs[i].find, pairs[i].replacement, start, count, letterCase);
  }
  return current;
}

Text Text_ReplacePairs(std::string_view text, std::string_view find1,
                       std::string_view replacement1) {
  return Text_ReplacePairs(text, std::nullopt, 1, LetterCase::Ignore,
                           {{Text(find1), Text(replacement1)}});
}

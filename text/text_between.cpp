#include "text/text_between.h"

#include "text/code_page.h"

Text Text_WithQuotes(std::string_view text) {
  static const Text quotePlaceholder = Gbk("#引号");
  return Text_Replace(text, quotePlaceholder, "\"", 1, std::nullopt, LetterCase::Exact);
}

Text Text_Between(std::string_view source, std::string_view left, std::string_view right, int start,
                  LetterCase letterCase) {
  const Text leftDelimiter = Text_WithQuotes(left);
  const Text rightDelimiter = Text_WithQuotes(right);
  const int leftAt = Text_Find(source, leftDelimiter, start, letterCase);
  if (leftAt < 0) return {};
  const int valueAt = leftAt + Text_Length(leftDelimiter);
  const int rightAt = Text_Find(source, rightDelimiter, valueAt, letterCase);
  if (rightAt < 0) return {};
  return Text_Mid(source, valueAt, rightAt - valueAt);
}

Text Text_ReplacePairs(std::string_view text, std::optional<int> count, int start,
                       LetterCase letterCase, const std::vector<ReplacePair>& pairs) {
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

#include "text/text_between.h"

#include <gtest/gtest.h>

#include "tests/text/text_test_support.h"
#include "text/code_page.h"

namespace {

TEST(TextBetween, CutsFromFirstLeftToFirstRightAfterIt) {
  const struct {
    const char* name;
    std::string source, left, right;
    int start;
    LetterCase letterCase;
    std::string expected;
  } cases[] = {
      {"plain", "a[x]b", "[", "]", 0, LetterCase::Exact, "x"},
      {"adjacent delimiters give empty", "a[]b", "[", "]", 0, LetterCase::Exact, ""},
      {"missing left", "a x]b", "[", "]", 0, LetterCase::Exact, ""},
      {"missing right", "a[x b", "[", "]", 0, LetterCase::Exact, ""},
      {"right before left ignored", "]a[b]", "[", "]", 0, LetterCase::Exact, "b"},
      {"second left is part of the value", "[a[b]", "[", "]", 0, LetterCase::Exact, "a[b"},
      {"multi-byte delimiters", "<td>v</td>", "<td>", "</td>", 0, LetterCase::Exact, "v"},
      {"left at the very end", "ab[", "[", "]", 0, LetterCase::Exact, ""},
      {"start skips the first pair", "[a][b]", "[", "]", 4, LetterCase::Exact, "b"},
      {"negative start acts as 1", "[a][b]", "[", "]", -3, LetterCase::Exact, "a"},
      {"start past the end", "[a]", "[", "]", 9, LetterCase::Exact, ""},
      {"exact case misses", "user-agent: Bot\r\n", "User-Agent: ", "\r\n", 0, LetterCase::Exact,
       ""},
      {"ignore case finds", "user-agent: Bot\r\n", "User-Agent: ", "\r\n", 0, LetterCase::Ignore,
       "Bot"},
      {"left on a trail byte skipped", "\x81[a][b]", "[", "]", 0, LetterCase::Exact, "b"},
      {"right on a trail byte skipped", "[a\x81]b]", "[", "]", 0, LetterCase::Exact, "a\x81]b"},
      {"quote placeholder", "{\"com\":\"yuantong\",\"x\":1}", Gbk("#引号com#引号:#引号"),
       Gbk("#引号"), 0, LetterCase::Exact, "yuantong"},
      {"placeholder stays literal in the source", Gbk("x#引号y\"z"), "x", Gbk("#引号"), 0,
       LetterCase::Exact, Gbk("#引号y")},
      {"Chinese delimiters", Gbk("版本：1.2；"), Gbk("版本："), Gbk("；"), 0, LetterCase::Exact,
       "1.2"},
      {"empty left", "a[x]", "", "]", 0, LetterCase::Exact, ""},
      {"empty right", "a[x]", "[", "", 0, LetterCase::Exact, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_Between(c.source, c.left, c.right, c.start, c.letterCase), c.expected)
        << c.name << ": " << Hex(c.source);
  }
}

TEST(TextBetween, DefaultsToExactCaseFromTheStart) {
  EXPECT_EQ(Text_Between("A[x]", "a[", "]"), "");
  EXPECT_EQ(Text_Between("a[x]", "a[", "]"), "x");
}

TEST(TextReplacePairs, AppliesPairsInOrderWithCountAndStart) {
  const auto all = std::nullopt;
  const struct {
    const char* name;
    std::string text;
    std::optional<int> count;
    int start;
    LetterCase letterCase;
    std::vector<ReplacePair> pairs;
    std::string expected;
  } cases[] = {
      {"later pair sees earlier output",
       "abb",
       all,
       1,
       LetterCase::Ignore,
       {{"ab", "b"}, {"bb", "c"}},
       "c"},
      {"absent count replaces all", "a.a.a", all, 1, LetterCase::Ignore, {{".", ""}}, "aaa"},
      {"count 0 replaces none", "a.a.a", 0, 1, LetterCase::Ignore, {{".", ""}}, "a.a.a"},
      {"negative count acts as absent", "a.a.a", -2, 1, LetterCase::Ignore, {{".", ""}}, "aaa"},
      {"count limits each pair",
       "aabb",
       1,
       1,
       LetterCase::Ignore,
       {{"a", "x"}, {"b", "y"}},
       "xayb"},
      {"start copies the text before it", "aaaa", all, 3, LetterCase::Ignore, {{"a", "x"}}, "aaxx"},
      {"start 0 acts as 1", "aa", all, 0, LetterCase::Ignore, {{"a", "x"}}, "xx"},
      {"start past the end", "aa", all, 5, LetterCase::Ignore, {{"a", "x"}}, "aa"},
      {"case ignored", "aA", all, 1, LetterCase::Ignore, {{"a", "x"}}, "xx"},
      {"case kept", "aA", all, 1, LetterCase::Exact, {{"a", "x"}}, "xA"},
      {"empty find is harmless", "ab", all, 1, LetterCase::Ignore, {{"a", "x"}, {"", "z"}}, "xb"},
      {"five pairs",
       "abcde",
       all,
       1,
       LetterCase::Ignore,
       {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}},
       "12345"},
      {"a sixth pair is not applied",
       "abcdef",
       all,
       1,
       LetterCase::Ignore,
       {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}},
       "12345f"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_ReplacePairs(c.text, c.count, c.start, c.letterCase, c.pairs), c.expected)
        << c.name;
  }
}

TEST(TextReplacePairs, OnePairReplacesEveryOccurrenceIgnoringCase) {
  EXPECT_EQ(Text_ReplacePairs("\"A\",\"a\",", "\",", ""), "\"A\"a");
  EXPECT_EQ(Text_ReplacePairs("xAxa", "a", ""), "xx");
}

}  // namespace

#include "text/text_primitives.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/text/text_test_support.h"
#include "text/code_page.h"

namespace {

// 0x81 0x41 is one double-byte character whose trail byte is the letter A;
// D6 D0 CE C4 is 中文, whose middle bytes D0 CE look like a character too.
const std::string kTrailA = "\x81\x41";
const std::string kZhongWen = "\xD6\xD0\xCE\xC4";

struct FindCase {
  const char* name;
  std::string text, needle;
  int start;
  LetterCase letterCase;
  int expected;
};

TEST(TextFind, FindsFirstOccurrenceOnCharacterBoundaries) {
  const FindCase cases[] = {
      {"at the start", "abcabc", "abc", 1, LetterCase::Exact, 1},
      {"from a later start", "abcabc", "abc", 2, LetterCase::Exact, 4},
      {"start 0 acts as 1", "abcabc", "abc", 0, LetterCase::Exact, 1},
      {"negative start acts as 1", "abcabc", "abc", -5, LetterCase::Exact, 1},
      {"start on the last byte", "abc", "c", 3, LetterCase::Exact, 3},
      {"start past the end", "abc", "c", 4, LetterCase::Exact, -1},
      {"absent", "abc", "x", 1, LetterCase::Exact, -1},
      {"needle longer than text", "ab", "abc", 1, LetterCase::Exact, -1},
      {"empty needle", "abc", "", 1, LetterCase::Exact, -1},
      {"empty text", "", "a", 1, LetterCase::Exact, -1},
      {"trail byte that is a letter", kTrailA, "A", 1, LetterCase::Exact, -1},
      {"letter after a trail letter", kTrailA + "A", "A", 1, LetterCase::Exact, 3},
      {"trail letter then ASCII letter",
       "\xD6"
       "AA",
       "A", 1, LetterCase::Exact, 3},
      {"straddling two characters", kZhongWen, "\xD0\xCE", 1, LetterCase::Exact, -1},
      {"real character after a straddle", kZhongWen + "\xD0\xCE", "\xD0\xCE", 1, LetterCase::Exact,
       5},
      {"start on a trail byte",
       "\xD6\xD0"
       "a",
       "a", 2, LetterCase::Exact, 3},
      {"long run of double-byte characters", kZhongWen + kZhongWen + kTrailA + kTrailA + "A", "A",
       1, LetterCase::Exact, 13},
      {"odd run after ASCII",
       "x\xD6\xD0\xD6\xD0\xD6"
       "A"
       "A",
       "A", 1, LetterCase::Exact, 8},
      {"ignore case folds ASCII", "User-Agent: x", "user-agent:", 1, LetterCase::Ignore, 1},
      {"exact case does not fold", "User-Agent: x", "user-agent:", 1, LetterCase::Exact, -1},
      {"ignore case keeps trail bytes exact", "\x81\x61", kTrailA, 1, LetterCase::Ignore, -1},
      {"ignore case with Chinese", kZhongWen + "aB", kZhongWen + "Ab", 1, LetterCase::Ignore, 1},
      {"ignore case skips trail bytes", kTrailA + "a", "a", 1, LetterCase::Ignore, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_Find(c.text, c.needle, c.start, c.letterCase), c.expected)
        << c.name << ": text " << Hex(c.text) << ", needle " << Hex(c.needle);
  }
}

struct FindLastCase {
  const char* name;
  std::string text, needle;
  std::optional<int> start;
  LetterCase letterCase;
  int expected;
};

TEST(TextFindLast, FindsLastOccurrenceWithinTheFirstStartMinusOneBytes) {
  const FindLastCase cases[] = {
      {"whole text", "abcabc", "abc", std::nullopt, LetterCase::Exact, 4},
      {"occurrence ending at the limit", "abcabc", "abc", 7, LetterCase::Exact, 4},
      {"occurrence crossing the limit", "abcabc", "abc", 6, LetterCase::Exact, 1},
      {"start 1 leaves no bytes", "abcabc", "abc", 1, LetterCase::Exact, -1},
      {"start past the end", "abcabc", "abc", 99, LetterCase::Exact, 4},
      {"overlapping occurrences", "aaaa", "aa", std::nullopt, LetterCase::Exact, 3},
      {"absent", "abc", "x", std::nullopt, LetterCase::Exact, -1},
      {"trail byte letter skipped", "A" + kTrailA, "A", std::nullopt, LetterCase::Exact, 1},
      {"straddle skipped", "\xD0\xCE" + kZhongWen, "\xD0\xCE", std::nullopt, LetterCase::Exact, 1},
      {"ignore case", "abcABC", "abc", std::nullopt, LetterCase::Ignore, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_FindLast(c.text, c.needle, c.start, c.letterCase), c.expected)
        << c.name << ": text " << Hex(c.text);
  }
}

struct ReplaceCase {
  const char* name;
  std::string text, find, replacement;
  int start;
  std::optional<int> count;
  LetterCase letterCase;
  std::string expected;
};

TEST(TextReplace, ReplacesLeftToRightWithinStartAndCount) {
  const auto all = std::nullopt;
  const ReplaceCase cases[] = {
      {"every occurrence", "a-b-c", "-", "+", 1, all, LetterCase::Exact, "a+b+c"},
      {"count 1", "a-b-c", "-", "+", 1, 1, LetterCase::Exact, "a+b-c"},
      {"count 0 changes nothing", "a-b-c", "-", "+", 1, 0, LetterCase::Exact, "a-b-c"},
      {"negative count replaces all", "a-b-c", "-", "+", 1, -1, LetterCase::Exact, "a+b+c"},
      {"from start 3", "a-b-c", "-", "+", 3, all, LetterCase::Exact, "a-b+c"},
      {"start 0 acts as 1", "a-b", "-", "+", 0, all, LetterCase::Exact, "a+b"},
      {"start past the end", "a-b", "-", "+", 4, all, LetterCase::Exact, "a-b"},
      {"empty find", "a-b", "", "+", 1, all, LetterCase::Exact, "a-b"},
      {"empty text", "", "-", "+", 1, all, LetterCase::Exact, ""},
      {"removal", "a-b-c", "-", "", 1, all, LetterCase::Exact, "abc"},
      {"inserted text is not rescanned", "aa", "a", "aa", 1, all, LetterCase::Exact, "aaaa"},
      {"non-overlapping left to right", "aaa", "aa", "b", 1, all, LetterCase::Exact, "ba"},
      {"ignore case", "aAa", "a", "b", 1, all, LetterCase::Ignore, "bbb"},
      {"exact case", "aAa", "a", "b", 1, all, LetterCase::Exact, "bAb"},
      {"trail byte left alone", kTrailA + "A", "A", "b", 1, all, LetterCase::Exact, kTrailA + "b"},
      {"Chinese needle", kZhongWen + "x" + kZhongWen, kZhongWen, "y", 1, all, LetterCase::Exact,
       "yxy"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_Replace(c.text, c.find, c.replacement, c.start, c.count, c.letterCase),
              c.expected)
        << c.name;
  }
}

struct SplitCase {
  const char* name;
  std::string text, delimiter;
  std::optional<int> max;
  std::vector<std::string> expected;
};

TEST(TextSplit, KeepsEmptyPiecesButAFinalOne) {
  const auto any = std::nullopt;
  const SplitCase cases[] = {
      {"plain", "a,b,c", ",", any, {"a", "b", "c"}},
      {"empty middle piece", "a,,b", ",", any, {"a", "", "b"}},
      {"empty first piece", ",a", ",", any, {"", "a"}},
      {"final empty piece dropped", "a,b,", ",", any, {"a", "b"}},
      {"only the final empty piece dropped", "a,b,,", ",", any, {"a", "b", ""}},
      {"lone delimiter", ",", ",", any, {""}},
      {"no delimiter", "abc", ",", any, {"abc"}},
      {"empty text", "", ",", any, {}},
      {"empty delimiter", "a,b", "", any, {"a,b"}},
      {"at most two", "a,b,c", ",", 2, {"a", "b"}},
      {"max above the count", "a,b", ",", 5, {"a", "b"}},
      {"max 0", "a,b", ",", 0, {}},
      {"negative max as 0", "a,b", ",", -1, {}},
      {"two-byte delimiter", "a<>b<>c", "<>", any, {"a", "b", "c"}},
      {"delimiter on a trail byte", "x" + kTrailA + "AyAz", "A", any, {"x" + kTrailA, "y", "z"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_Split(c.text, c.delimiter, c.max), c.expected) << c.name;
  }
}

TEST(TextSplit, DefaultDelimiterIsComma) {
  EXPECT_EQ(Text_Split("a,b"), (std::vector<std::string>{"a", "b"}));
}

struct TransformCase {
  const char* name;
  Text (*transform)(std::string_view);
  std::string text, expected;
};

TEST(TextSpaces, TrimRemoveAndLowerWorkOnWholeCharacters) {
  const std::string fullSpace = "\xA1\xA1";
  const TransformCase cases[] = {
      {"trim ASCII spaces", Text_Trim, "  a b  ", "a b"},
      {"trim full-width spaces", Text_Trim, fullSpace + "a" + fullSpace + " ", "a"},
      {"trim keeps tabs and line breaks", Text_Trim, "\ta\r\n", "\ta\r\n"},
      {"trim of only spaces", Text_Trim, " " + fullSpace + " ", ""},
      {"trim keeps a character ending in A1 before a lone A1", Text_Trim, "\xD6\xA1\xA1",
       "\xD6\xA1\xA1"},
      {"trim keeps a lone A1 after a full-width space", Text_Trim, fullSpace + "\xA1", "\xA1"},
      {"remove every space", Text_RemoveSpaces, " a b" + fullSpace + "c\t", "abc\t"},
      {"remove keeps a character ending in A1", Text_RemoveSpaces, "\xD6\xA1\xA1\xA1", "\xD6\xA1"},
      {"lower A-Z only", Text_ToLower, "ABC xyz 123", "abc xyz 123"},
      {"lower leaves trail bytes", Text_ToLower, kTrailA + "B", kTrailA + "b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.transform(c.text), c.expected) << c.name << ": " << Hex(c.text);
  }
}

TEST(TextToInt, ReadsFullWidthFormsThenFollowsAtoiAndSaturates) {
  const struct {
    const char* name;
    std::string text;
    int32_t expected;
  } cases[] = {
      {"digits", "123", 123},
      {"white space, sign, stop at letter", " \t\n-42abc", -42},
      {"plus sign", "+7", 7},
      {"no digits", "abc", 0},
      {"empty", "", 0},
      {"sign without digits", "- 5", 0},
      {"stops at a space", "12 34", 12},
      {"full-width digits", Gbk("１２３"), 123},
      {"full-width minus", Gbk("－５"), -5},
      {"full-width space first", Gbk("　９"), 9},
      {"full-width and ASCII mixed", Gbk("１2３"), 123},
      {"largest value", "2147483647", INT32_MAX},
      {"smallest value", "-2147483648", INT32_MIN},
      {"just above the range", "2147483648", INT32_MAX},
      {"far above the range", "99999999999999999999", INT32_MAX},
      {"far below the range", "-99999999999999999999", INT32_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_ToInt(c.text), c.expected) << c.name << ": " << Hex(c.text);
  }
}

TEST(TextPieces, LeftRightMidCompareAndBytes) {
  EXPECT_EQ(Text_Length("ab\xD6\xD0"), 4);
  EXPECT_EQ(Text_Left("abc", 2), "ab");
  EXPECT_EQ(Text_Left("abc", 9), "abc");
  EXPECT_EQ(Text_Left("abc", 0), "");
  EXPECT_EQ(Text_Left("abc", -1), "");
  EXPECT_EQ(Text_Right("abc", 2), "bc");
  EXPECT_EQ(Text_Right("abc", 9), "abc");
  EXPECT_EQ(Text_Right("abc", -1), "");
  EXPECT_EQ(Text_Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Text_Mid("abcdef", 6, 9), "f");
  EXPECT_EQ(Text_Mid("abcdef", 0, 2), "");
  EXPECT_EQ(Text_Mid("abcdef", 7, 2), "");
  EXPECT_EQ(Text_Mid("abcdef", 2, 0), "");

  EXPECT_EQ(Text_Compare("a", "b"), -1);
  EXPECT_EQ(Text_Compare("b", "a"), 1);
  EXPECT_EQ(Text_Compare("ab", "ab"), 0);
  EXPECT_EQ(Text_Compare("ab", "abc"), -1);
  EXPECT_EQ(Text_Compare("\x80", "a"), 1) << "bytes compare as unsigned";

  EXPECT_EQ(Bytes_ToText(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(Bytes_ToText("abc"), "abc");
  EXPECT_EQ(Text_ToBytes("abc"), "abc");
  EXPECT_EQ(Text_Spaces(3), "   ");
  EXPECT_EQ(Text_Spaces(-2), "");
  EXPECT_EQ(Bytes_Zeros(2), std::string(2, '\0'));
  EXPECT_EQ(Bytes_Zeros(0), "");
}

}  // namespace

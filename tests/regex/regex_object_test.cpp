// RegexObject as the rest of the program uses it: code page 936 texts in and
// out, 1-based indices, byte positions, silence on failure.

#include <gtest/gtest.h>

#include <vector>

#include "regex/regex_object.h"
#include "text/code_page.h"

namespace {

TEST(RegexObject, OmittedFlagsMeanCaseInsensitiveMultilineGlobal) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a(b)", "xABy"));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubMatchText(1, 1), "B");

  EXPECT_TRUE(regex.Create("a(b)", "xABy", true));
  EXPECT_EQ(regex.MatchCount(), 0);

  ASSERT_TRUE(regex.Create("^b", "a\nb\nb"));
  EXPECT_EQ(regex.MatchCount(), 2);
  ASSERT_TRUE(regex.Create("^b", "a\nb\nb", {}, false));
  EXPECT_EQ(regex.MatchCount(), 0);

  ASSERT_TRUE(regex.Create("b", "abcb", {}, {}, false));
  EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, QuotePlaceholderOnlyWhenAsked) {
  RegexObject regex;
  const Text placeholder = Gbk("#引号");
  const Text subject = "say \"hi\" or " + placeholder + "hi" + placeholder;
  ASSERT_TRUE(regex.Create(placeholder + "(hi)" + placeholder, subject));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), placeholder + "hi" + placeholder);
  EXPECT_EQ(regex.GetPattern(), placeholder + "(hi)" + placeholder);

  ASSERT_TRUE(regex.Create(placeholder + "(hi)" + placeholder, subject, {}, {}, {}, true));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), "\"hi\"");
  EXPECT_EQ(regex.GetPattern(), "\"(hi)\"");
}

TEST(RegexObject, NothingBeforeTheFirstCreate) {
  RegexObject regex;
  int position = 7;
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.SubMatchText(1, 1, &position), "");
  EXPECT_EQ(position, -2);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.ReplaceMatches("x"), "");
}

TEST(RegexObject, RefusedPatternLeavesNoMatches) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("b", "abc"));
  EXPECT_FALSE(regex.Create("(", "abc"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.ReplaceMatches("x"), "");
  // The pattern was handed over even though it was refused.
  EXPECT_EQ(regex.GetPattern(), "(");
}

TEST(RegexObject, IndicesOutsideTheMatchesGiveEmptyText) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)", "ab ab"));
  ASSERT_EQ(regex.MatchCount(), 2);
  int position = 7;
  EXPECT_EQ(regex.SubMatchText(0, 1), "");
  EXPECT_EQ(regex.SubMatchText(3, 1, &position), "");
  EXPECT_EQ(position, -2);
  EXPECT_EQ(regex.SubMatchText(1, 0), "");
  EXPECT_EQ(regex.SubMatchText(1, 3), "");
  EXPECT_EQ(regex.SubMatchText(2, 2), "b");
  EXPECT_EQ(regex.MatchText(0), "");
  EXPECT_EQ(regex.MatchText(3), "");
}

TEST(RegexObject, SecondCreateReplacesTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(x)", "xxx"));
  ASSERT_EQ(regex.MatchCount(), 3);
  ASSERT_TRUE(regex.Create("(y)(z)", "yz"));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(2, 1), "");
  EXPECT_EQ(regex.MatchText(1), "yz");
  EXPECT_EQ(regex.ReplaceMatches("-"), "-");
}

TEST(RegexObject, JsonFragmentWithLiteralBraces) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("{\"time\":\"(.*?)\"}", "{\"time\":\"x\"},{\"time\":\"y\"}"));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(1, 1), "x");
  EXPECT_EQ(regex.SubMatchText(2, 1), "y");
}

TEST(RegexObject, ChineseTextComesBackUnchanged) {
  RegexObject regex;
  const Text subject = Gbk("快件【上海】已签收，签收人：本人。");
  ASSERT_TRUE(regex.Create(Gbk("【(.*?)】(.*)签收人"), subject));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.SubMatchText(1, 1), Gbk("上海"));
  EXPECT_EQ(regex.SubMatchText(1, 2), Gbk("已签收，"));
  EXPECT_EQ(regex.MatchText(1), Gbk("【上海】已签收，签收人"));
}

TEST(RegexObject, SubMatchCountAndUnsetGroups) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a(b)(c)?", "ab"));
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(1, 2), "");
  ASSERT_TRUE(regex.Create("a(b)(c)?", "xyz"));
  EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexObject, PositionsAreByteOffsetsInTheSubject) {
  struct Row {
    const char* name;
    Text pattern;
    Text subject;
    int matchIndex;
    int groupIndex;  // 0: the whole match
    Text text;
    int position;
  };
  const Row rows[] = {
      {"second_match", "b+", "abbcbb", 2, 0, "bb", 4},
      {"after_double_byte_characters", "b", Gbk("中中ab"), 1, 0, "b", 5},
      {"group_after_double_byte_characters", Gbk("国(.)"), Gbk("中国人，国家"), 2, 1, Gbk("家"),
       10},
      // A group's position is the first occurrence of its text from the start of the match.
      {"group_text_found_from_match_start", "a(a)", "xaa", 1, 1, "a", 1},
      {"case_insensitive_match_found_as_written", "B", "aB", 1, 0, "B", 1},
  };
  RegexObject regex;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(regex.Create(row.pattern, row.subject));
    int position = 7;
    const Text text = row.groupIndex == 0
                          ? regex.MatchText(row.matchIndex, &position)
                          : regex.SubMatchText(row.matchIndex, row.groupIndex, &position);
    EXPECT_EQ(text, row.text);
    EXPECT_EQ(position, row.position);
  }
}

TEST(RegexObject, MalformedSubjectBytesDoNotShiftLaterTexts) {
  // 0xFF opens no character in code page 936 and 0x81 at the end has no
  // trail byte: the texts and positions after them must still line up.
  const Text subject = "a\xFF" + Gbk("中b国") + "c\x81";
  RegexObject regex;
  ASSERT_TRUE(regex.Create(Gbk("b(国)c"), subject));
  ASSERT_EQ(regex.MatchCount(), 1);
  int position = 7;
  EXPECT_EQ(regex.SubMatchText(1, 1, &position), Gbk("国"));
  EXPECT_EQ(position, 5);
  EXPECT_EQ(regex.MatchText(1), Gbk("b国c"));
  // A byte that converts to no character of its own comes back as converted.
  ASSERT_TRUE(regex.Create("a(.)", subject));
  EXPECT_EQ(regex.SubMatchText(1, 1), "?");
  // 0x80 is the euro sign, a character of one byte.
  ASSERT_TRUE(regex.Create(Gbk("(.)中"), "x\x80" + Gbk("中")));
  EXPECT_EQ(regex.SubMatchText(1, 1, &position), "\x80");
  EXPECT_EQ(position, 1);
}

TEST(RegexObject, SubjectEndsAtItsFirstZeroByte) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("b", std::string("ab\0b", 4)));
  EXPECT_EQ(regex.MatchCount(), 1);
  // The engine does not see a terminating zero unit: "$" is the text's end.
  ASSERT_TRUE(regex.Create("b$", "ab", {}, false));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("x*", "ab"));
  EXPECT_EQ(regex.MatchCount(), 3);
}

// Groups are read back from long subjects through a sparse table of byte
// offsets (none at all for ASCII): groups short and long, starting anywhere,
// in subjects of every kind one after the other on the same object.
TEST(RegexObject, GroupsOfLongSubjectsComeBackAsTheirBytes) {
  const Text ascii = "abcdefghij";
  const Text chinese = Gbk("快件已到达上海转运中心");  // eleven characters
  const struct {
    const char* name;
    Text (*value)(int k, const Text& ascii, const Text& chinese);
  } kinds[] = {
      {"mixed",
       [](int k, const Text& a, const Text& c) {
         Text v;
         for (int n = 0; n < k % 17; ++n)
           v += n % 3 ? a.substr(0, k % 7) : c.substr(0, 2 * (k % 5));
         return v;
       }},
      {"ASCII only", [](int k, const Text& a, const Text&) { return Text(k % 150, a[k % 10]); }},
      {"Chinese only",
       [](int k, const Text&, const Text& c) {
         Text v;
         for (int n = 0; n < k % 9; ++n) v += c;
         return v;
       }},
  };
  RegexObject regex;
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.name);
    std::vector<Text> values;
    Text subject;
    for (int k = 0; k < 400; ++k) {
      values.push_back(kind.value(k, ascii, chinese));
      subject += "<" + values.back() + ">";
    }
    ASSERT_TRUE(regex.Create("<(.*?)>", subject));
    ASSERT_EQ(regex.MatchCount(), static_cast<int>(values.size()));
    for (size_t k = 0; k < values.size(); ++k) {
      ASSERT_EQ(regex.SubMatchText(static_cast<int>(k) + 1, 1), values[k]) << "entry " << k;
    }
    ASSERT_TRUE(regex.Create("^([\\s\\S]*)$", subject));
    EXPECT_EQ(regex.SubMatchText(1, 1), subject);
    ASSERT_TRUE(regex.Create("<([^<]*)>$", subject));
    EXPECT_EQ(regex.SubMatchText(1, 1), values.back());
  }
}

}  // namespace

// ReplaceMatches by the dialect's replacement rules; expected results as an
// ECMAScript engine gives them for the same pattern, subject and text.

#include <gtest/gtest.h>

#include "regex/regex_object.h"
#include "text/code_page.h"

namespace {

struct ReplaceCase {
  const char* name;
  Text pattern;
  Text subject;
  Text replacement;
  Text expected;
  bool global = true;
};

TEST(RegexReplace, FollowsTheReplacementRules) {
  const ReplaceCase cases[] = {
      {"every_match", "b", "abcb", "-", "a-c-"},
      {"first_match_only_without_global", "b", "abcb", "-", "a-cb", false},
      {"groups_swapped", "(a)(b)", "xaby", "$2$1", "xbay"},
      {"whole_match", "b", "abc", "[$&]", "a[b]c"},
      {"before_and_after", "b", "abc", "[$`|$']", "a[a|c]c"},
      {"dollar_dollar", "b", "abc", "$$", "a$c"},
      {"group_that_does_not_exist_kept", "(a)(b)", "ab", "$3", "$3"},
      {"two_digits_fall_back_to_one", "(a)", "a", "$10", "a0"},
      {"two_digits_with_leading_zero", "(a)", "a", "$01", "a"},
      {"dollar_zero_kept", "(a)", "a", "$0$00", "$0$00"},
      {"lone_dollar_kept", "a", "a", "x$", "x$"},
      {"other_dollar_sequences_kept", "a", "a", "$x$<n>", "$x$<n>"},
      {"unset_group_gives_nothing", "(a)|(b)", "b", "[$1]", "[]"},
      {"empty_matches", "x*", "ab", "-", "-a-b-"},
      {"two_digit_group", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", "abcdefghijkl", "$12$11$1",
       "lka"},
      {"no_match_keeps_subject", "z", Gbk("中文"), "-", Gbk("中文")},
      {"chinese_in_subject_and_replacement", Gbk("(上海)"), Gbk("到达上海中转"), Gbk("【$1】"),
       Gbk("到达【上海】中转")},
  };
  RegexObject regex;
  for (const ReplaceCase& row : cases) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(regex.Create(row.pattern, row.subject, {}, {}, row.global));
    EXPECT_EQ(regex.ReplaceMatches(row.replacement), row.expected);
  }
}

TEST(RegexReplace, LeavesTheMatchesAsTheyWere) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(b)", "abcb"));
  EXPECT_EQ(regex.ReplaceMatches("$1$1"), "abbcbb");
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.ReplaceMatches("-"), "a-c-");
}

}  // namespace

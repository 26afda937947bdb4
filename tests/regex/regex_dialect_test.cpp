// The translated patterns against the dialect's own results (worked out with
// an ECMAScript engine, flags "gim" unless a row says otherwise), on UTF-16
// subjects that code page 936 could not even hold (U+2028, NEL, surrogates).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/regex_dialect.h"
#include "regex/regex_engine.h"

namespace {

struct DialectCase {
  const char* name;
  std::u16string pattern;
  std::u16string subject;
  std::vector<std::u16string> matches;
  bool multiline = true;
};

std::vector<std::u16string> FindAll(const std::u16string& pattern, const std::u16string& subject,
                                    bool multiline) {
  auto engine = RegexEngine::Compile(Regex_TranslatePattern(pattern, multiline), true);
  if (!engine) return {u"<refused>"};
  const RegexSpans spans = engine->FindAll(subject, true);
  std::vector<std::u16string> texts;
  for (int i = 0; i < spans.MatchCount(); ++i) {
    const int* match = spans.Match(i);
    texts.push_back(subject.substr(match[0], match[1] - match[0]));
  }
  return texts;
}

TEST(RegexDialect, MatchesAsTheDialectDoes) {
  const std::vector<DialectCase> cases = {
      {"dot_stops_at_cr_and_lf", u"a.c", u"abc a\rc a\nc a\u3000c", {u"abc", u"a\u3000c"}},
      {"dot_stops_at_line_and_paragraph_separators",
       u"a.c",
       u"a\u2028c a\u2029c a\u0085c",
       {u"a\u0085c"}},
      {"caret_multiline_after_each_terminator",
       u"^b",
       u"b\rb\nb\u2028b\u2029b\u0085b",
       {u"b", u"b", u"b", u"b", u"b"}},
      {"caret_single_line_only_at_start", u"^b", u"b\nb", {u"b"}, false},
      {"dollar_multiline_before_each_terminator",
       u"a$",
       u"a\ra\r\na\u2028a",
       {u"a", u"a", u"a", u"a"}},
      {"dollar_single_line_only_at_very_end", u"a$", u"a\na\n", {}, false},
      {"braces_without_count_are_literal",
       u"{a}|x{,2}|y{2,|}z",
       u"{a} x{,2} y{2, }z",
       {u"{a}", u"x{,2}", u"y{2,", u"}z"}},
      {"brace_counts_repeat", u"a{2}b{1,}c{1,2}", u"aabbccc", {u"aabbcc"}},
      {"bracket_inside_class_is_literal", u"[[:a]+]", u"a:[] b]", {u"a:[]"}},
      {"hyphen_next_to_class_escape_is_literal",
       u"[\\d-z]+|[a-\\d]+|[\\s-a]+|[\\w-]+",
       u"1-z;a-1; -a;a-b",
       {u"1-z", u"a-1", u" -a", u"a-", u"b"}},
      {"empty_class_matches_nothing", u"a[]b|c", u"ab c", {u"c"}},
      {"negated_empty_class_matches_anything", u"a[^]b", u"a\nb", {u"a\nb"}},
      {"backslash_s_takes_unicode_spaces",
       u"x\\sy",
       u"x\u3000y x\u00a0y x\ufeffy x\u0085y x y",
       {u"x\u3000y", u"x\u00a0y", u"x\ufeffy", u"x y"}},
      {"backslash_s_inside_class", u"x[\\s,]y", u"x\u3000y x,y", {u"x\u3000y", u"x,y"}},
      {"backslash_upper_s_excludes_unicode_spaces", u"x\\Sy", u"x\u3000y xay", {u"xay"}},
      {"backslash_v_is_vertical_tab_only", u"x\\vy", u"x\u000by x\ny", {u"x\u000by"}},
      {"unknown_escaped_letters_stand_for_themselves",
       u"\\a\\e\\h\\K\\Q\\z",
       u"aehKQz",
       {u"aehKQz"}},
      {"backslash_c_without_control_letter", u"\\c1|\\cA", u"\\c1 \u0001", {u"\\c1", u"\u0001"}},
      {"unicode_and_hex_escapes",
       u"\\u0041\\x42|\\u004|\\x4",
       u"AB u004 x4",
       {u"AB", u"u004", u"x4"}},
      {"empty_match_right_after_a_match", u"a*", u"baaac", {u"", u"aaa", u"", u""}},
      {"empty_match_steps_over_a_surrogate_pair", u"x*", u"a\U0001F600b", {u"", u"", u"", u""}},
      {"unset_backreference_matches_empty", u"(a)?b\\1", u"b ab aba", {u"b", u"b", u"aba"}},
      {"forward_reference_matches_empty", u"\\1(a)", u"aa", {u"a", u"a"}},
      {"ignore_case_beyond_ascii", u"\u0436\u03c3", u"\u0416\u03a3", {u"\u0416\u03a3"}},
      {"lazy_groups_stop_at_first_close", u"<(.*?)>", u"<a><b>", {u"<a>", u"<b>"}},
      {"lone_surrogates_do_not_stop_matching",
       u"b",
       u"a\xD800"
       u"b\xDC00"
       u"b",
       {u"b", u"b"}},
      {"word_and_digit_classes_are_ascii", u"\\w+|\\d+", u"\u00e9t\u00e9 \uff11", {u"t"}},
  };
  for (const DialectCase& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindAll(row.pattern, row.subject, row.multiline), row.matches);
  }
}

TEST(RegexDialect, RefusesWhatTheDialectRefuses) {
  const std::vector<std::pair<const char*, std::u16string>> cases = {
      {"unclosed_group", u"("},          {"unopened_group", u"a)"},
      {"count_out_of_order", u"a{2,1}"}, {"range_out_of_order", u"[b-a]"},
      {"nothing_to_repeat", u"*a"},      {"trailing_backslash", u"a\\"},
  };
  for (const auto& [name, pattern] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(RegexEngine::Compile(Regex_TranslatePattern(pattern, true), true), nullptr);
  }
}

}  // namespace

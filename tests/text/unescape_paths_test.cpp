// Text_UnescapeUnicode's one-pass decoder must give exactly what the general
// decoder gives for every text it takes on; the rest it must hand on.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/code_page.h"
#include "text/unescape.h"
#include "text/unescape_paths.h"

namespace {

// The general decoder's result, and the one-pass decoder's where it gives one.
void ExpectPathsAgree(const std::string& text) {
  const Text general = Unescape_General(text);
  EXPECT_EQ(Text_UnescapeUnicode(text), general);
  if (const std::optional<Text> simple = Unescape_Simple(text)) {
    EXPECT_EQ(*simple, general);
  }
}

TEST(UnescapePaths, AgreeOnTrickyTexts) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"plain time", "2016-09-21 18:30:00"},
      {"escaped Chinese", "\\u5df2\\u7b7e\\u6536 #12"},
      {"upper-case hex", "\\u5DF2\\u7B7E"},
      {"right single quote restored as apostrophe", "it\\u2019s"},
      {"escaped placeholder braces", "\\u007b$\\u007d"},
      {"literal placeholder", "a{$}b"},
      {"escaped zero ends the text", "ab\\u0000cd"},
      {"percent sequence", "100%41"},
      {"apostrophe", "it's"},
      {"escaped backslash before u", "\\\\u0041"},
      {"short escape", "\\u12"},
      {"escape at the very end", "x\\u"},
      {"trailing backslash", "x\\"},
      {"other escapes", "\\n\\t\\x41\\101"},
      {"surrogate pair", "\\ud83d\\ude00!"},
      {"lone surrogate", "\\udc00"},
      {"unmapped character", "\\u0e01"},
      {"code page 936 bytes", Gbk("已签收")},
      {"code page 936 right single quote", Gbk("it’s")},
      {"euro byte", "\x80"},
      {"lone lead byte at the end", "ab\xD2"},
      {"lead byte before ASCII",
       "\xD2"
       "a"},
      {"undefined pair", "\xA2\xA0"},
      {"mixed bytes and escapes", Gbk("到达") + "\\u4e0a\\u6d77" + Gbk("【转运】")},
      {"CR LF", "a\r\nb"},
      {"lone LF", "a\nb"},
      {"leading CR", "\rab"},
      {"ideographic spaces", "T\\u3000\\u3000C"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPathsAgree(c.text);
  }
}

// The one-pass decoder exists for these; were it to hand them on, every
// report would silently take the slow way.
TEST(UnescapePaths, OnePassTakesTheTextsOfATraceReply) {
  const std::string texts[] = {"2016-09-21 18:30:00", "\\u5df2\\u7b7e\\u6536 #12",
                               Gbk("快件已到达【上海转运中心】"), "T\\u3000\\u3000C"};
  for (const std::string& text : texts) EXPECT_TRUE(Unescape_Simple(text).has_value()) << text;
}

TEST(UnescapePaths, AgreeOnRandomTexts) {
  // Pieces that each mean something to one of the decoder's steps.
  const std::string pieces[] = {
      "a",        "Z",    "0",    " ",       "\\u5df2", "\\u2019",  "\\u007b",  "\\u0024",
      "\\u007d",  "{",    "$",    "}",       "%",       "%u",       "4",        "1",
      "\\",       "u",    "'",    "\r",      "\n",      "\xA1\xAF", "\xD2\xD1", "\xA1\xA1",
      "\xA2\xA0", "\x80", "\xD2", "\\u0000", "\\ud83d", "\\ude00"};
  std::mt19937 random(20160922);
  std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 8);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += pieces[pick(random)];
    SCOPED_TRACE(text);
    ExpectPathsAgree(text);
    if (HasFailure()) break;
  }
}

}  // namespace

#include "text/unescape.h"

#include <gtest/gtest.h>

#include "tests/text/text_test_support.h"
#include "text/code_page.h"

namespace {

struct UnescapeCase {
  const char* name;
  std::string input, expected;
};

void ExpectRows(const std::vector<UnescapeCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(Text_UnescapeUnicode(c.input)), Hex(c.expected))
        << c.name << ": input " << Hex(c.input);
  }
}

TEST(TextUnescapeUnicode, ListedResults) {
  ExpectRows({
      {"two escapes", "\\u4e2d\\u6587", "\xD6\xD0\xCE\xC4"},
      {"plain text unchanged", Gbk("中文 abc 123 {x}:\"y\""), Gbk("中文 abc 123 {x}:\"y\"")},
      {"apostrophe", "a'b", "a'b"},
      {"right single quotation mark", Gbk("a’b"), "a'b"},
      {"CR LF kept", "x\r\ny", "x\r\ny"},
      {"leading lone CR removed", "\ry", "y"},
      {"lone LF", "x\ny", ""},
      {"percent with two hex digits", "100%25", "100%"},
      {"%u without four hex digits stays", "\\user", "%user"},
      {"two backslashes give one", "a\\\\b", "a\\b"},
      {"final lone backslash", "abc\\", ""},
      {"empty", "", ""},
      {"escape of a letter", "\\u0041", "A"},
      {"percent escape", "%41", "A"},
      {"escaped right single quotation mark", "\\u2019", "'"},
      {"placeholder in the input", "a{$}b", "a\r\nb"},
  });
}

TEST(TextUnescapeUnicode, PlaceholderSteps) {
  ExpectRows({
      {"lone CR not at the start", "x\ry", ""},
      {"lone CR then a pair", "\r\r\n", "\r\n"},
      {"CR LF at the start kept", "\r\nx", "\r\nx"},
      {"backslash before CR LF vanishes", "a\\\r\nb", "a\r\nb"},
      {"escaped apostrophe", "\\'", "'"},
      {"escaped backslash before u still decodes", "\\\\u4e2d", "\xD6\xD0"},
      {"apostrophe between Chinese", Gbk("中'文"), Gbk("中'文")},
      {"backslash as a trail byte escapes nothing", "\xD6\\u0041", "\xD6\\u0041"},
  });
}

TEST(TextUnescapeUnicode, StringLiteralEscapes) {
  ExpectRows({
      {"control escapes", "\\b\\f\\n\\r\\t\\v", "\b\f\n\r\t\v"},
      {"hex escape", "\\x41\\x4a", "AJ"},
      {"short hex escape is the letter", "\\xZ1", "xZ1"},
      {"octal three digits", "\\101", "A"},
      {"octal stops after three digits", "\\1012", "A2"},
      {"octal from 4-7 takes two digits", "\\567", ".7"},
      {"octal zero ends the text", "a\\0b", "a"},
      {"other characters stand for themselves", "\\/\\\"\\q\\ \\%", "/\"q %"},
      {"escaped digits 8 and 9", "\\8\\9", "89"},
      {"escaped LF is a break in the literal", "a\\\nb", ""},
      {"backslash before a Chinese character", "\\" + Gbk("中"), Gbk("中")},
  });
}

TEST(TextUnescapeUnicode, UnescapeAndCodePage) {
  ExpectRows({
      {"upper-case hex", "%u4E2D%u6587", "\xD6\xD0\xCE\xC4"},
      {"percent alone", "100%", "100%"},
      {"percent with one digit", "%4", "%4"},
      {"percent with bad digits", "%zz", "%zz"},
      {"short %u", "\\u4e2", "%u4e2"},
      {"escape ahead of percent", "\\x25u4e2d", "\xD6\xD0"},
      {"percent zero ends the text", "a%00b", "a"},
      {"letter with accent in code page 936", "\\u00e9", "\xA8\xA6"},
      {"lacking character", "a\\u0e01b", "a?b"},
      {"surrogate pair is one ?", "\\ud83d\\ude00", "?"},
      {"lone surrogate", "\\ud800x", "?x"},
      {"euro sign", "\\u20ac", "\x80"},
      {"escaped braces form the placeholder", "\\x7b$}", "\r\n"},
  });
}

}  // namespace

// Long texts are decoded piece by piece; built from tokens that do not
// interact, a long text must decode to the tokens' results in order, however
// the pieces fall (a surrogate pair's halves may land in two pieces).
TEST(TextUnescapeUnicode, LongTextDecodesLikeItsTokens) {
  const struct {
    std::string input, decoded;
  } tokens[] = {
      {"\\u4e2d", "\xD6\xD0"},
      {"\\ud83d\\ude00", "?"},
      {"'", "'"},
      {"\r\n", "\r\n"},
      {"%41", "A"},
      {"\\\\", "\\"},
      {Gbk("中文"), Gbk("中文")},
      {"x", "x"},
      {"\\x41", "A"},
      {"%z", "%z"},
      {"\\x7b$}", "\r\n"},
      {"{$}", "\r\n"},
      {"\\u2019", "'"},
      {"\\q", "q"},
      {"\\ud800", "?"},
  };
  std::string input, expected;
  unsigned state = 12345;
  while (input.size() < 600 * 1024) {
    state = state * 1103515245 + 12345;
    const auto& token = tokens[(state >> 16) % std::size(tokens)];
    input += token.input;
    expected += token.decoded;
  }
  EXPECT_TRUE(Text_UnescapeUnicode(input) == expected) << "long token text decodes differently";

  const std::string tail(300 * 1024, 'z');
  EXPECT_EQ(Text_UnescapeUnicode("a\\0" + tail), "a") << "a decoded zero ends the text";
  EXPECT_EQ(Text_UnescapeUnicode("a\\0" + tail + "\n"), "")
      << "a lone LF far after the zero still spoils the literal";
  EXPECT_EQ(Text_UnescapeUnicode(tail + "\\"), "") << "final lone backslash after many pieces";
}

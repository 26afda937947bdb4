#include "text/code_page.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/text/text_test_support.h"
#include "text/cp936_converter.h"
#include "text/utf8.h"

namespace {

using namespace std::string_literals;

std::string EveryAsciiCharacter() {
  std::string text;
  for (int c = 1; c < 0x80; ++c) text += static_cast<char>(c);
  return text;
}

TEST(CodeUtf8ToAnsi, ConvertsAndMarksWhatCodePage936Lacks) {
  const struct {
    const char* name;
    std::string utf8, expected;
  } cases[] = {
      {"中", "\xE4\xB8\xAD", "\xD6\xD0"},
      {"ASCII unchanged", "plain ASCII {}\r\n", "plain ASCII {}\r\n"},
      {"empty", "", ""},
      {"euro sign is 0x80", "\xE2\x82\xAC", "\x80"},
      {"em dash is A1AA", "\xE2\x80\x94", "\xA1\xAA"},
      {"middle dot is A1A4", "\xC2\xB7", "\xA1\xA4"},
      {"ideographic space is A1A1", "\xE3\x80\x80", "\xA1\xA1"},
      {"pinyin letter", "\xC7\x96", "\xA8\xB5"},
      {"Thai letter lacking",
       "a\xE0\xB8\x81"
       "b",
       "a?b"},
      {"character beyond the BMP is one ?",
       "a\xF0\x9F\x98\x80"
       "b",
       "a?b"},
      {"stray byte",
       "a\xFF"
       "b",
       "a?b"},
      {"lone continuation byte",
       "a\x80"
       "b",
       "a?b"},
      {"cut-short sequence mid-text",
       "\xE4\xB8"
       "a",
       "?a"},
      {"cut-short sequence at the end", "a\xE4\xB8", "a?"},
      {"overlong form",
       "\xC0\x80"
       "a",
       "??a"},
      {"surrogate form",
       "\xED\xA0\x80"
       "a",
       "???a"},
      {"text ends at a zero byte", "ab\0cd"s, "ab"},
      {"Chinese around a lacking character", "中\xE0\xB8\x81文", "\xD6\xD0?\xCE\xC4"},
      // ASCII goes through a block-wise shortcut: a non-ASCII byte must
      // still be seen past the first blocks, and not past the zero byte.
      {"every ASCII character", EveryAsciiCharacter(), EveryAsciiCharacter()},
      {"Chinese after blocks of ASCII", std::string(40, 'a') + "中",
       std::string(40, 'a') + "\xD6\xD0"},
      {"reversed byte order mark", "\xFF\xFE broken", "?? broken"},
      {"non-ASCII byte after the zero byte", "ab\0\xFF"s, "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(Code_Utf8ToAnsi(c.utf8)), Hex(c.expected)) << c.name;
  }
}

// Code_Utf8ToAnsi goes straight from UTF-8 to code page 936 for the usual
// characters and hands everything else to the general path piece by piece:
// on any mix, its result must be that of decoding all the units first.
TEST(CodeUtf8ToAnsi, AnyMixConvertsAsThroughUnits) {
  const std::string pieces[] = {"a",
                                "{\"",
                                "0123456789abcdef",
                                "\xC2\xB7",
                                "\xC3\xA9",
                                "\xDF\xBF",
                                "\xE4\xB8\xAD",
                                "\xE2\x80\x94",
                                "\xE2\x82\xAC",
                                "\xE0\xA0\x80",
                                "\xEF\xBF\xBF",
                                "\xE0\x80\x80",
                                "\xED\xA0\x80",
                                "\xED\x9F\xBF",
                                "\xF0\x9F\x98\x80",
                                "\xF4\x90\x80\x80",
                                "\xE4\xB8",
                                "\xC2",
                                "\x80",
                                "\xBF\xBF",
                                "\xFF",
                                "\xC0\xAF",
                                "\xE0\xB8\x81",
                                "\xEA\xB0\x80"};
  std::mt19937 random(936);
  std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 12);
  for (int round = 0; round < 5000; ++round) {
    std::string utf8;
    for (int n = length(random); n > 0; --n) utf8 += pieces[pick(random)];
    std::u16string units;
    Utf8_AppendUtf16(utf8, units);
    std::string expected;
    Cp936_AppendFromUtf16(units, expected);
    ASSERT_EQ(Hex(Code_Utf8ToAnsi(utf8)), Hex(expected)) << "input " << Hex(utf8);
  }
}

TEST(CodeWide, GbkToWideAndBack) {
  const struct {
    const char* name;
    std::string gbk, wide;
  } toWide[] = {
      {"a and 中", "a\xD6\xD0", "\x61\x00\x2D\x4E\x00\x00"s},
      {"empty gives the zero unit", "", "\x00\x00"s},
      {"0x80 is the euro sign", "\x80", "\xAC\x20\x00\x00"s},
      {"0xFF is undefined", "\xFF", "\x3F\x00\x00\x00"s},
      {"lone lead byte at the end", "a\xD6", "\x61\x00\x3F\x00\x00\x00"s},
      {"lead byte before a quote keeps the quote", "\xD6\"", "\x3F\x00\x22\x00\x00\x00"s},
      {"unassigned pair", "\xA2\xA0", "\x3F\x00\x00\x00"s},
      {"stops at a zero byte", "a\0b"s, "\x61\x00\x00\x00"s},
  };
  for (const auto& c : toWide) {
    EXPECT_EQ(Hex(Code_GbkToWide(c.gbk)), Hex(c.wide)) << c.name;
  }

  const struct {
    const char* name;
    std::string wide, gbk;
  } fromWide[] = {
      {"no terminator", "\x61\x00\x2D\x4E"s, "a\xD6\xD0"},
      {"stops at the zero unit", "\x61\x00\x00\x00\x2D\x4E"s, "a"},
      {"odd trailing byte ignored", "\x61\x00\x2D"s, "a"},
      {"empty", "", ""},
      {"e and combining acute compose", "\x65\x00\x01\x03"s, "\xA8\xA6"},
      {"u, diaeresis, macron compose twice", "\x75\x00\x08\x03\x04\x03"s, "\xA8\xB5"},
      {"mark without a composition", "\x78\x00\x01\x03"s, "x?"},
      {"lone surrogate", "\x00\xD8\x61\x00"s, "?a"},
      {"surrogate pair is one ?", "\x3D\xD8\x00\xDE\x61\x00"s, "?a"},
  };
  for (const auto& c : fromWide) {
    EXPECT_EQ(Hex(Code_WideToGbk(c.wide)), Hex(c.gbk)) << c.name;
  }
}

TEST(CodeWide, ToWideAndFromWideFollowTheCodePage) {
  EXPECT_EQ(Hex(Code_ToWide("\xE4\xB8\xAD")), Hex("\x2D\x4E\x00\x00"s)) << "UTF-8 by default";
  EXPECT_EQ(Hex(Code_ToWide("\xD6\xD0", CodePageGbk)), Hex("\x2D\x4E\x00\x00"s));
  EXPECT_EQ(Hex(Code_ToWide("\xD6\xD0", CodePageAnsi)), Hex("\x2D\x4E\x00\x00"s));
  EXPECT_EQ(Hex(Code_ToWide("abc", 1252)), Hex("\x00\x00"s)) << "an unknown code page is refused";

  EXPECT_EQ(Hex(Code_FromWide("\x2D\x4E\x00\x00"s)), Hex("\xD6\xD0")) << "code page 936 by default";
  EXPECT_EQ(Hex(Code_FromWide("\x2D\x4E\x00\x00"s, CodePageUtf8)), Hex("\xE4\xB8\xAD"));
  EXPECT_EQ(Code_FromWide("\x61\x00\x00\x00\x62\x00"s), "a") << "stops at the first zero unit";
  EXPECT_EQ(Code_FromWide("\x3D\xD8\x00\xDE"s, CodePageUtf8), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Code_FromWide("\x00\xD8"s, CodePageUtf8), "\xEF\xBF\xBD") << "lone surrogate";
  // Code_FromWide passes no composite check: the mark stays a character of its own.
  EXPECT_EQ(Code_FromWide("\x65\x00\x01\x03"s), "e?");
}

// Every double-byte code that code page 936 defines comes back as itself.
TEST(CodeWide, EveryDefinedDoubleByteCodeRoundTrips) {
  int defined = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string units = Code_GbkToUtf16(code);
      ASSERT_EQ(units.size(), 1u) << Hex(code);
      if (units[0] == u'?') continue;
      ++defined;
      EXPECT_EQ(Hex(Code_Utf16ToGbk(units)), Hex(code));
    }
  }
  EXPECT_GT(defined, 21000);
}

TEST(CodeEdges, Utf16AndUtf8HelpersAndGbkLiterals) {
  EXPECT_EQ(Hex(Gbk("查询")), Hex("\xB2\xE9\xD1\xAF"));
  EXPECT_EQ(Code_GbkToUtf16(Gbk("中文a")), u"中文a");
  EXPECT_EQ(Code_Utf16ToGbk(u"中文a"), Gbk("中文a"));
  EXPECT_EQ(Hex(Code_Utf16ToGbk(u"e\u0301")), Hex("\xA8\xA6")) << "e + combining acute becomes the precomposed letter";
  EXPECT_EQ(Code_GbkToUtf8(Gbk("年月日 时分秒")), "年月日 时分秒");
  EXPECT_EQ(Code_GbkToUtf8("\x80\xA1\xAA\xA1\xA4\xA1\xA1"), "€—·\u3000");
  // The edge helpers take counted strings: a zero unit travels through.
  EXPECT_EQ(Code_GbkToUtf16("a\0b"s), u"a\0b"s);
  EXPECT_EQ(Code_Utf16ToGbk(u"a\0b"s), "a\0b"s);
}

}  // namespace

namespace {

// Long texts take the block paths for ASCII stretches; every stretch length
// and every place of a double-byte character against a block's edge must
// convert as the character-by-character path does.
TEST(CodeWide, LongMixedTextConvertsLikeItsPieces) {
  const struct {
    std::string gbk;
    std::u16string utf16;
  } pieces[] = {
      {"a", u"a"},
      {"0123456789abcdefXYZ", u"0123456789abcdefXYZ"},
      {Gbk("中文"), u"中文"},
      {"\x80", u"€"},
      {"{$} '\\", u"{$} '\\"},
      {Gbk("，。"), u"，。"},
  };
  std::string gbk;
  std::u16string utf16;
  unsigned state = 7;
  while (gbk.size() < 100000) {
    state = state * 1103515245 + 12345;
    const auto& piece = pieces[(state >> 16) % std::size(pieces)];
    gbk += piece.gbk;
    utf16 += piece.utf16;
  }
  EXPECT_TRUE(Code_GbkToUtf16(gbk) == utf16);
  EXPECT_TRUE(Code_Utf16ToGbk(utf16) == gbk);
  EXPECT_TRUE(Code_GbkToUtf8(gbk) == Code_FromWide(Code_GbkToWide(gbk), CodePageUtf8));
}

}  // namespace

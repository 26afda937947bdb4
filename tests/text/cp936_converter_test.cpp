// The converter reads iconv's answers in bulk, a row of codes or a block of
// units per call, the first time a text needs them. Whatever order texts come
// in, every answer must be the one iconv gives for that character asked
// alone, apart from the four Windows mappings that the converter pins.

#include "text/cp936_converter.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <string>

#include "tests/text/text_test_support.h"

namespace {

struct IconvHandle {
  explicit IconvHandle(const char* to, const char* from) : handle(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  iconv_t handle;
};

// iconv asked for one character; the empty text when it refuses it.
std::string AskAlone(iconv_t handle, std::string in) {
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  char out[16];
  char* inCursor = in.data();
  size_t inLeft = in.size();
  char* outCursor = out;
  size_t outLeft = sizeof out;
  const bool converted =
      iconv(handle, &inCursor, &inLeft, &outCursor, &outLeft) != static_cast<size_t>(-1) &&
      inLeft == 0;
  return converted ? std::string(out, sizeof out - outLeft) : std::string();
}

TEST(Cp936Converter, EveryCodeAndUnitAsIconvGivesItAlone) {
  // Asked from the far end first: a row or block built on demand must not
  // depend on which one was built before it.
  const IconvHandle decoder("UTF-16LE", "CP936");
  const IconvHandle encoder("CP936", "UTF-16LE");
  ASSERT_NE(decoder.handle, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(encoder.handle, reinterpret_cast<iconv_t>(-1));
  const std::map<unsigned, char16_t> windowsCodes = {
      {0xA1AA, 0x2014}, {0xA1A4, 0x00B7}, {0xA1A1, 0x3000}};
  for (unsigned lead = 0xFE; lead >= 0x81; --lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string units;
      Cp936_AppendUtf16(code, units);
      std::u16string expected = u"?";
      const std::string alone = AskAlone(decoder.handle, code);
      if (alone.size() == 2) {
        expected = static_cast<char16_t>(static_cast<unsigned char>(alone[0]) |
                                         static_cast<unsigned char>(alone[1]) << 8);
      }
      if (const auto w = windowsCodes.find(lead << 8 | trail); w != windowsCodes.end()) {
        expected = w->second;
      }
      ASSERT_EQ(units, expected) << Hex(code);
    }
  }
  const std::map<char16_t, std::string> windowsUnits = {
      {0x20AC, "\x80"}, {0x2014, "\xA1\xAA"}, {0x00B7, "\xA1\xA4"}, {0x3000, "\xA1\xA1"}};
  for (unsigned unit = 0xFFFF; unit >= 0x80; --unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char16_t value = static_cast<char16_t>(unit);
    std::string bytes;
    Cp936_AppendFromUtf16(std::u16string_view(&value, 1), bytes);
    std::string expected =
        AskAlone(encoder.handle, {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
    if (expected.empty() || expected.size() > 2) expected = "?";
    if (const auto w = windowsUnits.find(value); w != windowsUnits.end()) expected = w->second;
    ASSERT_EQ(Hex(bytes), Hex(expected)) << "unit " << unit;
  }
}

}  // namespace

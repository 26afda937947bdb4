#include "query/entry_decoding.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "text/cp936_converter.h"
#include "text/unescape.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// An ASCII character that every step of the general decoder passes through
// unchanged. Excluded are the characters its steps give a meaning: CR and LF
// (the CR LF placeholder, line terminators), the apostrophe (its
// placeholder), "%" (unescape()), the backslash (string-literal escapes) and
// the zero byte (end of text). Bytes of 0x80 or more are the pairs below.
bool IsPassThroughByte(unsigned char c) {
  return c != 0 && c < 0x80 && c != '\r' && c != '\n' && c != '\'' && c != '%' && c != '\\';
}

constexpr char16_t UnitUnknown = 0;
constexpr char16_t NoPassThrough = 0xFFFF;

// The UTF-16 unit of a double-byte character that every step of the general
// decoder passes through unchanged, or NoPassThrough: the pair must make the
// round trip through UTF-16 unchanged, its unit must be no line terminator,
// and it must not be "’" (the apostrophe's placeholder). Asked once per pair.
char16_t PassThroughPairUnit(unsigned char lead, unsigned char trail) {
  static std::vector<char16_t> units(0x10000, UnitUnknown);
  char16_t& unit = units[lead << 8 | trail];
  if (unit != UnitUnknown) return unit;
  unit = NoPassThrough;
  const bool isPair = lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
  if (!isPair || (lead == 0xA1 && trail == 0xAF)) return unit;
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::u16string wide;
  Cp936_AppendUtf16(std::string_view(pair, 2), wide);
  if (wide.size() != 1 || wide[0] < 0x80 || (wide[0] >= 0xD800 && wide[0] <= 0xDFFF) ||
      wide[0] == 0x2028 || wide[0] == 0x2029 || wide[0] == NoPassThrough) {
    return unit;
  }
  std::string back;
  Cp936_AppendFromUtf16(wide, back);
  if (back == std::string_view(pair, 2)) unit = wide[0];
  return unit;
}

// The unit of the pair at text[i], or NoPassThrough.
char16_t PairUnitAt(std::string_view text, size_t i) {
  if (i + 1 >= text.size()) return NoPassThrough;
  return PassThroughPairUnit(static_cast<unsigned char>(text[i]),
                             static_cast<unsigned char>(text[i + 1]));
}

bool IsPassThrough(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsPassThroughByte(c)) continue;
    if (c < 0x80 || PairUnitAt(text, i) == NoPassThrough) return false;
    ++i;
  }
  return true;
}

// The code page 936 bytes of one UTF-16 unit other than a surrogate, as the
// converter gives them; asked once per unit.
std::string_view UnitBytes(char16_t unit) {
  struct Bytes {
    unsigned char length = 0;  // 0: not asked yet
    char bytes[2] = {};
  };
  static std::vector<Bytes> table(0x10000);
  Bytes& entry = table[unit];
  if (entry.length == 0) {
    std::string converted;
    Cp936_AppendFromUtf16(std::u16string_view(&unit, 1), converted);
    entry.length = static_cast<unsigned char>(converted.size());
    converted.copy(entry.bytes, 2);
  }
  return {entry.bytes, entry.length};
}

// Into decoded, the result of a text made only of pass-through characters
// (of one byte or two) and complete \uXXXX escapes; false for any other
// text, and for escapes of zero (which would end the text) or of a surrogate
// (whose pairing the converter sees whole).
bool DecodeSimple(std::string_view text, Text& decoded) {
  decoded.clear();
  decoded.reserve(text.size());  // no character grows
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsPassThroughByte(c)) {
      decoded.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0x80) {
      if (PairUnitAt(text, i) == NoPassThrough) return false;
      decoded.append(text, i, 2);
      ++i;
      continue;
    }
    if (c != '\\' || text.size() - i < 6 || text[i + 1] != 'u') return false;
    int value = 0;
    for (size_t k = 2; k <= 5; ++k) {
      const int digit = HexDigit(text[i + k]);
      if (digit < 0) return false;
      value = value * 16 + digit;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return false;
    decoded.append(UnitBytes(static_cast<char16_t>(value)));
    i += 5;
  }
  return true;
}

// Whether the general decoder's last step, which turns every "’" back into an
// apostrophe and every "{$}" into CR LF, would change this code page 936 text.
bool HasPlaceholder(std::string_view gbk) {
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x80) {
      if (c == 0xA1 && i + 1 < gbk.size() && static_cast<unsigned char>(gbk[i + 1]) == 0xAF) {
        return true;
      }
      ++i;
    } else if (c == '{' && gbk.substr(i, 3) == "{$}") {
      return true;
    }
  }
  return false;
}

// Eight bytes at a time: a reply can be megabytes.
bool IsAsciiWithoutZero(std::string_view text) {
  if (std::memchr(text.data(), 0, text.size())) return false;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

Text Query_ReplyToAnsi(Text reply) {
  if (IsAsciiWithoutZero(reply)) return reply;
  return Code_Utf8ToAnsi(reply);
}

Text Query_DecodeEntryText(Text text) {
  // Most times hold no escape at all: then the text is its own result.
  if (IsPassThrough(text) && !HasPlaceholder(text)) return text;
  Text decoded;
  if (!DecodeSimple(text, decoded) || HasPlaceholder(decoded)) return Text_UnescapeUnicode(text);
  return decoded;
}

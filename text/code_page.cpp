#include "text/code_page.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/cp936_character_cache.h"
#include "text/cp936_converter.h"
#include "text/utf8.h"

namespace {

// A text ends at its first zero byte, as a zero-terminated string would.
std::string_view UpToZeroByte(std::string_view text) {
  return text.substr(0, std::min(text.size(), text.find('\0')));
}

// The whole UTF-16LE units of a wide byte set, up to its first zero unit.
std::u16string UnitsUpToZero(std::string_view wide) {
  std::u16string units;
  units.reserve(wide.size() / 2);
  for (size_t i = 0; i + 1 < wide.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(wide[i]) |
                                                static_cast<unsigned char>(wide[i + 1]) << 8);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return units;
}

Bytes ToWideBytes(std::u16string_view units) {
  Bytes wide((units.size() + 1) * 2, '\0');
  for (size_t i = 0; i < units.size(); ++i) {
    wide[2 * i] = static_cast<char>(units[i] & 0xFF);
    wide[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return wide;
}

bool IsAscii(std::string_view text) {
  const char* data = text.data();
  size_t i = 0;
  // Eight bytes at a time, a few words per check.
  for (; i + 32 <= text.size(); i += 32) {
    uint64_t words[4];
    std::memcpy(words, data + i, sizeof words);
    if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL) return false;
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
  }
  return true;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The usual UTF-8 straight to code page 936, from utf8[i] on: ASCII, and
// two- and three-byte characters outside the surrogate range, each looked up
// on its own as the unit-by-unit conversion would. Writes at `write` (never
// more bytes than it reads) and stops at the first byte that starts
// anything else; returns where it stopped writing, and i where it stopped
// reading.
char* ConvertCommonUtf8(std::string_view utf8, size_t& i, char* write) {
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t size = utf8.size();
  while (i < size) {
#if defined(__SSE2__)
    if (i + 16 <= size) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      if (_mm_movemask_epi8(block) == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(write), block);
        write += 16;
        i += 16;
        continue;
      }
    }
#endif
    const unsigned char c = in[i];
    char16_t unit;
    if (c < 0x80) {
      *write++ = static_cast<char>(c);
      ++i;
      continue;
    }
    // A Chinese character first: three bytes whose lead byte needs no range
    // check on the second (E1-EC, EE-EF); E0 and ED rule out overlong and
    // surrogate forms.
    if (c >= 0xE0 && c <= 0xEF && i + 2 < size && IsContinuation(in[i + 1]) &&
        IsContinuation(in[i + 2]) &&
        ((c != 0xE0 && c != 0xED) || (c == 0xE0 ? in[i + 1] >= 0xA0 : in[i + 1] <= 0x9F))) {
      unit = static_cast<char16_t>((c & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 | (in[i + 2] & 0x3F));
      i += 3;
    } else if (c >= 0xC2 && c <= 0xDF && i + 1 < size && IsContinuation(in[i + 1])) {
      unit = static_cast<char16_t>((c & 0x1F) << 6 | (in[i + 1] & 0x3F));
      i += 2;
    } else {
      break;
    }
    write = Cp936Cache_WriteCode(Cp936Cache_UnitCode(unit), write);
  }
  return write;
}

bool IsGbk(int codePage) { return codePage == CodePageGbk || codePage == CodePageAnsi; }

// Canonical pairs whose precomposed character code page 936 has: a base and a
// combining mark that arrive separately still convert to the one character,
// as the composite check of the Windows conversion does. u with a diaeresis
// and a tone mark composes in two steps (u + U+0308, then + the tone).
struct Composition {
  char16_t base, mark, composed;
};
constexpr Composition kCompositions[] = {
    {0x003C, 0x0338, 0x226E}, {0x003D, 0x0338, 0x2260}, {0x003E, 0x0338, 0x226F},
    {0x0061, 0x0300, 0x00E0}, {0x0061, 0x0301, 0x00E1}, {0x0061, 0x0304, 0x0101},
    {0x0061, 0x030C, 0x01CE}, {0x0065, 0x0300, 0x00E8}, {0x0065, 0x0301, 0x00E9},
    {0x0065, 0x0302, 0x00EA}, {0x0065, 0x0304, 0x0113}, {0x0065, 0x030C, 0x011B},
    {0x0069, 0x0300, 0x00EC}, {0x0069, 0x0301, 0x00ED}, {0x0069, 0x0304, 0x012B},
    {0x0069, 0x030C, 0x01D0}, {0x006E, 0x0301, 0x0144}, {0x006E, 0x030C, 0x0148},
    {0x006F, 0x0300, 0x00F2}, {0x006F, 0x0301, 0x00F3}, {0x006F, 0x0304, 0x014D},
    {0x006F, 0x030C, 0x01D2}, {0x0075, 0x0300, 0x00F9}, {0x0075, 0x0301, 0x00FA},
    {0x0075, 0x0304, 0x016B}, {0x0075, 0x0308, 0x00FC}, {0x0075, 0x030C, 0x01D4},
    {0x00FC, 0x0300, 0x01DC}, {0x00FC, 0x0301, 0x01D8}, {0x00FC, 0x0304, 0x01D6},
    {0x00FC, 0x030C, 0x01DA}, {0x0415, 0x0308, 0x0401}, {0x0418, 0x0306, 0x0419},
    {0x0435, 0x0308, 0x0451}, {0x0438, 0x0306, 0x0439}, {0x304B, 0x3099, 0x304C},
    {0x304D, 0x3099, 0x304E}, {0x304F, 0x3099, 0x3050}, {0x3051, 0x3099, 0x3052},
    {0x3053, 0x3099, 0x3054}, {0x3055, 0x3099, 0x3056}, {0x3057, 0x3099, 0x3058},
    {0x3059, 0x3099, 0x305A}, {0x305B, 0x3099, 0x305C}, {0x305D, 0x3099, 0x305E},
    {0x305F, 0x3099, 0x3060}, {0x3061, 0x3099, 0x3062}, {0x3064, 0x3099, 0x3065},
    {0x3066, 0x3099, 0x3067}, {0x3068, 0x3099, 0x3069}, {0x306F, 0x3099, 0x3070},
    {0x306F, 0x309A, 0x3071}, {0x3072, 0x3099, 0x3073}, {0x3072, 0x309A, 0x3074},
    {0x3075, 0x3099, 0x3076}, {0x3075, 0x309A, 0x3077}, {0x3078, 0x3099, 0x3079},
    {0x3078, 0x309A, 0x307A}, {0x307B, 0x3099, 0x307C}, {0x307B, 0x309A, 0x307D},
    {0x309D, 0x3099, 0x309E}, {0x30A6, 0x3099, 0x30F4}, {0x30AB, 0x3099, 0x30AC},
    {0x30AD, 0x3099, 0x30AE}, {0x30AF, 0x3099, 0x30B0}, {0x30B1, 0x3099, 0x30B2},
    {0x30B3, 0x3099, 0x30B4}, {0x30B5, 0x3099, 0x30B6}, {0x30B7, 0x3099, 0x30B8},
    {0x30B9, 0x3099, 0x30BA}, {0x30BB, 0x3099, 0x30BC}, {0x30BD, 0x3099, 0x30BE},
    {0x30BF, 0x3099, 0x30C0}, {0x30C1, 0x3099, 0x30C2}, {0x30C4, 0x3099, 0x30C5},
    {0x30C6, 0x3099, 0x30C7}, {0x30C8, 0x3099, 0x30C9}, {0x30CF, 0x3099, 0x30D0},
    {0x30CF, 0x309A, 0x30D1}, {0x30D2, 0x3099, 0x30D3}, {0x30D2, 0x309A, 0x30D4},
    {0x30D5, 0x3099, 0x30D6}, {0x30D5, 0x309A, 0x30D7}, {0x30D8, 0x3099, 0x30D9},
    {0x30D8, 0x309A, 0x30DA}, {0x30DB, 0x3099, 0x30DC}, {0x30DB, 0x309A, 0x30DD},
    {0x30FD, 0x3099, 0x30FE},
};

bool IsCombiningMark(char16_t unit) {
  return (unit >= 0x0300 && unit <= 0x036F) || unit == 0x3099 || unit == 0x309A;
}

std::u16string Compose(std::u16string_view units) {
  std::u16string out;
  out.reserve(units.size());
  for (char16_t unit : units) {
    if (!out.empty() && IsCombiningMark(unit)) {
      const char16_t base = out.back();
      const auto* found =
          std::find_if(std::begin(kCompositions), std::end(kCompositions),
                       [&](const Composition& c) { return c.base == base && c.mark == unit; });
      if (found != std::end(kCompositions)) {
        out.back() = found->composed;
        continue;
      }
    }
    out.push_back(unit);
  }
  return out;
}

Text GbkFromUnits(std::u16string_view units) {
  Text out;
  Cp936_AppendFromUtf16(units, out);
  return out;
}

}  // namespace

Text Code_Utf8ToAnsi(std::string_view utf8) {
  utf8 = UpToZeroByte(utf8);
  // ASCII reads the same in both: a reply of megabytes is often nothing else.
  if (IsAscii(utf8)) return Text(utf8);
  // No character grows: a malformed piece or a four-byte character gives
  // one "?" per at least one byte.
  Text out(utf8.size(), '\0');
  char* write = out.data();
  std::u16string units;
  std::string piece;
  for (size_t i = 0;;) {
    write = ConvertCommonUtf8(utf8, i, write);
    if (i == utf8.size()) break;
    // What the common path leaves goes the general way, up to the next byte
    // that is no continuation byte: no sequence, whole or malformed, reaches
    // past such a byte, so the pieces convert as the whole text would.
    size_t end = i + 1;
    while (end < utf8.size() && IsContinuation(static_cast<unsigned char>(utf8[end]))) ++end;
    units.clear();
    piece.clear();
    Utf8_AppendUtf16(utf8.substr(i, end - i), units);
    Cp936_AppendFromUtf16(units, piece);
    write = std::copy(piece.begin(), piece.end(), write);
    i = end;
  }
  out.resize(write - out.data());
  return out;
}

Bytes Code_ToWide(std::string_view text, int codePage) {
  std::u16string units;
  text = UpToZeroByte(text);
  if (codePage == CodePageUtf8) {
    Utf8_AppendUtf16(text, units);
  } else if (IsGbk(codePage)) {
    Cp936_AppendUtf16(text, units);
  }
  // Any other code page is refused: the result holds no characters.
  return ToWideBytes(units);
}

Text Code_FromWide(std::string_view wide, int codePage) {
  const std::u16string units = UnitsUpToZero(wide);
  Text out;
  if (codePage == CodePageUtf8) {
    Utf8_AppendFromUtf16(units, out);
  } else if (IsGbk(codePage)) {
    Cp936_AppendFromUtf16(units, out);
  }
  return out;
}

Bytes Code_GbkToWide(std::string_view gbk) { return Code_ToWide(gbk, CodePageGbk); }

Text Code_WideToGbk(std::string_view wide) { return GbkFromUnits(Compose(UnitsUpToZero(wide))); }

std::u16string Code_GbkToUtf16(std::string_view gbk) {
  std::u16string units;
  Cp936_AppendUtf16(gbk, units);
  return units;
}

Text Code_Utf16ToGbk(std::u16string_view units) { return GbkFromUnits(Compose(units)); }

std::string Code_GbkToUtf8(std::string_view gbk) {
  std::string out;
  Utf8_AppendFromUtf16(Code_GbkToUtf16(gbk), out);
  return out;
}

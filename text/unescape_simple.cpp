// The common case of Text_UnescapeUnicode in one pass. A text qualifies when
// it holds only
// - ASCII characters that every step passes through unchanged: not CR or LF
//   (placeholders, line terminators), not the apostrophe (its placeholder),
//   "%" (unescape()), the backslash (literal escapes) or the zero byte (end
//   of text);
// - double-byte characters that make the round trip through one UTF-16 unit
//   unchanged and are neither a line terminator nor "’" (the apostrophe's
//   placeholder);
// - complete \uXXXX escapes of a unit other than zero (which would end the
//   text) and a surrogate (whose pairing the converter sees whole);
// and when the result holds no placeholder that the last step would undo.
// Each step of the general decoder then leaves the characters alone and
// decodes the escapes one by one, which is what happens here.

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/cp936_character_cache.h"
#include "text/unescape_paths.h"

namespace {

constexpr std::array<bool, 128> kPassThrough = [] {
  std::array<bool, 128> table{};
  for (int c = 1; c < 128; ++c) table[c] = true;
  for (const char c : {'\r', '\n', '\'', '%', '\\'}) table[static_cast<unsigned char>(c)] = false;
  return table;
}();

constexpr std::array<int8_t, 256> kHexValues = [] {
  std::array<int8_t, 256> values{};
  values.fill(-1);
  for (int c = 0; c < 10; ++c) values['0' + c] = static_cast<int8_t>(c);
  for (int c = 0; c < 6; ++c) values['a' + c] = values['A' + c] = static_cast<int8_t>(10 + c);
  return values;
}();

// The value of the four hex digits at `digits`, or -1.
int FourHexDigits(const unsigned char* digits) {
  const int a = kHexValues[digits[0]], b = kHexValues[digits[1]];
  const int c = kHexValues[digits[2]], d = kHexValues[digits[3]];
  if ((a | b | c | d) < 0) return -1;
  return a << 12 | b << 8 | c << 4 | d;
}

constexpr unsigned char kQuoteLead = 0xA1, kQuoteTrail = 0xAF;  // "’"

// The end of the run of pass-through ASCII that starts at `from`.
size_t PassThroughRunEnd(const unsigned char* in, size_t from, size_t size) {
  size_t i = from;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a byte of 0x80 or more, or one of the six
  // excluded ASCII bytes, ends the run.
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i stops = _mm_cmpeq_epi8(block, _mm_setzero_si128());
    for (const char c : {'\r', '\n', '\'', '%', '\\'}) {
      stops = _mm_or_si128(stops, _mm_cmpeq_epi8(block, _mm_set1_epi8(c)));
    }
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(stops) | _mm_movemask_epi8(block));
    if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask));
  }
#endif
  while (i < size && in[i] < 0x80 && kPassThrough[in[i]]) ++i;
  return i;
}

}  // namespace

std::optional<Text> Unescape_Simple(std::string_view text) {
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  Text out(size, '\0');  // nothing grows: six bytes of escape give at most two
  char* write = out.data();
  for (size_t i = 0; i < size;) {
    const unsigned char c = in[i];
    if (c < 0x80) {
      if (kPassThrough[c]) {
        const size_t end = PassThroughRunEnd(in, i + 1, size);
        std::memcpy(write, in + i, end - i);
        write += end - i;
        i = end;
        continue;
      }
      if (c != '\\' || size - i < 6 || in[i + 1] != 'u') return std::nullopt;
      const int unit = FourHexDigits(in + i + 2);
      if (unit <= 0 || (unit >= 0xD800 && unit <= 0xDFFF)) return std::nullopt;
      if (unit < 0x80) {
        *write++ = static_cast<char>(unit);
      } else {
        const uint16_t code = Cp936Cache_UnitCode(static_cast<char16_t>(unit));
        if (code == (kQuoteLead << 8 | kQuoteTrail)) return std::nullopt;
        write = Cp936Cache_WriteCode(code, write);
      }
      i += 6;
      continue;
    }
    if (i + 1 == size) return std::nullopt;
    const unsigned char trail = in[i + 1];
    const char16_t unit = Cp936Cache_RoundTripUnit(c, trail);
    if (unit == 0 || unit == 0x2028 || unit == 0x2029 ||
        (c == kQuoteLead && trail == kQuoteTrail)) {
      return std::nullopt;
    }
    std::memcpy(write, in + i, 2);
    write += 2;
    i += 2;
  }
  out.resize(write - out.data());
  // "{$}" would become CR LF. Looked for anywhere, not only where a
  // character starts: a text that has it is rare and goes the general way.
  if (out.find("{$}") != Text::npos) return std::nullopt;
  return out;
}

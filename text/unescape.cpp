// Text_UnescapeUnicode decodes what a script host made of the text: the text
// is prepared with placeholders, read as the body of a single-quoted script
// string literal, run through the standard unescape(), and converted back to
// code page 936. No script engine is involved.
//
// Each step scans for the few characters it acts on and moves the runs in
// between as blocks; the text goes through in pieces that stay in cache.
// Most texts need none of that: Unescape_Simple (unescape_simple.cpp) decodes
// them in one pass, and only the others come here.

#include "text/unescape.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "text/cp936_converter.h"
#include "text/find_any.h"
#include "text/unescape_paths.h"

namespace {

// "’" (A1 AF) stands in for an apostrophe, which would end the literal, and
// "{$}" for a CR LF pair, which may not stand inside it.
constexpr unsigned char kQuoteLead = 0xA1, kQuoteTrail = 0xAF;

// Finds the next of `targets` at or after `from` that starts a character
// (not a trail byte); text.size() when there is none. `boundary` is a
// position known to start a character, at or before `from`, and moves along:
// since any byte below 0x80 ends a character, only the run of high bytes
// just before a hit needs counting, and never behind `boundary`.
template <size_t N>
size_t NextOnBoundary(std::string_view text, size_t from, size_t& boundary,
                      const std::array<unsigned char, N>& targets) {
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  for (size_t j = from;; ++j) {
    j = FindAnyOf(t, j, size, targets);
    if (j == size) return size;
    size_t k = j;
    while (k > boundary && t[k - 1] >= 0x80) --k;
    if ((j - k) % 2 == 0) {
      boundary = j;
      return j;
    }
    boundary = j + 1;  // t[j] is the trail byte of t[j - 1]
  }
}

// Steps that protect the text: every CR LF becomes "{$}", a lone CR at the
// very start goes, every "\u" becomes "%u" (so that unescape(), not the
// literal, decodes it) and every apostrophe becomes "’". These replacements
// keep the text's division into characters, so one pass does what the four
// replacements do one after the other.
void Prepare(std::string_view text, bool atTextStart, std::string& out) {
  static constexpr std::array<unsigned char, 3> kActedOn = {'\r', '\\', '\''};
  out.resize(text.size() * 2);  // an apostrophe doubles; nothing grows more
  char* write = out.data();
  size_t i = 0;
  if (atTextStart && !text.empty() && text[0] == '\r' && !(text.size() >= 2 && text[1] == '\n')) {
    i = 1;
  }
  size_t boundary = i;
  while (true) {
    const size_t j = NextOnBoundary(text, i, boundary, kActedOn);
    std::memcpy(write, text.data() + i, j - i);
    write += j - i;
    if (j == text.size()) break;
    const char c = text[j];
    const char next = j + 1 < text.size() ? text[j + 1] : '\0';
    if (c == '\r' && next == '\n') {
      write = std::copy_n("{$}", 3, write);
      i = j + 2;
    } else if (c == '\\' && next == 'u') {
      write = std::copy_n("%u", 2, write);
      i = j + 2;
    } else if (c == '\'') {
      *write++ = static_cast<char>(kQuoteLead);
      *write++ = static_cast<char>(kQuoteTrail);
      i = j + 1;
    } else {
      *write++ = c;
      i = j + 1;
    }
    boundary = i;
  }
  out.resize(write - out.data());
}

constexpr uint8_t kNotHex = 0xFF;
constexpr std::array<uint8_t, 128> kHexDigits = [] {
  std::array<uint8_t, 128> digits{};
  digits.fill(kNotHex);
  for (int c = 0; c < 10; ++c) digits['0' + c] = static_cast<uint8_t>(c);
  for (int c = 0; c < 6; ++c) digits['a' + c] = digits['A' + c] = static_cast<uint8_t>(10 + c);
  return digits;
}();

// The value of `digits` hex digits at s[at], or -1 when they are not all there.
int HexRun(const char16_t* s, size_t size, size_t at, size_t digits) {
  if (at + digits > size) return -1;
  unsigned value = 0, seen = 0;
  for (size_t k = 0; k < digits; ++k) {
    const char16_t c = s[at + k];
    const unsigned digit = c < 128 ? kHexDigits[c] : kNotHex;
    seen |= digit;
    value = value * 16 + digit;
  }
  return seen == (seen & 0x0F) ? static_cast<int>(value) : -1;
}

bool IsLineTerminator(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }
bool IsOctal(char16_t c) { return c >= '0' && c <= '7'; }

// Runs an in-place pass over units: runs without any of `targets` are moved
// as blocks, and `step` handles each target unit. step(units, size, j,
// write) writes its output at write and returns the index after what it
// read, or npos to stop the pass (s is then left as it was).
template <size_t N, typename Step>
bool InPlacePass(std::u16string& s, const std::array<char16_t, N>& targets, Step step) {
  char16_t* const data = s.data();
  const size_t size = s.size();
  char16_t* write = data;
  size_t i = 0;
  while (true) {
    const size_t j = FindAnyOf(data, i, size, targets);
    if (write != data + i) std::memmove(write, data + i, (j - i) * sizeof(char16_t));
    write += j - i;
    if (j == size) break;
    i = step(data, size, j, write);
    if (i == std::u16string::npos) return false;
  }
  s.resize(write - data);
  return true;
}

// Reads s as the body of a single-quoted literal and leaves its string value
// in s; false when the body would not parse: a line terminator or an
// apostrophe standing in it, or a backslash that escapes a line terminator or
// the closing quote.
bool ReadLiteralBody(std::u16string& s) {
  static constexpr std::array<char16_t, 6> kActedOn = {u'\\', u'\'', u'\n', u'\r', 0x2028, 0x2029};
  const auto step = [](const char16_t* d, size_t size, size_t j, char16_t*& write) -> size_t {
    if (d[j] != u'\\' || j + 1 == size) return std::u16string::npos;
    const char16_t e = d[j + 1];
    size_t next = j + 2;
    switch (e) {
      case u'b':
        *write++ = u'\b';
        break;
      case u'f':
        *write++ = u'\f';
        break;
      case u'n':
        *write++ = u'\n';
        break;
      case u'r':
        *write++ = u'\r';
        break;
      case u't':
        *write++ = u'\t';
        break;
      case u'v':
        *write++ = u'\v';
        break;
      case u'x':
      case u'u': {
        // A short or malformed hex escape is read leniently: the letter stands for itself.
        const size_t digits = e == u'x' ? 2 : 4;
        const int value = HexRun(d, size, next, digits);
        if (value < 0) {
          *write++ = e;
        } else {
          *write++ = static_cast<char16_t>(value);
          next += digits;
        }
        break;
      }
      default:
        if (IsLineTerminator(e)) return std::u16string::npos;
        if (IsOctal(e)) {
          // Legacy octal: up to three digits from 0-3, up to two from 4-7.
          const size_t end = std::min(size, j + 1 + (e <= u'3' ? 3 : 2));
          int value = e - u'0';
          while (next < end && IsOctal(d[next])) value = value * 8 + (d[next++] - u'0');
          *write++ = static_cast<char16_t>(value);
        } else {
          *write++ = e;  // any other escaped character stands for itself
        }
    }
    return next;
  };
  return InPlacePass(s, kActedOn, step);
}

// The standard unescape(), in place: "%uXXXX" and "%XX" decode; any other "%" stays.
void Unescape(std::u16string& s) {
  static constexpr std::array<char16_t, 1> kActedOn = {u'%'};
  const auto step = [](const char16_t* d, size_t size, size_t j, char16_t*& write) -> size_t {
    int value = -1;
    if (j + 1 < size && d[j + 1] == u'u' && (value = HexRun(d, size, j + 2, 4)) >= 0) {
      *write++ = static_cast<char16_t>(value);
      return j + 6;
    }
    if ((value = HexRun(d, size, j + 1, 2)) >= 0) {
      *write++ = static_cast<char16_t>(value);
      return j + 3;
    }
    *write++ = u'%';
    return j + 1;
  };
  InPlacePass(s, kActedOn, step);
}

// Undoes the placeholders in the code page 936 result, in place: every "’"
// becomes an apostrophe, then every "{$}" a CR LF pair (one pass over whole
// characters again doing what the two replacements do).
void RestorePlaceholders(std::string& s) {
  static constexpr std::array<unsigned char, 2> kActedOn = {kQuoteLead, '{'};
  char* const data = s.data();
  const size_t size = s.size();
  char* write = data;
  size_t i = 0, boundary = 0;
  while (true) {
    const size_t j = NextOnBoundary(s, i, boundary, kActedOn);
    if (write != data + i) std::memmove(write, data + i, j - i);
    write += j - i;
    if (j == size) break;
    if (data[j] == '{') {
      if (j + 2 < size && data[j + 1] == '$' && data[j + 2] == '}') {
        *write++ = '\r';
        *write++ = '\n';
        i = j + 3;
      } else {
        *write++ = '{';
        i = j + 1;
      }
    } else if (j + 1 < size && static_cast<unsigned char>(data[j + 1]) == kQuoteTrail) {
      *write++ = '\'';
      i = j + 2;
    } else {
      *write++ = data[j];  // A1 opening another character, or alone at the end
      if (j + 1 < size) *write++ = data[j + 1];
      i = std::min(size, j + 2);
    }
    boundary = i;
  }
  s.resize(write - data);
}

bool IsHexOrU(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'u';
}

// The text is decoded in pieces of about this many bytes, so that the
// working buffers stay in cache however long the text is.
constexpr size_t kPieceSize = 64 * 1024;

// Where the piece that starts at `from` may end: a position p at which no
// step has anything pending. The byte before p is ASCII (so p starts a
// character) and neither a backslash (no escape or "\u" straddles p) nor a
// CR (no CR LF pair does); the byte at p is not a hex digit or "u", so no
// escape of the literal nor any "%" of unescape() can reach across p.
size_t PieceEnd(std::string_view text, size_t from) {
  for (size_t p = from + kPieceSize; p < text.size(); ++p) {
    const auto before = static_cast<unsigned char>(text[p - 1]);
    if (before < 0x80 && before != '\\' && before != '\r' && !IsHexOrU(text[p])) return p;
  }
  return text.size();
}

}  // namespace

Text Unescape_General(std::string_view text) {
  std::string gbk;
  gbk.reserve(text.size());
  std::string prepared;
  std::u16string units;
  char16_t heldHighSurrogate = 0;  // waits for the low half that the next piece may bring
  bool endedAtZero = false;

  for (size_t from = 0; from < text.size();) {
    const size_t to = PieceEnd(text, from);
    Prepare(text.substr(from, to - from), from == 0, prepared);
    units.clear();
    Cp936_AppendUtf16(prepared, units);
    // Even after the text has ended at a decoded zero, the rest must still be
    // a valid literal body, or the whole result is empty.
    if (!ReadLiteralBody(units)) return {};
    from = to;
    if (endedAtZero) continue;
    Unescape(units);
    // The result comes back as a zero-terminated text, so a decoded zero ends it.
    const size_t zero = units.find(u'\0');
    if (zero != std::u16string::npos) {
      units.resize(zero);
      endedAtZero = true;
    }
    if (heldHighSurrogate != 0) units.insert(units.begin(), heldHighSurrogate);
    heldHighSurrogate = 0;
    if (!endedAtZero && from < text.size() && !units.empty() && units.back() >= 0xD800 &&
        units.back() <= 0xDBFF) {
      heldHighSurrogate = units.back();
      units.pop_back();
    }
    Cp936_AppendFromUtf16(units, gbk);
  }
  RestorePlaceholders(gbk);
  return gbk;
}

Text Text_UnescapeUnicode(std::string_view text) {
  if (std::optional<Text> decoded = Unescape_Simple(text)) return std::move(*decoded);
  return Unescape_General(text);
}

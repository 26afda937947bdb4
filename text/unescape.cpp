// Text_UnescapeUnicode decodes what a script host made of the text: the text
// is prepared with placeholders, read as the body of a single-quoted script
// string literal, run through the standard unescape(), and converted back to
// code page 936. Each stage is one pass; no script engine is involved.

#include "text/unescape.h"

#include <algorithm>

#include "text/cp936_converter.h"

namespace {

bool IsLead(unsigned char c) { return c >= 0x80; }

// "’" (A1 AF) stands in for an apostrophe, which would end the literal, and
// "{$}" for a CR LF pair, which may not stand inside it.
constexpr unsigned char kQuoteLead = 0xA1, kQuoteTrail = 0xAF;

// Steps that protect the text: every CR LF becomes "{$}", a lone CR at the
// very start goes, every "\u" becomes "%u" (so unescape(), not the literal,
// decodes it) and every apostrophe becomes "’". These replacements keep the
// text's division into characters, so one pass over whole characters does
// what the four replacements do one after the other.
void Prepare(std::string_view text, bool atTextStart, std::string& out) {
  out.resize(text.size() * 2);  // an apostrophe doubles; nothing grows more
  char* write = out.data();
  size_t i = 0;
  if (atTextStart && text.size() >= 1 && text[0] == '\r' && !(text.size() >= 2 && text[1] == '\n')) {
    i = 1;
  }
  while (i < text.size()) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (IsLead(static_cast<unsigned char>(c))) {
      *write++ = c;
      if (i + 1 < text.size()) *write++ = next;
      i += 2;
    } else if (c == '\r' && next == '\n') {
      write = std::copy_n("{$}", 3, write);
      i += 2;
    } else if (c == '\\' && next == 'u') {
      write = std::copy_n("%u", 2, write);
      i += 2;
    } else if (c == '\'') {
      *write++ = static_cast<char>(kQuoteLead);
      *write++ = static_cast<char>(kQuoteTrail);
      ++i;
    } else {
      *write++ = c;
      ++i;
    }
  }
  out.resize(write - out.data());
}

int HexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of `digits` hex digits at s[at], or -1 when they are not all there.
int HexRun(std::u16string_view s, size_t at, size_t digits) {
  if (at + digits > s.size()) return -1;
  int value = 0;
  for (size_t k = 0; k < digits; ++k) {
    const int digit = HexValue(s[at + k]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool IsLineTerminator(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }
bool IsOctal(char16_t c) { return c >= '0' && c <= '7'; }

// Reads s as the body of a single-quoted literal and leaves its string value
// in s (never longer than the body, so it is written in place); false when the
// body would not parse: a line terminator or an apostrophe standing in it, or
// a backslash that escapes a line terminator or the closing quote.
bool ReadLiteralBody(std::u16string& s) {
  char16_t* write = s.data();
  const size_t size = s.size();
  for (size_t i = 0; i < size; ++i) {
    const char16_t c = s[i];
    if (c != u'\\') {
      if (IsLineTerminator(c) || c == u'\'') return false;
      *write++ = c;
      continue;
    }
    if (++i == size) return false;
    const char16_t e = s[i];
    switch (e) {
      case u'b': *write++ = u'\b'; break;
      case u'f': *write++ = u'\f'; break;
      case u'n': *write++ = u'\n'; break;
      case u'r': *write++ = u'\r'; break;
      case u't': *write++ = u'\t'; break;
      case u'v': *write++ = u'\v'; break;
      case u'x':
      case u'u': {
        // A short or malformed hex escape is read leniently: the letter stands for itself.
        const size_t digits = e == u'x' ? 2 : 4;
        const int value = HexRun(s, i + 1, digits);
        if (value < 0) {
          *write++ = e;
        } else {
          *write++ = static_cast<char16_t>(value);
          i += digits;
        }
        break;
      }
      default:
        if (IsLineTerminator(e)) return false;
        if (IsOctal(e)) {
          // Legacy octal: up to three digits from 0-3, up to two from 4-7.
          const size_t maxDigits = e <= u'3' ? 3 : 2;
          int value = e - u'0';
          for (size_t taken = 1; taken < maxDigits && i + 1 < size && IsOctal(s[i + 1]); ++taken) {
            value = value * 8 + (s[++i] - u'0');
          }
          *write++ = static_cast<char16_t>(value);
        } else {
          *write++ = e;  // any other escaped character stands for itself
        }
    }
  }
  s.resize(write - s.data());
  return true;
}

// The standard unescape(), in place: "%uXXXX" and "%XX" decode; any other "%" stays.
void Unescape(std::u16string& s) {
  char16_t* write = s.data();
  const size_t size = s.size();
  for (size_t i = 0; i < size; ++i) {
    const char16_t c = s[i];
    if (c == u'%') {
      int value = -1;
      if (i + 1 < size && s[i + 1] == u'u' && (value = HexRun(s, i + 2, 4)) >= 0) {
        *write++ = static_cast<char16_t>(value);
        i += 5;
        continue;
      }
      if ((value = HexRun(s, i + 1, 2)) >= 0) {
        *write++ = static_cast<char16_t>(value);
        i += 2;
        continue;
      }
    }
    *write++ = c;
  }
  s.resize(write - s.data());
}

// Undoes the placeholders in the code page 936 result, in place: every "’"
// becomes an apostrophe, then every "{$}" a CR LF pair (again one pass over
// whole characters doing what the two replacements do).
void RestorePlaceholders(std::string& s) {
  char* write = s.data();
  const size_t size = s.size();
  for (size_t i = 0; i < size;) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (IsLead(c)) {
      if (i + 1 < size && c == kQuoteLead && static_cast<unsigned char>(s[i + 1]) == kQuoteTrail) {
        *write++ = '\'';
        i += 2;
      } else {
        *write++ = s[i++];
        if (i < size) *write++ = s[i++];
      }
    } else if (c == '{' && i + 2 < size && s[i + 1] == '$' && s[i + 2] == '}') {
      *write++ = '\r';
      *write++ = '\n';
      i += 3;
    } else {
      *write++ = s[i++];
    }
  }
  s.resize(write - s.data());
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

Text Text_UnescapeUnicode(std::string_view text) {
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

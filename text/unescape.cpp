// Text_UnescapeUnicode decodes what a script host made of the text: the text
// is prepared with placeholders, read as the body of a single-quoted script
// string literal, run through the standard unescape(), and converted back to
// code page 936. Each stage is one pass; no script engine is involved.

#include "text/unescape.h"

#include <optional>

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
std::string Prepare(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  size_t i = 0;
  if (text.size() >= 1 && text[0] == '\r' && !(text.size() >= 2 && text[1] == '\n')) i = 1;
  while (i < text.size()) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (IsLead(static_cast<unsigned char>(c))) {
      out.push_back(c);
      if (i + 1 < text.size()) out.push_back(next);
      i += 2;
    } else if (c == '\r' && next == '\n') {
      out.append("{$}");
      i += 2;
    } else if (c == '\\' && next == 'u') {
      out.append("%u");
      i += 2;
    } else if (c == '\'') {
      out.push_back(static_cast<char>(kQuoteLead));
      out.push_back(static_cast<char>(kQuoteTrail));
      ++i;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
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

// The string value of a single-quoted literal body, or nothing when the body
// would not parse: a line terminator or an apostrophe standing in it, or a
// backslash that escapes a line terminator or the closing quote.
std::optional<std::u16string> ReadLiteralBody(std::u16string_view body) {
  std::u16string out;
  out.reserve(body.size());
  for (size_t i = 0; i < body.size(); ++i) {
    const char16_t c = body[i];
    if (IsLineTerminator(c) || c == u'\'') return std::nullopt;
    if (c != u'\\') {
      out.push_back(c);
      continue;
    }
    if (++i == body.size()) return std::nullopt;
    const char16_t e = body[i];
    switch (e) {
      case u'b': out.push_back(u'\b'); break;
      case u'f': out.push_back(u'\f'); break;
      case u'n': out.push_back(u'\n'); break;
      case u'r': out.push_back(u'\r'); break;
      case u't': out.push_back(u'\t'); break;
      case u'v': out.push_back(u'\v'); break;
      case u'x':
      case u'u': {
        // A short or malformed hex escape is read leniently: the letter stands for itself.
        const size_t digits = e == u'x' ? 2 : 4;
        const int value = HexRun(body, i + 1, digits);
        if (value < 0) {
          out.push_back(e);
        } else {
          out.push_back(static_cast<char16_t>(value));
          i += digits;
        }
        break;
      }
      default:
        if (IsLineTerminator(e)) return std::nullopt;
        if (IsOctal(e)) {
          // Legacy octal: up to three digits from 0-3, up to two from 4-7.
          const size_t maxDigits = e <= u'3' ? 3 : 2;
          int value = e - u'0';
          size_t taken = 1;
          while (taken < maxDigits && i + 1 < body.size() && IsOctal(body[i + 1])) {
            value = value * 8 + (body[++i] - u'0');
            ++taken;
          }
          out.push_back(static_cast<char16_t>(value));
        } else {
          out.push_back(e);  // any other escaped character stands for itself
        }
    }
  }
  return out;
}

// The standard unescape(): "%uXXXX" and "%XX" decode; any other "%" stays.
std::u16string Unescape(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c == u'%') {
      int value = -1;
      if (i + 1 < s.size() && s[i + 1] == u'u' && (value = HexRun(s, i + 2, 4)) >= 0) {
        out.push_back(static_cast<char16_t>(value));
        i += 5;
        continue;
      }
      if ((value = HexRun(s, i + 1, 2)) >= 0) {
        out.push_back(static_cast<char16_t>(value));
        i += 2;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

// Undoes the placeholders in the code page 936 result: every "’" becomes an
// apostrophe, then every "{$}" a CR LF pair (again one pass over whole
// characters doing what the two replacements do).
std::string RestorePlaceholders(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLead(c)) {
      if (i + 1 < text.size()) {
        if (c == kQuoteLead && static_cast<unsigned char>(text[i + 1]) == kQuoteTrail) {
          out.push_back('\'');
        } else {
          out.append(text, i, 2);
        }
        i += 2;
      } else {
        out.push_back(text[i++]);
      }
    } else if (c == '{' && text.substr(i, 3) == "{$}") {
      out.append("\r\n");
      i += 3;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

}  // namespace

Text Text_UnescapeUnicode(std::string_view text) {
  std::u16string body;
  Cp936_AppendUtf16(Prepare(text), body);
  const std::optional<std::u16string> literal = ReadLiteralBody(body);
  if (!literal) return {};
  std::u16string decoded = Unescape(*literal);
  // The result comes back as a zero-terminated text, so a decoded zero ends it.
  decoded.resize(std::min(decoded.size(), decoded.find(u'\0')));
  std::string gbk;
  Cp936_AppendFromUtf16(decoded, gbk);
  return RestorePlaceholders(gbk);
}

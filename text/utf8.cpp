#include "text/utf8.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

char16_t* WriteCodePoint(char32_t cp, char16_t* write) {
  if (cp < 0x10000) {
    *write++ = static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    *write++ = static_cast<char16_t>(0xD800 + (cp >> 10));
    *write++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
  return write;
}

}  // namespace

void Utf8_AppendUtf16(std::string_view utf8, std::u16string& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t size = utf8.size();
  // Room made up front: never more units than bytes (four bytes give two units).
  const size_t oldSize = out.size();
  out.resize(oldSize + size);
  char16_t* write = out.data() + oldSize;
  size_t i = 0;
  while (i < size) {
    const unsigned char c = in[i];
    if (c < 0x80) {
      *write++ = c;
      ++i;
      continue;
    }
    // The usual Chinese character first: three bytes whose lead byte needs no
    // range check on the second (E1-EC, EE-EF).
    if (c >= 0xE1 && c <= 0xEF && c != 0xED && i + 2 < size && IsContinuation(in[i + 1]) &&
        IsContinuation(in[i + 2])) {
      *write++ =
          static_cast<char16_t>((c & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 | (in[i + 2] & 0x3F));
      i += 3;
      continue;
    }
    // The length and the allowed range of the second byte come from the
    // first byte; the second-byte range rules out overlong and surrogate forms.
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, cp = c & 0x0F;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, cp = c & 0x07;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    }
    if (length == 0) {
      *write++ = kReplacement;
      ++i;
      continue;
    }
    size_t taken = 1;
    bool complete = true;
    for (; taken < length; ++taken) {
      if (i + taken >= size) {
        complete = false;
        break;
      }
      const unsigned char next = in[i + taken];
      const bool inRange = taken == 1 ? (next >= low && next <= high) : IsContinuation(next);
      if (!inRange) {
        complete = false;
        break;
      }
      cp = cp << 6 | (next & 0x3F);
    }
    write = complete ? WriteCodePoint(cp, write) : (*write = kReplacement, write + 1);
    i += taken;
  }
  out.resize(write - out.data());
}

void Utf8_AppendFromUtf16(std::u16string_view units, std::string& out) {
  // Room made up front: at most three bytes per unit (a pair's four bytes come from two).
  const size_t oldSize = out.size();
  out.resize(oldSize + units.size() * 3);
  char* write = out.data() + oldSize;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      const bool pair =
          cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
      if (pair) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
      } else {
        cp = kReplacement;
      }
    }
    if (cp < 0x80) {
      *write++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
      *write++ = static_cast<char>(0xC0 | cp >> 6);
      *write++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *write++ = static_cast<char>(0xE0 | cp >> 12);
      *write++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      *write++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *write++ = static_cast<char>(0xF0 | cp >> 18);
      *write++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
      *write++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      *write++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  out.resize(write - out.data());
}

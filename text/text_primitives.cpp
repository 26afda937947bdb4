#include "text/text_primitives.h"

#include <algorithm>

#include "text/text_search.h"

namespace {

size_t ClampCount(int n, size_t size) {
  return n <= 0 ? 0 : std::min(static_cast<size_t>(n), size);
}

bool IsSpaceAt(std::string_view t, size_t i) {
  if (t[i] == ' ') return true;
  return static_cast<unsigned char>(t[i]) == 0xA1 && i + 1 < t.size() &&
         static_cast<unsigned char>(t[i + 1]) == 0xA1;
}

// Byte length of the character that starts at i (a lone lead byte at the end counts as one).
size_t CharLength(std::string_view t, size_t i) {
  return Text_IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() ? 2 : 1;
}

}  // namespace

int Text_Length(std::string_view t) { return static_cast<int>(t.size()); }

int Text_Compare(std::string_view a, std::string_view b) {
  const int c = a.compare(b);  // char_traits<char>::compare orders bytes as unsigned
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Text Text_Left(std::string_view t, int n) { return Text(t.substr(0, ClampCount(n, t.size()))); }

Text Text_Right(std::string_view t, int n) {
  const size_t count = ClampCount(n, t.size());
  return Text(t.substr(t.size() - count));
}

Text Text_Mid(std::string_view t, int p, int n) {
  if (p < 1 || static_cast<size_t>(p) > t.size() || n <= 0) return {};
  return Text(t.substr(static_cast<size_t>(p) - 1, static_cast<size_t>(n)));
}

int Text_Find(std::string_view t, std::string_view s, int start, LetterCase letterCase) {
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= t.size()) return -1;
  TextSearcher searcher(t, s, letterCase);
  const size_t pos = searcher.FindFrom(from);
  return pos == TextSearcher::npos ? -1 : static_cast<int>(pos) + 1;
}

int Text_FindLast(std::string_view t, std::string_view s, std::optional<int> start,
                  LetterCase letterCase) {
  size_t limit = t.size();
  if (start) {
    if (*start <= 1) return -1;
    limit = std::min(limit, static_cast<size_t>(*start) - 1);
  }
  // Parity is counted from the text's first byte, so searching a prefix of it
  // keeps the character boundaries of the whole text.
  TextSearcher searcher(t.substr(0, limit), s, letterCase);
  size_t last = TextSearcher::npos;
  for (size_t pos = searcher.FindFrom(0); pos != TextSearcher::npos;
       pos = searcher.FindFrom(pos + 1)) {
    last = pos;
  }
  return last == TextSearcher::npos ? -1 : static_cast<int>(last) + 1;
}

Text Text_Replace(std::string_view t, std::string_view s, std::string_view r, int start,
                  std::optional<int> count, LetterCase letterCase) {
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  const bool unlimited = !count || *count < 0;
  if (t.empty() || s.empty() || from >= t.size() || (!unlimited && *count == 0)) return Text(t);

  Text out;
  out.reserve(t.size());
  TextSearcher searcher(t, s, letterCase);
  size_t copied = 0;
  size_t pos = searcher.FindFrom(from);
  for (int done = 0; pos != TextSearcher::npos && (unlimited || done < *count); ++done) {
    out.append(t, copied, pos - copied);
    out.append(r);
    copied = pos + s.size();
    pos = searcher.FindFrom(copied);
  }
  out.append(t, copied);
  return out;
}

std::vector<Text> Text_Split(std::string_view t, std::string_view d, std::optional<int> max) {
  std::vector<Text> pieces;
  const size_t limit = !max ? SIZE_MAX : (*max < 0 ? 0 : static_cast<size_t>(*max));
  if (t.empty() || limit == 0) return pieces;
  if (d.empty()) {
    pieces.emplace_back(t);
    return pieces;
  }
  TextSearcher searcher(t, d, LetterCase::Exact);
  size_t begin = 0;
  while (pieces.size() < limit) {
    const size_t pos = searcher.FindFrom(begin);
    if (pos == TextSearcher::npos) {
      // Only the piece after a final delimiter is dropped when it is empty.
      if (begin < t.size()) pieces.emplace_back(t.substr(begin));
      break;
    }
    pieces.emplace_back(t.substr(begin, pos - begin));
    begin = pos + d.size();
  }
  return pieces;
}

Text Text_Trim(std::string_view t) {
  size_t begin = 0;
  while (begin < t.size() && IsSpaceAt(t, begin)) begin += CharLength(t, begin);
  size_t end = begin;  // just past the last character that is not a space
  for (size_t i = begin; i < t.size(); i += CharLength(t, i)) {
    if (!IsSpaceAt(t, i)) end = i + CharLength(t, i);
  }
  return Text(t.substr(begin, end - begin));
}

Text Text_RemoveSpaces(std::string_view t) {
  Text out;
  out.reserve(t.size());
  for (size_t i = 0; i < t.size();) {
    const size_t length = CharLength(t, i);
    if (!IsSpaceAt(t, i)) out.append(t, i, length);
    i += length;
  }
  return out;
}

// Trail bytes are left alone: a trail byte in A-Z is part of a Chinese
// character, and lowering it would turn that into another character.
Text Text_ToLower(std::string_view t) {
  Text out(t);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + ('a' - 'A'));
  }
  return out;
}

// Full-width forms A3 xx stand for the ASCII byte xx - 0x80 and A1 A1 for a
// space; after that the atoi rule applies. A value beyond the 32-bit range
// saturates at the range's end instead of overflowing.
int32_t Text_ToInt(std::string_view t) {
  Text ascii;
  ascii.reserve(t.size());
  for (size_t i = 0; i < t.size();) {
    const auto lead = static_cast<unsigned char>(t[i]);
    if (i + 1 < t.size() && (lead == 0xA3 || lead == 0xA1)) {
      const auto trail = static_cast<unsigned char>(t[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        ascii.push_back(static_cast<char>(trail - 0x80));
        i += 2;
        continue;
      }
      if (lead == 0xA1 && trail == 0xA1) {
        ascii.push_back(' ');
        i += 2;
        continue;
      }
    }
    const size_t length = CharLength(t, i);
    ascii.append(t, i, length);
    i += length;
  }

  size_t i = 0;
  while (i < ascii.size() && (ascii[i] == ' ' || (ascii[i] >= '\t' && ascii[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
  int64_t value = 0;
  const int64_t bound = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = std::min(value * 10 + (ascii[i] - '0'), bound);
  }
  return static_cast<int32_t>(negative ? -value : value);
}

Bytes Text_ToBytes(std::string_view t) { return Bytes(t); }

Text Bytes_ToText(std::string_view b) { return Text(b.substr(0, b.find('\0'))); }

Text Text_Spaces(int n) { return Text(n <= 0 ? 0 : static_cast<size_t>(n), ' '); }

Bytes Bytes_Zeros(int n) { return Bytes(n <= 0 ? 0 : static_cast<size_t>(n), '\0'); }

#include "regex/regex_replacement.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

void AppendGroup(std::u16string& out, std::u16string_view subject, const int* match, int group) {
  const int begin = match[2 * group];
  const int end = match[2 * group + 1];
  if (begin >= 0 && end >= begin) out.append(subject.substr(begin, end - begin));
}

}  // namespace

void Regex_AppendReplacement(std::u16string& out, std::u16string_view replacement,
                             std::u16string_view subject, const int* match, int groupCount) {
  const size_t n = replacement.size();
  size_t i = 0;
  while (i < n) {
    const char16_t c = replacement[i];
    if (c != u'$' || i + 1 >= n) {
      out.push_back(c);
      ++i;
      continue;
    }
    const char16_t d = replacement[i + 1];
    if (d == u'$') {
      out.push_back(u'$');
      i += 2;
    } else if (d == u'&') {
      AppendGroup(out, subject, match, 0);
      i += 2;
    } else if (d == u'`') {
      out.append(subject.substr(0, match[0]));
      i += 2;
    } else if (d == u'\'') {
      out.append(subject.substr(match[1]));
      i += 2;
    } else if (IsDigit(d)) {
      const int one = d - u'0';
      const bool hasSecond = i + 2 < n && IsDigit(replacement[i + 2]);
      const int two = hasSecond ? one * 10 + (replacement[i + 2] - u'0') : 0;
      if (hasSecond && two >= 1 && two <= groupCount) {
        AppendGroup(out, subject, match, two);
        i += 3;
      } else if (one >= 1 && one <= groupCount) {
        AppendGroup(out, subject, match, one);
        i += 2;
      } else {
        out.push_back(u'$');
        ++i;
      }
    } else {
      out.push_back(u'$');
      ++i;
    }
  }
}

#include "regex/regex_dialect.h"

namespace {

// Written with the escapes of PCRE2_ALT_BSUX, which knows \uhhhh and \xhh only.
constexpr std::u16string_view LineTerminators = u"\\n\\r\\u2028\\u2029";
constexpr std::u16string_view WhiteSpaces =
    u"\\t\\n\\x0b\\f\\r \\xa0\\u1680\\u2000-\\u200a\\u2028\\u2029\\u202f"
    u"\\u205f\\u3000\\ufeff";
// Letters that have a meaning after a backslash in the dialect; any other
// escaped letter is the letter itself (PCRE2 would give \a, \e, \h, \K, \Q ...
// meanings of their own or refuse them).
constexpr std::u16string_view EscapeLetters = u"bBdDwWsSfnrtvcxu";

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Length of a repetition count "{n}", "{n,}" or "{n,m}" starting at i, or 0
// when the brace there does not open one.
size_t CountLength(std::u16string_view p, size_t i) {
  size_t j = i + 1;
  size_t digits = 0;
  while (j < p.size() && IsDigit(p[j])) ++j, ++digits;
  if (digits == 0) return 0;
  if (j < p.size() && p[j] == u',') {
    ++j;
    while (j < p.size() && IsDigit(p[j])) ++j;
  }
  if (j < p.size() && p[j] == u'}') return j - i + 1;
  return 0;
}

class Translator {
 public:
  Translator(std::u16string_view pattern, bool multiline) : p_(pattern), multiline_(multiline) {}

  std::u16string Run() {
    out_.reserve(p_.size() + 16);
    size_t i = 0;
    while (i < p_.size()) i = inClass_ ? InClass(i) : OutsideClass(i);
    return std::move(out_);
  }

 private:
  size_t OutsideClass(size_t i) {
    const char16_t c = p_[i];
    switch (c) {
      case u'\\':
        return Escape(i);
      case u'[':
        return OpenClass(i);
      case u'.':
        Emit(u"[^").Emit(LineTerminators).Emit(u"]");
        return i + 1;
      case u'^':
        if (multiline_)
          Emit(u"(?<![^").Emit(LineTerminators).Emit(u"])");
        else
          Emit(u"^");
        return i + 1;
      case u'$':
        if (multiline_)
          Emit(u"(?![^").Emit(LineTerminators).Emit(u"])");
        else
          Emit(u"$");  // end of subject only: PCRE2_DOLLAR_ENDONLY
        return i + 1;
      case u'{': {
        const size_t length = CountLength(p_, i);
        if (length == 0) {
          Emit(u"\\{");
          return i + 1;
        }
        out_.append(p_.substr(i, length));
        return i + length;
      }
      case u'}':
        Emit(u"\\}");
        return i + 1;
      default:
        out_.push_back(c);
        return i + 1;
    }
  }

  size_t OpenClass(size_t i) {
    out_.push_back(u'[');
    ++i;
    if (i < p_.size() && p_[i] == u'^') out_.push_back(p_[i++]);
    // "[]" matches nothing and "[^]" anything (PCRE2_ALLOW_EMPTY_CLASS).
    if (i < p_.size() && p_[i] == u']') {
      out_.push_back(p_[i++]);
      return i;
    }
    inClass_ = true;
    afterClassEscape_ = false;
    return i;
  }

  size_t InClass(size_t i) {
    const char16_t c = p_[i];
    if (c == u'\\') {
      const size_t next = Escape(i);
      afterClassEscape_ = IsClassEscape(i);
      return next;
    }
    // A hyphen next to \d, \w or \s is literal in the dialect; PCRE2 refuses it.
    if (c == u'-' && (afterClassEscape_ || IsClassEscape(i + 1)))
      Emit(u"\\-");
    else if (c == u'[')
      Emit(u"\\[");
    else
      out_.push_back(c);
    if (c == u']') inClass_ = false;
    afterClassEscape_ = false;
    return i + 1;
  }

  bool IsClassEscape(size_t i) const {
    return i + 1 < p_.size() && p_[i] == u'\\' &&
           std::u16string_view(u"dDwWsS").find(p_[i + 1]) != std::u16string_view::npos;
  }

  size_t Escape(size_t i) {
    if (i + 1 >= p_.size()) {
      out_.push_back(u'\\');  // a trailing backslash: PCRE2 refuses it, as the dialect does
      return i + 1;
    }
    const char16_t d = p_[i + 1];
    if (d == u'v') {
      Emit(u"\\x0b");
    } else if (d == u's' && !inClass_) {
      Emit(u"[").Emit(WhiteSpaces).Emit(u"]");
    } else if (d == u's') {
      Emit(WhiteSpaces);
    } else if (d == u'S' && !inClass_) {
      Emit(u"[^").Emit(WhiteSpaces).Emit(u"]");
    } else if (d == u'c' && !inClass_ && !(i + 2 < p_.size() && IsAsciiLetter(p_[i + 2]))) {
      // "\c" without a control letter is a backslash followed by "c".
      Emit(u"\\\\");
      return i + 1;
    } else if (IsAsciiLetter(d) && EscapeLetters.find(d) == std::u16string_view::npos) {
      out_.push_back(d);
    } else {
      out_.push_back(u'\\');
      out_.push_back(d);
    }
    return i + 2;
  }

  Translator& Emit(std::u16string_view s) {
    out_.append(s);
    return *this;
  }

  std::u16string_view p_;
  bool multiline_;
  bool inClass_ = false;
  bool afterClassEscape_ = false;
  std::u16string out_;
};

}  // namespace

std::u16string Regex_TranslatePattern(std::u16string_view pattern, bool multiline) {
  return Translator(pattern, multiline).Run();
}

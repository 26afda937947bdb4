#include "regex/regex_object.h"

#include "regex/regex_dialect.h"
#include "regex/regex_engine.h"
#include "regex/regex_replacement.h"
#include "regex/regex_subject.h"
#include "text/code_page.h"
#include "text/text_between.h"

struct RegexObject::State {
  // Set by the first Create: the pattern as the engine was given it, even
  // when it refused it.
  bool created = false;
  std::u16string pattern;
  std::unique_ptr<RegexEngine> engine;  // null when the pattern was refused
  RegexSubject subject;
  RegexSpans spans;

  const int* Match(int matchIndex) const {
    if (matchIndex < 1 || matchIndex > spans.MatchCount()) return nullptr;
    return spans.Match(matchIndex - 1);
  }

  // The 0-based byte offset of the first occurrence of text in the code page
  // 936 subject, searched from the match's offset in units taken as a 1-based
  // byte position: a character is one or two bytes but one unit, so the
  // search never starts past the match. -2 when the text is not found (an
  // empty text never is).
  int PositionOf(const Text& text, const int* match) const {
    return Text_Find(subject.Gbk(), text, match[0], LetterCase::Exact) - 1;
  }
};

RegexObject::RegexObject() : state_(std::make_unique<State>()) {}
RegexObject::~RegexObject() = default;

bool RegexObject::Create(const Text& pattern, const Text& subject,
                         std::optional<bool> caseSensitive, std::optional<bool> multiline,
                         std::optional<bool> global, std::optional<bool> quotePlaceholder) {
  State& s = *state_;
  s.engine.reset();
  s.spans = RegexSpans{};
  s.created = true;

  const Text written = quotePlaceholder.value_or(false) ? Text_WithQuotes(pattern) : pattern;
  // A zero byte ends the pattern, as it ends every text.
  s.pattern = Code_GbkToUtf16(Bytes_ToText(written));
  s.subject.Assign(subject);

  s.engine = RegexEngine::Compile(Regex_TranslatePattern(s.pattern, multiline.value_or(true)),
                                  !caseSensitive.value_or(false));
  if (!s.engine) return false;
  s.spans = s.engine->FindAll(s.subject.Units(), global.value_or(true));
  return true;
}

int RegexObject::MatchCount() const { return state_->spans.MatchCount(); }

Text RegexObject::SubMatchText(int matchIndex, int groupIndex, int* position) const {
  const State& s = *state_;
  const int* match = s.Match(matchIndex);
  if (!match || groupIndex < 1 || groupIndex > s.spans.groupCount) {
    if (position) *position = -2;
    return {};
  }
  const Text text = s.subject.Slice(match[2 * groupIndex], match[2 * groupIndex + 1]);
  if (position) *position = s.PositionOf(text, match);
  return text;
}

Text RegexObject::MatchText(int matchIndex, int* position) const {
  const State& s = *state_;
  const int* match = s.Match(matchIndex);
  if (!match) {
    if (position) *position = -2;
    return {};
  }
  const Text text = s.subject.Slice(match[0], match[1], RegexSubject::Conversion::Folded);
  if (position) *position = s.PositionOf(text, match);
  return text;
}

int RegexObject::SubMatchCount() const {
  return state_->spans.MatchCount() > 0 ? state_->spans.groupCount : 0;
}

Text RegexObject::GetPattern() const {
  return state_->created ? Code_Utf16ToGbk(state_->pattern) : Text();
}

Text RegexObject::ReplaceMatches(const Text& replacement) const {
  const State& s = *state_;
  if (!s.engine) return {};
  const std::u16string units = Code_GbkToUtf16(Bytes_ToText(replacement));
  const std::u16string_view subject = s.subject.Units();
  std::u16string out;
  out.reserve(subject.size());
  int copied = 0;
  for (int i = 0; i < s.spans.MatchCount(); ++i) {
    const int* match = s.spans.Match(i);
    out.append(subject.substr(copied, match[0] - copied));
    Regex_AppendReplacement(out, units, subject, match, s.spans.groupCount);
    copied = match[1];
  }
  out.append(subject.substr(copied));
  return Code_Utf16ToGbk(out);
}

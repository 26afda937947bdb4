#pragma once
// The program's regular-expression object over PCRE2's 16-bit library, with
// an ECMAScript-like dialect, 1-based match and group indices, code page 936
// texts in and out, and silence on failure.

#include <memory>
#include <optional>

#include "text/text_primitives.h"

class RegexObject {
 public:
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject&) = delete;
  RegexObject& operator=(const RegexObject&) = delete;

  // Compiles pattern and matches it against subject, replacing what the last
  // call left. Omitted flags: case-insensitive, multi-line, global, pattern
  // used as written. False when the pattern is refused.
  bool Create(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive = {},
              std::optional<bool> multiline = {}, std::optional<bool> global = {},
              std::optional<bool> quotePlaceholder = {});

  int MatchCount() const;
  // Group groupIndex of match matchIndex, both 1-based; empty when out of range.
  // position, when given, receives the 0-based byte offset in the subject, or -2.
  Text SubMatchText(int matchIndex, int groupIndex, int* position = nullptr) const;
  Text MatchText(int matchIndex, int* position = nullptr) const;
  int SubMatchCount() const;
  Text GetPattern() const;
  Text ReplaceMatches(const Text& replacement) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

#pragma once
// A compiled pattern on PCRE2's 16-bit library and the global match loop.
//
// Matching never fails loudly and never runs away: a match limit, a heap
// limit for the interpreter and a large JIT stack bound every search, and
// when a search gives up the matches found before it stand.

#include <memory>
#include <string_view>
#include <vector>

// The spans of one search: for each match, groupCount + 1 pairs of UTF-16
// offsets (start, end), the whole match first; -1, -1 for a group that took
// no part in the match.
struct RegexSpans {
  int groupCount = 0;
  std::vector<int> offsets;

  int MatchCount() const { return static_cast<int>(offsets.size() / PairsPerMatch()); }
  size_t PairsPerMatch() const { return 2 * (static_cast<size_t>(groupCount) + 1); }
  const int* Match(int index) const { return offsets.data() + index * PairsPerMatch(); }
};

class RegexEngine {
 public:
  // Null when PCRE2 refuses the translated pattern.
  static std::unique_ptr<RegexEngine> Compile(std::u16string_view pcrePattern, bool caseless);
  ~RegexEngine();
  RegexEngine(const RegexEngine&) = delete;
  RegexEngine& operator=(const RegexEngine&) = delete;

  // Matches left to right without overlap; after an empty match the next
  // search starts one character (a whole surrogate pair) further on. With
  // global false, at most the first match.
  RegexSpans FindAll(std::u16string_view subject, bool global) const;

 private:
  struct Handles;
  explicit RegexEngine(std::unique_ptr<Handles> handles);
  std::unique_ptr<Handles> handles_;
  int groupCount_ = 0;
};

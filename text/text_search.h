#pragma once
// Searching code page 936 text so that no match ever begins on a trail byte.
//
// The search itself is memmem (or a folding loop when ASCII case is ignored);
// a candidate is then checked for lying on a character boundary. Any byte
// below 0x80 ends a character (it is either a character or a trail byte), so
// the check only walks back over the run of high bytes before the candidate,
// and never past a boundary it has already established: a whole run of
// searches over one text costs one pass, however many candidates it rejects.

#include <cstddef>
#include <string_view>

#include "text/text_primitives.h"

class TextSearcher {
 public:
  static constexpr size_t npos = std::string_view::npos;

  TextSearcher(std::string_view text, std::string_view needle, LetterCase letterCase);

  // 0-based offset of the first occurrence at or after from that begins on a
  // character boundary; npos when there is none or the needle is empty.
  size_t FindFrom(size_t from);

 private:
  size_t CandidateFrom(size_t from) const;
  bool FoldedMatchAt(size_t pos) const;
  bool IsBoundary(size_t pos);

  std::string_view text_;
  std::string_view needle_;
  LetterCase letterCase_;
  size_t knownBoundary_ = 0;  // a character is known to start here
};

// Whether byte c opens a two-byte character.
inline bool Text_IsLeadByte(unsigned char c) { return c >= 0x80; }

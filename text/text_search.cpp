#include "text/text_search.h"

#include <cstring>

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

}  // namespace

TextSearcher::TextSearcher(std::string_view text, std::string_view needle, LetterCase letterCase)
    : text_(text), needle_(needle), letterCase_(letterCase) {}

size_t TextSearcher::FindFrom(size_t from) {
  if (needle_.empty()) return npos;
  if (from < knownBoundary_) knownBoundary_ = 0;  // an earlier offset: start the parity over
  while (true) {
    size_t pos = CandidateFrom(from);
    if (pos == npos) return npos;
    if (IsBoundary(pos)) return pos;
    from = pos + 1;
  }
}

size_t TextSearcher::CandidateFrom(size_t from) const {
  if (from > text_.size() || text_.size() - from < needle_.size()) return npos;
  const char* base = text_.data();
  if (letterCase_ == LetterCase::Exact) {
    const void* hit =
        needle_.size() == 1
            ? std::memchr(base + from, needle_[0], text_.size() - from)
            : memmem(base + from, text_.size() - from, needle_.data(), needle_.size());
    return hit ? static_cast<const char*>(hit) - base : npos;
  }
  const unsigned char first = FoldAscii(static_cast<unsigned char>(needle_[0]));
  const size_t last = text_.size() - needle_.size();
  for (size_t pos = from; pos <= last; ++pos) {
    if (FoldAscii(static_cast<unsigned char>(base[pos])) == first && FoldedMatchAt(pos)) return pos;
  }
  return npos;
}

// Folds only bytes that are ASCII characters of the needle: the two bytes of a
// double-byte character are compared exactly, since a trail byte that happens
// to be a letter belongs to a different character in each case.
bool TextSearcher::FoldedMatchAt(size_t pos) const {
  const auto* t = reinterpret_cast<const unsigned char*>(text_.data()) + pos;
  const auto* n = reinterpret_cast<const unsigned char*>(needle_.data());
  size_t i = 0;
  while (i < needle_.size()) {
    if (Text_IsLeadByte(n[i])) {
      if (t[i] != n[i]) return false;
      if (i + 1 < needle_.size() && t[i + 1] != n[i + 1]) return false;
      i += 2;
    } else {
      if (FoldAscii(t[i]) != FoldAscii(n[i])) return false;
      ++i;
    }
  }
  return true;
}

bool TextSearcher::IsBoundary(size_t pos) {
  const auto* t = reinterpret_cast<const unsigned char*>(text_.data());
  size_t highRun = 0;
  size_t i = pos;
  while (i > knownBoundary_ && Text_IsLeadByte(t[i - 1])) {
    --i;
    ++highRun;
  }
  // The run of high bytes starts on a boundary (after a low byte or at the
  // known boundary), so it is made of whole pairs exactly when it is even.
  const bool boundary = highRun % 2 == 0;
  knownBoundary_ = boundary ? pos : pos + 1;
  return boundary;
}

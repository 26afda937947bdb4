#pragma once
// The subject of a search in both of its forms: the code page 936 text and
// the UTF-16 units that the engine reads, with a cheap way back from a span of
// units to code page 936 text.
//
// The units are those that Code_GbkToUtf16 makes of the text. For text whose
// every character is ASCII or a pair that converts to one unit and back to
// the same pair (any well-formed code page 936 text), they are put together
// here character by character from a cache of those conversions: a span of
// units is then a slice of the original bytes, and reading a group costs no
// conversion at all. Any other text is converted whole, and each span is
// converted back as the units say.
//
// The way from a unit to its byte offset is cheap to build, as every search
// builds it over what may be megabytes: in ASCII text the two are equal, and
// otherwise the offset of every kCheckpointUnits-th unit is kept, from which
// a few characters are counted on.

#include <string>
#include <string_view>
#include <vector>

#include "text/text_primitives.h"

class RegexSubject {
 public:
  // The text is read up to its first zero byte, as a zero-terminated text is.
  void Assign(std::string_view gbk);

  std::u16string_view Units() const { return std::u16string_view(units_).substr(0, unitCount_); }

  // How a span goes back to code page 936 when it is not a plain slice:
  // Folded goes through Code_WideToGbk (which folds a base character and a
  // combining mark into one), Plain through Code_Utf16ToGbk.
  enum class Conversion { Plain, Folded };
  // The units [begin, end) as code page 936 text.
  Text Slice(int begin, int end, Conversion conversion = Conversion::Plain) const;
  // The whole subject as code page 936 text, as converted back from the units.
  const Text& Gbk() const;

 private:
  bool AssembleByCharacters();
  char16_t PairUnit(unsigned char lead, unsigned char trail);
  // Byte offset of unit `unit` of a sliceable subject.
  size_t ByteOffset(size_t unit) const;
  // The byte offset `units` characters on from byte offset `from`.
  size_t CountOn(size_t from, size_t units) const;

  static constexpr size_t kCheckpointUnits = 64;

  Text text_;
  // The first unitCount_ units are the subject's. Both buffers only grow, so
  // that the next subject of a similar size is written without clearing them.
  std::u16string units_;
  size_t unitCount_ = 0;
  // Offset in text_ of unit i * kCheckpointUnits; unused when the text is
  // all ASCII or was converted whole (not sliceable).
  std::vector<size_t> checkpoints_;
  bool sliceable_ = false;
  bool allAscii_ = false;
  mutable Text gbk_;
  mutable bool gbkBuilt_ = false;
  // The unit of each two-byte character met so far, indexed by its bytes:
  // 0 while unknown, NoSingleUnit when it does not make one unit that
  // converts back to it. Kept across subjects, as it does not depend on them.
  std::vector<char16_t> pairUnits_;
  int asciiIsIdentity_ = -1;  // -1 until checked once
};

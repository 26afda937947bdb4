#pragma once
// The subject of a search in both of its forms: the code page 936 text and
// the UTF-16 units that the engine reads, with a cheap way back from a span of
// units to code page 936 text.
//
// When every character of the text converts to one unit and back to the same
// bytes (true of any well-formed code page 936 text), a span of units is a
// slice of the original bytes, so reading a group costs no conversion.
// Otherwise each span is converted back as the units say.

#include <string>
#include <string_view>
#include <vector>

#include "text/text_primitives.h"

class RegexSubject {
 public:
  // The text is read up to its first zero byte, as a zero-terminated text is.
  void Assign(std::string_view gbk);

  std::u16string_view Units() const { return units_; }
  // How a span goes back to code page 936 when it is not a plain slice:
  // Folded first folds a base character and its combining mark into one, as
  // Code_WideToGbk does; Plain converts unit by unit, as Code_Utf16ToGbk does.
  enum class Conversion { Plain, Folded };
  // The units [begin, end) as code page 936 text.
  Text Slice(int begin, int end, Conversion conversion = Conversion::Plain) const;
  // The whole subject as code page 936 text, as converted back from the units.
  const Text& Gbk() const;

 private:
  void BuildByteOffsets() const;
  bool UnitMatchesBytes(char16_t unit, std::string_view bytes) const;

  Text text_;
  std::u16string units_;
  // Offsets of unit i in text_, with one more entry for the end; empty when
  // the units do not map one to one onto the characters of text_.
  mutable std::vector<int> byteOffsets_;
  mutable bool offsetsBuilt_ = false;
  mutable Text gbk_;
  mutable bool gbkBuilt_ = false;
  // Code page 936 form of each BMP unit met so far: bytes in the low 16 bits,
  // byte count in bits 16..17, 0 while unknown, 3 << 16 when it is not one
  // or two bytes. Kept across subjects: the table does not depend on them.
  mutable std::vector<uint32_t> unitForms_;
};

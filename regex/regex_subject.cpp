#include "regex/regex_subject.h"

#include <algorithm>
#include <bit>

#include "text/code_page.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "a wide byte set is UTF-16LE, read here in place");

constexpr char16_t UnknownUnit = 0;
constexpr char16_t NoSingleUnit = 0xFFFF;

std::string_view WideBytes(std::u16string_view units) {
  return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

std::u16string_view UpToZero(std::u16string_view units) {
  return units.substr(0, std::min(units.size(), units.find(u'\0')));
}

// Lead bytes of code page 936; 0x80 (the euro sign) and 0xFF stand alone.
bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

bool ConvertsAsciiUnchanged() {
  std::string ascii;
  std::u16string expected;
  for (char16_t c = 1; c < 0x80; ++c) {
    ascii.push_back(static_cast<char>(c));
    expected.push_back(c);
  }
  return Code_GbkToUtf16(ascii) == expected && Code_Utf16ToGbk(expected) == ascii;
}

}  // namespace

void RegexSubject::Assign(std::string_view gbk) {
  text_.assign(gbk.substr(0, std::min(gbk.size(), gbk.find('\0'))));
  gbk_.clear();
  gbkBuilt_ = false;
  if (!AssembleByCharacters()) {
    units_ = std::u16string(UpToZero(Code_GbkToUtf16(text_)));
    byteOffsets_.clear();
  }
}

char16_t RegexSubject::PairUnit(unsigned char lead, unsigned char trail) {
  if (pairUnits_.empty()) pairUnits_.assign(0x10000, UnknownUnit);
  char16_t& unit = pairUnits_[lead << 8 | trail];
  if (unit == UnknownUnit) {
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const std::u16string units = Code_GbkToUtf16(std::string_view(pair, 2));
    const bool single = units.size() == 1 && units[0] >= 0x80 &&
                        !(units[0] >= 0xD800 && units[0] <= 0xDFFF) && units[0] != NoSingleUnit;
    unit = single && Code_Utf16ToGbk(units) == std::string_view(pair, 2) ? units[0] : NoSingleUnit;
  }
  return unit;
}

bool RegexSubject::AssembleByCharacters() {
  if (asciiIsIdentity_ < 0) asciiIsIdentity_ = ConvertsAsciiUnchanged() ? 1 : 0;
  if (asciiIsIdentity_ == 0) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
  const size_t size = text_.size();
  // Sized for the worst case (all ASCII) and written through pointers: this
  // loop is most of the cost of a search over a long reply.
  units_.resize(size);
  byteOffsets_.resize(size + 1);
  char16_t* unit = units_.data();
  int* offset = byteOffsets_.data();
  size_t i = 0;
  while (i < size) {
    *offset++ = static_cast<int>(i);
    if (bytes[i] < 0x80) {
      *unit++ = bytes[i++];
      continue;
    }
    if (!IsLeadByte(bytes[i]) || i + 1 >= size || !IsTrailByte(bytes[i + 1])) return false;
    const char16_t pairUnit = PairUnit(bytes[i], bytes[i + 1]);
    if (pairUnit == NoSingleUnit) return false;
    *unit++ = pairUnit;
    i += 2;
  }
  *offset++ = static_cast<int>(size);
  units_.resize(unit - units_.data());
  byteOffsets_.resize(offset - byteOffsets_.data());
  return true;
}

Text RegexSubject::Slice(int begin, int end, Conversion conversion) const {
  if (begin < 0 || end < begin || static_cast<size_t>(end) > units_.size()) return {};
  if (!byteOffsets_.empty())
    return text_.substr(byteOffsets_[begin], byteOffsets_[end] - byteOffsets_[begin]);
  const std::u16string_view span = std::u16string_view(units_).substr(begin, end - begin);
  if (conversion == Conversion::Folded) return Code_WideToGbk(WideBytes(span));
  return Code_Utf16ToGbk(span);
}

const Text& RegexSubject::Gbk() const {
  if (!gbkBuilt_) {
    gbk_ = byteOffsets_.empty() ? Code_WideToGbk(WideBytes(units_)) : text_;
    gbkBuilt_ = true;
  }
  return gbk_;
}

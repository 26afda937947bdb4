#include "regex/regex_subject.h"

#include <algorithm>
#include <bit>

#include "text/code_page.h"

namespace {

constexpr uint32_t UnknownForm = 0;
constexpr uint32_t OddForm = 3u << 16;

uint32_t PackForm(const Text& bytes) {
  if (bytes.size() == 1) return (1u << 16) | static_cast<unsigned char>(bytes[0]);
  if (bytes.size() == 2)
    return (2u << 16) | (static_cast<unsigned char>(bytes[0]) << 8) |
           static_cast<unsigned char>(bytes[1]);
  return OddForm;
}

static_assert(std::endian::native == std::endian::little,
              "a wide byte set is UTF-16LE, read here in place");

std::string_view WideBytes(std::u16string_view units) {
  return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

// Lead bytes of code page 936; 0x80 (the euro sign) and 0xFF stand alone.
bool IsLeadByte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x81 && value <= 0xFE;
}

std::u16string_view UpToZero(std::u16string_view units) {
  return units.substr(0, std::min(units.size(), units.find(u'\0')));
}

}  // namespace

void RegexSubject::Assign(std::string_view gbk) {
  text_.assign(gbk.substr(0, std::min(gbk.size(), gbk.find('\0'))));
  units_ = std::u16string(UpToZero(Code_GbkToUtf16(text_)));
  byteOffsets_.clear();
  offsetsBuilt_ = false;
  gbk_.clear();
  gbkBuilt_ = false;
}

bool RegexSubject::UnitMatchesBytes(char16_t unit, std::string_view bytes) const {
  if (unit < 0x80) return bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) == unit;
  if (unit >= 0xD800 && unit <= 0xDFFF) return false;
  if (unitForms_.empty()) unitForms_.assign(0x10000, UnknownForm);
  uint32_t& form = unitForms_[unit];
  if (form == UnknownForm) {
    const char16_t one[1] = {unit};
    form = PackForm(Code_Utf16ToGbk(std::u16string_view(one, 1)));
  }
  if (form == OddForm || (form >> 16) != bytes.size()) return false;
  const uint32_t packed = bytes.size() == 1 ? static_cast<unsigned char>(bytes[0])
                                            : (static_cast<unsigned char>(bytes[0]) << 8) |
                                                  static_cast<unsigned char>(bytes[1]);
  return (form & 0xFFFF) == packed;
}

void RegexSubject::BuildByteOffsets() const {
  offsetsBuilt_ = true;
  std::vector<int> offsets;
  offsets.reserve(units_.size() + 1);
  size_t byte = 0;
  for (const char16_t unit : units_) {
    if (byte >= text_.size()) return;
    const size_t length = IsLeadByte(text_[byte]) ? 2 : 1;
    if (byte + length > text_.size() ||
        !UnitMatchesBytes(unit, std::string_view(text_).substr(byte, length)))
      return;
    offsets.push_back(static_cast<int>(byte));
    byte += length;
  }
  if (byte != text_.size()) return;
  offsets.push_back(static_cast<int>(byte));
  byteOffsets_ = std::move(offsets);
}

Text RegexSubject::Slice(int begin, int end, Conversion conversion) const {
  if (begin < 0 || end < begin || static_cast<size_t>(end) > units_.size()) return {};
  if (!offsetsBuilt_) BuildByteOffsets();
  if (!byteOffsets_.empty())
    return text_.substr(byteOffsets_[begin], byteOffsets_[end] - byteOffsets_[begin]);
  const std::u16string_view span = std::u16string_view(units_).substr(begin, end - begin);
  if (conversion == Conversion::Folded) return Code_WideToGbk(WideBytes(span));
  return Code_Utf16ToGbk(span);
}

const Text& RegexSubject::Gbk() const {
  if (!gbkBuilt_) {
    if (!offsetsBuilt_) BuildByteOffsets();
    gbk_ = byteOffsets_.empty() ? Code_WideToGbk(WideBytes(units_)) : text_;
    gbkBuilt_ = true;
  }
  return gbk_;
}

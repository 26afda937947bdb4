#include "regex/regex_subject.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/code_page.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "a wide byte set is UTF-16LE, read here in place");

constexpr char16_t UnknownUnit = 0;
constexpr char16_t NoSingleUnit = 0xFFFF;

std::string_view WideBytes(std::u16string_view units) {
  return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
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
  sliceable_ = AssembleByCharacters();
  if (!sliceable_) {
    units_ = Code_GbkToUtf16(text_);  // text_ holds no zero byte
    unitCount_ = units_.size();
  }
}

char16_t RegexSubject::PairUnit(unsigned char lead, unsigned char trail) {
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
  if (pairUnits_.empty()) pairUnits_.assign(0x10000, UnknownUnit);
  const char16_t* pairTable = pairUnits_.data();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
  const size_t size = text_.size();
  // Sized for the worst case (all ASCII) and written through pointers: this
  // loop is most of the cost of a search over a long reply.
  if (units_.size() < size) units_.resize(size);
  checkpoints_.clear();
  char16_t* const firstUnit = units_.data();
  char16_t* unit = firstUnit;
  size_t nextCheckpoint = 0;  // the unit whose offset is to be kept next
  allAscii_ = true;
  size_t i = 0;
  while (i < size) {
#if defined(__SSE2__)
    // Sixteen ASCII bytes at once, each one unit.
    if (i + 16 <= size) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
      if (_mm_movemask_epi8(block) == 0) {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(unit), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(unit + 8), _mm_unpackhi_epi8(block, zero));
        const size_t first = static_cast<size_t>(unit - firstUnit);
        for (; nextCheckpoint < first + 16; nextCheckpoint += kCheckpointUnits) {
          checkpoints_.push_back(i + (nextCheckpoint - first));
        }
        unit += 16;
        i += 16;
        continue;
      }
    }
#endif
    if (static_cast<size_t>(unit - firstUnit) == nextCheckpoint) {
      checkpoints_.push_back(i);
      nextCheckpoint += kCheckpointUnits;
    }
    if (bytes[i] < 0x80) {
      *unit++ = bytes[i++];
      continue;
    }
    // Any byte of 0x80 or more is looked up with the byte after it: a byte
    // that is not a lead byte, or a lead byte without a trail byte, makes
    // no single unit there and sends the subject to the whole conversion.
    if (i + 1 >= size) return false;
    char16_t pairUnit = pairTable[bytes[i] << 8 | bytes[i + 1]];
    if (pairUnit == UnknownUnit) pairUnit = PairUnit(bytes[i], bytes[i + 1]);
    if (pairUnit == NoSingleUnit) return false;
    *unit++ = pairUnit;
    allAscii_ = false;
    i += 2;
  }
  unitCount_ = unit - firstUnit;
  return true;
}

size_t RegexSubject::CountOn(size_t from, size_t units) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
  size_t at = from;
  while (units >= 8 && at + 8 <= text_.size()) {
    uint64_t word;
    std::memcpy(&word, bytes + at, 8);
    if (word & 0x8080808080808080ULL) break;
    at += 8;
    units -= 8;
  }
  for (; units > 0; --units) at += bytes[at] < 0x80 ? 1 : 2;
  return at;
}

size_t RegexSubject::ByteOffset(size_t unit) const {
  if (allAscii_) return unit;
  if (unit == unitCount_) return text_.size();
  return CountOn(checkpoints_[unit / kCheckpointUnits], unit % kCheckpointUnits);
}

Text RegexSubject::Slice(int begin, int end, Conversion conversion) const {
  if (begin < 0 || end < begin || static_cast<size_t>(end) > unitCount_) return {};
  if (sliceable_) {
    const size_t first = ByteOffset(begin);
    // A group is mostly short: counting on from its start beats a second look-up.
    const size_t length = static_cast<size_t>(end - begin);
    const size_t last = length < kCheckpointUnits ? CountOn(first, length) : ByteOffset(end);
    return text_.substr(first, last - first);
  }
  const std::u16string_view span = Units().substr(begin, end - begin);
  if (conversion == Conversion::Folded) return Code_WideToGbk(WideBytes(span));
  return Code_Utf16ToGbk(span);
}

const Text& RegexSubject::Gbk() const {
  if (!gbkBuilt_) {
    gbk_ = sliceable_ ? text_ : Code_WideToGbk(WideBytes(Units()));
    gbkBuilt_ = true;
  }
  return gbk_;
}

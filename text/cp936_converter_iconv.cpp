// Code page 936 from glibc iconv. Asking iconv character by character would
// be slow, so its answers are read into two tables that the conversions
// index: a row of double-byte codes (one lead byte) or a block of 256 UTF-16
// units at a time, with one iconv call, the first time a conversion meets a
// character of it. A run pays only for the characters its texts use, which
// keeps the start of every program cheap.

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "text/cp936_converter.h"

namespace {

constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr unsigned kTrailCount = kLastTrail - kFirstTrail + 1;
constexpr unsigned kLeadCount = kLastLead - kFirstLead + 1;
constexpr char16_t kUnmapped = 0;  // U+0000 is never the value of a double-byte code

bool IsTrail(unsigned char c) { return c >= kFirstTrail && c <= kLastTrail && c != 0x7F; }

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (IsOpen()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts records of `recordSize` bytes, each a character followed by a
  // line feed, into out: the output of each record followed by the line
  // feed in the output's form, `separator`. iconv stops at the start of a
  // character it refuses (with //IGNORE it passes over them, but may still
  // stop at the end of an internal chunk): the call goes on from there, and
  // where it made no progress, that record gives nothing but its separator.
  void ConvertRecords(std::string_view in, size_t recordSize, std::string_view separator,
                      std::string& out) {
    char* inCursor = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    out.resize(in.size() * 4);  // no character grows more than fourfold here
    char* outCursor = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
      const size_t before = inLeft;
      if (iconv(handle_, &inCursor, &inLeft, &outCursor, &outLeft) != static_cast<size_t>(-1)) {
        break;
      }
      if (inLeft != before) continue;  // stopped after some progress: go on from there
      // Stopped at a record it cannot convert: that record maps to nothing.
      const size_t skip = std::min(inLeft, recordSize);
      inCursor += skip;
      inLeft -= skip;
      outCursor = std::copy(separator.begin(), separator.end(), outCursor);
      outLeft -= separator.size();
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft);
  }

 private:
  iconv_t handle_;
};

constexpr std::string_view kLineFeedCp936 = "\n";
constexpr std::string_view kLineFeedUtf16 = {"\n\0", 2};

// Calls `each` with the output of every record in turn: the pieces between
// separators. The separator is one unit of the output, so it is looked for
// only where a unit starts.
template <typename Each>
void ForEachRecord(std::string_view converted, std::string_view separator, Each each) {
  const size_t unitSize = separator.size();
  size_t start = 0;
  for (size_t i = converted.find('\n'); i != std::string_view::npos;
       i = converted.find('\n', i + 1)) {
    if ((i - start) % unitSize != 0 || converted.substr(i, unitSize) != separator) continue;
    each(converted.substr(start, i - start));
    start = i + unitSize;
  }
}

// The Windows mappings, whatever this iconv says (glibc already agrees).
struct WindowsMapping {
  unsigned code;
  char16_t unit;
};
constexpr WindowsMapping kWindowsMappings[] = {
    {0x80, 0x20AC}, {0xA1AA, 0x2014}, {0xA1A4, 0x00B7}, {0xA1A1, 0x3000}};

class Tables {
 public:
  // Unicode of the code lead, trail (lead and trail in range): kUnmapped when
  // the code page lacks it.
  char16_t ToUnicode(unsigned lead, unsigned trail) {
    const unsigned row = lead - kFirstLead;
    if (!rowReady_[row].load(std::memory_order_acquire)) BuildRow(row);
    return toUnicode_[row * kTrailCount + (trail - kFirstTrail)];
  }

  // Code page bytes of a unit: 0 unmapped, below 0x100 one byte, else lead << 8 | trail.
  uint16_t FromUnicode(char16_t unit) {
    const unsigned block = unit >> 8;
    if (!blockReady_[block].load(std::memory_order_acquire)) BuildBlock(block);
    return fromUnicode_[unit];
  }

 private:
  // The codes of one lead byte, each followed by a line feed, go to iconv
  // in one call.
  void BuildRow(unsigned row) {
    std::lock_guard<std::mutex> lock(building_);
    if (rowReady_[row].load(std::memory_order_relaxed)) return;
    const char lead = static_cast<char>(kFirstLead + row);
    std::string codes;
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      if (trail != 0x7F) codes += {lead, static_cast<char>(trail), '\n'};
    }
    std::string converted;
    if (decoder_.IsOpen()) decoder_.ConvertRecords(codes, 3, kLineFeedUtf16, converted);
    const char* code = codes.data();
    ForEachRecord(converted, kLineFeedUtf16, [&](std::string_view unit) {
      const unsigned trail = static_cast<unsigned char>(code[1]);
      code += 3;
      if (unit.size() != 2) return;  // refused, or more than one unit
      toUnicode_[row * kTrailCount + (trail - kFirstTrail)] = static_cast<char16_t>(
          static_cast<unsigned char>(unit[0]) | static_cast<unsigned char>(unit[1]) << 8);
    });
    for (const WindowsMapping& m : kWindowsMappings) {
      if (m.code >> 8 == kFirstLead + row) {
        toUnicode_[row * kTrailCount + ((m.code & 0xFF) - kFirstTrail)] = m.unit;
      }
    }
    rowReady_[row].store(true, std::memory_order_release);
  }

  // The reverse is asked for every unit rather than inverted from the
  // other table, so that codes shared by two characters map back as iconv
  // maps them. Most units have no code; //IGNORE lets iconv pass over them.
  void BuildBlock(unsigned block) {
    std::lock_guard<std::mutex> lock(building_);
    if (blockReady_[block].load(std::memory_order_relaxed)) return;
    std::string units;
    for (unsigned unit = std::max(block << 8, 0x80u); unit <= (block << 8 | 0xFF); ++unit) {
      if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // no character alone
      units += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8), '\n', '\0'};
    }
    std::string converted;
    if (encoder_.IsOpen() && !units.empty()) {
      encoder_.ConvertRecords(units, 4, kLineFeedCp936, converted);
    }
    const char* unit = units.data();
    ForEachRecord(converted, kLineFeedCp936, [&](std::string_view code) {
      const char16_t value = static_cast<char16_t>(static_cast<unsigned char>(unit[0]) |
                                                   static_cast<unsigned char>(unit[1]) << 8);
      unit += 4;
      if (code.size() == 1) fromUnicode_[value] = static_cast<unsigned char>(code[0]);
      if (code.size() == 2) {
        fromUnicode_[value] = static_cast<uint16_t>(static_cast<unsigned char>(code[0]) << 8 |
                                                    static_cast<unsigned char>(code[1]));
      }
    });
    for (const WindowsMapping& m : kWindowsMappings) {
      if (m.unit >> 8 == block) fromUnicode_[m.unit] = static_cast<uint16_t>(m.code);
    }
    blockReady_[block].store(true, std::memory_order_release);
  }

  std::array<char16_t, kLeadCount * kTrailCount> toUnicode_{};
  std::array<uint16_t, 0x10000> fromUnicode_{};
  std::array<std::atomic<bool>, kLeadCount> rowReady_{};
  std::array<std::atomic<bool>, 0x100> blockReady_{};
  std::mutex building_;
  Iconv decoder_{"UTF-16LE", "CP936"};
  Iconv encoder_{"CP936//IGNORE", "UTF-16LE"};
};

// Made at first use; never destroyed, so that a conversion during the
// program's exit still finds it.
Tables& TheTables() {
  static Tables* const tables = new Tables;
  return *tables;
}

}  // namespace

// Both conversions write through a pointer into room made up front: the
// output never needs more units (or bytes) than the bounds below.
void Cp936_AppendUtf16(std::string_view bytes, std::u16string& out) {
  Tables& tables = TheTables();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  const size_t oldSize = out.size();
  out.resize(oldSize + size);  // at most one unit per byte
  char16_t* write = out.data() + oldSize;
  for (size_t i = 0; i < size;) {
#if defined(__SSE2__)
    // Sixteen ASCII bytes at once: most texts have long stretches of them.
    if (i + 16 <= size) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      if (_mm_movemask_epi8(block) == 0) {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(write), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(write + 8), _mm_unpackhi_epi8(block, zero));
        write += 16;
        i += 16;
        continue;
      }
    }
#endif
    const unsigned char c = in[i];
    if (c < 0x80) {
      *write++ = c;
      ++i;
    } else if (c == 0x80) {
      *write++ = u'\u20AC';
      ++i;
    } else if (c >= kFirstLead && c <= kLastLead && i + 1 < size && IsTrail(in[i + 1])) {
      const char16_t unit = tables.ToUnicode(c, in[i + 1]);
      *write++ = unit == kUnmapped ? u'?' : unit;
      i += 2;
    } else {
      *write++ = u'?';
      ++i;
    }
  }
  out.resize(write - out.data());
}

void Cp936_AppendFromUtf16(std::u16string_view units, std::string& out) {
  Tables& tables = TheTables();
  const size_t size = units.size();
  const size_t oldSize = out.size();
  out.resize(oldSize + size * 2);  // at most two bytes per unit
  char* write = out.data() + oldSize;
  for (size_t i = 0; i < size; ++i) {
#if defined(__SSE2__)
    // Eight ASCII units at once.
    if (i + 8 <= size) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units.data() + i));
      const __m128i high = _mm_and_si128(block, _mm_set1_epi16(static_cast<short>(0xFF80)));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(write), _mm_packus_epi16(block, block));
        write += 8;
        i += 7;
        continue;
      }
    }
#endif
    const char16_t unit = units[i];
    if (unit < 0x80) {
      *write++ = static_cast<char>(unit);
      continue;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < size && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      ++i;  // the pair is one character beyond the code page; surrogates map to nothing
    }
    const uint16_t code = tables.FromUnicode(unit);
    if (code == 0) {
      *write++ = '?';
    } else if (code < 0x100) {
      *write++ = static_cast<char>(code);
    } else {
      *write++ = static_cast<char>(code >> 8);
      *write++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(write - out.data());
}

// Code page 936 from glibc iconv. Asking iconv character by character would
// be slow, so its answers for every double-byte code and every UTF-16 unit
// are read once, at first use, into two tables that the conversions index.

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstdint>
#include <memory>

#include "text/cp936_converter.h"

namespace {

constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr unsigned kTrailCount = kLastTrail - kFirstTrail + 1;
constexpr char16_t kUnmapped = 0;  // U+0000 is never the value of a double-byte code

bool IsTrail(unsigned char c) { return c >= kFirstTrail && c <= kLastTrail && c != 0x7F; }

struct Tables {
  // Unicode of each double-byte code, indexed by (lead - 0x81) * kTrailCount + (trail - 0x40).
  std::array<char16_t, (kLastLead - kFirstLead + 1) * kTrailCount> toUnicode{};
  // Code page bytes of each UTF-16 unit: 0 unmapped, below 0x100 one byte, else lead << 8 | trail.
  std::array<uint16_t, 0x10000> fromUnicode{};
};

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts one whole character; the output length, or 0 when iconv refuses it.
  size_t Convert(const char* in, size_t inLength, char* out, size_t outCapacity) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) return 0;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* inCursor = const_cast<char*>(in);
    char* outCursor = out;
    size_t outLeft = outCapacity;
    if (iconv(handle_, &inCursor, &inLength, &outCursor, &outLeft) == static_cast<size_t>(-1) ||
        inLength != 0) {
      return 0;
    }
    return outCapacity - outLeft;
  }

 private:
  iconv_t handle_;
};

void Map(Tables& tables, unsigned code, char16_t unit) {
  if (code > 0xFF) {
    tables.toUnicode[((code >> 8) - kFirstLead) * kTrailCount + ((code & 0xFF) - kFirstTrail)] =
        unit;
  }
  tables.fromUnicode[unit] = static_cast<uint16_t>(code);
}

std::unique_ptr<Tables> BuildTables() {
  auto tables = std::make_unique<Tables>();
  Iconv decoder("UTF-16LE", "CP936");
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      if (trail == 0x7F) continue;
      const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      unsigned char out[8];
      if (decoder.Convert(in, 2, reinterpret_cast<char*>(out), sizeof out) == 2) {
        tables->toUnicode[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)] =
            static_cast<char16_t>(out[0] | out[1] << 8);
      }
    }
  }
  // The reverse is asked for every unit rather than inverted from the table
  // above, so that codes shared by two characters map back as iconv maps them.
  Iconv encoder("CP936", "UTF-16LE");
  for (unsigned unit = 0x80; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    unsigned char out[8];
    const size_t length = encoder.Convert(in, 2, reinterpret_cast<char*>(out), sizeof out);
    if (length == 1) tables->fromUnicode[unit] = out[0];
    if (length == 2) tables->fromUnicode[unit] = static_cast<uint16_t>(out[0] << 8 | out[1]);
  }
  // The Windows mappings, whatever this iconv says (glibc already agrees).
  Map(*tables, 0x80, 0x20AC);
  Map(*tables, 0xA1AA, 0x2014);
  Map(*tables, 0xA1A4, 0x00B7);
  Map(*tables, 0xA1A1, 0x3000);
  return tables;
}

const Tables& TablesOnce() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

}  // namespace

// Both conversions write through a pointer into room made up front: the
// output never needs more units (or bytes) than the bounds below.
void Cp936_AppendUtf16(std::string_view bytes, std::u16string& out) {
  const Tables& tables = TablesOnce();
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
      const char16_t unit =
          tables.toUnicode[(c - kFirstLead) * kTrailCount + (in[i + 1] - kFirstTrail)];
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
  const Tables& tables = TablesOnce();
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
    const uint16_t code = tables.fromUnicode[unit];
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

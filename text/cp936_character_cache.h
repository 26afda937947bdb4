#pragma once
// Code page 936 conversions of single characters, for routines that convert
// character by character. Each answer comes from the converter seam the
// first time it is asked and is kept for the rest of the run; asking costs a
// table look-up after that (inline, as it sits in the innermost loops). Safe
// to call from several threads.

#include <atomic>
#include <cstdint>

namespace cp936_cache {
// Zero while not asked yet; filled by the Ask functions.
extern std::atomic<char16_t> pairUnits[0x10000];
extern std::atomic<uint32_t> unitBytes[0x10000];
char16_t AskPairUnit(unsigned char lead, unsigned char trail);
uint32_t AskUnitBytes(char16_t unit);
}  // namespace cp936_cache

// The UTF-16 unit of the double-byte character lead, trail when that
// character converts to exactly one unit of U+0080 or more, not a surrogate,
// which converts back to the same two bytes; 0 for any other two bytes.
inline char16_t Cp936Cache_RoundTripUnit(unsigned char lead, unsigned char trail) {
  char16_t unit = cp936_cache::pairUnits[lead << 8 | trail].load(std::memory_order_relaxed);
  if (unit == 0) unit = cp936_cache::AskPairUnit(lead, trail);
  return unit == 0xFFFF ? 0 : unit;
}

// The code page 936 bytes of one UTF-16 unit other than a surrogate, as the
// converter writes them: one byte or two, "?" when the code page lacks it.
struct Cp936Bytes {
  unsigned char first, second;  // second is 0 for one byte
  unsigned length;
};
inline Cp936Bytes Cp936Cache_UnitBytes(char16_t unit) {
  uint32_t packed = cp936_cache::unitBytes[unit].load(std::memory_order_relaxed);
  if (packed == 0) packed = cp936_cache::AskUnitBytes(unit);
  return {static_cast<unsigned char>(packed >> 8), static_cast<unsigned char>(packed),
          packed >> 16 & 0xFF};
}

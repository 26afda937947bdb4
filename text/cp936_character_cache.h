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
extern std::atomic<uint16_t> unitCodes[0x10000];
char16_t AskPairUnit(unsigned char lead, unsigned char trail);
uint16_t AskUnitCode(char16_t unit);
}  // namespace cp936_cache

// The UTF-16 unit of the double-byte character lead, trail when that
// character converts to exactly one unit of U+0080 or more, not a surrogate,
// which converts back to the same two bytes; 0 for any other two bytes.
inline char16_t Cp936Cache_RoundTripUnit(unsigned char lead, unsigned char trail) {
  char16_t unit = cp936_cache::pairUnits[lead << 8 | trail].load(std::memory_order_relaxed);
  if (unit == 0) unit = cp936_cache::AskPairUnit(lead, trail);
  return unit == 0xFFFF ? 0 : unit;
}

// The code page 936 bytes of one UTF-16 unit of U+0080 or more, not a
// surrogate, as the converter writes them ("?" when the code page lacks
// it), as a code: below 0x100 one byte, else lead << 8 | trail.
inline uint16_t Cp936Cache_UnitCode(char16_t unit) {
  uint16_t code = cp936_cache::unitCodes[unit].load(std::memory_order_relaxed);
  if (code == 0) code = cp936_cache::AskUnitCode(unit);
  return code;
}

// Writes the bytes of a code from Cp936Cache_UnitCode; returns the end.
inline char* Cp936Cache_WriteCode(uint16_t code, char* write) {
  if (code < 0x100) {
    *write = static_cast<char>(code);
    return write + 1;
  }
  write[0] = static_cast<char>(code >> 8);
  write[1] = static_cast<char>(code & 0xFF);
  return write + 2;
}

#pragma once
// Code page 936 conversions of single characters, for routines that convert
// character by character. Each answer comes from the converter seam the
// first time it is asked and is kept for the rest of the run; asking costs a
// table look-up after that. Safe to call from several threads.

#include <cstdint>
#include <string_view>

// The UTF-16 unit of the double-byte character lead, trail when that
// character converts to exactly one unit of U+0080 or more, not a surrogate,
// which converts back to the same two bytes; 0 for any other two bytes.
char16_t Cp936Cache_RoundTripUnit(unsigned char lead, unsigned char trail);

// The code page 936 bytes of one UTF-16 unit other than a surrogate, as the
// converter writes them: one byte or two, "?" when the code page lacks it.
struct Cp936Bytes {
  char bytes[2];
  uint8_t length;
  std::string_view View() const { return {bytes, length}; }
};
Cp936Bytes Cp936Cache_UnitBytes(char16_t unit);

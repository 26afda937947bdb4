// Both tables live in zero-filled static storage, so a run that never asks
// pays nothing, and are filled entry by entry as characters are met. Two
// threads that meet the same new character both ask the converter and store
// the same answer, which relaxed atomics make well-defined.

#include "text/cp936_character_cache.h"

#include <string>
#include <string_view>

#include "text/cp936_converter.h"

namespace cp936_cache {

namespace {
constexpr char16_t kNoRoundTrip = 0xFFFF;  // never a unit that a pair round-trips through
}  // namespace

std::atomic<char16_t> pairUnits[0x10000];
std::atomic<uint16_t> unitCodes[0x10000];

char16_t AskPairUnit(unsigned char lead, unsigned char trail) {
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::u16string units;
  Cp936_AppendUtf16(std::string_view(pair, 2), units);
  char16_t unit = kNoRoundTrip;
  if (units.size() == 1 && units[0] >= 0x80 && !(units[0] >= 0xD800 && units[0] <= 0xDFFF)) {
    std::string back;
    Cp936_AppendFromUtf16(units, back);
    if (back == std::string_view(pair, 2)) unit = units[0];
  }
  pairUnits[lead << 8 | trail].store(unit, std::memory_order_relaxed);
  return unit;
}

// Zero is never a code: a unit of U+0080 or more gives "?" or bytes of its own.
uint16_t AskUnitCode(char16_t unit) {
  std::string bytes;
  Cp936_AppendFromUtf16(std::u16string_view(&unit, 1), bytes);
  uint16_t code = static_cast<unsigned char>(bytes[0]);
  if (bytes.size() == 2)
    code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(bytes[1]));
  unitCodes[unit].store(code, std::memory_order_relaxed);
  return code;
}

}  // namespace cp936_cache

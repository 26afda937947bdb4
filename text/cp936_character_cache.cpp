// Both tables live in zero-filled static storage, so a run that never asks
// pays nothing, and are filled entry by entry as characters are met. Two
// threads that meet the same new character both ask the converter and store
// the same answer, which relaxed atomics make well-defined.

#include "text/cp936_character_cache.h"

#include <atomic>
#include <string>

#include "text/cp936_converter.h"

namespace {

constexpr char16_t kNotAsked = 0;
constexpr char16_t kNoRoundTrip = 0xFFFF;  // never a unit that a pair round-trips through

std::atomic<char16_t> g_pairUnits[0x10000];

// Unit bytes packed as kAsked | length << 16 | first << 8 | second.
constexpr uint32_t kAsked = 1u << 31;
std::atomic<uint32_t> g_unitBytes[0x10000];

char16_t AskRoundTripUnit(unsigned char lead, unsigned char trail) {
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::u16string units;
  Cp936_AppendUtf16(std::string_view(pair, 2), units);
  if (units.size() != 1 || units[0] < 0x80 || (units[0] >= 0xD800 && units[0] <= 0xDFFF) ||
      units[0] == kNoRoundTrip) {
    return kNoRoundTrip;
  }
  std::string back;
  Cp936_AppendFromUtf16(units, back);
  return back == std::string_view(pair, 2) ? units[0] : kNoRoundTrip;
}

uint32_t AskUnitBytes(char16_t unit) {
  std::string bytes;
  Cp936_AppendFromUtf16(std::u16string_view(&unit, 1), bytes);
  uint32_t packed = kAsked | static_cast<uint32_t>(bytes.size()) << 16;
  if (!bytes.empty()) packed |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[0])) << 8;
  if (bytes.size() > 1) packed |= static_cast<unsigned char>(bytes[1]);
  return packed;
}

}  // namespace

char16_t Cp936Cache_RoundTripUnit(unsigned char lead, unsigned char trail) {
  std::atomic<char16_t>& entry = g_pairUnits[lead << 8 | trail];
  char16_t unit = entry.load(std::memory_order_relaxed);
  if (unit == kNotAsked) {
    unit = AskRoundTripUnit(lead, trail);
    entry.store(unit, std::memory_order_relaxed);
  }
  return unit == kNoRoundTrip ? 0 : unit;
}

Cp936Bytes Cp936Cache_UnitBytes(char16_t unit) {
  std::atomic<uint32_t>& entry = g_unitBytes[unit];
  uint32_t packed = entry.load(std::memory_order_relaxed);
  if (packed == 0) {
    packed = AskUnitBytes(unit);
    entry.store(packed, std::memory_order_relaxed);
  }
  Cp936Bytes result{};
  result.length = static_cast<uint8_t>(packed >> 16 & 0xFF);
  result.bytes[0] = static_cast<char>(packed >> 8 & 0xFF);
  result.bytes[1] = static_cast<char>(packed & 0xFF);
  return result;
}

#pragma once
// Shared by the text tests: bytes shown in hex when a row fails.

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Hex(std::string_view bytes) {
  std::string out;
  char piece[4];
  for (unsigned char c : bytes) {
    std::snprintf(piece, sizeof piece, "%02X ", c);
    out += piece;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

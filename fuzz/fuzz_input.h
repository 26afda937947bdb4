#pragma once
// Splits a fuzz input into a few texts and small numbers, so one input can
// drive a routine with several arguments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  // The next piece up to a 0xFF separator byte (or all that is left).
  std::string Text() {
    size_t end = rest_.find('\xFF');
    std::string piece(rest_.substr(0, end));
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return piece;
  }

  // A small signed number from the next byte, spread over -4..251.
  int Number() {
    if (rest_.empty()) return 0;
    int value = static_cast<unsigned char>(rest_.front()) - 4;
    rest_.remove_prefix(1);
    return value;
  }

  bool Flag() { return (Number() & 1) != 0; }

 private:
  std::string_view rest_;
};

#pragma once
// UTF-8 to UTF-16 and back, the same on every platform.

#include <string>
#include <string_view>

// Malformed input does not stop the conversion: each maximal ill-formed
// subsequence (a lone continuation byte, a cut-short sequence, an overlong or
// surrogate form, a byte above F4) becomes one U+FFFD and decoding goes on.
void Utf8_AppendUtf16(std::string_view utf8, std::u16string& out);

// A lone surrogate becomes U+FFFD.
void Utf8_AppendFromUtf16(std::u16string_view units, std::string& out);

#pragma once
// Conversion between UTF-8, UTF-16 and code page 936.
//
// A wide byte set holds UTF-16LE units, two bytes each, and every one made
// here ends with exactly one zero unit. A character that code page 936 lacks
// becomes one "?"; malformed UTF-8 does not stop the rest from converting.

#include "text/text_primitives.h"

inline constexpr int CodePageUtf8 = 65001;
inline constexpr int CodePageGbk = 936;
inline constexpr int CodePageAnsi = 0;  // the system code page: 936 here

Text Code_Utf8ToAnsi(std::string_view utf8);
Bytes Code_ToWide(std::string_view text, int codePage = CodePageUtf8);
Text Code_FromWide(std::string_view wide, int codePage = CodePageAnsi);
Bytes Code_GbkToWide(std::string_view gbk);
Text Code_WideToGbk(std::string_view wide);

// Edge helpers for code outside the core (windows, terminal, regex engine).
// They convert the whole counted string (a zero byte or unit travels
// through); Code_Utf16ToGbk composes marks as Code_WideToGbk does.
std::u16string Code_GbkToUtf16(std::string_view gbk);
Text Code_Utf16ToGbk(std::u16string_view units);
std::string Code_GbkToUtf8(std::string_view gbk);

// A literal written in this UTF-8 source, as code page 936 text:
// Gbk("查询") is the core's text for the caption 查询.
inline Text Gbk(std::string_view utf8) { return Code_Utf8ToAnsi(utf8); }

#pragma once
// The one platform seam of the code-page routines: code page 936 to UTF-16
// and back. This build answers from glibc iconv (cp936_converter_iconv.cpp);
// a platform with its own converter replaces that one file. Whatever answers
// must give the Windows mappings of code page 936, among them 0x80 = U+20AC,
// A1AA = U+2014, A1A4 = U+00B7 and A1A1 = U+3000.

#include <string>
#include <string_view>

// Appends the UTF-16 units of code page 936 bytes. A byte or pair that the
// code page does not define becomes one U+003F; a lead byte whose next byte
// cannot be a trail byte stands alone, so that next byte still converts.
void Cp936_AppendUtf16(std::string_view bytes, std::u16string& out);

// Appends the code page 936 bytes of UTF-16 units. Each character that the
// code page lacks becomes one '?': a surrogate pair counts as one character,
// a lone surrogate as one too.
void Cp936_AppendFromUtf16(std::u16string_view units, std::string& out);

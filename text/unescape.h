#pragma once
// Decoding the \u escapes of a JSON string piece into code page 936 text, with
// the exact results a script host's string literal and unescape() gave.

#include "text/text_primitives.h"

// The decoded text, or the empty text when the prepared text is not a valid
// string-literal body (a lone line feed, a final lone backslash, ...).
Text Text_UnescapeUnicode(std::string_view text);

#pragma once
// The two conversions the report makes of every trace, made cheap for the
// common case and falling back to the general routines for anything else, so
// the results are always exactly theirs.

#include <string_view>

#include "text/text_primitives.h"

// Code_Utf8ToAnsi(reply). A reply of ASCII alone is already code page 936
// and is handed back as it is, without a copy.
Text Query_ReplyToAnsi(Text reply);

// Text_UnescapeUnicode(text). Entry values are as a rule ASCII with \uXXXX
// escapes and nothing the general decoder treats specially; those are
// decoded in one pass.
Text Query_DecodeEntryText(Text text);

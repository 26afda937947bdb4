#pragma once
// The two ways Text_UnescapeUnicode decodes, declared apart so that tests can
// hold them to each other; everything else calls Text_UnescapeUnicode.

#include <optional>
#include <string_view>

#include "text/text_primitives.h"

// One pass for the texts a trace reply is made of: characters that no step
// of the decoder touches and complete \uXXXX escapes. Nothing for any other
// text (the general decoder then decides); when there is a result it is the
// general decoder's result.
std::optional<Text> Unescape_Simple(std::string_view text);

// Every step as the script host took it, for any text.
Text Unescape_General(std::string_view text);

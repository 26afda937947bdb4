#pragma once
// The request side of an exchange: the agent string and the header block that
// Web_Access sends, built from the caller's header lines and cookie text.

#include "text/text_primitives.h"

// The text after the first ":", trimmed; empty when there is no ":".
Text Header_ValueAfterColon(std::string_view line);

inline constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The agent string for a request with these caller header lines.
Text Header_AgentString(std::string_view extraHeaders);

// The caller's lines followed by the default lines they lack, joined by "\r\n"
// without a final line break. `cookies` is the caller's cookie text, or
// nullptr when none was given.
Text Header_Block(std::string_view url, std::string_view extraHeaders, const Text* cookies);

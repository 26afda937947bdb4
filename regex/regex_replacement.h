#pragma once
// Expansion of a replacement text by the dialect's rules: $1 to $99 name a
// group (two digits when both form a group number that exists, else one),
// $& the match, $` the text before it, $' the text after it, $$ a dollar sign;
// a group that took no part gives nothing, and a "$" sequence naming nothing
// stays as written.

#include <string>
#include <string_view>

// match holds 2 * (groupCount + 1) UTF-16 offsets into subject, -1 for an
// unset group; the expansion is appended to out.
void Regex_AppendReplacement(std::u16string& out, std::u16string_view replacement,
                             std::u16string_view subject, const int* match, int groupCount);

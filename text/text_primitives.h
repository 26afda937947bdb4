#pragma once
// The text and byte primitives every other part builds on.
//
// A text is a code page 936 byte string: a byte of 0x80 or more opens a
// two-byte character. Positions are 1-based byte positions; a failed search
// gives -1. A byte set is a counted byte string that may hold zero bytes; both
// are std::string here, the aliases only say which one a signature means.
//
// Nothing here fails loudly: out-of-range arguments give the empty text or an
// unchanged copy, as each routine says.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Text = std::string;
using Bytes = std::string;

// Whether a comparison folds ASCII letters (and only those).
enum class LetterCase { Exact, Ignore };

int Text_Length(std::string_view t);
int Text_Compare(std::string_view a, std::string_view b);  // -1, 0 or 1 by unsigned bytes

Text Text_Left(std::string_view t, int n);
Text Text_Right(std::string_view t, int n);
Text Text_Mid(std::string_view t, int p, int n);

// First occurrence of s at or after start (below 1 counts as 1); -1 when there
// is none or start lies past the end. Never matches on a trail byte.
int Text_Find(std::string_view t, std::string_view s, int start = 1,
              LetterCase letterCase = LetterCase::Exact);
// Last occurrence lying wholly within the first start - 1 bytes (all of t when
// start is absent).
int Text_FindLast(std::string_view t, std::string_view s, std::optional<int> start = std::nullopt,
                  LetterCase letterCase = LetterCase::Exact);

// Replaces up to count (absent: all) occurrences of s by r, scanning from start.
Text Text_Replace(std::string_view t, std::string_view s, std::string_view r = {}, int start = 1,
                  std::optional<int> count = std::nullopt,
                  LetterCase letterCase = LetterCase::Exact);

// Pieces between occurrences of d; an empty last piece is dropped, an empty t
// gives none, an empty d gives t whole; at most max pieces (negative as 0).
std::vector<Text> Text_Split(std::string_view t, std::string_view d = ",",
                             std::optional<int> max = std::nullopt);

Text Text_Trim(std::string_view t);          // spaces are 0x20 and A1 A1
Text Text_RemoveSpaces(std::string_view t);
Text Text_ToLower(std::string_view t);       // A-Z only
int32_t Text_ToInt(std::string_view t);      // full-width forms, then atoi; saturates

Bytes Text_ToBytes(std::string_view t);
Text Bytes_ToText(std::string_view b);       // up to the first zero byte
Text Text_Spaces(int n);
Bytes Bytes_Zeros(int n);

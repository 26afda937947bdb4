#pragma once
// The caller-held cookie text: reading the cookies a response set, and merging
// them into the text the caller passes from request to request.

#include <vector>

#include "text/text_primitives.h"

// The part before the first "=" (the whole item without one), trimmed.
Text Cookie_Name(std::string_view item);
// Whether some item has exactly this name (letter case counts).
bool Cookie_HasName(const std::vector<Text>& items, std::string_view name);
// The 1-based index of the first item equal to text byte for byte; -1 when none.
int Text_FindItem(const std::vector<Text>& items, std::string_view text);
// The items of text (split at separator) with exact repeats dropped, rejoined.
Text Text_UniqueItems(std::string_view text, std::string_view separator);

// Merges newCookies into cookies: the new items first, then the old ones whose
// name was not set again; "=deleted" items and repeats dropped; spaces removed
// from both texts. Writes both back and returns the merged text.
Text Cookie_Merge(Text& cookies, Text& newCookies);

// Writes every "Set-Cookie" label of a response header block in this one letter case.
Text Cookie_NormaliseLabels(std::string_view responseHeaders);
// The first name=value pair of each Set-Cookie line, in order, joined by "; ".
Text Cookie_ReadNew(std::string_view responseHeaders);

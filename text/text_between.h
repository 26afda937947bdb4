#pragma once
// Cutting a value out from between two delimiters, and multi-pair replacement.

#include <optional>

#include "text/text_primitives.h"

// The text between the first left delimiter at or after start and the first
// right delimiter after it; empty when either is missing. "#引号" (in code page
// 936) in a delimiter stands for a double quote.
Text Text_Between(std::string_view source, std::string_view left, std::string_view right,
                  int start = 0, LetterCase letterCase = LetterCase::Exact);

// The text with each "#引号" (in code page 936) written as a double quote, as
// delimiters and regex patterns use it.
Text Text_WithQuotes(std::string_view text);

// One find/replace pair of Text_ReplacePairs.
struct ReplacePair {
  Text find;
  Text replacement;
};

// Applies up to five pairs in order, each on the result of the ones before.
// An absent count replaces every occurrence; 0 replaces none. Letter case is
// ignored unless letterCase is Exact (the opposite default of Text_Between).
Text Text_ReplacePairs(std::string_view text, std::optional<int> count, int start,
                       LetterCase letterCase, const std::vector<ReplacePair>& pairs);
// The common call: one pair, every occurrence, from the start, case ignored.
Text Text_ReplacePairs(std::string_view text, std::string_view find1, std::string_view replacement1);

#pragma once
// Turns a pattern written in the program's ECMAScript-like dialect into the
// PCRE2 pattern (UTF mode, options chosen in regex_engine.cpp) that behaves
// the same way. PCRE2 already agrees on most syntax; what is rewritten here is
// where the two disagree in ways a pattern of this program can meet:
//  - "." matches anything but LF, CR, U+2028 and U+2029;
//  - "^" and "$" in multi-line mode stop at those four line terminators;
//  - "{" and "}" that do not form a repetition count are literal;
//  - "[" inside a class is literal (no POSIX classes), and so is "-" next to
//    \d, \w or \s there;
//  - \s and \S outside a class, and \s inside one, use the ECMAScript white space set;
//  - \v is the vertical tab alone;
//  - an escaped letter that the dialect gives no meaning stands for itself.

#include <string>
#include <string_view>

std::u16string Regex_TranslatePattern(std::u16string_view pattern, bool multiline);

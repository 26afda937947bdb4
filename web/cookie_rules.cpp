#include "web/cookie_rules.h"

#include "text/text_between.h"

namespace {

// The text without its last n bytes (empty when it is shorter).
Text DropLast(const Text& text, int n) { return Text_Left(text, Text_Length(text) - n); }

}  // namespace

Text Cookie_Name(std::string_view item) {
  const int equals = Text_Find(item, "=");
  return Text_Trim(equals == -1 ? item : std::string_view(item).substr(0, equals - 1));
}

bool Cookie_HasName(const std::vector<Text>& items, std::string_view name) {
  for (const Text& item : items) {
    if (Cookie_Name(item) == name) return true;
  }
  return false;
}

int Text_FindItem(const std::vector<Text>& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text Text_UniqueItems(std::string_view text, std::string_view separator) {
  std::vector<Text> seen;
  Text result;
  for (const Text& item : Text_Split(text, separator)) {
    if (Text_FindItem(seen, item) == -1) {
      seen.push_back(item);
      result += item;
      result += separator;
    }
  }
  return DropLast(result, Text_Length(separator));
}

Text Cookie_Merge(Text& cookies, Text& newCookies) {
  cookies = Text_RemoveSpaces(cookies);
  newCookies = Text_RemoveSpaces(newCookies);
  std::vector<Text> merged = Text_Split(newCookies, ";");
  for (const Text& old : Text_Split(cookies, ";")) {
    if (!Cookie_HasName(merged, Cookie_Name(old))) merged.push_back(old);
  }
  cookies.clear();
  for (const Text& item : merged) {
    if (Text_Right(item, 8) != "=deleted") cookies += item + "; ";
  }
  cookies = Text_UniqueItems(DropLast(cookies, 2), "; ");
  return cookies;
}

Text Cookie_NormaliseLabels(std::string_view responseHeaders) {
  return Text_Replace(responseHeaders, "Set-Cookie", "Set-Cookie", 1, std::nullopt,
                      LetterCase::Ignore);
}

Text Cookie_ReadNew(std::string_view responseHeaders) {
  Text newCookies;
  for (const Text& line : Text_Split(responseHeaders, "\r\n")) {
    if (Text_Find(line, "Set-Cookie") == -1) continue;
    const Text item =
        Text_Find(line, ";") != -1
            ? Text_Trim(Text_Between(line, "Set-Cookie:", ";"))
            : Text_Trim(Text_Replace(line, "Set-Cookie:", "", 1, std::nullopt, LetterCase::Ignore));
    newCookies += item + "; ";
  }
  return DropLast(newCookies, 2);
}

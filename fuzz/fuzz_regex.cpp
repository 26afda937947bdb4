// RegexObject with the two trace-entry patterns on arbitrary subjects, every
// group and position read back.
#include "regex/regex_object.h"

namespace {

const char* const kPatterns[] = {
    "{\"time\":\"(.*?)\",\"location\":\"(.*?)\",\"context\":\"(.*?)\",\"ftime\":\"(.*?)\"}",
    "{\"time\":\"(.*?)\",\"context\":\"(.*?)\",\"ftime\":\"(.*?)\"}",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string subject(reinterpret_cast<const char*>(data), size);
  static RegexObject regex;
  for (const char* pattern : kPatterns) {
    regex.Create(pattern, subject);
    int count = regex.MatchCount();
    int groups = regex.SubMatchCount();
    for (int match = 0; match <= count + 1; ++match) {
      int position = 0;
      Text whole = regex.MatchText(match, &position);
      for (int group = 0; group <= groups + 1; ++group) {
        Text piece = regex.SubMatchText(match, group, &position);
        (void)piece;
      }
      (void)whole;
    }
    Text replaced = regex.ReplaceMatches("[$1|$3|$&|$`|$'|$$|$99]");
    (void)replaced;
  }
  return 0;
}

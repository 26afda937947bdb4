// The two patterns the query procedure runs, on trace replies whose entry
// members come in the orders each method expects and in others. Expected
// groups are what an ECMAScript engine gives with flags "gim".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/regex_object.h"
#include "text/code_page.h"

namespace {

const Text MethodOne =
    "{\"time\":\"(.*?)\",\"location\":\"(.*?)\",\"context\":\"(.*?)\",\"ftime\":\"(.*?)\"}";
const Text MethodTwo = "{\"time\":\"(.*?)\",\"context\":\"(.*?)\",\"ftime\":\"(.*?)\"}";

Text Reply(const std::string& entries) {
  return Gbk(
      "{\"message\":\"ok\",\"nu\":\"YT100\",\"ischeck\":\"1\",\"com\":\"yuantong\","
      "\"status\":\"200\",\"data\":[" +
      entries + "],\"state\":\"3\"}");
}

// Every group of every match, as UTF-8 for readable failures.
std::vector<std::vector<std::string>> Groups(const Text& pattern, const Text& reply) {
  RegexObject regex;
  regex.Create(pattern, reply);
  std::vector<std::vector<std::string>> matches;
  for (int m = 1; m <= regex.MatchCount(); ++m) {
    std::vector<std::string> groups;
    for (int g = 1; g <= regex.SubMatchCount(); ++g)
      groups.push_back(Code_GbkToUtf8(regex.SubMatchText(m, g)));
    matches.push_back(groups);
  }
  return matches;
}

// Members time, location, context, ftime; the second entry writes its
// location member name in capitals.
const std::string InOrder =
    "{\"time\":\"2016-09-22 08:05:03\",\"location\":\"上海\",\"context\":\"已签收\","
    "\"ftime\":\"2016-09-22 08:05:03\"},"
    "{\"time\":\"2016-09-21 10:00:00\",\"LOCATION\":\"杭州\",\"context\":\"派送中\\u3001\","
    "\"ftime\":\"2016-09-21 10:00:00\"}";

// Members time, ftime, context, location: no entry fits either pattern on its
// own, and the lazy groups run on into the next entries.
const std::string FtimeFirst =
    "{\"time\":\"T1\",\"ftime\":\"F1\",\"context\":\"C1\",\"location\":\"L1\"},"
    "{\"time\":\"T2\",\"ftime\":\"F2\",\"context\":\"C2\",\"location\":\"L2\"},"
    "{\"time\":\"T3\",\"context\":\"C3\",\"ftime\":\"F3\"}";

TEST(RegexQueryPatterns, MethodOneReadsEntriesInItsOrder) {
  const std::vector<std::vector<std::string>> expected = {
      {"2016-09-22 08:05:03", "上海", "已签收", "2016-09-22 08:05:03"},
      {"2016-09-21 10:00:00", "杭州", "派送中\\u3001", "2016-09-21 10:00:00"},
  };
  EXPECT_EQ(Groups(MethodOne, Reply(InOrder)), expected);
}

TEST(RegexQueryPatterns, MethodTwoTimeGroupRunsOverTheLocationMember) {
  const std::vector<std::vector<std::string>> expected = {
      {"2016-09-22 08:05:03\",\"location\":\"上海", "已签收", "2016-09-22 08:05:03"},
      {"2016-09-21 10:00:00\",\"LOCATION\":\"杭州", "派送中\\u3001", "2016-09-21 10:00:00"},
  };
  EXPECT_EQ(Groups(MethodTwo, Reply(InOrder)), expected);
}

TEST(RegexQueryPatterns, LazyGroupsRunAcrossEntryBoundaries) {
  const std::vector<std::vector<std::string>> methodOne = {
      {"T1\",\"ftime\":\"F1\",\"context\":\"C1", "L1\"},{\"time\":\"T2\",\"ftime\":\"F2",
       "C2\",\"location\":\"L2\"},{\"time\":\"T3\",\"context\":\"C3", "F3"},
  };
  EXPECT_EQ(Groups(MethodOne, Reply(FtimeFirst)), methodOne);
  const std::vector<std::vector<std::string>> methodTwo = {
      {"T1\",\"ftime\":\"F1", "C1\",\"location\":\"L1\"},{\"time\":\"T2",
       "F2\",\"context\":\"C2\",\"location\":\"L2"},
      {"T3", "C3", "F3"},
  };
  EXPECT_EQ(Groups(MethodTwo, Reply(FtimeFirst)), methodTwo);
}

TEST(RegexQueryPatterns, ALineBreakInsideAValueStopsTheLazyGroup) {
  // "." does not cross CR or LF, so an entry with a raw line break in its
  // value is skipped rather than joined to the next one.
  const std::string entries =
      "{\"time\":\"T1\",\"context\":\"C\r\n1\",\"ftime\":\"F1\"},"
      "{\"time\":\"T2\",\"context\":\"C2\",\"ftime\":\"F2\"}";
  const std::vector<std::vector<std::string>> expected = {{"T2", "C2", "F2"}};
  EXPECT_EQ(Groups(MethodTwo, Reply(entries)), expected);
}

}  // namespace

// Searches that would run away or outgrow the JIT's stack end quietly, keeping
// what they found; long subjects and long groups still match.

#include <gtest/gtest.h>

#include <string>

#include "regex/regex_object.h"

namespace {

TEST(RegexLimits, RunawayBacktrackingKeepsEarlierMatches) {
  // After the first match the nested repetition can only fail, in an
  // exponential number of ways: the match limit ends the search there.
  const Text subject = "xxy" + std::string(40, 'x') + "w";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(x+x+)+(?:y|z)", subject));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), "xxy");
}

TEST(RegexLimits, LongGroupsOnALongSubject) {
  // One group over 3 MiB: deeper than a default JIT stack allows.
  const std::string inner(3 << 20, 'a');
  const Text subject = "<" + inner + "><b>";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("<((?:a|b)*?)>", subject));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(1, 1).size(), inner.size());
  EXPECT_EQ(regex.SubMatchText(2, 1), "b");
  ASSERT_TRUE(regex.Create("<((?:a|b)*)>", subject));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(1, 1).size(), inner.size());
}

}  // namespace

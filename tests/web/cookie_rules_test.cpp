// The caller-held cookie text: the merge rules on their own, then against
// real Set-Cookie responses, and the process-wide store for calls without it.

#include "web/cookie_rules.h"

#include "text/code_page.h"
#include "web/web_access.h"
#include "web_test_support.h"

namespace {

TEST(CookieMerge, Table) {
  struct Case {
    const char* name;
    const char* cookies;
    const char* newCookies;
    const char* merged;
    const char* newWritten;
  } cases[] = {
      {"no new cookies normalises the old text", "a = 1;b=2 ;  c=3", "", "a=1; b=2; c=3", ""},
      {"a name set again is replaced and moves to the front", "a=1; b=2", "b=9", "b=9; a=1",
       "b=9"},
      {"deleted drops the item, old or new", "a=1; b=2", "b=deleted; c=3", "c=3; a=1",
       "b=deleted;c=3"},
      {"spaces inside values vanish", "", "k=a b c", "k=abc", "k=abc"},
      {"same name twice: both values stay, in order", "", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
      {"exact repeats are removed", "a=1; a=1", "", "a=1", ""},
      {"names compare with letter case", "A=1", "a=2", "a=2; A=1", "a=2"},
      {"an item without = is a name of its own", "flag; a=1", "flag", "flag; a=1", "flag"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text cookies = c.cookies;
    Text fresh = c.newCookies;
    EXPECT_EQ(Cookie_Merge(cookies, fresh), c.merged);
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(fresh, c.newWritten);
  }
}

TEST(CookieItems, NamesAndUniqueItems) {
  EXPECT_EQ(Cookie_Name(" sid = 42"), "sid");
  EXPECT_EQ(Cookie_Name("bare"), "bare");
  EXPECT_TRUE(Cookie_HasName({"a=1", "sid=2"}, "sid"));
  EXPECT_FALSE(Cookie_HasName({}, "sid"));
  EXPECT_EQ(Text_FindItem({"a", "b", "b"}, "b"), 2);
  EXPECT_EQ(Text_FindItem({"a"}, "A"), -1);
  EXPECT_EQ(Text_UniqueItems("x; y; x; z", "; "), "x; y; z");
  EXPECT_EQ(Text_UniqueItems("", "; "), "");
  // Full-width spaces count as spaces too.
  Text cookies = Gbk("a=1　2");
  Text none;
  EXPECT_EQ(Cookie_Merge(cookies, none), "a=12");
}

std::string SetCookies(const std::string& lines) {
  return LoopbackServer::Response(200, "body", lines);
}

TEST_F(WebTest, SetCookieLinesOfARealResponse) {
  struct Case {
    const char* name;
    std::string headerLines;
    const char* cookiesBefore;
    const char* newCookies;
    const char* cookiesAfter;
  } cases[] = {
      {"no cookie set", "", "a=1;  b=2", "", "a=1; b=2"},
      {"lower-case label, attributes dropped, line without attributes",
       "set-cookie: sid=abc; Path=/; HttpOnly\r\nSet-Cookie: plain=1\r\n", "", "sid=abc;plain=1",
       "sid=abc; plain=1"},
      {"a cookie set again replaces the old one and moves to the front",
       "Set-Cookie: b=new; Path=/\r\n", "a=1; b=old", "b=new", "b=new; a=1"},
      {"set to deleted removes it", "Set-Cookie: a=deleted; expires=Thu, 01 Jan 1970\r\n",
       "a=1; c=3", "a=deleted", "c=3"},
      {"same name twice keeps both in header order", "Set-Cookie: x=1\r\nSet-Cookie: x=2\r\n", "",
       "x=1;x=2", "x=1; x=2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(Answer(SetCookies(c.headerLines)));
    Text cookies = c.cookiesBefore;
    Text newCookies = "stale";
    Text headers;
    EXPECT_EQ(Web_Access(server.BaseUrl() + "/", HttpMethod::Get, {}, &cookies, &newCookies, {},
                         &headers),
              "body");
    EXPECT_EQ(newCookies, c.newCookies);
    EXPECT_EQ(cookies, c.cookiesAfter);
    EXPECT_EQ(headers.find("set-cookie"), std::string::npos) << headers;
  }
}

TEST_F(WebTest, NewCookiesWithoutAGivenCookieTextKeepTheirSpaces) {
  // The store is the process's: paths keep these cookies away from other tests.
  LoopbackServer server(
      Answer(SetCookies("Set-Cookie: a=1; Path=/spaces\r\nSet-Cookie: b=2\r\n")));
  Text newCookies;
  Web_Access(server.BaseUrl() + "/spaces/x", HttpMethod::Get, {}, nullptr, &newCookies);
  EXPECT_EQ(newCookies, "a=1; b=2");
}

// Calls without a cookie text share one store for the process; a call with
// one neither sends from that store nor adds to it.
TEST_F(WebTest, ProcessStoreServesOnlyCallsWithoutACookieText) {
  LoopbackServer server([](const RecordedRequest& request) {
    if (request.target == "/store/login") {
      return SetCookies("Set-Cookie: storeonly=1; Path=/store\r\n");
    }
    return LoopbackServer::Response(200, "seen");
  });
  const std::string base = server.BaseUrl() + "/store";
  Text mine;
  Web_Access(base + "/login", HttpMethod::Get, {}, &mine);
  EXPECT_EQ(mine, "storeonly=1");
  Web_Fetch(base + "/after-mine");
  Web_Fetch(base + "/login");
  Web_Fetch(base + "/again");
  Text given = "own=1";
  Web_Access(base + "/given", HttpMethod::Get, {}, &given);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[1].headers.find("Cookie:"), std::string::npos) << "store filled by a given text";
  EXPECT_NE(requests[3].headers.find("Cookie: storeonly=1\r\n"), std::string::npos);
  EXPECT_EQ(requests[4].headers.find("storeonly"), std::string::npos) << "store leaked into a given text";
  EXPECT_NE(requests[4].headers.find("Cookie: own=1\r\n"), std::string::npos);
}

}  // namespace

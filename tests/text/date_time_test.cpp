#include "text/date_time.h"

#include <gtest/gtest.h>

#include "text/code_page.h"

namespace {

TEST(TimeToText, DropsTrailingZeroTimeFields) {
  const struct {
    const char* name;
    DateTime time;
    const char* expectedUtf8;
  } cases[] = {
      {"all fields", {2016, 9, 22, 6, 28, 29}, "2016年9月22日6时28分29秒"},
      {"zero minute before a second", {2016, 9, 22, 8, 0, 3}, "2016年9月22日8时0分3秒"},
      {"zero second dropped", {2016, 9, 22, 8, 5, 0}, "2016年9月22日8时5分"},
      {"hour only", {2016, 9, 22, 8, 0, 0}, "2016年9月22日8时"},
      {"midnight shows the date alone", {2016, 1, 2, 0, 0, 0}, "2016年1月2日"},
      {"zero hour before a minute", {2016, 1, 2, 0, 5, 0}, "2016年1月2日0时5分"},
      {"zero hour and minute before a second", {2016, 1, 2, 0, 0, 7}, "2016年1月2日0时0分7秒"},
      {"no leading zeros", {2026, 12, 31, 23, 59, 59}, "2026年12月31日23时59分59秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Time_ToText(c.time), Gbk(c.expectedUtf8)) << c.name;
  }
}

TEST(TimeNow, GivesPlausibleLocalFields) {
  const DateTime now = Time_Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
  EXPECT_TRUE(now.second >= 0 && now.second <= 60);
}

}  // namespace

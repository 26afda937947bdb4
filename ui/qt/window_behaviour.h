#pragma once
// What the main window does beyond its record, by control name: the query
// button is disabled while a page is fetched and Enter in the number box
// clicks it; the clock line's handler only writes one label, so it may run
// while a query waits for its page, when every other tick waits.

#include <QString>
#include <string_view>

inline constexpr std::string_view QueryButtonName = "按钮_查询";
inline constexpr std::string_view NumberBoxName = "编辑框_ID";
inline constexpr std::string_view ClockTimerName = "时钟1";

// A control's or window's UTF-8 name as an object name.
inline QString ObjectNameOf(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

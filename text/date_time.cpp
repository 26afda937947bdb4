#include "text/date_time.h"

#include <ctime>

#include "text/code_page.h"

DateTime Time_Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

// The date always shows; of the time, the fields up to the last one that is
// not zero show, so 8:00:03 keeps its zero minute ("8时0分3秒") while 8:05:00
// drops its seconds ("8时5分").
Text Time_ToText(const DateTime& d) {
  static const Text year = Gbk("年"), month = Gbk("月"), day = Gbk("日");
  static const Text hour = Gbk("时"), minute = Gbk("分"), second = Gbk("秒");

  Text out =
      std::to_string(d.year) + year + std::to_string(d.month) + month + std::to_string(d.day) + day;
  const int shownTimeFields = d.second != 0 ? 3 : d.minute != 0 ? 2 : d.hour != 0 ? 1 : 0;
  if (shownTimeFields >= 1) out += std::to_string(d.hour) + hour;
  if (shownTimeFields >= 2) out += std::to_string(d.minute) + minute;
  if (shownTimeFields >= 3) out += std::to_string(d.second) + second;
  return out;
}

#include "query/report_texts.h"

#include <string>

#include "text/code_page.h"

namespace {
Text Stars(int count) { return std::string(static_cast<size_t>(count), '*'); }

Text HintLine(std::string_view hint) {
  return Stars(20) + " " + Gbk(hint) + "  " + Stars(20) + "\r\n\r\n";
}
}  // namespace

const Text& Report_StartBanner() {
  static const Text banner =
      Stars(27) + Gbk(" MorvyParcora 查询开始 ") + Stars(27) + "\r\n\r\n";
  return banner;
}

Text Report_EndBanner(const Text& dateTime) {
  static const Text head = Stars(13) + " MorvyParcora ";
  static const Text tail = Gbk(" 查询完毕 ") + Stars(14) + "\r\n\r\n";
  return head + dateTime + tail;
}

const Text& Report_HintMethodOne() {
  static const Text hint = HintLine("如果方式一无法获取运单详情请使用方式二");
  return hint;
}

const Text& Report_HintMethodTwo() {
  static const Text hint = HintLine("如果方式二无法获取运单详情请使用方式一");
  return hint;
}

const Text& Report_ErrorText() {
  static const Text error = Gbk(
      "数据查询异常：单号不存在或者已经过期，请检查单号是否填写错误或者登陆Morvy网获取最新版本。");
  return error;
}

const Text& Report_TimeSeparator() {
  static const Text separator = Gbk("　　");
  return separator;
}

const Text& Report_ClockPrefix() {
  static const Text prefix = Gbk("当前时间: ");
  return prefix;
}

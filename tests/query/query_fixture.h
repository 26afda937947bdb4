#pragma once
// A main window on the recording runtime, queries pointed at a tracking
// service stand-in on 127.0.0.1, and a fixed clock.

#include <gtest/gtest.h>

#include <string>

#include "query/report_clock.h"
#include "query/track_service.h"
#include "support/recording_runtime.h"
#include "text/code_page.h"
#include "support/tracking_service.h"
#include "ui/program_globals.h"

// 2016-9-22 8:05:03, shown as 2016年9月22日8时5分3秒.
inline DateTime FixedMoment() { return {2016, 9, 22, 8, 5, 3}; }

class QueryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Query_SetTrackServiceBase(service.BaseUrl());
    Query_SetTimeSource(FixedMoment);
    Globals_CreateTrackRegex();
    runtime.OpenMainWindow();
  }
  void TearDown() override {
    Query_SetTrackServiceBase({});
    Query_SetTimeSource({});
    Globals_Release();
  }

  Text Report() { return runtime.GetText("编辑框_信息"); }

  TrackingService service;
  RecordingRuntime runtime;
};

// The report's pieces, written out here rather than taken from the code.
inline std::string StartBanner() {
  return std::string(27, '*') + Gbk(" MorvyParcora 查询开始 ") + std::string(27, '*') + "\r\n\r\n";
}
inline std::string EndBanner() {
  return std::string(13, '*') + Gbk(" MorvyParcora 2016年9月22日8时5分3秒 查询完毕 ") +
         std::string(14, '*') + "\r\n\r\n";
}
inline std::string HintOne() {
  return Gbk("******************** 如果方式一无法获取运单详情请使用方式二  ********************\r\n\r\n");
}
inline std::string HintTwo() {
  return Gbk("******************** 如果方式二无法获取运单详情请使用方式一  ********************\r\n\r\n");
}
inline std::string ErrorText() {
  return Gbk("数据查询异常：单号不存在或者已经过期，请检查单号是否填写错误或者登陆Morvy网获取最新版本。");
}
// One entry line as the report shows it: time, two ideographic spaces, text.
inline std::string EntryLine(std::string_view timeUtf8, std::string_view contextUtf8) {
  return Gbk(timeUtf8) + "\xA1\xA1\xA1\xA1" + Gbk(contextUtf8) + "\r\n\r\n";
}

#pragma once
// Runs the built parcora-query, and the report texts it must print, written
// out here in UTF-8 as a reader of the terminal sees them.

#include <string>
#include <vector>

#include "cli/child_process.h"

inline const std::string QueryProgram = PARCORA_QUERY_PROGRAM;

inline ChildResult RunQuery(const std::vector<std::string>& arguments) {
  return RunChild(QueryProgram, arguments);
}

inline const std::string StartBanner =
    "*************************** MorvyParcora 查询开始 ***************************\r\n\r\n";
inline const std::string HintMethodOne =
    "******************** 如果方式一无法获取运单详情请使用方式二  ********************\r\n\r\n";
inline const std::string HintMethodTwo =
    "******************** 如果方式二无法获取运单详情请使用方式一  ********************\r\n\r\n";
inline const std::string EndBannerHead = "************* MorvyParcora ";
inline const std::string EndBannerTail = " 查询完毕 **************\r\n\r\n";
inline const std::string ErrorText =
    "数据查询异常：单号不存在或者已经过期，请检查单号是否填写错误或者登陆Morvy网获取最新版本。";

// Update_Check against a maker-site stand-in on 127.0.0.1: the three
// outcomes, Yes and No, and what a Yes may open.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "query/track_service.h"
#include "support/recording_runtime.h"
#include "text/code_page.h"
#include "support/tracking_service.h"
#include "ui/maker_site.h"
#include "ui/program_globals.h"
#include "update/update_check.h"

namespace {

std::string Field(std::string_view labelUtf8, std::string_view value) {
  return Gbk(labelUtf8) + std::string(value) + Gbk("【morvy】");
}

const std::string Download = "http://dl.morvy.example/Parcora_1.1.zip";

std::string FullManifest(std::string_view version) {
  return Gbk("Parcora 更新\r\n") + Field("[文件版本]：", version) + "\r\n" +
         Field("[文件名称]：", Gbk("Parcora 1.1.zip")) + "\r\n" + Field("[文件大小]：", "1.2MB") +
         "\r\n" + Field("[文件MD5]：", "0123456789abcdef0123456789abcdef") + "\r\n" +
         Field("[下载地址]：", Download) + "\r\n" +
         Field("[更新说明]：", Gbk("1. 修复问题\r\n2. 更快")) + "\r\n";
}

std::string ReversedManifest(std::string_view version) {
  return Field("[更新说明]：", Gbk("1. 修复问题\r\n2. 更快")) + Field("[下载地址]：", Download) +
         Field("[文件MD5]：", "0123456789abcdef0123456789abcdef") + Field("[文件大小]：", "1.2MB") +
         Field("[文件名称]：", Gbk("Parcora 1.1.zip")) + Field("[文件版本]：", version);
}

std::string Question(std::string_view version) {
  return Gbk("【友情提醒】：本软件有最新新版本，请前往下载！\r\n\r\n文件名称：Parcora 1.1.zip\r\n文件版本：") +
         std::string(version) +
         Gbk("\r\n文件大小：1.2MB\r\n文件MD5：0123456789abcdef0123456789abcdef\r\n\r\n"
             "最新版本特性：\r\n1. 修复问题\r\n2. 更快");
}

class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override { Ui_SetMakerSiteBase(site.BaseUrl()); }
  void TearDown() override {
    Ui_SetMakerSiteBase({});
    Globals_Release();
  }
  std::string ErrorPage() { return site.BaseUrl() + "/kuaidi-chaxun.html?api_error"; }

  MakerSite site;
  RecordingRuntime runtime;
};

TEST_F(UpdateCheck, NewestVersionSaysSoAndOpensNothing) {
  site.ServeManifest(Field("[文件版本]：", "1.0"));
  Update_Check();
  ASSERT_EQ(runtime.MessageBoxes().size(), 1u);
  EXPECT_EQ(runtime.MessageBoxes()[0].text, Gbk("恭喜您，您使用的版本为最新版本！"));
  EXPECT_EQ(runtime.MessageBoxes()[0].buttons, 0);
  EXPECT_EQ(runtime.MessageBoxes()[0].title, Gbk("信息："));
  EXPECT_TRUE(runtime.OpenedUrls().empty());
  EXPECT_EQ(Globals.UpdateVersion, "1.0");
  EXPECT_EQ(Globals.UpdateFileName + Globals.UpdateFileSize + Globals.UpdateFileMd5 +
                Globals.UpdateNotes + Globals.UpdateDownloadAddress,
            "");
  ASSERT_EQ(site.Requests().size(), 1u);
  EXPECT_EQ(site.Requests()[0].target, "/api/kuaidi.txt");
}

TEST_F(UpdateCheck, NewerVersionAsksAndYesOpensTheDownloadAddress) {
  struct Case {
    const char* name;
    std::string manifest;
    std::string version;
    int answer;
    bool opens;
  };
  const Case cases[] = {
      {"Yes", FullManifest("1.1"), "1.1", MessageAnswerYes, true},
      {"No", FullManifest("1.1"), "1.1", MessageAnswerNo, false},
      {"fields in reverse order", ReversedManifest("1.1"), "1.1", MessageAnswerYes, true},
      {"older version asks too", FullManifest("0.9"), "0.9", MessageAnswerYes, true},
      {"1.0 with a trailing space", FullManifest("1.0 "), "1.0 ", MessageAnswerYes, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRuntime fresh;
    site.ServeManifest(c.manifest);
    fresh.ScriptAnswer(c.answer);
    Update_Check();
    ASSERT_EQ(fresh.MessageBoxes().size(), 1u);
    EXPECT_EQ(fresh.MessageBoxes()[0].text, Question(c.version));
    EXPECT_EQ(fresh.MessageBoxes()[0].buttons, 4);
    EXPECT_EQ(fresh.MessageBoxes()[0].title, Gbk("问题"));
    EXPECT_EQ(fresh.OpenedUrls(), c.opens ? std::vector<Text>{Download} : std::vector<Text>{});
  }
}

TEST_F(UpdateCheck, FailureShowsTheMessageThenOpensTheErrorPage) {
  struct Case {
    const char* name;
    std::optional<std::string> manifest;  // absent: the server fails
  };
  const Case cases[] = {
      {"empty reply", ""},
      {"manifest in UTF-8", "[文件版本]：1.1【morvy】"},
      {"ASCII colon after the label", Gbk("[文件版本]:1.1【morvy】")},
      {"no marker after the version", Gbk("[文件版本]：1.1")},
      {"server error", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRuntime fresh;
    // The error page opens only once the message has been closed.
    fresh.ScriptAnswer(MessageAnswerOk, [&] { EXPECT_TRUE(fresh.OpenedUrls().empty()); });
    if (c.manifest) {
      site.ServeManifest(*c.manifest);
    } else {
      site.ServeFailure();
    }
    Update_Check();
    ASSERT_EQ(fresh.MessageBoxes().size(), 1u);
    EXPECT_EQ(fresh.MessageBoxes()[0].text,
              Gbk("检查更新失败，可能是端口发生故障！请稍后再试~或将问题反馈到官网！"));
    EXPECT_EQ(fresh.MessageBoxes()[0].title, Gbk("信息："));
    EXPECT_EQ(fresh.OpenedUrls(), std::vector<Text>{ErrorPage()});
  }
}

TEST_F(UpdateCheck, YesOpensOnlyWebAddresses) {
  const char* addresses[] = {"", "file:///etc/passwd", "/usr/bin/xterm", "calc.exe",
                             "javascript:alert(1)", "ftp://morvy.example/x.zip"};
  for (const char* address : addresses) {
    SCOPED_TRACE(address);
    RecordingRuntime fresh;
    site.ServeManifest(Field("[文件版本]：", "1.1") + Field("[下载地址]：", address));
    fresh.ScriptAnswer(MessageAnswerYes);
    Update_Check();
    EXPECT_EQ(fresh.MessageBoxes().size(), 1u);
    EXPECT_TRUE(fresh.OpenedUrls().empty());
  }
}

TEST_F(UpdateCheck, ATimedQueryWhileTheQuestionIsOpenCannotChangeWhatYesOpens) {
  TrackingService service;
  Query_SetTrackServiceBase(service.BaseUrl());
  runtime.OpenMainWindow();
  runtime.Type("编辑框_定时", "1000");
  runtime.Click("选择框3");
  site.ServeManifest(FullManifest("1.1"));
  runtime.ScriptAnswer(MessageAnswerYes, [&] {
    EXPECT_FALSE(runtime.Click("按钮_查询")) << "the box is modal";
    runtime.AdvanceTime(1000);
  });
  runtime.Click("按钮1");
  Query_SetTrackServiceBase({});
  EXPECT_EQ(runtime.TickCount("时钟2"), 1) << "the timed query ran while the question was open";
  EXPECT_FALSE(Globals.ReplyText.empty());
  EXPECT_EQ(runtime.OpenedUrls(), std::vector<Text>{Download});
}

}  // namespace

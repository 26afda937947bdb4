#include "update/update_check.h"

#include "text/code_page.h"
#include "text/text_between.h"
#include "ui/maker_site.h"
#include "ui/program_globals.h"
#include "ui/window_runtime.h"

namespace {

// A field's value runs from just after its label to the first marker after
// it; every label is searched from the start, so the order does not matter.
Text ManifestField(std::string_view label) {
  static const Text marker = Gbk("【morvy】");
  return Text_Between(Globals.ManifestText, Gbk(label), marker);
}

Text QuestionText() {
  return Gbk("【友情提醒】：本软件有最新新版本，请前往下载！\r\n\r\n文件名称：") +
         Globals.UpdateFileName + Gbk("\r\n文件版本：") + Globals.UpdateVersion +
         Gbk("\r\n文件大小：") + Globals.UpdateFileSize + Gbk("\r\n文件MD5：") +
         Globals.UpdateFileMd5 + Gbk("\r\n\r\n最新版本特性：\r\n") + Globals.UpdateNotes;
}

}  // namespace

void Update_Check() {
  Globals.ManifestText = Ui_FetchPage(MakerSiteBase() + "/api/kuaidi.txt");
  Globals.UpdateVersion = ManifestField("[文件版本]：");
  Globals.UpdateFileName = ManifestField("[文件名称]：");
  Globals.UpdateFileSize = ManifestField("[文件大小]：");
  Globals.UpdateFileMd5 = ManifestField("[文件MD5]：");
  Globals.UpdateDownloadAddress = ManifestField("[下载地址]：");
  Globals.UpdateNotes = ManifestField("[更新说明]：");

  if (Globals.UpdateVersion.empty()) {
    Ui_MessageBox(Gbk("检查更新失败，可能是端口发生故障！请稍后再试~或将问题反馈到官网！"));
    Ui_OpenUrl(MakerSiteBase() + "/kuaidi-chaxun.html?api_error");
    return;
  }
  if (Globals.UpdateVersion != UpdateOwnVersion) {
    // Timer ticks go on while the question is open; the address was kept
    // apart from the query's globals, so Yes opens what the manifest named.
    if (Ui_MessageBox(QuestionText(), MessageButtonsYesNo, Gbk("问题")) == MessageAnswerYes) {
      Ui_OpenUrl(Globals.UpdateDownloadAddress);
    }
    return;
  }
  Ui_MessageBox(Gbk("恭喜您，您使用的版本为最新版本！"));
}

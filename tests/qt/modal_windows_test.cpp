// The about window and the update check's message boxes: modal to the whole
// program, answered by the test, with the clock going on while they are open.
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "qt_window_fixture.h"
#include "support/tracking_service.h"
#include "text/code_page.h"
#include "ui/qt/qt_text.h"

namespace {

// Clears the clock line and handles events until the clock has written it
// again: proof that timer ticks go on meanwhile.
bool ClockTicksMeanwhile(QLabel* clock) {
  clock->clear();
  return QTest::qWaitFor([clock] { return !clock->text().isEmpty(); }, 5000);
}

}  // namespace

TEST_F(QtWindowTest, AboutWindowIsModalAndItsTextOpensTheHomePage) {
  BrowserRecorder browser;
  auto* clock = Find<QLabel>("透明标签2");
  Ui_SetTimerPeriod("时钟1", 10);

  QPointer<QWidget> about;
  bool opened = false;
  bool clockTicked = false;
  QTimer::singleShot(0, [&] {
    about = QApplication::activeModalWidget();
    if (!about) return;
    opened = about->objectName() == U("AboutWindow");
    if (auto* text = about->findChild<QLabel*>(U("透明标签1"))) {
      QTest::mousePress(text, Qt::LeftButton);
      QTest::mousePress(text, Qt::LeftButton);
    }
    clockTicked = ClockTicksMeanwhile(clock);
    about->close();
  });
  QTest::mouseClick(Find<QPushButton>("按钮2"), Qt::LeftButton);  // returns once the window is closed

  ASSERT_TRUE(opened) << "no modal about window";
  EXPECT_TRUE(about.isNull()) << "a closed about window is destroyed";
  EXPECT_TRUE(clockTicked);
  QString home = Qt_FromGbk(MakerSiteBase());
  EXPECT_EQ(browser.Opened(), QStringList({home, home})) << "each press opens the home page once";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtWindowTest, AboutWindowFollowsItsRecord) {
  QString title;
  QString text;
  bool modal = false;
  bool minimizeBox = true;
  QRect geometry;
  QRect screen;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    if (!about) return;
    title = about->windowTitle();
    geometry = QRect(about->pos(), about->size());
    screen = about->screen()->geometry();
    modal = about->windowModality() == Qt::ApplicationModal;
    minimizeBox = about->windowFlags() & Qt::WindowMinimizeButtonHint;
    if (auto* label = about->findChild<QLabel*>(U("透明标签1"))) text = label->text();
    about->close();
  });
  QTest::mouseClick(Find<QPushButton>("按钮2"), Qt::LeftButton);

  EXPECT_EQ(title, U("关于"));
  // Centred on the screen by its outer size 473 x 298, not on the main window
  // (the place is that of the frame, the size that of the client area).
  EXPECT_EQ(geometry, QRect(screen.left() + (screen.width() - 473) / 2,
                            screen.top() + (screen.height() - 298) / 2, 467, 273));
  EXPECT_TRUE(modal);
  EXPECT_FALSE(minimizeBox);
  EXPECT_TRUE(text.startsWith(U("Parcora v1.20160922：\n\n感谢使用Morvy制作的工具")));
  EXPECT_TRUE(text.endsWith(U("\n\nMorvy网：") + Qt_FromGbk(MakerSiteBase()) + U("\n\n2016-9-22")));
}

TEST_F(QtWindowTest, UpdateCheckAsksThroughMessageBoxes) {
  MakerSite site;
  Ui_SetMakerSiteBase(site.BaseUrl());
  const QString base = QString::fromStdString(site.BaseUrl());
  struct Row {
    const char* name;
    std::string manifest;  // empty: the site fails
    QMessageBox::StandardButton answer;
    const char* title;
    const char* textStart;
    QStringList opened;
  };
  const std::string newer = Gbk("[文件版本]：1.1【morvy】[下载地址]：http://127.0.0.1:9/new.zip【morvy】");
  const Row rows[] = {
      {"newest", Gbk("[文件版本]：1.0【morvy】"), QMessageBox::Ok, "信息：", "恭喜您，您使用的版本为最新版本！", {}},
      {"newer, Yes", newer, QMessageBox::Yes, "问题", "【友情提醒】：本软件有最新新版本，请前往下载！\n\n文件名称：\n文件版本：1.1\n",
       {U("http://127.0.0.1:9/new.zip")}},
      {"newer, No", newer, QMessageBox::No, "问题", "【友情提醒】", {}},
      {"failure", "", QMessageBox::Ok, "信息：", "检查更新失败，可能是端口发生故障！请稍后再试~或将问题反馈到官网！",
       {base + U("/kuaidi-chaxun.html?api_error")}},
  };
  auto* clock = Find<QLabel>("透明标签2");
  Ui_SetTimerPeriod("时钟1", 10);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.manifest.empty()) {
      site.ServeFailure();
    } else {
      site.ServeManifest(row.manifest);
    }
    BrowserRecorder browser;
    bool clockTicked = false;
    MessageBoxAnswerer answerer(row.answer, [&] { clockTicked = ClockTicksMeanwhile(clock); });
    QTest::mouseClick(Find<QPushButton>("按钮1"), Qt::LeftButton);

    ASSERT_EQ(answerer.SeenBoxes().size(), 1u);
    const MessageBoxAnswerer::Seen& box = answerer.SeenBoxes()[0];
    EXPECT_EQ(box.title, U(row.title));
    EXPECT_TRUE(box.text.startsWith(U(row.textStart))) << box.text.toStdString();
    EXPECT_EQ(box.question, row.answer != QMessageBox::Ok);
    EXPECT_TRUE(box.applicationModal);
    EXPECT_TRUE(clockTicked) << "timers go on while a message box is open";
    EXPECT_EQ(browser.Opened(), row.opened);
  }
}

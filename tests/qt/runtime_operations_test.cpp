// The Ui_* operations on the real widgets: texts across the code page edge,
// check states without click events, and the timer rules.
#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QThread>

#include "qt_window_fixture.h"
#include "text/code_page.h"
#include "ui/qt/tick_timer.h"

TEST_F(QtWindowTest, TextsCrossTheCodePageEdgeUnchanged) {
  struct Row {
    const char* name;
    std::string_view control;
    Text text;
  };
  const Row rows[] = {
      {"line edit, Chinese and ASCII", "编辑框_ID", Gbk("YT 中文　123")},
      {"report keeps CR LF line breaks", "编辑框_信息", Gbk("第一行\r\n\r\n第三行\r\n")},
      {"report, empty", "编辑框_信息", ""},
      {"transparent label", "透明标签2", Gbk("当前时间: 2016年9月22日8时")},
      {"button caption", "按钮_查询", Gbk("查询")},
  };
  for (const Row& row : rows) {
    Ui_SetText(row.control, row.text);
    EXPECT_EQ(Ui_GetText(row.control), row.text) << row.name;
  }
  auto* report = Find<QPlainTextEdit>("编辑框_信息");
  report->setPlainText(U("用户输入 ✓"));
  EXPECT_EQ(Ui_GetText("编辑框_信息"), Gbk("用户输入 ?")) << "a user's edit is read as code page 936";
  Ui_AppendText("编辑框_信息", Gbk("\r\n追加"));
  EXPECT_EQ(report->toPlainText(), U("用户输入 ✓\n追加"));

  // A name no window has is ignored.
  Ui_SetText("没有这个控件", "x");
  EXPECT_EQ(Ui_GetText("没有这个控件"), "");
}

TEST_F(QtWindowTest, SetCheckedRaisesNoClick) {
  Ui_SetChecked("选择框2", 1);
  // The click handler of 选择框2 would have unchecked 选择框1.
  EXPECT_TRUE(Find<QCheckBox>("选择框1")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("选择框2")->isChecked());
  Ui_SetChecked("选择框2", 7);
  EXPECT_EQ(Ui_GetChecked("选择框2"), 0) << "only 1 checks";
}

TEST_F(QtWindowTest, TimerPeriodRules) {
  auto* timer = Find<TickTimer>("时钟3");
  Ui_SetTimerPeriod("时钟3", 100000);
  QTest::qWait(300);
  int remaining = timer->RemainingTime();
  Ui_SetTimerPeriod("时钟3", 100000);
  EXPECT_LE(timer->RemainingTime(), remaining) << "the same period does not restart the timer";
  Ui_SetTimerPeriod("时钟3", 200000);
  EXPECT_GT(timer->RemainingTime(), 150000) << "another period restarts it, one full period ahead";
  Ui_SetTimerPeriod("时钟3", -5);
  EXPECT_EQ(timer->Period(), 0);
  EXPECT_EQ(timer->RemainingTime(), -1) << "below 0 stops it";

  // A tick that falls due late comes once, not once per period missed.
  int ticks = 0;
  QObject::connect(timer, &TickTimer::ticked, [&ticks] { ++ticks; });
  Ui_SetTimerPeriod("时钟3", 5);
  QThread::msleep(60);  // the window thread is busy: about twelve periods pass
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, 1);
}

TEST_F(QtWindowTest, EditBoxesHideTheirSelectionWithoutTheFocus) {
  auto highlighted = [](QWidget* box, const QColor& highlight) {
    QImage image = box->grab().toImage();
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) pixels += image.pixelColor(x, y) == highlight;
    }
    return pixels;
  };
  mainWindow_->activateWindow();
  auto* elsewhere = Find<QWidget>("按钮1");
  for (const char* name : {"编辑框_ID", "编辑框_信息"}) {
    SCOPED_TRACE(name);
    auto* box = Find<QWidget>(name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);  // select all
    QColor highlight = box->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_GT(highlighted(box, highlight), 0);
    elsewhere->setFocus();
    EXPECT_EQ(highlighted(box, highlight), 0);
  }
  // The report box keeps its selection and shows it again with the focus (a
  // one-line box drops it when the focus goes, as QLineEdit does).
  auto* report = Find<QWidget>("编辑框_信息");
  report->setFocus();
  EXPECT_GT(highlighted(report, report->palette().color(QPalette::Active, QPalette::Highlight)), 0);
}

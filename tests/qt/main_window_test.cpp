// The main window as built from its record: start state, layout, fonts,
// the method boxes, the hyperlink and the CJK font.
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>

#include "qt_window_fixture.h"
#include "text/code_page.h"
#include "ui/qt/link_label.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/tick_timer.h"
#include "ui/qt/window_behaviour.h"

namespace {

QString ControlText(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->toPlainText();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  return {};
}

}  // namespace

TEST_F(QtWindowTest, StartStateFollowsTheWindowRecord) {
  EXPECT_EQ(mainWindow_->windowTitle(), U("Parcora - Morvy网"));
  EXPECT_FALSE(mainWindow_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(mainWindow_->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(mainWindow_->minimumSize(), mainWindow_->maximumSize()) << "fixed size";
  // The outer size 621 x 371 less a 3-pixel border and a 19-pixel caption,
  // centred on the screen by the outer size.
  EXPECT_EQ(mainWindow_->size(), QSize(615, 346));
  QRect screen = mainWindow_->screen()->geometry();
  EXPECT_EQ(mainWindow_->pos(), QPoint(screen.left() + (screen.width() - 621) / 2,
                                       screen.top() + (screen.height() - 371) / 2));

  const WindowRecord& record = Ui_WindowRecord(MainWindowName);
  for (const ControlRecord& control : record.controls) {
    QString name = ObjectNameOf(control.name);
    SCOPED_TRACE(name.toStdString());
    if (control.kind == ControlKind::Timer) {
      ASSERT_NE(mainWindow_->findChild<TickTimer*>(name), nullptr);
      continue;
    }
    auto* widget = mainWindow_->findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(control.left, control.top, control.width, control.height));
    EXPECT_EQ(ControlText(widget), Qt_FromGbkLines(control.text));
    EXPECT_EQ(QFontInfo(widget->font()).family(), U("WenQuanYi Micro Hei"));
    EXPECT_EQ(widget->font().bold(), control.font.bold);
    if (control.font.pixelHeight > 0) {
      EXPECT_EQ(widget->font().pixelSize(), control.font.pixelHeight);
    }
    QPalette::ColorRole textRole =
        qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ? QPalette::Text
                                                                                    : QPalette::WindowText;
    if (control.kind != ControlKind::Button) {
      EXPECT_EQ(widget->palette().color(textRole),
                QColor(control.color.red, control.color.green, control.color.blue));
    }
  }

  // The values a user sees first, as the window shows them.
  EXPECT_TRUE(Find<QCheckBox>("选择框1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("选择框2")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("选择框3")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("编辑框_ID")->text(), U("3903300539521"));
  EXPECT_EQ(Find<QLineEdit>("编辑框_定时")->text(), U("60000"));
  EXPECT_EQ(Find<QLabel>("透明标签2")->text(), QString());
  EXPECT_EQ(Find<QLineEdit>("编辑框_ID")->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框_信息")->palette().color(QPalette::Text), QColor(0, 128, 0));
  QStringList greeting = ReportText().split(QLatin1Char('\n'));
  ASSERT_EQ(greeting.size(), 16);
  EXPECT_EQ(greeting[7], QString(37, QLatin1Char(' ')) + U("感谢使用 MorvyParcora ！"));
  EXPECT_EQ(greeting[13], QString(43, QLatin1Char(' ')) + U("出品：Morvy网"));
  // The logic reads the greeting back with the CR LF line breaks it was given.
  EXPECT_EQ(Ui_GetText("编辑框_信息"), Ui_WindowRecord(MainWindowName).controls[8].text);

  // The creation handler started the clock; the timed query is off.
  EXPECT_EQ(Find<TickTimer>("时钟1")->Period(), 999);
  EXPECT_EQ(Find<TickTimer>("时钟2")->Period(), 0);
  EXPECT_EQ(Find<TickTimer>("时钟3")->Period(), 0);
}

TEST_F(QtWindowTest, CheckingOneMethodBoxUnchecksTheOther) {
  struct Step {
    const char* click;
    bool methodOne;
    bool methodTwo;
  };
  const Step steps[] = {
      {"选择框2", false, true},   // checking two unchecks one
      {"选择框2", false, false},  // unchecking the checked box leaves both unchecked
      {"选择框1", true, false},
      {"选择框2", false, true},
      {"选择框1", true, false},   // and back
  };
  for (const Step& step : steps) {
    QTest::mouseClick(Find<QCheckBox>(step.click), Qt::LeftButton);
    SCOPED_TRACE(std::string("after a click of ") + step.click);
    EXPECT_EQ(Find<QCheckBox>("选择框1")->isChecked(), step.methodOne);
    EXPECT_EQ(Find<QCheckBox>("选择框2")->isChecked(), step.methodTwo);
    EXPECT_EQ(Ui_GetChecked("选择框1"), step.methodOne ? 1 : 0);
  }
}

TEST_F(QtWindowTest, GreetingGlyphsResolveInTheChineseFont) {
  auto* report = Find<QPlainTextEdit>("编辑框_信息");
  QStringList lines = report->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  lines << Find<QLabel>("透明标签1")->text() << mainWindow_->windowTitle();
  for (const QString& line : lines) {
    QTextLayout layout(line, report->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      for (quint32 glyph : run.glyphIndexes()) {
        EXPECT_NE(glyph, 0u) << "a missing glyph in: " << line.toStdString() << " (font "
                             << run.rawFont().familyName().toStdString() << ")";
      }
    }
  }
}

TEST_F(QtWindowTest, HyperlinkOpensTheProductPageAndTurnsDarkRed) {
  BrowserRecorder browser;
  auto* link = Find<HyperlinkLabel>("超级链接框1");
  auto color = [link] { return link->palette().color(QPalette::WindowText); };
  EXPECT_EQ(color(), QColor(0, 0, 255));
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(link, &enter);
  EXPECT_EQ(color(), QColor(51, 153, 255)) << "under the mouse";
  // Pressed on the link but released away from it: no click.
  QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 5));
  EXPECT_TRUE(browser.Opened().empty()) << "released outside the link";
  QTest::mouseClick(link, Qt::LeftButton);

  ASSERT_EQ(browser.Opened().size(), 1);
  EXPECT_EQ(browser.Opened()[0], Qt_FromGbk(MakerSiteBase() + "/kuaidi-chaxun.html"));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(link, &leave);
  EXPECT_EQ(color(), QColor(128, 0, 0)) << "once opened";
}

#include "ui/qt/record_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <limits>

#include "ui/qt/link_label.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/report_box.h"
#include "ui/qt/tick_timer.h"
#include "ui/qt/window_behaviour.h"

namespace {

QColor ToColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

void SetColors(QWidget* widget, QPalette::ColorRole textRole, const ControlRecord& record) {
  QPalette colors = widget->palette();
  colors.setColor(textRole, ToColor(record.color));
  if (record.background) {
    colors.setColor(QPalette::Base, ToColor(*record.background));
  }
  widget->setPalette(colors);
}

QWidget* MakeLabel(const ControlRecord& record, QWidget* parent) {
  auto* label = new PressLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(Qt_FromGbkLines(record.text));
  if (record.layout == LabelLayout::CentredLinesFromTop) {
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
  } else {
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }
  // An ordinary label paints the window's background behind its caption; a
  // transparent one lets whatever lies below show through.
  label->setAutoFillBackground(record.kind == ControlKind::PlainLabel);
  SetColors(label, QPalette::WindowText, record);
  return label;
}

QWidget* MakeLineEdit(const ControlRecord& record, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(std::numeric_limits<int>::max());
  edit->setFrame(record.thinBorder);
  edit->setText(Qt_FromGbk(record.text));
  edit->setCursorPosition(0);
  SetColors(edit, QPalette::Text, record);
  if (record.height < 24) {
    // A box of one short line: no inner margins, so the digits are not clipped.
    edit->setTextMargins(0, 0, 0, 0);
    edit->setContentsMargins(0, 0, 0, 0);
  }
  return edit;
}

QWidget* MakeReportBox(const ControlRecord& record, QWidget* parent) {
  auto* edit = new ReportBox(parent);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setFrameShape(record.thinBorder ? QFrame::StyledPanel : QFrame::NoFrame);
  edit->setPlainText(Qt_FromGbkLines(record.text));
  SetColors(edit, QPalette::Text, record);
  edit->ShowSelection(false);  // it starts without the focus
  return edit;
}

QWidget* MakeCheckBox(const ControlRecord& record, QWidget* parent) {
  auto* box = new QCheckBox(Qt_FromGbk(record.text), parent);
  box->setChecked(record.checked);
  SetColors(box, QPalette::WindowText, record);
  return box;
}

QWidget* MakeButton(const ControlRecord& record, QWidget* parent) {
  auto* button = new QPushButton(Qt_FromGbk(record.text), parent);
  button->setAutoDefault(false);
  return button;
}

QWidget* MakeHyperlink(const ControlRecord& record, QWidget* parent) {
  auto* link = new HyperlinkLabel(ToColor(record.color), ToColor(record.hoverColor),
                                  ToColor(record.visitedColor), parent);
  link->setTextFormat(Qt::PlainText);
  link->setText(Qt_FromGbk(record.text));
  link->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  link->setToolTip(Qt_FromGbk(record.target));
  return link;
}

QWidget* MakeWidget(const ControlRecord& record, QWidget* parent) {
  switch (record.kind) {
    case ControlKind::Label:
    case ControlKind::PlainLabel:
      return MakeLabel(record, parent);
    case ControlKind::LineEdit:
      return MakeLineEdit(record, parent);
    case ControlKind::MultiLineEdit:
      return MakeReportBox(record, parent);
    case ControlKind::CheckBox:
      return MakeCheckBox(record, parent);
    case ControlKind::Button:
      return MakeButton(record, parent);
    case ControlKind::Hyperlink:
      return MakeHyperlink(record, parent);
    case ControlKind::Timer:
      break;
  }
  return nullptr;
}

}  // namespace

QFont Qt_WindowFont(const FontRecord& record) {
  QFont font(QString::fromLatin1(ChineseFontFamily));
  font.setPixelSize(record.pixelHeight > 0 ? record.pixelHeight : DefaultFontPixels);
  font.setBold(record.bold);
  // The family's outlines are drawn as designed. Hinted, every glyph would
  // first go through FreeType's auto-hinter, which the desktop's usual
  // "slight" setting selects: a third of the time to the first paint, for
  // strokes that at these sizes look no clearer.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

RecordWindow::RecordWindow(const WindowRecord& record) : name_(record.name) {
  setObjectName(ObjectNameOf(record.name));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(Qt_FromGbk(record.title));
  setFont(Qt_WindowFont(FontRecord{}));
  CreateControls(record);
  PlaceOnScreen(record);
}

void RecordWindow::CreateControls(const WindowRecord& record) {
  for (const ControlRecord& control : record.controls) {
    QString name = ObjectNameOf(control.name);
    if (control.kind == ControlKind::Timer) {
      auto* timer = new TickTimer(this);
      timer->setObjectName(name);
      timer->SetPeriod(control.period);
      continue;
    }
    QWidget* widget = MakeWidget(control, this);
    widget->setObjectName(name);
    widget->setFont(Qt_WindowFont(control.font));
    widget->setGeometry(control.left, control.top, control.width, control.height);
  }
}

void RecordWindow::PlaceOnScreen(const WindowRecord& record) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (record.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  if (record.maximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  setWindowFlags(flags);

  QSize client(record.outerWidth - 2 * FrameWidth,
               record.outerHeight - 2 * FrameWidth - CaptionHeight);
  if (record.resizable) {
    resize(client);
  } else {
    setFixedSize(client);
  }
  // Centred by the outer size, on the whole screen (not its work area), with
  // integer division as the record's window had it.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->geometry();
    move(area.left() + (area.width() - record.outerWidth) / 2,
         area.top() + (area.height() - record.outerHeight) / 2);
  }
}

void RecordWindow::closeEvent(QCloseEvent* event) {
  if (closeGuard_ && !closeGuard_()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

#include "ui/qt/qt_runtime.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "ui/qt/link_label.h"
#include "ui/qt/page_fetch_job.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/tick_timer.h"
#include "ui/qt/window_behaviour.h"

QtRuntime::QtRuntime() {
  // Message boxes and anything else without a font of its own draw in the
  // windows' family too. It also spares loading the desktop's default face,
  // which nothing here would draw with.
  QApplication::setFont(Qt_WindowFont(FontRecord{}));
}

QtRuntime::~QtRuntime() {
  EndBusy();
  for (auto& job : fetches_) job->Join();
}

QObject* QtRuntime::FindControl(std::string_view control) const {
  // Both windows have a 透明标签1; the logic means the start window's, so
  // windows are searched in the order they were loaded.
  QString name = ObjectNameOf(control);
  for (const auto& window : windows_) {
    if (!window) continue;
    if (QObject* found = window->findChild<QObject*>(name)) return found;
  }
  return nullptr;
}

Text QtRuntime::GetText(std::string_view control) {
  QObject* found = FindControl(control);
  if (auto* edit = qobject_cast<QLineEdit*>(found)) return Qt_ToGbk(edit->text());
  if (auto* edit = qobject_cast<QPlainTextEdit*>(found)) return Qt_ToGbkLines(edit->toPlainText());
  if (auto* label = qobject_cast<QLabel*>(found)) return Qt_ToGbkLines(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(found)) return Qt_ToGbk(button->text());
  return {};
}

void QtRuntime::SetText(std::string_view control, const Text& text) {
  QObject* found = FindControl(control);
  if (auto* edit = qobject_cast<QLineEdit*>(found)) {
    edit->setText(Qt_FromGbk(text));
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(found)) {
    edit->setPlainText(Qt_FromGbkLines(text));
  } else if (auto* label = qobject_cast<QLabel*>(found)) {
    label->setText(Qt_FromGbkLines(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(found)) {
    button->setText(Qt_FromGbk(text));
  }
}

int QtRuntime::GetChecked(std::string_view control) {
  auto* box = qobject_cast<QCheckBox*>(FindControl(control));
  return box && box->isChecked() ? 1 : 0;
}

void QtRuntime::SetChecked(std::string_view control, int checked) {
  // setChecked emits toggled, never clicked, so no click handler runs.
  if (auto* box = qobject_cast<QCheckBox*>(FindControl(control))) box->setChecked(checked == 1);
}

void QtRuntime::AppendText(std::string_view control, const Text& text) {
  QObject* found = FindControl(control);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(found)) {
    // An insert at the end costs what is inserted, however long the report.
    QTextDocument* document = edit->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // The report is not the user's typing: it stays out of the undo history.
    document->setUndoRedoEnabled(false);
    cursor.insertText(Qt_FromGbkLines(text));
    document->setUndoRedoEnabled(true);
    edit->setTextCursor(cursor);
    // The caret line alone may leave the last empty line below the view.
    edit->ensureCursorVisible();
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
  } else if (auto* edit = qobject_cast<QLineEdit*>(found)) {
    edit->setText(edit->text() + Qt_FromGbk(text));
    edit->end(false);
  }
}

void QtRuntime::SetTimerPeriod(std::string_view timer, int milliseconds) {
  if (auto* found = qobject_cast<TickTimer*>(FindControl(timer))) found->SetPeriod(milliseconds);
}

RecordWindow* QtRuntime::ShowWindow(std::string_view window) {
  return ShowWindow(window, Qt::NonModal);
}

RecordWindow* QtRuntime::ShowWindow(std::string_view window, Qt::WindowModality modality) {
  auto* built = new RecordWindow(Ui_WindowRecord(window));
  built->setWindowModality(modality);
  windows_.erase(std::remove(windows_.begin(), windows_.end(), nullptr), windows_.end());
  windows_.push_back(built);
  if (!startWindow_) startWindow_ = built;
  BindEvents(built);
  RunHandler(Ui_FindHandler(built->Name(), "", UiEvent::Create));
  built->show();
  return built;
}

RecordWindow* QtRuntime::OpenWindow(std::string_view window) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    auto* built = qobject_cast<RecordWindow*>(it->data());
    if (built && built->Name() == window) return built;
  }
  return nullptr;
}

void QtRuntime::BindEvents(RecordWindow* window) {
  const WindowRecord& record = Ui_WindowRecord(window->Name());
  for (const ControlRecord& control : record.controls) {
    QObject* object = window->findChild<QObject*>(ObjectNameOf(control.name));
    if (auto* timer = qobject_cast<TickTimer*>(object)) {
      auto handler = Ui_FindHandler(window->Name(), control.name, UiEvent::Tick);
      QObject::connect(timer, &TickTimer::ticked, &context_,
                       [this, timer, handler] { OnTick(timer, handler); });
    } else if (auto* link = qobject_cast<HyperlinkLabel*>(object)) {
      Text target = control.target;
      QObject::connect(link, &HyperlinkLabel::clicked, &context_, [target] { Ui_OpenUrl(target); });
    } else if (auto* label = qobject_cast<PressLabel*>(object)) {
      auto handler = Ui_FindHandler(window->Name(), control.name, UiEvent::LeftPress);
      if (handler) {
        QObject::connect(label, &PressLabel::leftPressed, &context_, [this, handler] { RunHandler(handler); });
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
      // A check box's clicked comes after the click has toggled it.
      auto handler = Ui_FindHandler(window->Name(), control.name, UiEvent::Click);
      if (handler) {
        QObject::connect(button, &QAbstractButton::clicked, &context_, [this, handler] { RunHandler(handler); });
      }
    }
  }
  auto* numberBox = window->findChild<QLineEdit*>(ObjectNameOf(NumberBoxName));
  auto* queryButton = window->findChild<QPushButton*>(ObjectNameOf(QueryButtonName));
  if (numberBox && queryButton) {
    // click() does nothing while the button is disabled, i.e. during a query.
    QObject::connect(numberBox, &QLineEdit::returnPressed, queryButton, &QPushButton::click);
  }
  window->SetCloseGuard([this, window] { return MayClose(window); });
  QObject::connect(window, &QObject::destroyed, &context_, [this](QObject* gone) {
    bool anyLeft = std::any_of(windows_.begin(), windows_.end(), [gone](const QPointer<QWidget>& w) {
      return !w.isNull() && w.data() != gone;
    });
    if (!anyLeft && runLoop_) runLoop_->quit();
  });
}

void QtRuntime::LoadWindow(std::string_view window, bool modal) {
  if (closeRequested_) return;  // the program is ending
  if (!modal) {
    ShowWindow(window);
    return;
  }
  QPointer<RecordWindow> built = ShowWindow(window, Qt::ApplicationModal);
  // Every event of the program goes on meanwhile, timer ticks included; the
  // modality keeps input away from the other windows.
  QEventLoop loop;
  QObject::connect(built, &QObject::destroyed, &loop, &QEventLoop::quit);
  if (built) loop.exec();
}

int QtRuntime::MessageBox(const Text& text, int buttons, const Text& title) {
  // Once the user has closed the window, the handler still running (its page
  // given up on) ends without asking anything.
  if (closeRequested_) return buttons == MessageButtonsYesNo ? MessageAnswerNo : MessageAnswerOk;
  QMessageBox box(QMessageBox::NoIcon, Qt_FromGbk(title), Qt_FromGbkLines(text),
                  buttons == MessageButtonsYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswerYes;
    case QMessageBox::No:
      return MessageAnswerNo;
    default:
      // Escape or the close box: No for a question, OK for a notice.
      return buttons == MessageButtonsYesNo ? MessageAnswerNo : MessageAnswerOk;
  }
}

void QtRuntime::OpenUrl(const Text& url) {
  if (closeRequested_) return;
  QDesktopServices::openUrl(QUrl(Qt_FromGbk(url), QUrl::TolerantMode));
}

void QtRuntime::Run(std::string_view window) {
  startWindow_ = nullptr;
  ShowWindow(window);  // the first window shown becomes the start window
  QEventLoop loop;
  runLoop_ = &loop;
  if (startWindow_) loop.exec();
  runLoop_ = nullptr;
}


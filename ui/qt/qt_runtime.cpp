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
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "ui/qt/link_label.h"
#include "ui/qt/page_fetch_job.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/tick_timer.h"

namespace {

// What the window does beyond its record. The query button is disabled while
// a page is fetched, and Enter in the number box clicks it.
constexpr std::string_view QueryButtonName = "按钮_查询";
constexpr std::string_view NumberBoxName = "编辑框_ID";
// The clock line's handler only writes one label, so it may run while a
// query waits for its page; every other tick waits for the query to end.
constexpr std::string_view ClockTimerName = "时钟1";

QString NameOf(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

void (*HandlerFor(std::string_view window, std::string_view control, UiEvent event))() {
  for (const EventBinding& binding : Ui_EventBindings()) {
    if (binding.window == window && binding.control == control && binding.event == event) {
      return binding.handler;
    }
  }
  return nullptr;
}

}  // namespace

QtRuntime::QtRuntime() = default;

QtRuntime::~QtRuntime() {
  EndBusy();
  for (auto& job : fetches_) job->Join();
}

QObject* QtRuntime::FindControl(std::string_view control) const {
  // Both windows have a 透明标签1; the logic means the start window's, so
  // windows are searched in the order they were loaded.
  QString name = NameOf(control);
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
  auto* built = new RecordWindow(Ui_WindowRecord(window));
  windows_.erase(std::remove(windows_.begin(), windows_.end(), nullptr), windows_.end());
  windows_.push_back(built);
  if (!startWindow_) startWindow_ = built;
  BindEvents(built);
  RunHandler(HandlerFor(built->Name(), "", UiEvent::Create));
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
    QObject* object = window->findChild<QObject*>(NameOf(control.name));
    if (auto* timer = qobject_cast<TickTimer*>(object)) {
      auto handler = HandlerFor(window->Name(), control.name, UiEvent::Tick);
      QObject::connect(timer, &TickTimer::ticked, &context_,
                       [this, timer, handler] { OnTick(timer, handler); });
    } else if (auto* link = qobject_cast<HyperlinkLabel*>(object)) {
      Text target = control.target;
      QObject::connect(link, &HyperlinkLabel::clicked, &context_, [target] { Ui_OpenUrl(target); });
    } else if (auto* label = qobject_cast<PressLabel*>(object)) {
      auto handler = HandlerFor(window->Name(), control.name, UiEvent::LeftPress);
      if (handler) {
        QObject::connect(label, &PressLabel::leftPressed, &context_, [this, handler] { RunHandler(handler); });
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
      // A check box's clicked comes after the click has toggled it.
      auto handler = HandlerFor(window->Name(), control.name, UiEvent::Click);
      if (handler) {
        QObject::connect(button, &QAbstractButton::clicked, &context_, [this, handler] { RunHandler(handler); });
      }
    }
  }
  auto* numberBox = window->findChild<QLineEdit*>(NameOf(NumberBoxName));
  auto* queryButton = window->findChild<QPushButton*>(NameOf(QueryButtonName));
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

bool QtRuntime::MayClose(RecordWindow* window) {
  if (window != startWindow_ || handlerDepth_ == 0) return true;
  // The start window is closed while a handler runs (a query waiting for its
  // page): hide it now, give up the wait, and close it for real once the
  // handler has ended, so no handler ever writes to a destroyed widget.
  closeRequested_ = true;
  window->hide();
  if (fetchLoop_) fetchLoop_->quit();
  return false;
}

void QtRuntime::LoadWindow(std::string_view window, bool modal) {
  if (closeRequested_) return;  // the program is ending
  if (!modal) {
    ShowWindow(window);
    return;
  }
  auto* built = new RecordWindow(Ui_WindowRecord(window));
  built->setWindowModality(Qt::ApplicationModal);
  windows_.push_back(built);
  BindEvents(built);
  RunHandler(HandlerFor(built->Name(), "", UiEvent::Create));
  QPointer<RecordWindow> guard(built);
  built->show();
  // Every event of the program goes on meanwhile, timer ticks included; the
  // modality keeps input away from the other windows.
  QEventLoop loop;
  QObject::connect(built, &QObject::destroyed, &loop, &QEventLoop::quit);
  if (guard) loop.exec();
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

void QtRuntime::RunHandler(void (*handler)()) {
  if (!handler || closeRequested_) return;
  ++handlerDepth_;
  handler();
  --handlerDepth_;
  AfterHandler();
}

void QtRuntime::AfterHandler() {
  if (busy_ && handlerDepth_ < busyDepth_) EndBusy();
  if (fetchesWaiting_ == 0 && !pendingTicks_.empty()) {
    QTimer::singleShot(0, &context_, [this] { DeliverPendingTicks(); });
  }
  if (closeRequested_ && handlerDepth_ == 0 && startWindow_) {
    QPointer<QWidget> window = startWindow_;
    QTimer::singleShot(0, &context_, [window] {
      if (window) window->close();
    });
  }
}

void QtRuntime::OnTick(TickTimer* timer, void (*handler)()) {
  if (!handler || closeRequested_) return;
  if (fetchesWaiting_ > 0 && timer->objectName() != NameOf(ClockTimerName)) {
    bool alreadyPending = std::any_of(pendingTicks_.begin(), pendingTicks_.end(),
                                      [timer](const PendingTick& tick) { return tick.timer == timer; });
    if (!alreadyPending) pendingTicks_.push_back({timer, handler});
    return;
  }
  RunHandler(handler);
}

void QtRuntime::DeliverPendingTicks() {
  if (fetchesWaiting_ > 0) return;  // another query began first; wait for it too
  std::vector<PendingTick> due;
  due.swap(pendingTicks_);
  for (const PendingTick& tick : due) {
    // A timer stopped or destroyed meanwhile has no tick left to deliver.
    if (tick.timer && tick.timer->Period() > 0) RunHandler(tick.handler);
  }
}

void QtRuntime::BeginBusy() {
  if (busy_) return;
  busy_ = true;
  busyDepth_ = handlerDepth_;
  if (auto* button = qobject_cast<QWidget*>(FindControl(QueryButtonName)); button && button->isEnabled()) {
    button->setEnabled(false);
    disabledButton_ = button;
  }
}

void QtRuntime::EndBusy() {
  if (!busy_) return;
  busy_ = false;
  if (disabledButton_) disabledButton_->setEnabled(true);
  disabledButton_ = nullptr;
}

Text QtRuntime::FetchPage(const Text& url) {
  if (closeRequested_) return {};
  FetchStillRunning();  // reaps the workers that have ended
  BeginBusy();
  std::shared_ptr<PageFetchJob> job = PageFetchJob::Start(url);
  fetches_.push_back(job);

  QEventLoop loop;
  job->SetWaiter(&loop);
  QEventLoop* outerLoop = fetchLoop_;
  fetchLoop_ = &loop;
  ++fetchesWaiting_;
  // Every event is handled meanwhile; the input hold keeps the user's input
  // for later. (Excluding user input from the loop instead would also hold
  // back the window system's close request until the page came.) Held input
  // is handed back after each wait, so a message box the handler shows next
  // takes its clicks as usual.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  inputHold_.Begin();
  while (!job->Done() && !closeRequested_) loop.exec();
  inputHold_.Release();
  QApplication::restoreOverrideCursor();
  --fetchesWaiting_;
  fetchLoop_ = outerLoop;
  job->SetWaiter(nullptr);

  if (handlerDepth_ == 0) EndBusy();  // a fetch outside any handler
  // A fetch given up on because the window closed gives the empty text,
  // as a failed request does.
  return job->Done() ? job->TakePage() : Text();
}

bool QtRuntime::FetchStillRunning() {
  auto ended = std::remove_if(fetches_.begin(), fetches_.end(), [](const auto& job) {
    if (!job->Done()) return false;
    job->Join();
    return true;
  });
  fetches_.erase(ended, fetches_.end());
  return !fetches_.empty();
}

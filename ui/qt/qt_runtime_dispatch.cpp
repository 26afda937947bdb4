// The runtime's scheduling: handlers one at a time, ticks deferred while a
// page is on its way, the busy state, the page fetch off the window thread,
// and a close of the start window while a handler runs.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "ui/qt/page_fetch_job.h"
#include "ui/qt/qt_runtime.h"
#include "ui/qt/tick_timer.h"
#include "ui/qt/window_behaviour.h"

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

void QtRuntime::RunHandler(void (*handler)()) {
  if (!handler || closeRequested_) return;
  ++handlerDepth_;
  handler();
  --handlerDepth_;
  AfterHandler();
}

void QtRuntime::AfterHandler() {
  if (busy_ && handlerDepth_ < busyDepth_) EndBusy();
  if (fetchLoop_ == nullptr && !pendingTicks_.empty()) {
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
  if (fetchLoop_ != nullptr && timer->objectName() != ObjectNameOf(ClockTimerName)) {
    bool alreadyPending = std::any_of(pendingTicks_.begin(), pendingTicks_.end(),
                                      [timer](const PendingTick& tick) { return tick.timer == timer; });
    if (!alreadyPending) pendingTicks_.push_back({timer, handler});
    return;
  }
  RunHandler(handler);
}

void QtRuntime::DeliverPendingTicks() {
  if (fetchLoop_ != nullptr) return;  // another query began first; wait for it too
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

#pragma once
// The window runtime on Qt Widgets: builds the windows from their records,
// binds their events to the logic's handlers and serves the Ui_* operations.
//
// It runs every handler on the window thread, one at a time. A page fetch runs
// on a worker thread while the window thread waits in a local event loop, so
// the windows keep painting and the clock line keeps ticking. Keyboard and
// mouse input that arrives meanwhile is held and handed back once the page is
// there (so it reaches the windows after the handler has ended); the other
// timers' ticks that fall due wait for the handler's end too, at most one per
// timer. Closing the start window ends the wait at once: the window hides, the
// handler gets empty pages and ends without showing anything more, and then
// the window goes.

#include <QObject>
#include <QPointer>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/qt/input_hold.h"
#include "ui/qt/record_window.h"
#include "ui/window_runtime.h"

class QEventLoop;
class PageFetchJob;
class TickTimer;

class QtRuntime : public WindowRuntime {
 public:
  QtRuntime();
  ~QtRuntime() override;  // waits for fetches still running
  QtRuntime(const QtRuntime&) = delete;
  QtRuntime& operator=(const QtRuntime&) = delete;

  Text GetText(std::string_view control) override;
  void SetText(std::string_view control, const Text& text) override;
  int GetChecked(std::string_view control) override;
  void SetChecked(std::string_view control, int checked) override;
  void AppendText(std::string_view control, const Text& text) override;
  void SetTimerPeriod(std::string_view timer, int milliseconds) override;
  void LoadWindow(std::string_view window, bool modal) override;
  int MessageBox(const Text& text, int buttons, const Text& title) override;
  void OpenUrl(const Text& url) override;
  void Run(std::string_view window) override;
  Text FetchPage(const Text& url) override;

  // Builds a window, binds its events, runs its creation handler and shows
  // it, without waiting; Run and LoadWindow are built on it.
  RecordWindow* ShowWindow(std::string_view window);
  // The open window of that name loaded last, or nullptr.
  RecordWindow* OpenWindow(std::string_view window) const;
  // True while a handler that fetched a page has not ended.
  bool Busy() const { return busy_; }
  // True while a worker is still fetching, e.g. one given up on because its
  // window was closed; the program then ends without waiting for it.
  bool FetchStillRunning();

 private:
  RecordWindow* ShowWindow(std::string_view window, Qt::WindowModality modality);
  QObject* FindControl(std::string_view control) const;
  void BindEvents(RecordWindow* window);
  bool MayClose(RecordWindow* window);
  void RunHandler(void (*handler)());
  void OnTick(TickTimer* timer, void (*handler)());
  void DeliverPendingTicks();
  void BeginBusy();
  void EndBusy();
  void AfterHandler();

  QObject context_;  // owns deferred calls; they die with the runtime
  InputHold inputHold_;
  // Held as QWidget: they are read while a window is being destroyed, when it
  // is no longer a RecordWindow.
  std::vector<QPointer<QWidget>> windows_;
  QPointer<QWidget> startWindow_;
  QEventLoop* runLoop_ = nullptr;
  QEventLoop* fetchLoop_ = nullptr;  // the innermost wait for a page; null when none waits
  std::vector<std::shared_ptr<PageFetchJob>> fetches_;
  struct PendingTick {
    QPointer<TickTimer> timer;
    void (*handler)();
  };
  std::vector<PendingTick> pendingTicks_;
  int handlerDepth_ = 0;
  bool busy_ = false;
  int busyDepth_ = 0;
  bool closeRequested_ = false;
  QPointer<QWidget> disabledButton_;
};

#pragma once
// A window runtime without windows, for tests and fuzzing: it keeps the texts
// and checked states of the controls (starting from the window records),
// records what the logic shows and opens, answers message boxes from a
// script, and runs the timers on a virtual clock, firing their ticks through
// Ui_EventBindings with the real timer rules: the same period changes
// nothing, below 0 counts as 0, the first tick comes one full period after
// the write, and at most one tick is ever pending.
//
// Nothing here depends on GoogleTest.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_runtime.h"

class RecordingRuntime : public WindowRuntime {
 public:
  struct MessageBoxCall {
    Text text;
    int buttons = 0;
    Text title;
  };
  struct AppendCall {
    std::string control;
    Text text;
  };

  RecordingRuntime();
  // Installs itself with Ui_SetRuntime; the destructor puts back the runtime
  // that was installed before.
  ~RecordingRuntime() override;
  RecordingRuntime(const RecordingRuntime&) = delete;
  RecordingRuntime& operator=(const RecordingRuntime&) = delete;

  // The operations of WindowRuntime. A control is looked up in the topmost
  // open window that has it, then in closed ones (so a test can still read
  // a window after it was closed).
  Text GetText(std::string_view control) override;
  void SetText(std::string_view control, const Text& text) override;
  int GetChecked(std::string_view control) override;
  void SetChecked(std::string_view control, int checked) override;
  void AppendText(std::string_view control, const Text& text) override;
  void SetTimerPeriod(std::string_view timer, int milliseconds) override;
  // Takes the start state from the window's record and raises its creation
  // event. A modal window runs WhileModalOpen, then closes.
  void LoadWindow(std::string_view window, bool modal) override;
  int MessageBox(const Text& text, int buttons, const Text& title) override;
  void OpenUrl(const Text& url) override;
  // Loads the start window, runs Session, then closes every window.
  void Run(std::string_view window) override;
  // Web_Fetch, or PageSource when set; each fetch takes FetchDuration of
  // virtual time, during which due ticks become pending.
  Text FetchPage(const Text& url) override;

  // What a user does. Click toggles a check box first, then raises the
  // bound click handler; it returns false (and does nothing) when the
  // control is missing or its window is disabled by a modal window above it.
  bool Click(std::string_view control);
  bool Press(std::string_view control);
  // Typing into a box: changes the text, raises nothing.
  void Type(std::string_view control, const Text& text) { SetText(control, text); }
  // Loads the main window as Run would, without running a session.
  void OpenMainWindow();
  bool IsOpen(std::string_view window) const;
  bool IsEnabled(std::string_view window) const;

  // The virtual clock, in milliseconds since the runtime was made.
  int64_t Now() const { return now_; }
  // Lets time pass, delivering every tick that falls due on the way.
  void AdvanceTime(int64_t milliseconds);
  // Time passing inside a handler: ticks that fall due only become pending.
  void SpendTime(int64_t milliseconds) { now_ += milliseconds; }
  int TimerPeriod(std::string_view timer) const;
  // How many ticks each timer has delivered.
  int TickCount(std::string_view timer) const;

  // Answers for the coming message boxes, in order; whileOpen runs while
  // the box is open (ticks may fire there; clicks are refused). Without a scripted answer an OK
  // box answers OK and a Yes/No box answers No.
  void ScriptAnswer(int answer, std::function<void()> whileOpen = {});
  std::function<void()> WhileModalOpen;
  std::function<void()> Session;
  std::function<Text(const Text& url)> PageSource;
  int64_t FetchDuration = 0;
  // Off, the appended texts are still applied but not logged (benchmarks).
  bool LogAppends = true;

  const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<Text>& OpenedUrls() const { return openedUrls_; }
  const std::vector<AppendCall>& Appends() const { return appends_; }
  const std::vector<Text>& FetchedUrls() const { return fetchedUrls_; }
  const std::vector<std::string>& LoadedWindows() const { return loadedWindows_; }

 private:
  struct ControlState {
    Text text;
    int checked = 0;
  };
  struct Window {
    std::string name;
    bool modal = false;
    bool open = true;
    std::map<std::string, ControlState, std::less<>> controls;
  };
  struct Timer {
    int period = 0;
    int64_t lastBoundary = 0;  // the latest tick time already accounted for
    int ticks = 0;
  };
  struct Answer {
    int answer;
    std::function<void()> whileOpen;
  };

  ControlState* Find(std::string_view control, Window** owner = nullptr);
  Window& Open(std::string_view window, bool modal);
  // Due time of a running timer: its next boundary, or now when one passed.
  int64_t DueTime(const Timer& timer) const;
  void DeliverTick(const std::string& name);

  // In loading order; the last open one is on top. Held by pointer, since a
  // modal window may be loaded while a handler holds on to another.
  std::vector<std::unique_ptr<Window>> windows_;
  std::map<std::string, Timer, std::less<>> timers_;
  std::vector<Answer> answers_;
  int64_t now_ = 0;
  std::vector<MessageBoxCall> messageBoxes_;
  std::vector<Text> openedUrls_;
  std::vector<AppendCall> appends_;
  std::vector<Text> fetchedUrls_;
  std::vector<std::string> loadedWindows_;
  int openMessageBoxes_ = 0;
  WindowRuntime* previous_ = nullptr;
};

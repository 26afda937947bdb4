#include "recording_runtime.h"

#include <algorithm>
#include <utility>

#include "ui/window_records.h"
#include "web/web_access.h"

RecordingRuntime::RecordingRuntime() : previous_(Ui_InstalledRuntime()) { Ui_SetRuntime(this); }

RecordingRuntime::~RecordingRuntime() { Ui_SetRuntime(previous_); }

RecordingRuntime::ControlState* RecordingRuntime::Find(std::string_view control, Window** owner) {
  // Open windows from the top down first, then closed ones, newest first.
  for (bool wantOpen : {true, false}) {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      Window& window = **it;
      if (window.open != wantOpen) continue;
      auto found = window.controls.find(control);
      if (found != window.controls.end()) {
        if (owner) *owner = &window;
        return &found->second;
      }
    }
  }
  return nullptr;
}

Text RecordingRuntime::GetText(std::string_view control) {
  ControlState* state = Find(control);
  return state ? state->text : Text();
}

void RecordingRuntime::SetText(std::string_view control, const Text& text) {
  if (ControlState* state = Find(control)) state->text = text;
}

int RecordingRuntime::GetChecked(std::string_view control) {
  ControlState* state = Find(control);
  return state ? state->checked : 0;
}

void RecordingRuntime::SetChecked(std::string_view control, int checked) {
  if (ControlState* state = Find(control)) state->checked = checked == 1 ? 1 : 0;
}

void RecordingRuntime::AppendText(std::string_view control, const Text& text) {
  if (ControlState* state = Find(control)) {
    state->text += text;
    if (LogAppends) appends_.push_back({std::string(control), text});
  }
}

void RecordingRuntime::SetTimerPeriod(std::string_view timer, int milliseconds) {
  milliseconds = std::max(milliseconds, 0);
  auto it = timers_.find(timer);
  if (it == timers_.end()) it = timers_.emplace(std::string(timer), Timer{}).first;
  Timer& state = it->second;
  if (state.period == milliseconds) return;
  state.period = milliseconds;
  state.lastBoundary = now_;
}

RecordingRuntime::Window& RecordingRuntime::Open(std::string_view name, bool modal) {
  auto window = std::make_unique<Window>();
  window->name = std::string(name);
  window->modal = modal;
  for (const ControlRecord& control : Ui_WindowRecord(name).controls) {
    if (control.kind == ControlKind::Timer) {
      SetTimerPeriod(control.name, control.period);
    } else {
      window->controls[std::string(control.name)] = {control.text, control.checked ? 1 : 0};
    }
  }
  windows_.push_back(std::move(window));
  loadedWindows_.push_back(std::string(name));
  return *windows_.back();
}

void RecordingRuntime::LoadWindow(std::string_view name, bool modal) {
  Window& window = Open(name, modal);
  if (auto handler = Ui_FindHandler(name, "", UiEvent::Create)) handler();
  if (modal) {
    if (WhileModalOpen) WhileModalOpen();
    window.open = false;
  }
}

int RecordingRuntime::MessageBox(const Text& text, int buttons, const Text& title) {
  messageBoxes_.push_back({text, buttons, title});
  Answer answer{buttons == MessageButtonsYesNo ? MessageAnswerNo : MessageAnswerOk, {}};
  if (!answers_.empty()) {
    answer = std::move(answers_.front());
    answers_.erase(answers_.begin());
  }
  // The box is modal to the whole program while it is open.
  ++openMessageBoxes_;
  if (answer.whileOpen) answer.whileOpen();
  --openMessageBoxes_;
  return answer.answer;
}

void RecordingRuntime::OpenUrl(const Text& url) { openedUrls_.push_back(url); }

void RecordingRuntime::Run(std::string_view window) {
  LoadWindow(window, false);
  if (Session) Session();
  // Closing the start window ends the run: its timers die with it.
  for (auto& each : windows_) each->open = false;
  for (auto& [name, timer] : timers_) timer.period = 0;
}

Text RecordingRuntime::FetchPage(const Text& url) {
  fetchedUrls_.push_back(url);
  Text page = PageSource ? PageSource(url) : Web_Fetch(url);
  SpendTime(FetchDuration);
  return page;
}

void RecordingRuntime::OpenMainWindow() { LoadWindow(MainWindowName, false); }

bool RecordingRuntime::IsOpen(std::string_view name) const {
  return std::any_of(windows_.begin(), windows_.end(),
                     [&](const auto& window) { return window->open && window->name == name; });
}

bool RecordingRuntime::IsEnabled(std::string_view name) const {
  // A window is disabled while a message box or a modal window loaded after
  // it is open.
  if (openMessageBoxes_ > 0) return false;
  bool seen = false;
  for (const auto& window : windows_) {
    if (!window->open) continue;
    if (window->name == name) {
      seen = true;
    } else if (seen && window->modal) {
      return false;
    }
  }
  return seen;
}

bool RecordingRuntime::Click(std::string_view control) {
  Window* owner = nullptr;
  ControlState* state = Find(control, &owner);
  if (!state || !owner->open || !IsEnabled(owner->name)) return false;
  const auto& record = Ui_WindowRecord(owner->name);
  auto kind = std::find_if(record.controls.begin(), record.controls.end(),
                           [&](const ControlRecord& c) { return c.name == control; });
  if (kind != record.controls.end() && kind->kind == ControlKind::CheckBox) {
    state->checked = state->checked == 1 ? 0 : 1;
  }
  if (auto handler = Ui_FindHandler(owner->name, control, UiEvent::Click)) handler();
  return true;
}

bool RecordingRuntime::Press(std::string_view control) {
  Window* owner = nullptr;
  if (!Find(control, &owner) || !owner->open || !IsEnabled(owner->name)) return false;
  if (auto handler = Ui_FindHandler(owner->name, control, UiEvent::LeftPress)) handler();
  return true;
}

int64_t RecordingRuntime::DueTime(const Timer& timer) const {
  return timer.lastBoundary + timer.period;
}

void RecordingRuntime::DeliverTick(const std::string& name) {
  Timer& timer = timers_.at(name);
  // Every boundary that passed while the program was busy folds into this
  // one tick: at most one is ever pending.
  timer.lastBoundary += (now_ - timer.lastBoundary) / timer.period * timer.period;
  ++timer.ticks;
  if (auto handler = Ui_FindHandler(MainWindowName, name, UiEvent::Tick)) handler();
}

void RecordingRuntime::AdvanceTime(int64_t milliseconds) {
  const int64_t target = now_ + milliseconds;
  for (;;) {
    if (!IsOpen(MainWindowName)) break;
    const std::string* next = nullptr;
    int64_t nextDue = 0;
    for (const auto& [name, timer] : timers_) {
      if (timer.period <= 0) continue;
      int64_t due = DueTime(timer);
      if (due <= target && (!next || due < nextDue)) {
        next = &name;
        nextDue = due;
      }
    }
    if (!next) break;
    now_ = std::max(now_, nextDue);
    DeliverTick(*next);
  }
  now_ = std::max(now_, target);
}

int RecordingRuntime::TimerPeriod(std::string_view timer) const {
  auto it = timers_.find(timer);
  return it == timers_.end() ? 0 : it->second.period;
}

int RecordingRuntime::TickCount(std::string_view timer) const {
  auto it = timers_.find(timer);
  return it == timers_.end() ? 0 : it->second.ticks;
}

void RecordingRuntime::ScriptAnswer(int answer, std::function<void()> whileOpen) {
  answers_.push_back({answer, std::move(whileOpen)});
}

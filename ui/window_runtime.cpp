#include "ui/window_runtime.h"

#include <algorithm>
#include <vector>

#include "text/code_page.h"
#include "web/web_access.h"

namespace {

WindowRuntime* installedRuntime = nullptr;

std::vector<void (*)()>& ExitRoutines() {
  static std::vector<void (*)()> routines;
  return routines;
}

}  // namespace

bool Ui_IsWebAddress(std::string_view url) {
  auto startsWithFolded = [url](std::string_view scheme) {
    if (url.size() <= scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      char c = url[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return startsWithFolded("http://") || startsWithFolded("https://");
}

Text WindowRuntime::FetchPage(const Text& url) { return Web_Fetch(url); }

void Ui_SetRuntime(WindowRuntime* runtime) { installedRuntime = runtime; }

WindowRuntime* Ui_InstalledRuntime() { return installedRuntime; }

// Every operation is a no-op (or the empty answer) while no runtime is
// installed, so the logic never dereferences a missing window layer.
Text Ui_GetText(std::string_view control) {
  return installedRuntime ? installedRuntime->GetText(control) : Text();
}

void Ui_SetText(std::string_view control, const Text& text) {
  if (installedRuntime) installedRuntime->SetText(control, text);
}

int Ui_GetChecked(std::string_view control) {
  return installedRuntime ? installedRuntime->GetChecked(control) : 0;
}

void Ui_SetChecked(std::string_view control, int checked) {
  if (installedRuntime) installedRuntime->SetChecked(control, checked == 1 ? 1 : 0);
}

void Ui_AppendText(std::string_view control, const Text& text) {
  if (installedRuntime) installedRuntime->AppendText(control, text);
}

void Ui_SetTimerPeriod(std::string_view timer, int milliseconds) {
  if (installedRuntime) installedRuntime->SetTimerPeriod(timer, std::max(milliseconds, 0));
}

void Ui_LoadWindow(std::string_view window, bool modal) {
  if (installedRuntime) installedRuntime->LoadWindow(window, modal);
}

int Ui_MessageBox(const Text& text, int buttons) {
  return Ui_MessageBox(text, buttons, Gbk("信息："));
}

int Ui_MessageBox(const Text& text, int buttons, const Text& title) {
  return installedRuntime ? installedRuntime->MessageBox(text, buttons, title) : MessageAnswerCancel;
}

void Ui_OpenUrl(const Text& url) {
  if (installedRuntime && Ui_IsWebAddress(url)) installedRuntime->OpenUrl(url);
}

void Ui_AtExit(void (*routine)()) {
  auto& routines = ExitRoutines();
  if (routine && std::find(routines.begin(), routines.end(), routine) == routines.end()) {
    routines.push_back(routine);
  }
}

void Ui_Run(std::string_view window) {
  if (installedRuntime) installedRuntime->Run(window);
}

void Ui_RunExitRoutines() {
  for (auto routine : ExitRoutines()) routine();
}

Text Ui_FetchPage(const Text& url) {
  return installedRuntime ? installedRuntime->FetchPage(url) : Web_Fetch(url);
}

#pragma once
// What the logic needs of a window runtime, and the Ui_* operations through
// which it reaches windows. The logic never sees a widget: the Qt layer, the
// console runtime and the recording runtime of the tests implement
// WindowRuntime, and one of them is installed with Ui_SetRuntime.
//
// Controls and windows are addressed by their UTF-8 names from the window
// records ("编辑框_ID", "选择框1", "时钟2"); every text that crosses this seam
// is code page 936.

#include <string_view>

#include "text/text_primitives.h"

// Buttons of a message box, and the answers it can return.
inline constexpr int MessageButtonsOk = 0;
inline constexpr int MessageButtonsYesNo = 4;
inline constexpr int MessageAnswerOk = 0;
inline constexpr int MessageAnswerCancel = 1;
inline constexpr int MessageAnswerYes = 5;
inline constexpr int MessageAnswerNo = 6;

class WindowRuntime {
 public:
  virtual ~WindowRuntime() = default;

  virtual Text GetText(std::string_view control) = 0;
  virtual void SetText(std::string_view control, const Text& text) = 0;
  virtual int GetChecked(std::string_view control) = 0;
  // Raises no click event.
  virtual void SetChecked(std::string_view control, int checked) = 0;
  // Inserts at the end and shows the end of what was added.
  virtual void AppendText(std::string_view control, const Text& text) = 0;
  // Below 0 counts as 0 (stopped); the current period changes nothing; any
  // other period restarts the timer, first tick one full period later; at
  // most one tick is ever pending.
  virtual void SetTimerPeriod(std::string_view timer, int milliseconds) = 0;
  virtual void LoadWindow(std::string_view window, bool modal) = 0;
  // Modal to the whole program; timers go on while it is open.
  virtual int MessageBox(const Text& text, int buttons, const Text& title) = 0;
  // Only ever called with an http or https address.
  virtual void OpenUrl(const Text& url) = 0;
  // Shows the start window and handles events until no window is left.
  virtual void Run(std::string_view window) = 0;

  // Runs one blocking page fetch for the logic. This default fetches on the
  // calling thread; a window runtime fetches off the window thread and keeps
  // the window painting until the page is there.
  virtual Text FetchPage(const Text& url);
};

// The runtime the Ui_* operations use; not owned. Nothing is installed at start.
void Ui_SetRuntime(WindowRuntime* runtime);
// The installed runtime, or nullptr.
WindowRuntime* Ui_InstalledRuntime();

Text Ui_GetText(std::string_view control);
void Ui_SetText(std::string_view control, const Text& text);
int Ui_GetChecked(std::string_view control);
void Ui_SetChecked(std::string_view control, int checked);
void Ui_AppendText(std::string_view control, const Text& text);
void Ui_SetTimerPeriod(std::string_view timer, int milliseconds);
void Ui_LoadWindow(std::string_view window, bool modal);
// An omitted title is "信息：".
int Ui_MessageBox(const Text& text, int buttons = MessageButtonsOk);
int Ui_MessageBox(const Text& text, int buttons, const Text& title);
// Hands an http or https address to the user's browser; anything else
// (empty, a file, a program, another scheme) opens nothing.
void Ui_OpenUrl(const Text& url);
// An http or https address (scheme in any letter case) with something after "://".
bool Ui_IsWebAddress(std::string_view url);
// Registers a routine to run when the program ends; registering it again adds nothing.
void Ui_AtExit(void (*routine)());
// Shows the start window and handles events until no window is left.
void Ui_Run(std::string_view window);
// Runs the registered exit routines in the order of registration; the
// program's entry calls it once, after its entry routine has returned.
void Ui_RunExitRoutines();
// The page fetch the logic uses: the installed runtime's FetchPage.
Text Ui_FetchPage(const Text& url);

#include "ui/app_start.h"

#include "ui/program_globals.h"
#include "ui/window_records.h"
#include "ui/window_runtime.h"

int App_Start() {
  // TrackRegex exists before the exit routine is registered, so the exit
  // routine never meets a program without it.
  Globals_CreateTrackRegex();
  Ui_AtExit(App_ExitCleanup);
  Ui_Run(MainWindowName);
  return 0;
}

void App_ExitCleanup() { Globals_Release(); }

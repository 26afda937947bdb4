#pragma once
// The program's entry and its exit routine. A window runtime must have been
// installed with Ui_SetRuntime before App_Start; the program's main calls
// Ui_RunExitRoutines after App_Start has returned.

// Creates TrackRegex, registers App_ExitCleanup, runs the main window until
// no window is left, and returns 0.
int App_Start();
// Releases every program global and destroys TrackRegex.
void App_ExitCleanup();

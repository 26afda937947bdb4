#pragma once
// The handlers that belong to the two windows themselves. The handlers of the
// query, the timers and the update check are in query/query.h and
// update/update_check.h; ui/window_records.cpp binds them all to events.

// Creation of the main window: starts the clock line's timer.
void MainWindow_OnCreate();
// Clicks of the method boxes: checking one unchecks the other.
void MainWindow_OnMethodOneClick();
void MainWindow_OnMethodTwoClick();
// Click of 按钮2: shows the about window, modal; returns when it is closed.
void MainWindow_OnAboutClick();
// Left press on the about text: opens the maker's home page.
void AboutWindow_OnTextPress();

#pragma once
// The command line's stand-in for the window's query timer: a tick every
// period, the first one full period after the start. As with a window timer,
// ticks that fall due while a tick is still running do not pile up: at most
// one follows at once, then the beat goes on.
//
// Ctrl+C (or SIGTERM) ends the loop cleanly between ticks; a tick that is
// running is finished first. A second Ctrl+C ends the program at once, for a
// fetch that hangs.

#include <functional>
#include <optional>

// Runs `tick` up to `count` times (absent: until interrupted); returns how
// many ticks ran.
int Cli_RunEvery(int periodMilliseconds, std::optional<int> count,
                 const std::function<void()>& tick);

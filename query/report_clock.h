#pragma once
// The local date and time the report's end banner and the clock line show.
// Tests replace the source to get a fixed moment.

#include <functional>

#include "text/date_time.h"

DateTime Query_CurrentTime();
// An empty function restores the system clock.
void Query_SetTimeSource(std::function<DateTime()> source);

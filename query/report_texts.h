#pragma once
// The fixed pieces of the report, in code page 936, made once.

#include "text/text_primitives.h"

const Text& Report_StartBanner();
// The end banner around a date-time text.
Text Report_EndBanner(const Text& dateTime);
const Text& Report_HintMethodOne();
const Text& Report_HintMethodTwo();
// Appended instead of the frames when the reply does not echo the number.
const Text& Report_ErrorText();
// Two ideographic spaces between an entry's time and its description.
const Text& Report_TimeSeparator();
// The clock line's text before the date-time.
const Text& Report_ClockPrefix();

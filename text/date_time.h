#pragma once
// Local date and time to the second, and its Chinese text form.

#include "text/text_primitives.h"

struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

DateTime Time_Now();
// "2016年9月22日8时5分3秒"; trailing zero fields are dropped (see the .cpp).
// The result is code page 936 text.
Text Time_ToText(const DateTime& d);

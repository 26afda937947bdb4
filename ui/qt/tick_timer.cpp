#include "ui/qt/tick_timer.h"

TickTimer::TickTimer(QObject* parent) : QObject(parent) {
  // A coarse timer may fire up to 5% early; the first tick must not come
  // before one full period has passed.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TickTimer::ticked);
}

void TickTimer::SetPeriod(int milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  if (milliseconds == period_) return;
  period_ = milliseconds;
  if (period_ == 0) {
    timer_.stop();
  } else {
    timer_.start(period_);  // restarts a running timer
  }
}

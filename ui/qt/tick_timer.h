#pragma once
// A window timer as the logic expects it: writing the period it already has
// changes nothing, any other period restarts it with the first tick one full
// period later, 0 stops it. A tick that falls due late is delivered once, not
// repeated for every period missed.

#include <QObject>
#include <QTimer>

class TickTimer : public QObject {
  Q_OBJECT

 public:
  explicit TickTimer(QObject* parent = nullptr);

  void SetPeriod(int milliseconds);
  int Period() const { return period_; }
  // Milliseconds until the next tick; -1 while stopped.
  int RemainingTime() const { return timer_.remainingTime(); }

 signals:
  void ticked();

 private:
  QTimer timer_;
  int period_ = 0;
};

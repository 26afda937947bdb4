#pragma once
// Shared by the two start-up probes: once the first window has painted (all
// of it: the report comes after the paint pass ends), writes "shown" to
// standard output and closes every window, so the program ends as a user's
// close would end it.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

class FirstPaintReporter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!reported_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
      reported_ = true;
      QTimer::singleShot(0, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QApplication::closeAllWindows();
      });
    }
    return false;
  }

 private:
  bool reported_ = false;
};

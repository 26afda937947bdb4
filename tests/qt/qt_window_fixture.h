#pragma once
// The Qt window tests' common ground: one QApplication on the offscreen
// platform, a QtRuntime installed for each test with the main window shown,
// and helpers to find controls, wait for a condition and answer message boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"
#include "query/report_clock.h"
#include "query/track_service.h"
#include "ui/maker_site.h"
#include "ui/program_globals.h"
#include "ui/qt/qt_runtime.h"
#include "ui/window_records.h"

QApplication& TestApplication();

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <typename Widget>
  Widget* Find(const char* name) const {
    Widget* found = mainWindow_ ? mainWindow_->findChild<Widget*>(U(name)) : nullptr;
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
  }
  // Handles events until the condition holds or five seconds have passed.
  static bool WaitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
  }
  QString ReportText() const;

  QtRuntime runtime_;
  QPointer<RecordWindow> mainWindow_;
};

// Answers every message box that opens while it lives: Yes or No as told for
// a question, OK for a notice. Before answering it runs `whileOpen`, which
// may handle events (the box stays open meanwhile).
class MessageBoxAnswerer {
 public:
  struct Seen {
    QString title;
    QString text;
    bool question = false;
    bool applicationModal = false;
  };

  explicit MessageBoxAnswerer(QMessageBox::StandardButton answer,
                              std::function<void()> whileOpen = {});
  const std::vector<Seen>& SeenBoxes() const { return seen_; }

 private:
  void Poll();

  QMessageBox::StandardButton answer_;
  std::function<void()> whileOpen_;
  std::vector<Seen> seen_;
  QTimer poll_;
  bool answering_ = false;
};

// Stands in for the user's browser: records every http and https address the
// program hands to QDesktopServices while it lives.
class BrowserRecorder {
 public:
  BrowserRecorder();
  ~BrowserRecorder();
  const QStringList& Opened() const { return opened_; }

 private:
  QObject* sink_;  // a QTextBrowser, whose anchorClicked signal takes a QUrl
  QStringList opened_;
};

// The tracking service with a gate: every request waits until the test opens
// it (or ten seconds pass), so a test can act while a query is in flight.
class GatedTrackingService {
 public:
  GatedTrackingService();
  ~GatedTrackingService();
  std::string BaseUrl() const { return server_.BaseUrl(); }
  std::vector<RecordedRequest> Requests() const { return server_.Requests(); }
  // Requests that have arrived and are waiting at the gate or answered.
  int Arrived() const;
  void Open();

 private:
  std::string Answer(const RecordedRequest& request);

  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
  int arrived_ = 0;
  LoopbackServer server_;  // last: stops before the gate goes away
};

#include "qt_window_fixture.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QTextBrowser>
#include <QPlainTextEdit>
#include <chrono>

#include "support/tracking_service.h"
#include "ui/window_runtime.h"

QApplication& TestApplication() {
  // One application for the whole test program; it stays reachable, so it is
  // never reported as a leak.
  static QApplication* application = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *application;
}

void QtWindowTest::SetUp() {
  TestApplication();
  Globals_CreateTrackRegex();
  Ui_SetRuntime(&runtime_);
  mainWindow_ = runtime_.ShowWindow(MainWindowName);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow_));
}

void QtWindowTest::TearDown() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<RecordWindow*>(window)) delete window;
  }
  Ui_SetRuntime(nullptr);
  Query_SetTrackServiceBase({});
  Ui_SetMakerSiteBase({});
  Query_SetTimeSource({});
  Globals_Release();
}

QString QtWindowTest::ReportText() const {
  auto* report = Find<QPlainTextEdit>("编辑框_信息");
  return report ? report->toPlainText() : QString();
}

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton answer,
                                       std::function<void()> whileOpen)
    : answer_(answer), whileOpen_(std::move(whileOpen)) {
  QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
  poll_.start(5);
}

void MessageBoxAnswerer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || answering_) return;
  answering_ = true;
  bool question = box->button(QMessageBox::Yes) != nullptr;
  seen_.push_back({box->windowTitle(), box->text(), question,
                   box->windowModality() == Qt::ApplicationModal});
  if (whileOpen_) whileOpen_();
  box->button(question ? answer_ : QMessageBox::Ok)->click();
  answering_ = false;
}

BrowserRecorder::BrowserRecorder() {
  auto* sink = new QTextBrowser();
  sink_ = sink;
  QObject::connect(sink, &QTextBrowser::anchorClicked,
                   [this](const QUrl& url) { opened_ << url.toString(); });
  QDesktopServices::setUrlHandler(QStringLiteral("http"), sink, "anchorClicked");
  QDesktopServices::setUrlHandler(QStringLiteral("https"), sink, "anchorClicked");
}

BrowserRecorder::~BrowserRecorder() {
  QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  delete sink_;
}

GatedTrackingService::GatedTrackingService()
    : server_([this](const RecordedRequest& request) { return Answer(request); }) {}

GatedTrackingService::~GatedTrackingService() { Open(); }

int GatedTrackingService::Arrived() const {
  std::lock_guard lock(mutex_);
  return arrived_;
}

void GatedTrackingService::Open() {
  {
    std::lock_guard lock(mutex_);
    open_ = true;
  }
  opened_.notify_all();
}

std::string GatedTrackingService::Answer(const RecordedRequest& request) {
  std::unique_lock lock(mutex_);
  ++arrived_;
  opened_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
  lock.unlock();
  std::string body;
  if (request.target.starts_with("/autonumber/")) {
    body = TrackingService::DetectionReply(
        TrackingService::QueryValue(request.target, "text").value_or(""), "yuantong");
  } else {
    body = TrackingService::TraceReply(
        TrackingService::QueryValue(request.target, "postid").value_or(""),
        {{"2016-09-22 08:05:03", "", TrackingService::JsonEscape("已签收"), ""}});
  }
  return LoopbackServer::Response(200, body);
}

#include "ui/qt/page_fetch_job.h"

#include <QEventLoop>
#include <QMetaObject>

#include "web/web_access.h"

std::shared_ptr<PageFetchJob> PageFetchJob::Start(const Text& url) {
  std::shared_ptr<PageFetchJob> job(new PageFetchJob());
  // The destructor joins the worker, so the job outlives every use of it
  // on the worker thread.
  PageFetchJob* raw = job.get();
  job->worker_ = std::thread([raw, url] { raw->Finish(Web_Fetch(url)); });
  return job;
}

PageFetchJob::~PageFetchJob() { Join(); }

void PageFetchJob::SetWaiter(QEventLoop* loop) {
  std::lock_guard<std::mutex> lock(mutex_);
  waiter_ = loop;
}

Text PageFetchJob::TakePage() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::move(page_);
}

void PageFetchJob::Join() {
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void PageFetchJob::Finish(Text page) {
  std::lock_guard<std::mutex> lock(mutex_);
  page_ = std::move(page);
  done_.store(true);
  // Posted, not called: the loop lives on the window thread. The waiter stays
  // valid while the lock is held, and a posted call to a loop destroyed
  // later is discarded with it.
  if (waiter_) QMetaObject::invokeMethod(waiter_, &QEventLoop::quit, Qt::QueuedConnection);
}

#pragma once
// One page fetch on a worker thread. The window thread waits for it in a
// local event loop; the worker wakes that loop when the page is there. A job
// may outlive its waiter (the window was closed meanwhile): the worker then
// finishes on its own and touches nothing but the job.

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "text/text_primitives.h"

class QEventLoop;

class PageFetchJob {
 public:
  // Starts Web_Fetch(url) on a new thread.
  static std::shared_ptr<PageFetchJob> Start(const Text& url);
  ~PageFetchJob();
  PageFetchJob(const PageFetchJob&) = delete;
  PageFetchJob& operator=(const PageFetchJob&) = delete;

  // The loop to wake when the page arrives; nullptr before the loop goes away.
  void SetWaiter(QEventLoop* loop);
  bool Done() const { return done_.load(); }
  Text TakePage();
  // Waits for the worker to end.
  void Join();

 private:
  PageFetchJob() = default;
  void Finish(Text page);

  std::mutex mutex_;
  QEventLoop* waiter_ = nullptr;
  Text page_;
  std::atomic<bool> done_{false};
  std::thread worker_;
};

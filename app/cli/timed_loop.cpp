#include "timed_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>

namespace {

using Clock = std::chrono::steady_clock;

// The handler only writes to a pipe; the loop waits on the pipe's read end,
// so the wait wakes whichever thread the signal was delivered to.
int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int signalNumber) {
  if (interrupted) {
    // Second request: the program is stuck in a tick; end it now.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    return;
  }
  interrupted = 1;
  int savedErrno = errno;
  char byte = 1;
  [[maybe_unused]] auto written = write(wakePipe[1], &byte, 1);
  errno = savedErrno;
}

class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted = 0;
    if (pipe(wakePipe) == 0) {
      fcntl(wakePipe[0], F_SETFD, FD_CLOEXEC);
      fcntl(wakePipe[1], F_SETFD, FD_CLOEXEC);
      fcntl(wakePipe[1], F_SETFL, O_NONBLOCK);
    }
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &oldInterrupt_);
    sigaction(SIGTERM, &action, &oldTerminate_);
  }
  ~InterruptGuard() {
    sigaction(SIGINT, &oldInterrupt_, nullptr);
    sigaction(SIGTERM, &oldTerminate_, nullptr);
    for (int& end : wakePipe) {
      if (end >= 0) close(end);
      end = -1;
    }
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction oldInterrupt_ = {};
  struct sigaction oldTerminate_ = {};
};

// Sleeps until `due`; false when interrupted first.
bool WaitUntil(Clock::time_point due) {
  while (!interrupted) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
    if (left <= 0) return true;
    pollfd wake = {wakePipe[0], POLLIN, 0};
    poll(&wake, wakePipe[0] >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left, 1 << 30)));
  }
  return false;
}

}  // namespace

int Cli_RunEvery(int periodMilliseconds, std::optional<int> count,
                 const std::function<void()>& tick) {
  InterruptGuard guard;
  const auto period = std::chrono::milliseconds(periodMilliseconds);
  auto due = Clock::now() + period;
  int runs = 0;
  while (!count || runs < *count) {
    if (!WaitUntil(due)) break;
    tick();
    ++runs;
    // Keep the beat of the start; if ticks fell due meanwhile, one of them is
    // pending and runs at once, the others are dropped.
    auto now = Clock::now();
    due += period;
    if (due <= now) {
      auto missed = (now - due) / period;
      due += missed * period;  // the latest tick that fell due: run it now
    }
  }
  return runs;
}

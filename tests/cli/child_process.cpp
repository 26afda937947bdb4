#include "child_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

extern char** environ;

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int failure = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  outFd_ = outPipe[0];
  errFd_ = errPipe[0];
  if (failure != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + program);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
}

// One poll over both pipes; false when both are closed or nothing came in time.
bool ChildProcess::ReadSome(int timeoutMilliseconds) {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  if (outFd_ < 0 && errFd_ < 0) return false;
  if (poll(fds, 2, timeoutMilliseconds) <= 0) return false;
  int* ends[2] = {&outFd_, &errFd_};
  std::string* sinks[2] = {&result_.out, &result_.err};
  for (int k = 0; k < 2; ++k) {
    if (*ends[k] < 0 || fds[k].revents == 0) continue;
    char buffer[4096];
    ssize_t got = read(*ends[k], buffer, sizeof buffer);
    if (got > 0) {
      sinks[k]->append(buffer, static_cast<size_t>(got));
    } else {
      close(*ends[k]);
      *ends[k] = -1;
    }
  }
  return true;
}

bool ChildProcess::WaitForOutput(std::string_view text, int safetyLimitMilliseconds) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(safetyLimitMilliseconds);
  while (result_.out.find(text) == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    limit - std::chrono::steady_clock::now()).count();
    if (left <= 0 || outFd_ < 0 || !ReadSome(static_cast<int>(left))) {
      return result_.out.find(text) != std::string::npos;
    }
  }
  return true;
}

void ChildProcess::Signal(int signalNumber) {
  if (pid_ > 0) kill(pid_, signalNumber);
}

ChildResult ChildProcess::Finish() {
  while (ReadSome(-1)) {
  }
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  result_.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result_;
}

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments) {
  return ChildProcess(program, arguments).Finish();
}

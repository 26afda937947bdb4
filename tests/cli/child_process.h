#pragma once
// Runs a program as a child process with its standard output and error
// captured, for tests that check what a command line really prints.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

struct ChildResult {
  int exitStatus = -1;  // -1 when the child ended by a signal
  std::string out;
  std::string err;
};

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ChildProcess();  // kills a child still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads until standard output holds `text` or the child closes it; false if
  // it never came. The safety limit only keeps a broken child from hanging
  // the suite.
  bool WaitForOutput(std::string_view text, int safetyLimitMilliseconds = 20000);
  void Signal(int signalNumber);
  // Reads everything that is left and waits for the end.
  ChildResult Finish();

 private:
  bool ReadSome(int timeoutMilliseconds);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  ChildResult result_;
};

// Runs the program to its end.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments);

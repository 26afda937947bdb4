// Start-up time (process start to the main window painted) and peak memory
// of the window program, side by side with a minimal Qt Widgets program that
// shows one empty window of the same size. All are started in turn in the
// same run, under the same platform (a display, xvfb-run, or
// QT_QPA_PLATFORM=offscreen); the probes come from bench/window/ and are built
// next to this program (targets start_probe_parcora, start_probe_minimal,
// start_probe_minimal_libs and start_probe_minimal_text). Two more rows place
// the difference: the empty window with the core's libraries loaded, and the
// empty window holding one line of Chinese text.
//
//   bench_window_start [RUNS]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Sample {
  double milliseconds = 0;
  long peakKilobytes = 0;
};

// Starts the probe, waits for its "shown" line, then for its end.
bool RunProbe(const std::string& path, Sample& sample) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};

  auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  int spawned = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return false;
  }
  std::string output;
  char buffer[64];
  while (output.find("shown\n") == std::string::npos) {
    ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    output.append(buffer, static_cast<size_t>(got));
  }
  auto shown = std::chrono::steady_clock::now();
  close(pipeFds[0]);

  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  sample.milliseconds = std::chrono::duration<double, std::milli>(shown - start).count();
  sample.peakKilobytes = usage.ru_maxrss;
  return output.find("shown\n") != std::string::npos && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::filesystem::path here = std::filesystem::canonical("/proc/self/exe").parent_path();
  constexpr int kProbes = 4;
  const std::string probes[kProbes] = {(here / "start_probe_parcora").string(),
                                       (here / "start_probe_minimal").string(),
                                       (here / "start_probe_minimal_libs").string(),
                                       (here / "start_probe_minimal_text").string()};
  const char* const labels[kProbes] = {"parcora (main window)", "minimal Qt Widgets window",
                                       "minimal + core libraries", "minimal + one Chinese line"};
  for (const std::string& probe : probes) {
    if (!std::filesystem::exists(probe)) {
      std::printf("%s is not built; build the start_probe_* targets.\n", probe.c_str());
      return 1;
    }
  }
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("platform: %s, %d runs each, in rotating order; medians\n",
              platform ? platform : (std::getenv("DISPLAY") ? "display" : "default"), runs);

  std::vector<Sample> samples[kProbes];
  Sample warmUp;
  for (const std::string& probe : probes) RunProbe(probe, warmUp);  // fills the file cache
  for (int run = 0; run < runs; ++run) {
    // Each round starts with another probe, so none always follows the same
    // one, and each starts after a pause in which the display server has
    // finished with the window before.
    for (int step = 0; step < kProbes; ++step) {
      const int which = (run + step) % kProbes;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      Sample sample;
      if (!RunProbe(probes[which], sample)) {
        std::printf("%s did not report its window\n", probes[which].c_str());
        return 1;
      }
      samples[which].push_back(sample);
    }
  }

  double times[kProbes];
  long peaks[kProbes];
  for (int which = 0; which < kProbes; ++which) {
    std::vector<double> milliseconds;
    std::vector<long> kilobytes;
    for (const Sample& sample : samples[which]) {
      milliseconds.push_back(sample.milliseconds);
      kilobytes.push_back(sample.peakKilobytes);
    }
    times[which] = Median(milliseconds);
    peaks[which] = Median(kilobytes);
  }
  std::printf("%-28s %14s %16s\n", "", "start to shown", "peak memory");
  for (int which = 0; which < kProbes; ++which) {
    std::printf("%-28s %11.1f ms %13ld KiB\n", labels[which], times[which], peaks[which]);
  }
  std::printf("%-28s %13.2fx %15.2fx\n", "parcora / minimal", times[0] / times[1],
              static_cast<double>(peaks[0]) / static_cast<double>(peaks[1]));
  std::printf("%-28s %13.2fx %15.2fx\n", "parcora / minimal + libs", times[0] / times[2],
              static_cast<double>(peaks[0]) / static_cast<double>(peaks[2]));
  std::printf("%-28s %13.2fx %15.2fx\n", "parcora / minimal + line", times[0] / times[3],
              static_cast<double>(peaks[0]) / static_cast<double>(peaks[3]));
  std::printf("%-28s %13.2fx %15.2fx\n", "minimal + line / minimal", times[3] / times[1],
              static_cast<double>(peaks[3]) / static_cast<double>(peaks[1]));
  return 0;
}

// Method one's pattern over a 2 MiB trace reply of 10,000 entries, reading
// groups 1 and 3 of every match back as code page 936 text, as the query
// procedure does; and Python's re on the same subject and pattern, run in the
// same process tree for comparison.
//
// Usage: bench_regex [rounds]   (default 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "regex/regex_object.h"
#include "text/code_page.h"

namespace {

const char* const MethodOne =
    "{\"time\":\"(.*?)\",\"location\":\"(.*?)\",\"context\":\"(.*?)\",\"ftime\":\"(.*?)\"}";
constexpr int Entries = 10'000;
constexpr size_t TargetBytes = 2u << 20;

const char* const Cities[] = {"上海", "杭州市", "北京", "广州市白云区", "深圳", "成都市"};
const char* const Events[] = {"快件已到达",           "快件已从", "正在派件",
                              "已签收，签收人：本人", "快件离开", "到达转运中心"};

// A reply like the service's: a head, 10,000 entries in method one's member
// order with Chinese places and events, a tail; values padded so that the
// whole is 2 MiB.
Text MakeReply() {
  Text entries;
  for (int i = 0; i < Entries; ++i) {
    const std::string time = "2016-09-" + std::to_string(10 + i % 20) + " " +
                             std::to_string(10 + i % 14) + ":" + std::to_string(10 + i % 50) + ":" +
                             std::to_string(10 + i % 49);
    const std::string context = std::string("【") + Cities[i % 6] + "】" + Events[i % 6] + " " +
                                Cities[(i + 1) % 6] + "，单号 " + std::to_string(100000 + i);
    entries += Gbk("{\"time\":\"" + time + "\",\"location\":\"" + Cities[(i + 3) % 6] +
                   "\",\"context\":\"" + context + "\",\"ftime\":\"" + time + "\"},");
  }
  const Text head = "{\"message\":\"ok\",\"nu\":\"YT100\",\"ischeck\":\"1\",\"data\":[";
  const Text tail = "],\"state\":\"3\"}";
  const size_t fill =
      TargetBytes - std::min(TargetBytes, head.size() + entries.size() + tail.size());
  return head + entries + tail + std::string(fill, ' ');
}

struct Run {
  double seconds = 1e9;
  int matches = 0;
  size_t textBytes = 0;
};

Run TimeRegexObject(const Text& reply, int rounds) {
  RegexObject regex;
  Run best;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    regex.Create(MethodOne, reply);
    const int count = regex.MatchCount();
    size_t textBytes = 0;
    for (int i = 1; i <= count; ++i) {
      textBytes += regex.SubMatchText(i, 1).size();
      textBytes += regex.SubMatchText(i, 3).size();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best.seconds) best = {seconds, count, textBytes};
  }
  return best;
}

std::string RunPython(const Text& reply, int rounds) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("bench_regex_" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "subject", std::ios::binary) << reply;
  std::ofstream(dir / "pattern", std::ios::binary) << MethodOne;
  const auto script = std::filesystem::path(__FILE__).parent_path() / "regex_reference.py";
  const std::string command = "python3 '" + script.string() + "' '" + (dir / "subject").string() +
                              "' '" + (dir / "pattern").string() + "' " + std::to_string(rounds);
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  std::filesystem::remove_all(dir);
  return output;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const Text reply = MakeReply();
  // Timed before and after the Python side, best of both: on a shared
  // machine a burst of other work during one phase then skews neither figure.
  Run ours = TimeRegexObject(reply, rounds);
  const std::string python = RunPython(reply, rounds);
  const Run again = TimeRegexObject(reply, rounds);
  if (again.seconds < ours.seconds) ours = again;
  const double ourRate = reply.size() / ours.seconds / 1e6;
  std::printf("subject %zu bytes, %d entries, best of %d rounds (RegexObject: twice that)\n",
              reply.size(), Entries, rounds);
  std::printf("RegexObject MB/s %.1f matches %d (%.2f ms; groups 1 and 3: %zu bytes)\n", ourRate,
              ours.matches, ours.seconds * 1e3, ours.textBytes);

  double pythonRate = 0;
  int pythonMatches = 0;
  if (std::sscanf(python.c_str(), "python-re MB/s %lf matches %d", &pythonRate, &pythonMatches) ==
      2) {
    std::printf("python-re   MB/s %.1f matches %d\n", pythonRate, pythonMatches);
    std::printf("ratio %.1fx (target: at least 100 MB/s and 3x)\n", ourRate / pythonRate);
  } else {
    std::printf("python-re   not run (%s)\n", python.c_str());
  }
  return 0;
}

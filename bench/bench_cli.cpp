// parcora-query against a loopback stand-in of the tracking service, side by
// side with `curl -s` fetching the same two addresses in one process.
// Prints the median wall time of 20 runs of each, their ratio, and the peak
// resident memory of the query program.
//
//   bench_cli [path/to/parcora-query]    (default: ../app/parcora-query next to this program)

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr int Runs = 20;
constexpr char Number[] = "YT1234567890";

const std::string DetectionBody =
    "{\"comCode\":\"\",\"num\":\"YT1234567890\",\"auto\":[{\"comCode\":\"yuantong\",\"id\":\"\","
    "\"noCount\":1,\"noPre\":\"390330\",\"startTime\":\"\"}]}";
const std::string TraceBody =
    "{\"message\":\"ok\",\"nu\":\"YT1234567890\",\"ischeck\":\"1\",\"condition\":\"F00\","
    "\"com\":\"yuantong\",\"status\":\"200\",\"state\":\"3\",\"data\":["
    "{\"time\":\"2016-09-22 08:05:03\",\"location\":\"\",\"context\":\"\\u5df2\\u7b7e\\u6536\","
    "\"ftime\":\"2016-09-22 08:05:03\"},"
    "{\"time\":\"2016-09-21 20:00:00\",\"location\":\"\",\"context\":\"\\u8fd0\\u8f93\\u4e2d\","
    "\"ftime\":\"2016-09-21 20:00:00\"}]}";

// One connection at a time, one request per connection: both clients under
// test send their two requests one after the other.
class StandInService {
 public:
  StandInService() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 16);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~StandInService() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    thread_.join();
  }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  void Serve() {
    while (!stopping_) {
      int connection = accept(listener_, nullptr, nullptr);
      if (connection < 0) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t got = read(connection, buffer, sizeof buffer);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
      }
      const std::string& body =
          request.find(" /autonumber/") != std::string::npos ? DetectionBody : TraceBody;
      std::string response = "HTTP/1.1 200 OK\r\nContent-Type: application/json;charset=UTF-8\r\n"
                             "Content-Length: " + std::to_string(body.size()) +
                             "\r\nConnection: close\r\n\r\n" + body;
      for (size_t sent = 0; sent < response.size();) {
        ssize_t wrote = write(connection, response.data() + sent, response.size() - sent);
        if (wrote <= 0) break;
        sent += static_cast<size_t>(wrote);
      }
      close(connection);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::thread thread_;
};

struct RunFigures {
  double milliseconds = 0;
  long peakKilobytes = 0;
  int exitStatus = -1;
};

// Starts the program with its output thrown away and waits for it.
RunFigures TimeProgram(const std::vector<std::string>& command) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);

  RunFigures figures;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage = {};
    wait4(pid, &status, 0, &usage);
    figures.peakKilobytes = usage.ru_maxrss;
    figures.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  figures.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  return figures;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string DefaultProgramPath() {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (self.parent_path().parent_path() / "app" / "parcora-query").string();
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = argc > 1 ? argv[1] : DefaultProgramPath();
  StandInService service;
  const std::string base = service.BaseUrl();
  const std::vector<std::string> query = {program, "--service", base, Number};
  const std::vector<std::string> curl = {
      "curl", "-s", base + "/autonumber/autoComNum?text=" + Number,
      base + "/query?type=yuantong&postid=" + Number + "&id=1&valicode=&temp=0.8770382014516336"};

  // One run of each first, so neither side pays for a cold disk cache.
  if (TimeProgram(query).exitStatus != 0) {
    std::fprintf(stderr, "bench_cli: %s did not report the stand-in's trace\n", program.c_str());
    return 1;
  }
  TimeProgram(curl);

  std::vector<double> queryTimes;
  std::vector<double> curlTimes;
  long queryPeak = 0;
  long curlPeak = 0;
  for (int run = 0; run < Runs; ++run) {
    RunFigures ours = TimeProgram(query);
    RunFigures theirs = TimeProgram(curl);
    queryTimes.push_back(ours.milliseconds);
    curlTimes.push_back(theirs.milliseconds);
    queryPeak = std::max(queryPeak, ours.peakKilobytes);
    curlPeak = std::max(curlPeak, theirs.peakKilobytes);
  }
  double ratio = Median(queryTimes) / Median(curlTimes);
  std::printf("runs of each, side by side        %d\n", Runs);
  std::printf("parcora-query median              %.2f ms\n", Median(queryTimes));
  std::printf("curl -s (same two addresses)      %.2f ms\n", Median(curlTimes));
  std::printf("ratio                             %.2f  (target: at most 1.5)\n", ratio);
  std::printf("parcora-query peak resident       %.2f MiB  (target: under 15)\n", queryPeak / 1024.0);
  std::printf("curl peak resident                %.2f MiB\n", curlPeak / 1024.0);
  return 0;
}

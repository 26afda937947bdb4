// Appending one report frame to 编辑框_信息 when the report is empty and when
// it already holds 20 MiB, through the Qt runtime's AppendText, with and
// without the repaint that follows. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
//
//   bench_window_append [REPETITIONS]
#include <QApplication>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "query/report_texts.h"
#include "text/code_page.h"
#include "ui/qt/qt_runtime.h"
#include "ui/window_records.h"

namespace {

constexpr std::string_view ReportBox = "编辑框_信息";

// One frame as a query writes it: banners, ten entries, the hint line.
Text OneFrame() {
  Text frame = Report_StartBanner();
  for (int i = 0; i < 10; ++i) {
    frame += "2016-09-22 08:05:0" + std::to_string(i) + Report_TimeSeparator() +
             Gbk("【上海市】 快件已到达 上海转运中心\r\n\r\n");
  }
  frame += Report_HintMethodOne();
  frame += Report_EndBanner(Gbk("2016年9月22日8时5分3秒"));
  return frame;
}

struct Timing {
  double appendMicroseconds = 0;
  double withRepaintMicroseconds = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

Timing TimeAppends(const Text& frame, int repetitions, const Text& startText, QtRuntime& runtime) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> appendOnly;
  std::vector<double> withRepaint;
  for (int i = 0; i < repetitions; ++i) {
    if (i == 0 || startText.empty()) {
      runtime.SetText(ReportBox, startText);
      QCoreApplication::processEvents();
    }
    auto start = Clock::now();
    runtime.AppendText(ReportBox, frame);
    auto appended = Clock::now();
    QCoreApplication::processEvents();  // layout and paint of what is now in view
    auto painted = Clock::now();
    appendOnly.push_back(std::chrono::duration<double, std::micro>(appended - start).count());
    withRepaint.push_back(std::chrono::duration<double, std::micro>(painted - start).count());
  }
  return {Median(appendOnly), Median(withRepaint)};
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
  QApplication application(argc, argv);
  QtRuntime runtime;
  Ui_SetRuntime(&runtime);
  RecordWindow* window = runtime.ShowWindow(MainWindowName);
  QCoreApplication::processEvents();

  const Text frame = OneFrame();
  Text big;
  while (big.size() < (size_t{20} << 20)) big += frame;

  Timing empty = TimeAppends(frame, repetitions, {}, runtime);
  auto fillStart = std::chrono::steady_clock::now();
  Timing full = TimeAppends(frame, repetitions, big, runtime);
  double fillSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count();

  auto* report = window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框_信息"));
  std::printf("one frame: %zu bytes (code page 936); full report: %.1f MiB, %lld blocks; "
              "%d repetitions, medians\n",
              frame.size(), static_cast<double>(big.size()) / (1 << 20),
              static_cast<long long>(report->document()->blockCount()), repetitions);
  std::printf("%-24s %14s %16s\n", "", "AppendText", "with repaint");
  std::printf("%-24s %11.1f us %13.1f us\n", "to an empty report", empty.appendMicroseconds,
              empty.withRepaintMicroseconds);
  std::printf("%-24s %11.1f us %13.1f us\n", "to a 20 MiB report", full.appendMicroseconds,
              full.withRepaintMicroseconds);
  std::printf("%-24s %13.2fx %15.2fx\n", "ratio", full.appendMicroseconds / empty.appendMicroseconds,
              full.withRepaintMicroseconds / empty.withRepaintMicroseconds);
  std::printf("(filling the report once took %.1f s)\n", fillSeconds);
  delete window;
  Ui_SetRuntime(nullptr);
  return 0;
}

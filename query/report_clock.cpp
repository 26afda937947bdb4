#include "query/report_clock.h"

#include <utility>

namespace {
std::function<DateTime()>& Source() {
  static std::function<DateTime()> source;
  return source;
}
}  // namespace

DateTime Query_CurrentTime() {
  const auto& source = Source();
  return source ? source() : Time_Now();
}

void Query_SetTimeSource(std::function<DateTime()> source) { Source() = std::move(source); }

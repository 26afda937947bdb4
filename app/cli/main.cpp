// parcora-query: the window's query for terminals and scripts.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_options.h"
#include "query_session.h"

namespace {
constexpr int StatusUsageError = 2;
}

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  CliParseResult parsed = Cli_Parse(arguments);
  if (parsed.options.help) {
    std::fputs(Cli_UsageText().c_str(), stdout);
    return 0;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "parcora-query: %s (see --help)\n", parsed.error.c_str());
    return StatusUsageError;
  }
  return Cli_RunQueries(parsed.options);
}

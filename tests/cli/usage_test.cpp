// Usage errors and --help.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/query_program.h"
#include "support/tracking_service.h"

namespace {

TEST(QueryProgramUsage, FaultyCommandLinesGiveOneLineAndStatus2) {
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
  };
  const Row rows[] = {
      {"no number", {}},
      {"no number, options only", {"--json", "--method", "2"}},
      {"two numbers", {"YT1", "YT2"}},
      {"unknown long option", {"--colour", "YT1"}},
      {"unknown short option", {"-x", "YT1"}},
      {"method 3", {"--method", "3", "YT1"}},
      {"method in capitals", {"--method", "BOTH", "YT1"}},
      {"unknown encoding", {"--encoding", "latin1", "YT1"}},
      {"every 0", {"--every", "0", "YT1"}},
      {"every negative", {"--every=-50", "YT1"}},
      {"every not a number", {"--every", "50ms", "YT1"}},
      {"every beyond int", {"--every", "99999999999", "YT1"}},
      {"count without every", {"--count", "3", "YT1"}},
      {"count 0", {"--every", "50", "--count", "0", "YT1"}},
      {"value missing at the end", {"YT1", "--every"}},
      {"flag given a value", {"--json=yes", "YT1"}},
      {"service not a web address", {"--service", "ftp://127.0.0.1", "YT1"}},
  };
  // A stand-in comes first on every command line, so a row that were wrongly
  // accepted would ask it and not the real service.
  TrackingService service;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> arguments = {"--service=" + service.BaseUrl()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    ChildResult result = RunQuery(arguments);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("parcora-query: ")) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_TRUE(result.err.ends_with("\n")) << result.err;
  }
  EXPECT_TRUE(service.Requests().empty());
}

TEST(QueryProgramUsage, HelpPrintsTheUsageToStandardOutput) {
  const std::vector<std::string> commandLines[] = {{"--help"}, {"-h"}, {"--bogus", "--help"},
                                                   {"YT1", "--method", "9", "-h"}};
  for (const auto& arguments : commandLines) {
    SCOPED_TRACE(arguments.front());
    ChildResult result = RunQuery(arguments);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.out.starts_with("Usage: parcora-query [--service URL]")) << result.out;
    for (const char* option : {"--method", "--encoding", "--every", "--count", "--json"}) {
      EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
  }
}

}  // namespace

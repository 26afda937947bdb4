#pragma once
// The command line of parcora-query: one table of options, parsed into one
// plain struct. Nothing here touches the query; main acts on the result.

#include <optional>
#include <string>
#include <vector>

enum class MethodChoice { One, Two, Both, None };
enum class OutputEncoding { Utf8, Gbk };

struct CliOptions {
  std::string number;                  // UTF-8, as given on the command line
  std::optional<std::string> service;  // replaces the built-in tracking service base
  MethodChoice method = MethodChoice::One;  // method one, as the window starts
  OutputEncoding encoding = OutputEncoding::Utf8;
  int everyMilliseconds = 0;           // 0: one query, no timer
  std::optional<int> count;            // runs of the timed query; absent: until interrupted
  bool json = false;
  bool help = false;
};

struct CliParseResult {
  CliOptions options;
  std::string error;  // one line without its line break; empty when the command line is sound
};

CliParseResult Cli_Parse(const std::vector<std::string>& arguments);

// The text --help prints, ending in a line break.
std::string Cli_UsageText();

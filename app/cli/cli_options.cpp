#include "cli_options.h"

#include <charconv>
#include <span>
#include <string_view>

#include "ui/window_runtime.h"

namespace {

enum class ArgumentKind { None, Value };

// Each handler stores its value or leaves one line in `error`.
using ApplyOption = void (*)(CliOptions& options, std::string_view value, std::string& error);

struct OptionEntry {
  std::string_view name;       // without the leading "--"
  ArgumentKind argument;
  std::string_view valueName;  // shown in the usage text
  std::string_view meaning;
  ApplyOption apply;
};

std::optional<int> PositiveInteger(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, failure] = std::from_chars(text.data(), end, value);
  if (text.empty() || failure != std::errc() || stop != end || value <= 0) return std::nullopt;
  return value;
}

constexpr OptionEntry optionTable[] = {
    {"service", ArgumentKind::Value, "URL",
     "base address of the tracking service (http or https, no path)",
     [](CliOptions& options, std::string_view value, std::string& error) {
       if (!Ui_IsWebAddress(value)) {
         error = "--service needs an http:// or https:// address, not '" + std::string(value) + "'";
         return;
       }
       // Both request paths start with "/", so a trailing slash would double it.
       while (value.size() > 1 && value.back() == '/') value.remove_suffix(1);
       options.service = std::string(value);
     }},
    {"method", ArgumentKind::Value, "1|2|both|none",
     "which extraction methods run (default 1)",
     [](CliOptions& options, std::string_view value, std::string& error) {
       if (value == "1") options.method = MethodChoice::One;
       else if (value == "2") options.method = MethodChoice::Two;
       else if (value == "both") options.method = MethodChoice::Both;
       else if (value == "none") options.method = MethodChoice::None;
       else error = "--method takes 1, 2, both or none, not '" + std::string(value) + "'";
     }},
    {"encoding", ArgumentKind::Value, "utf-8|gbk",
     "encoding of the report on standard output (default utf-8)",
     [](CliOptions& options, std::string_view value, std::string& error) {
       if (value == "utf-8") options.encoding = OutputEncoding::Utf8;
       else if (value == "gbk") options.encoding = OutputEncoding::Gbk;
       else error = "--encoding takes utf-8 or gbk, not '" + std::string(value) + "'";
     }},
    {"every", ArgumentKind::Value, "MS",
     "repeat the query every MS milliseconds, appending; the first run one period after the start",
     [](CliOptions& options, std::string_view value, std::string& error) {
       if (auto period = PositiveInteger(value)) options.everyMilliseconds = *period;
       else error = "--every takes a positive number of milliseconds, not '" + std::string(value) + "'";
     }},
    {"count", ArgumentKind::Value, "N",
     "with --every: stop after N runs (default: run until Ctrl+C)",
     [](CliOptions& options, std::string_view value, std::string& error) {
       if (auto runs = PositiveInteger(value)) options.count = *runs;
       else error = "--count takes a positive number of runs, not '" + std::string(value) + "'";
     }},
    {"json", ArgumentKind::None, "",
     "print one JSON document (UTF-8) per run instead of the report",
     [](CliOptions& options, std::string_view, std::string&) { options.json = true; }},
    {"help", ArgumentKind::None, "", "print this text and exit",
     [](CliOptions& options, std::string_view, std::string&) { options.help = true; }},
};

const OptionEntry* FindOption(std::string_view name) {
  for (const OptionEntry& entry : optionTable) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

// Reads the options and the one number; stops at the first fault.
std::string ParseArguments(std::span<const std::string> arguments, CliOptions& options) {
  bool optionsEnded = false;
  bool haveNumber = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    bool looksLikeOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (!looksLikeOption) {
      if (haveNumber) return "only one NUMBER may be given ('" + std::string(argument) + "' is extra)";
      options.number = std::string(argument);
      haveNumber = true;
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "-h") argument = "--help";
    if (!argument.starts_with("--")) return "unknown option '" + std::string(argument) + "'";

    std::string_view name = argument.substr(2);
    std::optional<std::string_view> inlineValue;
    if (auto equals = name.find('='); equals != std::string_view::npos) {
      inlineValue = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionEntry* entry = FindOption(name);
    if (!entry) return "unknown option '--" + std::string(name) + "'";

    std::string_view value;
    if (entry->argument == ArgumentKind::Value) {
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        return "--" + std::string(name) + " needs a value (" + std::string(entry->valueName) + ")";
      }
    } else if (inlineValue) {
      return "--" + std::string(name) + " takes no value";
    }
    std::string error;
    entry->apply(options, value, error);
    if (!error.empty()) return error;
  }
  if (options.help) return {};
  if (!haveNumber) return "missing NUMBER (give \"\" to query the empty number)";
  if (options.count && options.everyMilliseconds == 0) return "--count needs --every";
  return {};
}

}  // namespace

CliParseResult Cli_Parse(const std::vector<std::string>& arguments) {
  CliParseResult result;
  result.error = ParseArguments(arguments, result.options);
  // --help wins over any other fault, wherever it stands, so asking for the
  // usage always shows it.
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") result.options.help = true;
  }
  if (result.options.help) result.error.clear();
  return result;
}

std::string Cli_UsageText() {
  std::string text =
      "Usage: parcora-query [--service URL] [--method 1|2|both|none] [--encoding utf-8|gbk]\n"
      "                     [--every MS [--count N]] [--json] NUMBER\n"
      "\n"
      "Looks up a courier tracking number and prints the report the window would show.\n"
      "An empty NUMBER (\"\") queries the empty number; \"--\" ends the options.\n"
      "\n";
  for (const OptionEntry& entry : optionTable) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely about chains of
    // operator+ on temporaries.
    std::string head = "  --";
    head += entry.name;
    if (entry.argument == ArgumentKind::Value) {
      head += ' ';
      head += entry.valueName;
    }
    if (head.size() < 26) {
      head.resize(26, ' ');
    } else {
      head += '\n';
      head.append(26, ' ');
    }
    text += head;
    text += entry.meaning;
    text += '\n';
  }
  text +=
      "\n"
      "Exit status: 0 when the service echoed the number, 1 when the error text was\n"
      "written (after --every, the last run decides), 2 for a usage error.\n";
  return text;
}

#include "app/CommandLine.h"

#include <algorithm>

namespace kw {

const char kUsageText[] =
    "Kelpwise.exe [/search | /clean] [/report FILE]\n"
    "\n"
    "/search\tsearches with the settings of config.ini and writes a report; changes nothing\n"
    "/clean\tthe same search, then backs up and deletes what it found\n"
    "/report FILE\twrites the report to FILE instead of backup\\report - <timestamp>.txt\n"
    "/?\tshows this text (and writes it to FILE with /report)\n"
    "/autostart\t(alone) opens the window and asks whether to search now, as KpwStarter.exe does\n"
    "\n"
    "No window is shown for /search and /clean. Exit codes:\n"
    "0\tdone, nothing found\n"
    "1\tdone, entries found (/search) or all deleted (/clean)\n"
    "2\tusage error, nothing done\n"
    "3\tthe backup could not be written, nothing deleted\n"
    "4\tsome entries were not deleted\n"
    "5\tanother error (no kind of entry chosen in config.ini, config.ini or blacklist.ini\n"
    "\tunreadable, key loop, another clean-up still running after 10 minutes, report not\n"
    "\twritten)";

namespace {

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

enum class Switch { None, Search, Clean, Report, Help, AutoStart };

Switch SwitchOf(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return Switch::None;
  const std::string name = LowerAscii(argument.substr(1));
  if (name == "search") return Switch::Search;
  if (name == "clean") return Switch::Clean;
  if (name == "report") return Switch::Report;
  if (name == "?") return Switch::Help;
  if (name == "autostart") return Switch::AutoStart;
  return Switch::None;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  if (arguments.empty()) return command;
  const CommandLine usageError{CommandMode::UsageError, ""};
  bool search = false, clean = false, report = false, help = false, autoStart = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    bool* given = nullptr;
    switch (SwitchOf(arguments[i])) {
      case Switch::None:
        return usageError;
      case Switch::Search:
        given = &search;
        break;
      case Switch::Clean:
        given = &clean;
        break;
      case Switch::Help:
        given = &help;
        break;
      case Switch::AutoStart:
        given = &autoStart;
        break;
      case Switch::Report:
        given = &report;
        // FILE is the next argument, and no switch.
        if (i + 1 == arguments.size() || arguments[i + 1].empty() ||
            SwitchOf(arguments[i + 1]) != Switch::None) {
          return usageError;
        }
        command.reportPath = arguments[++i];
        break;
    }
    if (*given) return usageError;
    *given = true;
  }
  if (search && clean) return usageError;
  if (autoStart) {
    if (arguments.size() > 1) return usageError;
    command.automaticStart = true;
  } else if (help) {
    command.mode = CommandMode::Usage;
  } else if (search || clean) {
    command.mode = search ? CommandMode::Search : CommandMode::Clean;
  } else {
    return usageError;  // a report of nothing
  }
  return command;
}

}  // namespace kw

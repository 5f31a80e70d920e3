#include "app/CommandLine.h"

#include <algorithm>

namespace kw {

const char kUsageText[] =
    "Kelpwise.exe [/search | /clean] [/allusers] [/report FILE]\n"
    "Kelpwise.exe /restore BACKUP [/report FILE]\n"
    "\n"
    "/search\tsearches with the settings of config.ini and writes a report; changes nothing\n"
    "/clean\tthe same search, then backs up and deletes what it found\n"
    "/allusers\tsearches the history lists of every user profile of the machine (needs\n"
    "\tadministrator rights); the report gets a User column\n"
    "/restore BACKUP\tputs the values of a Kelpwise backup back and reads each one back\n"
    "/report FILE\twrites the report to FILE instead of backup\\report - <timestamp>.txt;\n"
    "\ta FILE ending in .json gets a JSON object\n"
    "/?\tshows this text (and writes it to FILE with /report)\n"
    "/autostart\t(alone) opens the window and asks whether to search now, as KpwStarter.exe does\n"
    "\n"
    "No window is shown for /search, /clean and /restore. Exit codes:\n"
    "0\tdone, nothing found (nothing to restore)\n"
    "1\tdone, entries found (/search), all deleted (/clean) or all restored (/restore)\n"
    "2\tusage error, nothing done\n"
    "3\tthe backup could not be written, nothing deleted (nothing restored)\n"
    "4\tsome entries were not deleted (not restored), or a user profile was not searched\n"
    "5\tanother error (no kind of entry chosen in config.ini, config.ini or blacklist.ini\n"
    "\tunreadable, key loop, another clean-up still running after 10 minutes, report not\n"
    "\twritten, a backup that is not Kelpwise's or names a key no search reaches)";

namespace {

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

enum class Switch { None, Search, Clean, Report, Help, AutoStart, AllUsers, Restore };

Switch SwitchOf(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return Switch::None;
  const std::string name = LowerAscii(argument.substr(1));
  if (name == "search") return Switch::Search;
  if (name == "clean") return Switch::Clean;
  if (name == "report") return Switch::Report;
  if (name == "?") return Switch::Help;
  if (name == "autostart") return Switch::AutoStart;
  if (name == "allusers") return Switch::AllUsers;
  if (name == "restore") return Switch::Restore;
  return Switch::None;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  if (arguments.empty()) return command;
  CommandLine usageError;
  usageError.mode = CommandMode::UsageError;
  bool search = false, clean = false, report = false, help = false, autoStart = false;
  bool allUsers = false, restore = false;
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
      case Switch::AllUsers:
        given = &allUsers;
        break;
      case Switch::Report:
      case Switch::Restore: {
        const bool isReport = SwitchOf(arguments[i]) == Switch::Report;
        given = isReport ? &report : &restore;
        // FILE is the next argument, and no switch.
        if (i + 1 == arguments.size() || arguments[i + 1].empty() ||
            SwitchOf(arguments[i + 1]) != Switch::None) {
          return usageError;
        }
        (isReport ? command.reportPath : command.restorePath) = arguments[++i];
        break;
      }
    }
    if (*given) return usageError;
    *given = true;
  }
  if (search + clean + restore > 1) return usageError;
  if (allUsers && !search && !clean) return usageError;
  if (autoStart) {
    if (arguments.size() > 1) return usageError;
    command.automaticStart = true;
  } else if (help) {
    command.mode = CommandMode::Usage;
  } else if (restore) {
    command.mode = CommandMode::Restore;
  } else if (search || clean) {
    command.mode = search ? CommandMode::Search : CommandMode::Clean;
    command.allUsers = allUsers;
  } else {
    return usageError;  // a report of nothing
  }
  return command;
}

}  // namespace kw

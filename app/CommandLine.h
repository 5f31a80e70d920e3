// The command line for administrators: /search and /clean run without any
// window, write a report and end with an exit code; /? shows the usage.
// Without arguments, and with /autostart alone, the program opens its window.
#pragma once

#include <string>
#include <vector>

namespace kw {

enum class CommandMode {
  Window,     // no arguments or /autostart: the main window
  Search,     // /search: list what a search finds, change nothing
  Clean,      // /clean: the same search, then back up and delete
  Restore,    // /restore FILE: put a backup back and read every value back
  Usage,      // /?: show how to call the program
  UsageError  // anything else: change nothing, exit code 2
};

struct CommandLine {
  CommandMode mode = CommandMode::Window;
  std::string reportPath;   // the FILE of /report; empty: the default name
  std::string restorePath;  // the FILE of /restore
  // /allusers with /search or /clean: the history lists of every user
  // profile of the machine instead of the running account's own.
  bool allUsers = false;
  // /autostart, which the companion starter passes: the window run is an
  // automatic start and asks whether to search now.
  bool automaticStart = false;
};

// Reads the arguments after the program's name. Switches begin with '/' or
// '-' and are compared without regard to case; each may be given once.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text of /?, with the exit codes.
extern const char kUsageText[];

}  // namespace kw

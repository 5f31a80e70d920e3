// The command line's runs: the search and the clean-up of the window,
// without any window, ending in a report file and an exit code.
#pragma once

#include "app/CommandLine.h"
#include "system/Environment.h"

namespace kw {

// Runs /search or /clean and writes the report; a usage error changes
// nothing. Returns the exit code.
int RunCommand(const CommandLine& command, Environment& env = CurrentEnvironment());

// Writes the usage text to the report file of /? /report FILE. Returns the
// exit code: 0, or 5 when the file cannot be written.
int WriteUsageReport(const CommandLine& command, Environment& env = CurrentEnvironment());

}  // namespace kw

// The command line's runs: the search and the clean-up of the window,
// without any window, ending in a report file and an exit code.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandReport.h"
#include "system/Environment.h"
#include "system/SystemTools.h"

namespace kw {

// Runs /search, /clean or /restore and writes the report; a usage error
// changes nothing. Returns the exit code.
int RunCommand(const CommandLine& command, Environment& env = CurrentEnvironment());

// Writes a report the user named: never through a link or junction (an
// elevated run must not be steered onto another file), and in one step,
// so that a failed write leaves an existing file as it was. Throws FileError.
void WriteNamedReport(const std::string& path, const std::string& bytes);

// Writes the report of a run, with the exit code its facts give, to the
// FILE of /report (as JSON when its name ends in .json) as WriteNamedReport
// does, else as a new file "report - <timestamp>.txt" in the backup folder,
// which must be no link. Returns that exit code; when the report cannot be
// written, the code of that failure instead.
int WriteRunReport(const CommandLine& command, CSystemTools& tools, Environment& env,
                   const std::vector<ReportEntry>& entries, ReportSummary summary, RunFacts facts);

// Writes the usage text to the report file of /? /report FILE. Returns the
// exit code: 0, or 5 when the file cannot be written.
int WriteUsageReport(const CommandLine& command, Environment& env = CurrentEnvironment());

}  // namespace kw

// What Copy puts on the clipboard: the selected rows of the results list in
// the columns of the command line's report.
#pragma once

#include <string>
#include <vector>

#include "scan/ResultModel.h"

namespace kw {

// The report's header line and one line per row of `rows` (indexes into
// `model`, in the given order; unknown ones are left out), tab-separated and
// quoted as in the report, each line ending in CR LF. Every outcome is
// "found". The text stays in the ANSI code page.
std::string CopiedRowsText(const ResultModel& model, const std::vector<int>& rows);

}  // namespace kw

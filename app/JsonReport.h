// The report of a command-line run as one JSON object in UTF-8, written
// when the report file's name ends in ".json": the summary's fields, then
// "entries" with one object per entry holding the fields of the
// tab-separated report's columns. Numbers are numbers and an empty text is
// null. docs/report.schema.json describes the shape.
#pragma once

#include <string>
#include <vector>

#include "app/CommandReport.h"
#include "system/Environment.h"

namespace kw {

// Whether the report file `path` is written as JSON: its name ends in
// ".json" in any letter case, also before the dots and spaces that Windows
// drops from the end of a file name.
bool IsJsonReportPath(const std::string& path);

// UTF-8 text as a JSON string with its quotes: quote and backslash escaped,
// control characters as \u00XX, and every byte that does not belong to a
// well-formed UTF-8 sequence as U+FFFD, so that the output is always valid
// UTF-8 (the ANSI conversion of Windows before Vista passes a lone surrogate
// through as three bytes that are not).
std::string JsonString(const std::string& utf8);

// A text in the ANSI code page as a JSON value: null when empty, else its
// UTF-8 as a JSON string.
std::string JsonText(Environment& env, const std::string& ansi);

// The whole report, its lines ending in CR LF.
std::string FormatJsonReport(Environment& env, const std::vector<ReportEntry>& entries,
                             const ReportSummary& summary);

}  // namespace kw

#include "app/CommandReport.h"

#include "system/Registry.h"

namespace kw {

namespace {

const char* const kCategoryNames[] = {"RunMRU",
                                      "Search Assistant",
                                      "Last Paint Files",
                                      "Last Wordpad Files",
                                      "Explorer Logs",
                                      "Last Excel Files",
                                      "Old *.exe Files",
                                      "Old Fonts",
                                      "Old 'SharedDLLs' Files",
                                      "Old 'COM/OLE' Objects",
                                      "Old ActiveX Files",
                                      "Old Help Files"};

const std::vector<std::string> kHeader = {"Category", "Category number", "Root",
                                          "Key",      "Value name",      "Type",
                                          "Data",     "Missing file",    "Outcome"};

}  // namespace

int DecideExitCode(const RunFacts& facts) {
  if (facts.usageError) return 2;
  if (facts.backupFailed) return 3;
  if (facts.failed) return 5;
  if (facts.notDeleted > 0 || facts.profilesNotSearched > 0) return 4;
  return facts.found > 0 ? 1 : 0;
}

const char* CategoryEnglishName(int category) {
  const int count = static_cast<int>(sizeof kCategoryNames / sizeof kCategoryNames[0]);
  return category >= 0 && category < count ? kCategoryNames[category] : "";
}

std::string RegTypeName(uint32_t type) {
  switch (type) {
    case kRegNone:
      return "REG_NONE";
    case kRegSz:
      return "REG_SZ";
    case kRegExpandSz:
      return "REG_EXPAND_SZ";
    case kRegBinary:
      return "REG_BINARY";
    case kRegDword:
      return "REG_DWORD";
    case kRegMultiSz:
      return "REG_MULTI_SZ";
  }
  return "type " + std::to_string(type);
}

std::vector<std::string> ReportHeader(bool userColumn) {
  std::vector<std::string> header = kHeader;
  if (userColumn) header.push_back("User");
  return header;
}

std::vector<std::string> ReportEntryFields(const ReportEntry& entry, bool userColumn) {
  std::vector<std::string> fields = {CategoryEnglishName(entry.category),
                                     entry.category < 0 ? "" : std::to_string(entry.category),
                                     entry.root,
                                     entry.keyPath,
                                     entry.valueName,
                                     RegTypeName(entry.type),
                                     entry.shown,
                                     entry.missingPath,
                                     entry.outcome};
  if (userColumn) fields.push_back(entry.user);
  return fields;
}

std::string ReportField(const std::string& text) {
  if (text.find_first_of("\t\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string JoinReportFields(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += ReportField(fields[i]);
  }
  return line + "\r\n";
}

std::string ReportLine(Environment& env, const std::vector<std::string>& fields) {
  std::vector<std::string> converted;
  for (const std::string& field : fields) converted.push_back(env.AnsiToUtf8(field));
  return JoinReportFields(converted);
}

std::string FormatReport(Environment& env, const std::vector<ReportEntry>& entries,
                         const ReportSummary& summary) {
  std::string report = ReportLine(env, ReportHeader(summary.userColumn));
  for (const ReportEntry& entry : entries) {
    report += ReportLine(env, ReportEntryFields(entry, summary.userColumn));
  }
  std::vector<std::string> last = {"Summary"};
  const std::pair<const char*, int> counts[] = {{"found=", summary.found},
                                                {"deleted=", summary.deleted},
                                                {"not deleted=", summary.notDeleted},
                                                {"restored=", summary.restored},
                                                {"already there=", summary.alreadyThere},
                                                {"replaced=", summary.replaced},
                                                {"not restored=", summary.notRestored}};
  for (size_t i = summary.restore ? 3 : 0; i < (summary.restore ? 7u : 3u); ++i) {
    last.push_back(counts[i].first + std::to_string(counts[i].second));
  }
  last.push_back("backup=" + summary.backupFile);
  if (!summary.keyLoop.empty()) last.push_back("key loop=" + summary.keyLoop);
  if (!summary.warning.empty()) last.push_back("warning=" + summary.warning);
  if (!summary.error.empty()) last.push_back("error=" + summary.error);
  last.push_back("exit code=" + std::to_string(summary.exitCode));
  return report + ReportLine(env, last);
}

}  // namespace kw

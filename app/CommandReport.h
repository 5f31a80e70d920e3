// The report of a command-line run: a header line, one line per entry and a
// summary line, tab-separated; a field holding a tab, a double quote, CR or
// LF is put in double quotes with its quotes doubled, so that CSV readers
// set to tabs read every field back as it was. Lines end in CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/Environment.h"

namespace kw {

// One found entry. Texts are in the ANSI code page.
struct ReportEntry {
  int category = 0;         // index of the search category; -1: none (a profile not searched)
  std::string root;         // "HKEY_CURRENT_USER", ...
  std::string keyPath;      // root-relative
  std::string valueName;    // as the results list shows it
  uint32_t type = 0;        // registry type of the value
  std::string shown;        // the data column of the results list
  std::string missingPath;  // file references: the missing file
  std::string outcome;      // "found" for /search; for /clean what became of it
  std::string user;         // /allusers: the account whose profile holds the entry
};

struct ReportSummary {
  int found = 0;
  int deleted = 0;
  int notDeleted = 0;
  // /restore: values written back, found in place, written over (their old
  // data in backupFile), and left or reading back different.
  int restored = 0;
  int alreadyThere = 0;
  int replaced = 0;
  int notRestored = 0;
  std::string backupFile;  // empty: none written
  std::string keyLoop;     // the key added to blacklist.ini, if a loop was met
  std::string warning;     // what the user must know of the backup, if anything
  std::string error;       // what ended the run early, if anything
  int exitCode = 0;
  bool userColumn = false;  // /allusers: each entry line ends in its User field
  bool restore = false;     // /restore: its counts instead of found, deleted, not deleted
};

// What decides the exit code. /restore counts the values it wrote as found
// and those it could not restore as not deleted.
struct RunFacts {
  bool clean = false;           // /clean rather than /search
  int found = 0;                // entries listed
  int notDeleted = 0;           // entries /clean left in place
  bool backupFailed = false;    // /clean could not write its backup
  bool failed = false;          // no kind chosen, settings unreadable, key loop, another
                                // clean-up running, report not written, any other error
  int profilesNotSearched = 0;  // /allusers: profiles whose hive could not be loaded
  bool usageError = false;      // the switches cannot run here: nothing done
};

// 2 for a usage error, else 3 when the backup failed, else 5 for any other
// failure, else 4 when an entry was not deleted or a profile not searched,
// else 1 when something was found, else 0.
int DecideExitCode(const RunFacts& facts);

// The English name of a search category.
const char* CategoryEnglishName(int category);
// "REG_SZ", "REG_DWORD", ...; "type N" for other types.
std::string RegTypeName(uint32_t type);

// The header line's fields, and the fields of one entry's line; with the
// User column at the end or without it.
std::vector<std::string> ReportHeader(bool userColumn = false);
std::vector<std::string> ReportEntryFields(const ReportEntry& entry, bool userColumn = false);

// A field as it goes into the file: quoted when it must be.
std::string ReportField(const std::string& text);
// The fields, quoted where they must be, as one line with its CR LF.
std::string JoinReportFields(const std::vector<std::string>& fields);
// The fields, converted to UTF-8, as one line with its CR LF.
std::string ReportLine(Environment& env, const std::vector<std::string>& fields);
// The whole report in UTF-8.
std::string FormatReport(Environment& env, const std::vector<ReportEntry>& entries,
                         const ReportSummary& summary);

}  // namespace kw

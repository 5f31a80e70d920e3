// Deleting the values that a search found, after backing them up.
#pragma once

#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"
#include "system/SystemTools.h"

namespace kw {

struct DeletionResult {
  int deleted = 0;  // values gone now, including those that were gone before
  int failed = 0;   // values left in place: refused, unknown root, unreadable
                    // record, or a record that could not be backed up
};

// The write-root selector of DeleteRegValue for "HKEY_LOCAL_MACHINE",
// "HKEY_CURRENT_USER" or "HKEY_CLASSES_ROOT" (exact spelling); -1 otherwise.
int DeleteSelectorOf(const std::string& rootName);

// Deletes the value of every Restorable record through `tools` (which gets
// the record's key path in m_strKeyPath). NotRestorable records are left
// alone and counted as failed; NotString records are skipped uncounted.
DeletionResult DeleteRecordedValues(CSystemTools& tools, const std::vector<BackupRecord>& records);

struct DeleteRunResult {
  std::string backupPath;
  DeletionResult deletion;
};

// The whole clean-up in its safe order: picks a new backup file name from
// the program directory and the current timestamp, writes every record to
// it, and only then deletes the values. Throws FileError when the backup
// cannot be written; nothing is deleted then.
DeleteRunResult BackUpAndDelete(CSystemTools& tools, const std::vector<BackupRecord>& records);

}  // namespace kw

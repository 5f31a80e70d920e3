// Deleting the values that a search found, after backing them up.
#pragma once

#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"
#include "system/SystemTools.h"

namespace kw {

// What became of one record.
enum class RecordOutcome {
  Skipped,        // NotString: never listed, backed up or deleted
  Deleted,        // backed up and deleted
  AlreadyGone,    // the value was gone before the clean-up came to it
  NotRestorable,  // a name or data that a backup cannot bring back
  Unreadable,     // no well-formed record, or a root it does not handle
  Changed,        // the value no longer holds what the search read
  Refused         // the registry refused to read or delete it
};

// True for the outcomes that count as deleted.
bool IsDeleted(RecordOutcome outcome);

struct DeletionResult {
  int deleted = 0;  // values gone now, including those that were gone before
  int failed = 0;   // values left in place: refused, unknown root, unreadable
                    // record, a record that could not be backed up, or a
                    // value that no longer holds what the search read
  // One per record, in record order.
  std::vector<RecordOutcome> outcomes;
};

// Deletes the value of every Restorable record from the registry of
// `tools`, each only while it still holds the record's type and bytes.
// NotRestorable records and those naming another root than
// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or HKEY_CLASSES_ROOT (exact
// spelling) are left alone and counted as failed; NotString records are
// skipped uncounted.
DeletionResult DeleteRecordedValues(CSystemTools& tools, const std::vector<BackupRecord>& records);

struct DeleteRunResult {
  std::string backupPath;  // empty when no value was left to back up
  DeletionResult deletion;
  // Values that changed during the deletion were left, but the backup could
  // not be rewritten without them: restoring it whole would bring their
  // older data back.
  bool backupKeepsUndeleted = false;
};

// The whole clean-up in its safe order: creates a new backup file in the
// program directory's backup folder, named with the current timestamp
// (never one that exists), reads every value again, writes the records of
// those that still hold what the search read to the file, and only then
// deletes these values, each after comparing it once more (the keys stay
// open from the first reading to the deletion). A value that changed since
// the search is neither backed up nor deleted, so that the backup never
// brings back older data over it; one that is gone counts as deleted. One
// that changes while the others are deleted is left, and its record taken
// out of the backup again. When no value is left to back up, no backup
// file stays. Throws FileError when the backup cannot be written; nothing
// is deleted then. Callers hold the machine's clean-up lock
// (Environment::LockCleanUps), so that two clean-ups never interleave.
DeleteRunResult BackUpAndDelete(CSystemTools& tools, const std::vector<BackupRecord>& records);

}  // namespace kw

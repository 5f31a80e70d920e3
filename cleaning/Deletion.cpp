#include "cleaning/Deletion.h"

#include "cleaning/BackupFile.h"

namespace kw {
namespace {

// The value a record names, as the registry operations of CSystemTools take it.
struct RecordedValue {
  int selector = -1;    // the root, numbered as DeleteRegValue numbers it
  std::string keyPath;  // for m_strKeyPath
  RegValue found;       // its name, and its type and bytes as the search read them
};

// False for a record that is not Restorable, cannot be read back or names
// a root that is not deleted from.
bool ReadRecordedValue(const BackupRecord& record, RecordedValue* value) {
  RecordTarget target;
  if (record.kind != RecordKind::Restorable || !ReadRecordTarget(record.text, &target)) {
    return false;
  }
  value->selector = DeleteSelectorOf(target.rootName);
  value->keyPath = target.keyPath;
  value->found = RegValue{target.valueName, record.type, record.data};
  return value->selector >= 0;
}

// The Restorable records whose values still hold what the search read: the
// ones to back up and delete. A value that is gone by now counts as deleted;
// one that changed or cannot be read, and every record that can never be
// deleted, as not deleted. NotString records are left out uncounted.
std::vector<BackupRecord> UnchangedRecords(CSystemTools& tools,
                                           const std::vector<BackupRecord>& records,
                                           DeletionResult* result) {
  std::vector<BackupRecord> unchanged;
  for (const BackupRecord& record : records) {
    if (record.kind == RecordKind::NotString) continue;
    RecordedValue value;
    if (!ReadRecordedValue(record, &value)) {
      ++result->failed;
      continue;
    }
    tools.m_strKeyPath = value.keyPath;
    switch (tools.CheckRegValue(value.selector, value.found)) {
      case ValueCheck::Same:
        unchanged.push_back(record);
        break;
      case ValueCheck::Gone:
        ++result->deleted;
        break;
      case ValueCheck::Changed:
      case ValueCheck::Unreadable:
        ++result->failed;
        break;
    }
  }
  return unchanged;
}

}  // namespace

int DeleteSelectorOf(const std::string& rootName) {
  if (rootName == "HKEY_LOCAL_MACHINE") return kWriteLocalMachine;
  if (rootName == "HKEY_CURRENT_USER") return kWriteCurrentUser;
  if (rootName == "HKEY_CLASSES_ROOT") return kWriteClassesRoot;
  return -1;
}

DeletionResult DeleteRecordedValues(CSystemTools& tools, const std::vector<BackupRecord>& records) {
  DeletionResult result;
  for (const BackupRecord& record : records) {
    if (record.kind == RecordKind::NotString) continue;
    RecordedValue value;
    if (!ReadRecordedValue(record, &value)) {
      ++result.failed;
      continue;
    }
    tools.m_strKeyPath = value.keyPath;
    switch (tools.DeleteRegValueIfSame(value.selector, value.found)) {
      case DeleteOutcome::Deleted:
      case DeleteOutcome::KeyMissing:
        ++result.deleted;
        break;
      case DeleteOutcome::Changed:
      case DeleteOutcome::Failed:
        ++result.failed;
        break;
    }
  }
  return result;
}

DeleteRunResult BackUpAndDelete(CSystemTools& tools, const std::vector<BackupRecord>& records) {
  DeleteRunResult run;
  run.backupPath = BackupFileName(tools.GetProgramDir(), tools.GetTimestamp());
  DeletionResult checked;
  const std::vector<BackupRecord> unchanged = UnchangedRecords(tools, records, &checked);
  WriteBackupFile(run.backupPath, unchanged);
  run.deletion = DeleteRecordedValues(tools, unchanged);
  run.deletion.deleted += checked.deleted;
  run.deletion.failed += checked.failed;
  return run;
}

}  // namespace kw

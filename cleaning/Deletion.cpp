#include "cleaning/Deletion.h"

#include "cleaning/BackupFile.h"

namespace kw {

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
    if (record.kind == RecordKind::NotRestorable) {
      ++result.failed;
      continue;
    }
    RecordTarget target;
    const int selector =
        ReadRecordTarget(record.text, &target) ? DeleteSelectorOf(target.rootName) : -1;
    if (selector < 0) {
      ++result.failed;
      continue;
    }
    tools.m_strKeyPath = target.keyPath;
    switch (tools.DeleteRegValue(selector, target.valueName)) {
      case DeleteOutcome::Deleted:
      case DeleteOutcome::KeyMissing:
        ++result.deleted;
        break;
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
  WriteBackupFile(run.backupPath, records);
  run.deletion = DeleteRecordedValues(tools, records);
  return run;
}

}  // namespace kw

#include "cleaning/Deletion.h"

#include "cleaning/BackupFile.h"
#include "system/FileError.h"

namespace kw {
namespace {

// A registry value against the type and bytes the search read from it.
enum class ValueCheck { Same, Changed, Gone, Unreadable };

ValueCheck CheckValue(const RegKey& key, const RegValue& found) {
  RegValue now;
  switch (key.registry().QueryValue(key.handle(), found.name, &now)) {
    case RegStatus::Ok:
      return now.type == found.type && now.data == found.data ? ValueCheck::Same
                                                              : ValueCheck::Changed;
    case RegStatus::NotFound:
      return ValueCheck::Gone;
    case RegStatus::AccessDenied:
    case RegStatus::Failed:
      break;
  }
  return ValueCheck::Unreadable;
}

// A listed value that still held what the search read, with its key open
// for writing from that check until the value is deleted.
struct HeldValue {
  const BackupRecord* record;
  size_t index;    // of the record
  size_t key;      // index into HeldValues::keys
  RegValue found;  // name, type and bytes as the search read them
};

// The outcome of checking every record: the values to back up and delete,
// and the keys they are deleted from. Records of one key that follow each
// other share its handle.
struct HeldValues {
  std::vector<RegKey> keys;
  std::vector<HeldValue> values;
  DeletionResult settled;  // values gone by now, and records never deleted
};

void Count(DeletionResult* result, size_t index, RecordOutcome outcome) {
  result->outcomes[index] = outcome;
  ++(IsDeleted(outcome) ? result->deleted : result->failed);
}

// Opens the key a record names for writing, or takes the one the previous
// record opened.
RegStatus OpenRecordKey(Registry& registry, const RecordTarget& target, RegRoot root,
                        HeldValues* held, RecordTarget* openTarget) {
  if (!held->keys.empty() && openTarget->rootName == target.rootName &&
      openTarget->keyPath == target.keyPath) {
    return RegStatus::Ok;
  }
  RegKey key(registry);
  const RegStatus opened = key.Open(root, target.keyPath, /*forWrite=*/true);
  if (opened != RegStatus::Ok) return opened;
  held->keys.push_back(std::move(key));
  *openTarget = target;
  return RegStatus::Ok;
}

// Reads every Restorable record's value again. One that still holds what
// the search read is held for the backup and the deletion; one that is
// gone counts as deleted; one that changed or cannot be read, and every
// record that can never be deleted, as not deleted. NotString records are
// left out uncounted.
HeldValues HoldUnchangedValues(Registry& registry, const std::vector<BackupRecord>& records) {
  HeldValues held;
  held.settled.outcomes.assign(records.size(), RecordOutcome::Skipped);
  RecordTarget openTarget;
  for (size_t index = 0; index < records.size(); ++index) {
    const BackupRecord& record = records[index];
    if (record.kind == RecordKind::NotString) continue;
    RecordTarget target;
    RegRoot root;
    if (record.kind == RecordKind::NotRestorable) {
      Count(&held.settled, index, RecordOutcome::NotRestorable);
      continue;
    }
    if (!ReadRecordTarget(record.text, &target) || !RootNamed(target.rootName, &root)) {
      Count(&held.settled, index, RecordOutcome::Unreadable);
      continue;
    }
    RegValue found{target.valueName, record.type, record.data};
    ValueCheck check = ValueCheck::Unreadable;
    switch (OpenRecordKey(registry, target, root, &held, &openTarget)) {
      case RegStatus::Ok:
        check = CheckValue(held.keys.back(), found);
        break;
      case RegStatus::NotFound:
        check = ValueCheck::Gone;
        break;
      case RegStatus::AccessDenied:
      case RegStatus::Failed:
        break;
    }
    switch (check) {
      case ValueCheck::Same:
        held.values.push_back({&record, index, held.keys.size() - 1, std::move(found)});
        break;
      case ValueCheck::Gone:
        Count(&held.settled, index, RecordOutcome::AlreadyGone);
        break;
      case ValueCheck::Changed:
        Count(&held.settled, index, RecordOutcome::Changed);
        break;
      case ValueCheck::Unreadable:
        Count(&held.settled, index, RecordOutcome::Refused);
        break;
    }
  }
  return held;
}

// Deletes each held value that still holds what the search read.
DeletionResult DeleteHeldValues(const HeldValues& held) {
  DeletionResult result = held.settled;
  for (const HeldValue& value : held.values) {
    const RegKey& key = held.keys[value.key];
    RecordOutcome outcome = RecordOutcome::Refused;
    switch (CheckValue(key, value.found)) {
      case ValueCheck::Same: {
        const RegStatus status = key.registry().DeleteValue(key.handle(), value.found.name);
        if (status == RegStatus::Ok) outcome = RecordOutcome::Deleted;
        if (status == RegStatus::NotFound) outcome = RecordOutcome::AlreadyGone;
        break;
      }
      case ValueCheck::Gone:
        outcome = RecordOutcome::AlreadyGone;
        break;
      case ValueCheck::Changed:
        outcome = RecordOutcome::Changed;
        break;
      case ValueCheck::Unreadable:
        break;
    }
    Count(&result, value.index, outcome);
  }
  return result;
}

}  // namespace

bool IsDeleted(RecordOutcome outcome) {
  return outcome == RecordOutcome::Deleted || outcome == RecordOutcome::AlreadyGone;
}

DeletionResult DeleteRecordedValues(CSystemTools& tools, const std::vector<BackupRecord>& records) {
  return DeleteHeldValues(HoldUnchangedValues(tools.environment().registry(), records));
}

DeleteRunResult BackUpAndDelete(CSystemTools& tools, const std::vector<BackupRecord>& records) {
  DeleteRunResult run;
  // The name is taken before anything is read, and the file is never
  // opened by name again until it is complete.
  const std::unique_ptr<TextFileWriter> file =
      CreateBackupFile(tools.GetProgramDir(), tools.GetTimestamp());
  const HeldValues held = HoldUnchangedValues(tools.environment().registry(), records);
  if (held.values.empty()) {
    file->Discard();
    run.deletion = held.settled;
    return run;
  }
  std::vector<BackupRecord> unchanged;
  unchanged.reserve(held.values.size());
  for (const HeldValue& value : held.values) unchanged.push_back(*value.record);
  WriteBackupFile(*file, unchanged);
  run.backupPath = file->path();
  run.deletion = DeleteHeldValues(held);

  // A value that changed between the backup and its deletion was left
  // alone: the backup must not bring its older data back over the newer.
  // Should the smaller backup fail, the first one stays, as it holds every
  // value that was deleted, and the run says what else it holds.
  std::vector<BackupRecord> kept;
  for (const HeldValue& value : held.values) {
    if (run.deletion.outcomes[value.index] != RecordOutcome::Changed) kept.push_back(*value.record);
  }
  if (kept.size() != unchanged.size()) {
    try {
      ReplaceBackupFile(run.backupPath, kept);
    } catch (const FileError&) {
      run.backupKeepsUndeleted = true;
    }
  }
  return run;
}

}  // namespace kw

#include "cleaning/BackupFile.h"

#include "system/FileError.h"
#include "system/TextFile.h"

namespace kw {
namespace {

// Far more than a user makes in one minute; beyond it something is wrong.
constexpr int kMaxNameAttempts = 1000;

}  // namespace

std::string FreeFileName(const std::string& stem, const std::string& extension) {
  std::string name = stem + extension;
  for (int n = 2; FileIsPresent(name); ++n) {
    if (n > kMaxNameAttempts) throw FileError(FileError::Cause::Open, stem + extension);
    name = stem + " (" + std::to_string(n) + ")" + extension;
  }
  return name;
}

std::string BackupFileName(const std::string& programDir, const std::string& timestamp) {
  return FreeFileName(programDir + "\\backup\\backup - " + timestamp, ".reg");
}

void WriteBackupFile(const std::string& path, const std::vector<BackupRecord>& records) {
  std::string text = "REGEDIT4\n";
  for (const BackupRecord& record : records) {
    if (record.kind == RecordKind::Restorable) text += record.text + "\n\n";
  }
  WriteWholeFile(path, WithCrLf(text));
}

}  // namespace kw

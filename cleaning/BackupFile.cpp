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

namespace {

// "REGEDIT4", then each record's key line and value line and an empty line.
std::vector<std::string> BackupLines(const std::vector<BackupRecord>& records) {
  std::vector<std::string> lines = {"REGEDIT4"};
  for (const BackupRecord& record : records) {
    if (record.kind != RecordKind::Restorable) continue;
    const size_t split = record.text.find('\n');
    lines.push_back(record.text.substr(0, split));
    if (split != std::string::npos) lines.push_back(record.text.substr(split + 1));
    lines.emplace_back();
  }
  return lines;
}

}  // namespace

void WriteBackupFile(const std::string& path, const std::vector<BackupRecord>& records) {
  std::string text;
  for (const std::string& line : BackupLines(records)) text += line + "\n";
  WriteWholeFile(path, WithCrLf(text));
}

void ReplaceBackupFile(const std::string& path, const std::vector<BackupRecord>& records) {
  ReplaceFileLines(path, BackupLines(records));
}

}  // namespace kw

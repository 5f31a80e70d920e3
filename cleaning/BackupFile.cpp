#include "cleaning/BackupFile.h"

#include "system/FileError.h"

namespace kw {

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

std::string BackupFolder(const std::string& programDir) { return programDir + "\\backup"; }

std::unique_ptr<TextFileWriter> CreateBackupFile(const std::string& programDir,
                                                 const std::string& timestamp) {
  const std::string folder = BackupFolder(programDir);
  if (IsLinkOrJunction(folder)) throw FileError(FileError::Cause::Open, folder);
  return TextFileWriter::CreateFree(folder + "\\backup - " + timestamp, ".reg");
}

void WriteBackupFile(TextFileWriter& file, const std::vector<BackupRecord>& records) {
  try {
    for (const std::string& line : BackupLines(records)) file.WriteLine(line);
    file.Close();
  } catch (const FileError&) {
    file.Discard();
    throw;
  }
}

void ReplaceBackupFile(const std::string& path, const std::vector<BackupRecord>& records) {
  ReplaceFileLines(path, BackupLines(records));
}

}  // namespace kw

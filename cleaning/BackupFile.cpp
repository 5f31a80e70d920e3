#include "cleaning/BackupFile.h"

#include <cstdio>
#include <memory>

#include "system/FileError.h"
#include "system/TextFile.h"

namespace kw {
namespace {

// Far more than a user makes in one minute; beyond it something is wrong.
constexpr int kMaxNameAttempts = 1000;

}  // namespace

std::string BackupFileName(const std::string& programDir, const std::string& timestamp) {
  const std::string stem = programDir + "\\backup\\backup - " + timestamp;
  std::string name = stem + ".reg";
  for (int n = 2; FileIsPresent(name); ++n) {
    if (n > kMaxNameAttempts) throw FileError(FileError::Cause::Open, stem + ".reg");
    name = stem + " (" + std::to_string(n) + ").reg";
  }
  return name;
}

void WriteBackupFile(const std::string& path, const std::vector<BackupRecord>& records) {
  // Creating the file may fail; then there is nothing of ours to remove.
  auto writer = std::make_unique<TextFileWriter>(path);
  try {
    writer->Write("REGEDIT4\n");
    for (const BackupRecord& record : records) {
      if (record.kind == RecordKind::Restorable) writer->Write(record.text + "\n\n");
    }
    writer->Close();
  } catch (...) {
    writer.reset();  // closes the file so that it can be removed
    std::remove(NativePath(path).c_str());
    throw;
  }
}

}  // namespace kw

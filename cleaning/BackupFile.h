// The backup file: a REGEDIT4 file in the program's "backup" folder that
// holds every record before its value is deleted, so that the registry
// editor can import it again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"
#include "system/TextFile.h"

namespace kw {

// The folder of the backups and reports, programDir + "\backup".
std::string BackupFolder(const std::string& programDir);

// Creates the new file programDir + "\backup\backup - " + timestamp +
// ".reg", or the first free "... (2).reg", "... (3).reg": an existing
// backup is never opened, let alone replaced. Throws FileError, creating
// nothing, when the backup folder is a link or junction (it could lead
// anywhere) or no file can be created.
std::unique_ptr<TextFileWriter> CreateBackupFile(const std::string& programDir,
                                                 const std::string& timestamp);

// Writes "REGEDIT4" and then every Restorable record followed by an empty
// line, CR LF line ends, and closes the file. The file is complete and
// flushed when this returns. On any failure it throws FileError and
// removes the file.
void WriteBackupFile(TextFileWriter& file, const std::vector<BackupRecord>& records);

// Replaces the backup at `path` with one of `records`, in the same form, in
// one step: the old file stays whole until the new one is complete. Throws
// FileError, leaving the old file, when the new one cannot be written.
void ReplaceBackupFile(const std::string& path, const std::vector<BackupRecord>& records);

}  // namespace kw

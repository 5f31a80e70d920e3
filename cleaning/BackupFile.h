// The backup file: a REGEDIT4 file in the program's "backup" folder that
// holds every record before its value is deleted, so that the registry
// editor can import it again.
#pragma once

#include <string>
#include <vector>

#include "cleaning/BackupRecord.h"

namespace kw {

// stem + extension, or, when that file exists, the first free name of the
// form stem + " (2)" + extension, " (3)", ... Throws FileError when none is.
std::string FreeFileName(const std::string& stem, const std::string& extension);

// programDir + "\backup\backup - " + timestamp + ".reg", or, when that file
// exists, the first free name of the form "... (2).reg", "... (3).reg".
// An existing backup is never replaced. Throws FileError when no free name
// is found.
std::string BackupFileName(const std::string& programDir, const std::string& timestamp);

// Writes "REGEDIT4" and then every Restorable record followed by an empty
// line, CR LF line ends. The file is complete, flushed and closed when this
// returns. On any failure it throws FileError and leaves no partial file.
void WriteBackupFile(const std::string& path, const std::vector<BackupRecord>& records);

// Replaces the backup at `path` with one of `records`, in the same form, in
// one step: the old file stays whole until the new one is complete. Throws
// FileError, leaving the old file, when the new one cannot be written.
void ReplaceBackupFile(const std::string& path, const std::vector<BackupRecord>& records);

}  // namespace kw

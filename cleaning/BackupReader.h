// Reading a Kelpwise backup back: a REGEDIT4 file of exactly the forms the
// backup writer produces ("REGEDIT4", then per value a key line and one
// value line, blank lines between). Anything else, even what the registry
// editor would take, refuses the whole file.
#pragma once

#include <string>
#include <vector>

#include "system/Registry.h"

namespace kw {

// One value of a backup: where it goes, and its name, type and exact bytes.
struct BackupValue {
  RegRoot root = RegRoot::CurrentUser;
  std::string keyPath;  // root-relative, backslash runs made one (NormalizeKeyPath)
  RegValue value;
  int line = 0;  // the line number of its key line
};

// Backups are a few megabytes at most; a file far larger is none.
constexpr size_t kMaxBackupBytes = 64u << 20;

// Reads the bytes of a backup file (CR LF or LF line ends). False, with
// `why` naming the line ("line 7: ..."), when any line is not one the
// backup writer makes: then `values` holds nothing.
bool ReadBackupText(const std::string& text, std::vector<BackupValue>* values, std::string* why);

// Reads the file at `path`; false with `why` when it cannot be read or
// ReadBackupText refuses it.
bool ReadBackupFile(const std::string& path, std::vector<BackupValue>* values, std::string* why);

}  // namespace kw

// BackupRecord: one found entry as REGEDIT4 text, a key line and a value
// line joined by one line feed, e.g.
//   [HKEY_CURRENT_USER\Software\...\RunMRU]
//   "a"="notepad\\1"
// The same text goes into the backup file and is read back to delete.
#pragma once

#include <cstdint>
#include <string>

#include "system/Registry.h"

namespace kw {

enum class RecordKind {
  Restorable,     // written to the backup file, then deleted
  NotString,      // a value that is not REG_SZ: listed during the pass only
  NotRestorable   // name or data outside the ANSI code page: never deleted
};

struct BackupRecord {
  std::string text;
  RecordKind kind = RecordKind::Restorable;
  // The value's type and bytes as the search read them: the clean-up backs
  // up and deletes the value only while the registry still holds exactly these.
  uint32_t type = kRegNone;
  std::string data{};
};

// Quoted-string escaping of REGEDIT4: backslash, then double quote.
std::string EscapeRegText(const std::string& text);

// The key line "[ROOT\path]"; a path that starts with a backslash (walks
// from the root of HKEY_CLASSES_ROOT) gets no second one.
std::string KeyLine(RegRoot root, const std::string& keyPath);

// Record of a value found by a search. REG_SZ data goes in quotes when the
// quoted form can carry it, else as hex(1): bytes; other types of value
// give a NotString record with the data "No REG_SZ".
BackupRecord MakeValueRecord(RegRoot root, const std::string& keyPath, const RegValue& value);

// Root-relative path of the SharedDLLs key.
extern const char kSharedDllsKeyPath[];

// Record of a value found in the SharedDLLs key `keyPath` or below it: the
// key line, the value's name, and its stored count as dword:XXXXXXXX (4-byte
// REG_DWORD) or hex(N): bytes. A value of the SharedDLLs key itself gets the
// fixed key line [HKEY_LOCAL_MACHINE\...\SharedDLLS]; one of a subkey, that
// subkey's.
BackupRecord MakeSharedDllRecord(const std::string& keyPath, const RegValue& value);

// Where a record's value lives, read back from its text.
struct RecordTarget {
  std::string rootName;   // "HKEY_LOCAL_MACHINE", ...
  std::string keyPath;    // as in the key line, leading backslash removed
  std::string valueName;  // unescaped; empty for @
};

// False when the text is no well-formed record.
bool ReadRecordTarget(const std::string& recordText, RecordTarget* target);

}  // namespace kw

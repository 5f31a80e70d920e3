// Reads a REGEDIT4 backup written by the program (key line, value line,
// empty line per record) and deletes the same values with nothing but
// RegOpenKeyExA, RegDeleteValueA and RegCloseKey per record.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kw::bench {

struct DeleteTarget {
  HKEY root;
  std::string keyPath;
  std::string valueName;  // empty: the default value
};

class BackupDeleter {
 public:
  // False (with a message on stderr) when the file cannot be read, is no
  // REGEDIT4 file, or holds a record that cannot be understood.
  bool Load(const std::string& path);
  // Deletes every loaded value; returns how many deletions succeeded.
  long DeleteAll();

  const std::vector<DeleteTarget>& targets() const { return m_targets; }

 private:
  std::vector<DeleteTarget> m_targets;
};

}  // namespace kw::bench

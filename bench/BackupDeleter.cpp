#include "bench/BackupDeleter.h"

#include <cstdio>
#include <fstream>

#include "cleaning/BackupRecord.h"

namespace kw::bench {

namespace {

bool RootByName(const std::string& name, HKEY* root) {
  if (name == "HKEY_CURRENT_USER")
    *root = HKEY_CURRENT_USER;
  else if (name == "HKEY_LOCAL_MACHINE")
    *root = HKEY_LOCAL_MACHINE;
  else if (name == "HKEY_CLASSES_ROOT")
    *root = HKEY_CLASSES_ROOT;
  else
    return false;
  return true;
}

}  // namespace

bool BackupDeleter::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bare-delete: cannot open %s\n", path.c_str());
    return false;
  }
  m_targets.clear();
  std::string line;
  std::string keyLine;
  int lineNumber = 0;
  bool continued = false;  // the previous line ended in a backslash
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool continuation = continued;
    continued = !line.empty() && line.back() == '\\';
    if (continuation) continue;
    if (lineNumber == 1) {
      if (line != "REGEDIT4") {
        std::fprintf(stderr, "bare-delete: %s is no REGEDIT4 file\n", path.c_str());
        return false;
      }
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      keyLine = line;
      continue;
    }
    RecordTarget record;
    HKEY root = nullptr;
    if (keyLine.empty() || !ReadRecordTarget(keyLine + "\n" + line, &record) ||
        !RootByName(record.rootName, &root)) {
      std::fprintf(stderr, "bare-delete: %s:%d: cannot read the record\n", path.c_str(),
                   lineNumber);
      return false;
    }
    m_targets.push_back({root, record.keyPath, record.valueName});
  }
  return true;
}

long BackupDeleter::DeleteAll() {
  long deleted = 0;
  for (const DeleteTarget& target : m_targets) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(target.root, target.keyPath.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
      continue;
    if (RegDeleteValueA(key, target.valueName.c_str()) == ERROR_SUCCESS) ++deleted;
    RegCloseKey(key);
  }
  return deleted;
}

}  // namespace kw::bench

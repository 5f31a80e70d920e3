// The registry as the end-to-end tests see it from outside the program:
// single values, whole key trees, and snapshots of large parts of the
// registry that can be compared value by value.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kw::test {

// A value as stored: its type and its raw bytes.
struct StoredValue {
  DWORD type = 0;
  std::string data;
  bool operator==(const StoredValue& other) const {
    return type == other.type && data == other.data;
  }
};

// HKEY_CURRENT_USER and the other long root names; null for any other text.
HKEY RootByName(const std::string& rootName);

// A string value's stored bytes: the text and its terminating zero.
StoredValue StringValue(const std::string& text);

bool ReadValue(HKEY root, const std::string& keyPath, const std::string& name, StoredValue* value);
bool WriteValue(HKEY root, const std::string& keyPath, const std::string& name,
                const StoredValue& value);
// True when the value is gone afterwards (also when it was never there).
bool DeleteValue(HKEY root, const std::string& keyPath, const std::string& name);
// Deletes the key and everything below it; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::string& keyPath);
bool KeyExists(HKEY root, const std::string& keyPath);
// True for an existing key without values and subkeys.
bool KeyIsEmpty(HKEY root, const std::string& keyPath);

// Every key and value below some start keys, keyed by upper-cased full
// paths ("HKEY_LOCAL_MACHINE\SOFTWARE\...") and upper-cased value names,
// since the registry compares both without regard to case.
class RegistrySnapshot {
 public:
  struct Start {
    HKEY root;
    const char* rootName;
    const char* keyPath;
  };
  using Values = std::map<std::string, StoredValue>;  // upper-cased name -> value

  // HKEY_CURRENT_USER\Software and HKEY_LOCAL_MACHINE\Software, which hold
  // everything the program reads and deletes (HKEY_CLASSES_ROOT is a view
  // of their Classes keys).
  static RegistrySnapshot TakeSoftware();
  static RegistrySnapshot Take(const std::vector<Start>& starts);

  const std::map<std::string, Values>& keys() const { return m_keys; }

 private:
  void Walk(HKEY key, const std::string& path);
  std::map<std::string, Values> m_keys;
};

// What changed from one snapshot to the next, one line per change:
// "- KEY", "+ KEY", "- KEY : NAME", "+ KEY : NAME", "~ KEY : NAME".
std::vector<std::string> SnapshotChanges(const RegistrySnapshot& before,
                                         const RegistrySnapshot& after);

// The change line that deleting value `name` of `key` gives, with the key
// given as in a REGEDIT4 key line (HKEY_CLASSES_ROOT is mapped to the
// machine's Classes key, where its values live).
std::string RemovedValueLine(const std::string& key, const std::string& name);

std::string UpperCase(std::string text);

}  // namespace kw::test

// Files, registry values and the demo registry of fixtures/, as the
// end-to-end tests see them from outside the program.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"

namespace kw::test {

// A file of the source tree: below KW_SOURCE_DIR (a Windows path) when set,
// else two folders above the test program (build/<tree>/e2e_tests.exe).
std::string SourceFile(const std::string& relativePath);
bool ReadFile(const std::string& path, std::string* bytes);
bool WriteFile(const std::string& path, const std::string& bytes);
void DeleteTree(const std::string& path);
// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// A value as stored: its type and its raw bytes.
struct StoredValue {
  DWORD type = 0;
  std::string data;
  bool operator==(const StoredValue& other) const {
    return type == other.type && data == other.data;
  }
};
StoredValue StringValue(const std::string& text);  // REG_SZ with its terminating zero

bool ReadValue(HKEY root, const std::string& key, const std::string& name, StoredValue* value);
bool WriteValue(HKEY root, const std::string& key, const std::string& name,
                const StoredValue& value);
void DeleteValue(HKEY root, const std::string& key, const std::string& name);

// Every key ("KEY") and value ("KEY : NAME") below HKEY_CURRENT_USER\Software
// and HKEY_LOCAL_MACHINE\Software, which hold everything the program reads
// and deletes, upper-cased as the registry compares them. Only the view of
// the test program's own build: Wow6432Node is left out.
using Snapshot = std::map<std::string, StoredValue>;
Snapshot TakeSnapshot();
// "- ENTRY", "+ ENTRY" or "~ ENTRY" for each difference, sorted.
std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after);
// The key and name of every value line of a REGEDIT4 text.
std::vector<std::pair<std::string, std::string>> RegFileValues(const std::string& text);
// The changes that deleting every value of a REGEDIT4 text makes.
std::vector<std::string> RemovedValues(const std::string& regText);

// Runs C:\windows\regedit.exe /s on the file. Its exit code says nothing
// about what it imported: check the values.
::testing::AssertionResult ImportWithRegedit(const std::string& file);

// fixtures/demo.reg in the prefix, with the live files its values name.
class Demo {
 public:
  Demo();
  ~Demo() { Remove(); }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  // Removes the demo, creates the live files and imports demo.reg.
  ::testing::AssertionResult Seed();
  // Deletes the demo's values, the keys that left empty, and its files.
  void Remove();
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

}  // namespace kw::test

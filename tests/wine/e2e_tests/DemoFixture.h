// The demo registry of fixtures/ in the test prefix: the values of
// fixtures/demo.reg imported with the system's registry editor, and the live
// files those values point at. Each test seeds it anew and removes it again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/e2e_tests/RegistryState.h"

namespace kw::test {

// A file of the source tree: KW_SOURCE_DIR (a Windows path) when set, else
// two folders above the test program (build/<tree>/e2e_tests.exe).
std::string SourceFile(const std::string& relativePath);

// Whole file as bytes; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string* bytes);

// One value line of a REGEDIT4 file with the key line above it.
struct RegFileValue {
  std::string key;   // as in the key line: "HKEY_CURRENT_USER\Software\..."
  std::string name;  // unescaped; empty for @
  StoredValue value;
};

struct RegFileContents {
  std::vector<std::string> keys;  // every key line, in file order
  std::vector<RegFileValue> values;
};

// Reads the REGEDIT4 forms the demo and the backup files use: key lines,
// "name" or @, quoted strings, dword:, hex: and hex(N): on one line.
::testing::AssertionResult ParseRegFile(const std::string& text, RegFileContents* contents);

// Runs C:\windows\regedit.exe /s on the file and waits for it. Its exit
// code says nothing about what it imported: check the values.
::testing::AssertionResult ImportWithRegedit(const std::string& file);

class DemoFixture {
 public:
  // Removes whatever an earlier run left behind and remembers the values
  // of the Fonts key, some of which the demo clean-up deletes although
  // they come from Wine's own fresh registry.
  DemoFixture();
  // Removes the demo again and puts those font values back.
  ~DemoFixture();
  DemoFixture(const DemoFixture&) = delete;
  DemoFixture& operator=(const DemoFixture&) = delete;

  // Removes the demo, creates the live files, imports demo.reg and checks
  // that every value of it arrived.
  ::testing::AssertionResult Seed();
  // Deletes the demo's values, the keys left empty by that, and its files.
  void Remove();

  // Every value of demo.reg, parsed (empty before the first Seed()).
  const RegFileContents& contents() const { return m_contents; }

 private:
  ::testing::AssertionResult Load();
  ::testing::AssertionResult CheckImported() const;

  RegFileContents m_contents;
  std::vector<std::pair<std::string, StoredValue>> m_fontValues;
};

}  // namespace kw::test

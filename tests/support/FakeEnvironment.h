// A test environment: a memory registry, a program folder, a fixed clock
// and a table of path states; and a temporary folder for the files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "system/Environment.h"
#include "scan/EntryChecks.h"
#include "system/SystemTools.h"
#include "tests/support/MemoryRegistry.h"

namespace kw::test {

inline std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << nativePath;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh temporary folder, removed with its content at the end.
class TempDir {
 public:
  TempDir() : m_path((std::filesystem::temp_directory_path() / "kelpwise.XXXXXX").string()) {
    if (mkdtemp(m_path.data()) == nullptr) ADD_FAILURE() << "cannot create " << m_path;
  }
  ~TempDir() { std::filesystem::remove_all(m_path); }
  const std::string& path() const { return m_path; }  // no trailing separator
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_path + "/" + name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const { return ReadBytes(m_path + "/" + name); }

 private:
  std::string m_path;
};

class FakeEnvironment : public Environment {
 public:
  // The executable is programDir\Kelpwise.exe.
  explicit FakeEnvironment(const std::string& programDir = "C:\\Kelpwise")
      : m_moduleFileName(programDir + "\\Kelpwise.exe") {}

  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override { return m_moduleFileName; }
  bool WindowsDirectory(std::string* dir) override { return !(*dir = m_windowsDir).empty(); }
  bool SystemWow64Directory(std::string* dir) override { return !(*dir = m_wow64Dir).empty(); }
  // A path set with SetPath (any letter case) has its state; others are Missing.
  PathState ProbePath(const std::string& path) override {
    const auto it = m_paths.find(LowerAscii(path));
    return it == m_paths.end() ? PathState::Missing : it->second;
  }
  LocalTime Now() override { return m_now; }
  void SetPath(const std::string& path, PathState state) { m_paths[LowerAscii(path)] = state; }

  MemoryRegistry m_registry;
  std::string m_moduleFileName;
  std::string m_windowsDir = "C:\\Windows";
  std::string m_wow64Dir;  // empty: 32-bit Windows
  LocalTime m_now{2006, 12, 6, 14, 5};

 private:
  std::map<std::string, PathState> m_paths;  // by lower-case path
};

}  // namespace kw::test

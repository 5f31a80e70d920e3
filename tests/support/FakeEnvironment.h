// A test environment: a memory registry, a program folder, a fixed clock
// and a table of path states.
#pragma once

#include <map>
#include <string>

#include "system/Environment.h"
#include "tests/support/MemoryRegistry.h"

namespace kw::test {

std::string ReadBytes(const std::string& nativePath);

// A fresh temporary directory, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }  // no trailing separator
  void WriteFile(const std::string& name, const std::string& bytes) const;
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
  bool WindowsDirectory(std::string* dir) override { return Known(m_windowsDir, dir); }
  bool SystemWow64Directory(std::string* dir) override { return Known(m_wow64Dir, dir); }
  // A path set with SetPath (any letter case) has its state; others are Missing.
  PathState ProbePath(const std::string& path) override;
  LocalTime Now() override { return m_now; }
  void SetPath(const std::string& path, PathState state);

  MemoryRegistry m_registry;
  std::string m_moduleFileName;
  std::string m_windowsDir = "C:\\Windows";
  std::string m_wow64Dir;  // empty: 32-bit Windows
  LocalTime m_now;

 private:
  static bool Known(const std::string& value, std::string* out) {
    *out = value;
    return !value.empty();
  }
  std::map<std::string, PathState> m_paths;  // by lower-case path
};

}  // namespace kw::test

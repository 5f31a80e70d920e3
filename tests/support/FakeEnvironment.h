// A test environment: a memory registry, a program folder in a fresh
// temporary directory, a fixed clock and a table of path states.
#pragma once

#include <map>
#include <string>

#include "system/Environment.h"
#include "tests/support/MemoryRegistry.h"

namespace kw::test {

// A fresh temporary directory, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // Native path of the directory, no trailing separator.
  const std::string& path() const { return m_path; }
  // Writes `bytes` exactly to the file `name` inside the directory.
  void WriteFile(const std::string& name, const std::string& bytes) const;
  std::string ReadFile(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string m_path;
};

class FakeEnvironment : public Environment {
 public:
  // The program folder is `dir`; the executable is dir\Kelpwise.exe.
  explicit FakeEnvironment(const std::string& programDir = "C:\\Kelpwise");

  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override { return m_moduleFileName; }
  bool WindowsDirectory(std::string* dir) override;
  bool SystemWow64Directory(std::string* dir) override;
  PathState ProbePath(const std::string& path) override;
  LocalTime Now() override { return m_now; }

  MemoryRegistry m_registry;
  std::string m_moduleFileName;
  std::string m_windowsDir = "C:\\Windows";  // empty: unknown
  std::string m_wow64Dir;                    // empty: 32-bit Windows
  LocalTime m_now;
  // Paths (compared without regard to case) and their states; any other
  // path is Missing.
  std::map<std::string, PathState> m_paths;
  void SetPath(const std::string& path, PathState state);
};

}  // namespace kw::test

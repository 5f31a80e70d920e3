// The real machine: the Win32 registry, the executable's own path, the
// Windows folder, the file system and the local clock.
#pragma once

#include "system/Environment.h"
#include "system/Win32Registry.h"

namespace kw {

class Win32Environment : public Environment {
 public:
  Registry& registry() override { return m_registry; }
  std::string ModuleFileName() override;
  bool WindowsDirectory(std::string* dir) override;
  bool SystemWow64Directory(std::string* dir) override;
  // Asks the file system without letting it show a "no disk" box and
  // without WOW64 redirection. Only a fixed or RAM drive, or a path without
  // a drive, can give Missing; other drives give Unknown without a probe.
  PathState ProbePath(const std::string& path) override;
  LocalTime Now() override;
  std::string AnsiToUtf8(const std::string& text) override;

 private:
  Win32Registry m_registry;
};

// What CurrentEnvironment() gives when no other environment is installed.
Environment& DefaultEnvironment();

}  // namespace kw

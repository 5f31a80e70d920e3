// The real machine: the Win32 registry, the executable's own path, the
// Windows folder, the file system and the local clock.
#pragma once

#include <map>
#include <string>

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
  // without WOW64 redirection. Only a path on a fixed or RAM drive can give
  // Missing; a path on another drive or without a drive gives Unknown
  // without a probe.
  PathState ProbePath(const std::string& path) override;
  LocalTime Now() override;
  // The mutex "Global\TarnwellKelpwiseCleanUp", shared by every session.
  std::unique_ptr<CleanUpLock> LockCleanUps(unsigned timeoutMs) override;
  std::string AnsiToUtf8(const std::string& text) override;

 private:
  // The drive type of `root` ("X:\" or "\\server\share\"). Under Wine each
  // answer is a round trip to the mount manager, dearer than the probe
  // itself, so an answer is kept for a moment: a search asks about
  // thousands of paths on a few drives.
  unsigned DriveTypeOf(const std::string& root);

  struct DriveType {
    unsigned type;
    unsigned long asked;  // GetTickCount() of the answer
  };

  Win32Registry m_registry;
  std::map<std::string, DriveType> m_driveTypes;
};

// What CurrentEnvironment() gives on Windows.
Environment& DefaultEnvironment();

}  // namespace kw

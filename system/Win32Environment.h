// The real machine: the Win32 registry, the executable's own path, the
// Windows folder, the file system and the local clock.
#pragma once

#include <string>

#include "system/DriveTypeCache.h"
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
  // A member of the Administrators group whose token holds it enabled:
  // elevated, or SYSTEM.
  bool IsAdministrator() override;
  // "DOMAIN\name", or the bare name where the system gives no domain.
  std::string AccountName(const std::string& sid) override;
  std::string ExpandVariables(const std::string& text) override;
  // RegLoadKey below HKEY_USERS as "Kelpwise <process id> <n>", with the
  // backup and restore privileges enabled first.
  std::unique_ptr<LoadedHive> LoadUserHive(const std::string& file, std::string* why) override;

 private:
  static unsigned AskDriveType(const std::string& root);

  Win32Registry m_registry;
  DriveTypeCache m_driveTypes{&AskDriveType};
};

// What CurrentEnvironment() gives on Windows.
Environment& DefaultEnvironment();

}  // namespace kw

// The machine around the program: registry, own location, Windows folder,
// file probing and the clock. Win32Environment is the real one; tests
// pass their own to the objects they build.
#pragma once

#include <memory>
#include <string>

#include "system/Registry.h"

namespace kw {

enum class PathState {
  Exists,   // the file system returned status for the path
  Missing,  // the system says the file or its folder does not exist
  Unknown   // anything else: drive absent or not fixed, access denied, ...
};

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;   // 0 to 23
  int minute = 0;
};

// A hold on the machine-wide lock of clean-ups; destroying it lets the
// next clean-up go on.
class CleanUpLock {
 public:
  virtual ~CleanUpLock() = default;
};

// A user's registry hive that the run loaded from its file below
// HKEY_USERS; destroying it unloads the hive.
class LoadedHive {
 public:
  virtual ~LoadedHive() = default;
  // Its key's name below HKEY_USERS.
  virtual const std::string& keyName() const = 0;
};

class Environment {
 public:
  virtual ~Environment() = default;
  virtual Registry& registry() = 0;
  // Full path of the running executable, Windows style (backslashes).
  virtual std::string ModuleFileName() = 0;
  // The Windows folder without trailing backslash; false when unknown.
  virtual bool WindowsDirectory(std::string* dir) = 0;
  // The folder where 64-bit Windows keeps the system files of 32-bit
  // programs (SysWOW64), without trailing backslash; false on a system
  // without one.
  virtual bool SystemWow64Directory(std::string* dir) = 0;
  virtual PathState ProbePath(const std::string& path) = 0;
  virtual LocalTime Now() = 0;
  // Waits up to `timeoutMs` until no other clean-up on the machine (of any
  // user, session or program instance) is running, and holds the lock from
  // then on; nullptr when the other one still runs at the end of the wait.
  virtual std::unique_ptr<CleanUpLock> LockCleanUps(unsigned timeoutMs) = 0;
  // `text` of the ANSI code page in UTF-8. By default each byte is taken for
  // a Latin-1 character; the real machine converts from its code page.
  virtual std::string AnsiToUtf8(const std::string& text);

  // True when the program runs with administrator rights (elevated, or as
  // SYSTEM).
  virtual bool IsAdministrator() { return false; }
  // The account name of a SID in its text form ("S-1-5-21-..."); empty
  // when the SID resolves to no name.
  virtual std::string AccountName(const std::string& sid) { return ""; }
  // `text` with its %VARIABLE% parts expanded; unchanged by default.
  virtual std::string ExpandVariables(const std::string& text) { return text; }
  // Loads the registry hive file `file` below HKEY_USERS under a name of
  // the run's own; nullptr, with the reason in `why`, when it cannot.
  virtual std::unique_ptr<LoadedHive> LoadUserHive(const std::string& file, std::string* why);
};

// The environment the program's objects use unless given another.
Environment& CurrentEnvironment();

}  // namespace kw

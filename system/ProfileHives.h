// The run's view of every user profile: the machine as it is, except that
// the hive of a profile nobody is logged on to is loaded on demand, and its
// keys are still named HKEY_USERS\<SID>\... for the whole run. Records,
// reports and backups therefore always name a profile's keys by its SID,
// wherever the hive sits for the moment. Every hive loaded here is unloaded
// when this ends, also after an error.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "system/Environment.h"
#include "system/UserProfiles.h"

namespace kw {

class ProfileHives : public Environment {
 public:
  explicit ProfileHives(Environment& machine);
  ~ProfileHives() override;
  ProfileHives(const ProfileHives&) = delete;
  ProfileHives& operator=(const ProfileHives&) = delete;

  // Makes HKEY_USERS\<profile.sid> reachable: a loaded profile is; another
  // one's hive file is loaded. False, with the reason, when it cannot be.
  bool Reach(const UserProfile& profile, std::string* why);
  // Unloads every hive loaded here.
  void UnloadAll();

  Registry& registry() override;
  std::string ModuleFileName() override { return m_machine.ModuleFileName(); }
  bool WindowsDirectory(std::string* dir) override { return m_machine.WindowsDirectory(dir); }
  bool SystemWow64Directory(std::string* dir) override {
    return m_machine.SystemWow64Directory(dir);
  }
  PathState ProbePath(const std::string& path) override { return m_machine.ProbePath(path); }
  LocalTime Now() override { return m_machine.Now(); }
  std::unique_ptr<CleanUpLock> LockCleanUps(unsigned timeoutMs) override {
    return m_machine.LockCleanUps(timeoutMs);
  }
  std::string AnsiToUtf8(const std::string& text) override { return m_machine.AnsiToUtf8(text); }
  bool IsAdministrator() override { return m_machine.IsAdministrator(); }
  std::string AccountName(const std::string& sid) override { return m_machine.AccountName(sid); }
  std::string ExpandVariables(const std::string& text) override {
    return m_machine.ExpandVariables(text);
  }
  std::unique_ptr<LoadedHive> LoadUserHive(const std::string& file, std::string* why) override {
    return m_machine.LoadUserHive(file, why);
  }

 private:
  class MappedRegistry;
  struct Loaded {
    std::string sid;
    std::unique_ptr<LoadedHive> hive;
  };

  // The key name below HKEY_USERS where the hive of `sid` sits now.
  const std::string* LoadedNameOf(const std::string& sid) const;

  Environment& m_machine;
  std::vector<Loaded> m_loaded;
  std::unique_ptr<MappedRegistry> m_registry;
};

}  // namespace kw

#include "system/ProfileHives.h"

#include <algorithm>

namespace kw {

// Forwards to the machine's registry; a path below HKEY_USERS whose first
// component is the SID of a hive loaded here goes to the hive's own name.
class ProfileHives::MappedRegistry : public Registry {
 public:
  MappedRegistry(Registry& machine, const ProfileHives& hives)
      : m_machine(machine), m_hives(hives) {}

  RegStatus OpenKey(RegRoot root, const std::string& path, bool forWrite, Handle* key) override {
    return m_machine.OpenKey(root, Mapped(root, path), forWrite, key);
  }
  RegStatus CreateKey(RegRoot root, const std::string& path, Handle* key) override {
    return m_machine.CreateKey(root, Mapped(root, path), key);
  }
  void CloseKey(Handle key) override { m_machine.CloseKey(key); }
  RegStatus ListSubKeys(Handle key, std::vector<std::string>* names) override {
    return m_machine.ListSubKeys(key, names);
  }
  RegStatus ListValues(Handle key, bool withData, std::vector<RegValue>* values) override {
    return m_machine.ListValues(key, withData, values);
  }
  RegStatus ListKey(Handle key, std::vector<RegValue>* values,
                    std::vector<std::string>* subKeys) override {
    return m_machine.ListKey(key, values, subKeys);
  }
  RegStatus QueryValue(Handle key, const std::string& name, RegValue* value) override {
    return m_machine.QueryValue(key, name, value);
  }
  RegStatus SetValue(Handle key, const std::string& name, uint32_t type,
                     const std::string& data) override {
    return m_machine.SetValue(key, name, type, data);
  }
  RegStatus DeleteValue(Handle key, const std::string& name) override {
    return m_machine.DeleteValue(key, name);
  }
  bool IsAnsiExact(Handle key, const std::string& name) override {
    return m_machine.IsAnsiExact(key, name);
  }
  void SetListingHook(std::function<void()> hook) override {
    m_machine.SetListingHook(std::move(hook));
  }

 private:
  std::string Mapped(RegRoot root, const std::string& path) const {
    if (root != RegRoot::Users) return path;
    const std::string normal = NormalizeKeyPath(path);
    const size_t end = std::min(normal.find('\\'), normal.size());
    const std::string* loadedName = m_hives.LoadedNameOf(normal.substr(0, end));
    return loadedName ? *loadedName + normal.substr(end) : path;
  }

  Registry& m_machine;
  const ProfileHives& m_hives;
};

ProfileHives::ProfileHives(Environment& machine)
    : m_machine(machine), m_registry(std::make_unique<MappedRegistry>(machine.registry(), *this)) {}

ProfileHives::~ProfileHives() { UnloadAll(); }

Registry& ProfileHives::registry() { return *m_registry; }

bool ProfileHives::Reach(const UserProfile& profile, std::string* why) {
  if (LoadedNameOf(profile.sid) != nullptr) return true;
  if (profile.loaded) {
    RegKey key(m_machine.registry());
    if (key.Open(RegRoot::Users, profile.sid) == RegStatus::Ok) return true;
  }
  if (profile.hiveFile.empty()) {
    *why = "the profile list names no folder for it";
    return false;
  }
  std::unique_ptr<LoadedHive> hive = m_machine.LoadUserHive(profile.hiveFile, why);
  if (!hive) return false;
  m_loaded.push_back({profile.sid, std::move(hive)});
  return true;
}

bool ProfileHives::Reach(const std::string& sid, std::string* why) {
  for (const UserProfile& profile : ListUserProfiles(m_machine)) {
    if (SameRegistryName(profile.sid, sid)) return Reach(profile, why);
  }
  *why = "no profile of this machine has that SID";
  return false;
}

void ProfileHives::UnloadAll() {
  while (!m_loaded.empty()) m_loaded.pop_back();
}

const std::string* ProfileHives::LoadedNameOf(const std::string& sid) const {
  for (const Loaded& loaded : m_loaded) {
    if (SameRegistryName(loaded.sid, sid)) return &loaded.hive->keyName();
  }
  return nullptr;
}

}  // namespace kw

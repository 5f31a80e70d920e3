#include "system/UserProfiles.h"

#include <algorithm>
#include <cctype>

namespace kw {

const char kProfileListKeyPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() > prefix.size() && SameRegistryName(text.substr(0, prefix.size()), prefix);
}

// The string data of a value, without its terminating zero; empty for
// other types.
std::string StringData(const RegValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return "";
  return value.data.substr(0, value.data.find('\0'));
}

std::vector<std::string> SubKeysOf(Registry& registry, RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  RegKey key(registry);
  if (key.Open(root, path) == RegStatus::Ok) registry.ListSubKeys(key.handle(), &names);
  return names;
}

}  // namespace

bool IsPersonSid(const std::string& name) {
  std::string rest;
  if (StartsWith(name, "S-1-5-21-")) {
    rest = name.substr(9);
  } else if (StartsWith(name, "S-1-12-1-")) {
    rest = name.substr(9);
  } else {
    return false;
  }
  // Numbers joined by single hyphens: no _Classes suffix, no empty part.
  bool digitBefore = false;
  for (const char c : rest) {
    if (c >= '0' && c <= '9') {
      digitBefore = true;
    } else if (c == '-' && digitBefore) {
      digitBefore = false;
    } else {
      return false;
    }
  }
  return digitBefore;
}

std::vector<UserProfile> ListUserProfiles(Environment& env) {
  Registry& registry = env.registry();
  std::vector<UserProfile> profiles;
  const auto known = [&](const std::string& sid) {
    return std::any_of(profiles.begin(), profiles.end(), [&](const UserProfile& profile) {
      return SameRegistryName(profile.sid, sid);
    });
  };
  for (const std::string& sid : SubKeysOf(registry, RegRoot::LocalMachine, kProfileListKeyPath)) {
    if (!IsPersonSid(sid) || known(sid)) continue;
    UserProfile profile{sid, "", false};
    RegKey key(registry);
    RegValue folder;
    if (key.Open(RegRoot::LocalMachine, std::string(kProfileListKeyPath) + "\\" + sid) ==
            RegStatus::Ok &&
        registry.QueryValue(key.handle(), "ProfileImagePath", &folder) == RegStatus::Ok) {
      const std::string path = env.ExpandVariables(StringData(folder));
      if (!path.empty()) profile.hiveFile = path + "\\NTUSER.DAT";
    }
    profiles.push_back(profile);
  }
  const std::vector<std::string> loaded = SubKeysOf(registry, RegRoot::Users, "");
  for (UserProfile& profile : profiles) {
    profile.loaded = std::any_of(loaded.begin(), loaded.end(), [&](const std::string& name) {
      return SameRegistryName(name, profile.sid);
    });
  }
  for (const std::string& sid : loaded) {
    if (IsPersonSid(sid) && !known(sid)) profiles.push_back(UserProfile{sid, "", true});
  }
  return profiles;
}

}  // namespace kw

// The user profiles of the machine: the accounts whose history lists
// /allusers searches, and where each one's registry hive is.
#pragma once

#include <string>
#include <vector>

#include "system/Environment.h"

namespace kw {

// Root-relative path of the machine's list of profiles (HKEY_LOCAL_MACHINE).
extern const char kProfileListKeyPath[];

struct UserProfile {
  std::string sid;       // "S-1-5-21-..."
  std::string hiveFile;  // the profile's NTUSER.DAT; empty when the list names no folder
  bool loaded = false;   // HKEY_USERS\<sid> is there: the hive is in use
};

// True for the SID of a person's account: a local or domain account
// (S-1-5-21-...) or a cloud one (S-1-12-1-...), every part a number. The
// system's own accounts (S-1-5-18, -19, -20), .DEFAULT and the _Classes
// keys beside the profiles are not.
bool IsPersonSid(const std::string& name);

// The profiles of the profile list whose SID is a person's, then those
// loaded below HKEY_USERS that the list lacks; each once, in that order.
std::vector<UserProfile> ListUserProfiles(Environment& env);

}  // namespace kw

// /restore BACKUP: puts the values of a Kelpwise backup back, without any
// window, and reads every value it wrote back. Data it writes over first
// goes into a new backup of its own, so that a restore can be undone too.
#pragma once

#include <functional>
#include <string>

#include "app/CommandLine.h"
#include "system/Environment.h"

namespace kw {

// Makes the registry of the user profile `sid` reachable below HKEY_USERS
// for the run's writes and reads; false, with the reason in `why`, when it
// cannot.
using ProfileReach = std::function<bool(const std::string& sid, std::string* why)>;

// Reachable when HKEY_USERS\<sid> opens (the user's profile is loaded).
ProfileReach LoadedProfilesOnly(Environment& env);

// Runs /restore and writes its report. `reach` defaults to LoadedProfilesOnly.
// Returns the exit code, decided as that of /clean: the values written
// count as found, those not restored as not deleted.
int RunRestore(const CommandLine& command, Environment& env, ProfileReach reach = {});

}  // namespace kw

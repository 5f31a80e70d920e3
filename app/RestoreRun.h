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

// What decides the exit code of a restore.
struct RestoreFacts {
  int written = 0;            // values restored or replaced and read back intact
  int notRestored = 0;        // values left as they were, or that read back different
  bool backupFailed = false;  // the safety backup of replaced data was not written
  bool failed = false;        // backup unreadable, refused, lock not got, report not written
};

// 3 when the safety backup failed, else 5 for any other failure, else 4 when
// a value was not restored, else 1 when one was written, else 0.
int DecideRestoreExitCode(const RestoreFacts& facts);

// Runs /restore and writes its report. `reach` defaults to LoadedProfilesOnly.
// Returns the exit code.
int RunRestore(const CommandLine& command, Environment& env, ProfileReach reach = {});

}  // namespace kw

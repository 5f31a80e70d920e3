// Where a backup may write: only below the start key of a search category,
// where a search could have found what it holds. A file that names any
// other key (a Run key, a service, Image File Execution Options ...) is
// refused whole, so that a planted .reg file cannot use the program's
// administrator rights to write anywhere else.
#pragma once

#include <string>
#include <vector>

#include "cleaning/BackupReader.h"

namespace kw {

// The category whose walk can reach `keyPath` below `root`: at or below its
// start key, through no subkey a walk never enters (IsExcludedSubKey, in
// any letter case) and no deeper than a walk goes. Below HKEY_USERS only
// the history categories, in a user profile's own key ("S-1-5-21-..." or
// "S-1-12-1-...", never .DEFAULT, the service accounts or a _Classes key).
// Where several walks reach it, the one with the deepest start key; -1 when
// none does.
int CategoryReaching(RegRoot root, const std::string& keyPath);

// The user profile's SID a key below HKEY_USERS belongs to ("" when it is
// no user profile's key).
std::string ProfileSidOf(RegRoot root, const std::string& keyPath);

// True when the SharedDLLs walk reaches the key: its counts may be of any
// type. Every other kind of entry a backup holds is REG_SZ.
bool IsSharedDllKey(RegRoot root, const std::string& keyPath);

// Empty when every value may be restored; else what is wrong with the
// first that may not ("line 4: HKEY_LOCAL_MACHINE\...\Run is outside ...").
std::string FirstOutsideScope(const std::vector<BackupValue>& values);

// Empty when the file at `path` is a Kelpwise backup that writes only where
// a search reads; else why not, naming the file and the line.
std::string BackupFileRefusal(const std::string& path);

}  // namespace kw

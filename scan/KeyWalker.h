// The recursive walk of one category's key tree: opens every key once,
// checks its values, appends what it finds to the result model and goes on
// into the subkeys that are neither excluded nor below an ignored key.
#pragma once

#include <array>
#include <string>
#include <unordered_set>
#include <vector>

#include "scan/EntryChecks.h"
#include "scan/ResultModel.h"
#include "scan/ScanCategories.h"
#include "scan/ScanListener.h"
#include "system/Registry.h"
#include "system/SystemTools.h"

namespace kw {

// Levels below the start key that a walk enters at most: the registry's own
// nesting limit, so that a cycle through registry links ends too.
constexpr int kMaxWalkDepth = 512;

// Subtrees that no walk enters, at any depth: Microsoft, CLSID, Installer,
// Interface and every name that begins with Direct (case-sensitive).
bool IsExcludedSubKey(const std::string& name);

class KeyWalker {
 public:
  // `categoryNames` are the translated names of the twelve categories, in
  // category order; `options` are the switches of the options string (the
  // break-down flag).
  KeyWalker(Registry& registry, CSystemTools& tools, ResultModel& model, ScanListener& listener,
            const std::vector<std::string>& ignoreList,
            const std::array<std::string, kCategoryCount>& categoryNames,
            const OptionFlags& options);

  // Walks the key `keyPath` below the root of `check` and all keys under it.
  void ScanKey(const std::string& categoryName, const std::string& keyPath, ScanCheck check,
               const std::vector<std::string>& extensions);
  // From now on the history walks read the profile of `sid` below
  // HKEY_USERS: the key paths they report begin with the SID, and the
  // ignore list applies below it as it does below HKEY_CURRENT_USER. An
  // empty SID goes back to the current user.
  void SetProfile(const std::string& sid) { m_profileSid = sid; }
  // The key path a walk of `check` reads for the root-relative `keyPath`.
  std::string PathInPlace(ScanCheck check, const std::string& keyPath) const;
  // Ends the walk in progress once the key being visited is done: no
  // further key is entered, by it or by a later ScanKey.
  void Stop() { m_stopped = true; }

  // Image index of a category name: the last category whose translated name
  // equals it, else 0.
  int IconIndexOf(const std::string& categoryName) const;

 private:
  struct Walk;

  // Reads and reports one key; fills `subKeysToEnter` with the names of
  // the subkeys the walk goes on into.
  void VisitKey(const Walk& walk, const std::string& keyPath, int depth,
                std::vector<std::string>* subKeysToEnter);
  // Reads the open key: its findings and its subkey names.
  void ReadKey(const Walk& walk, RegKey& key, const std::string& keyPath,
               std::vector<Finding>* findings, std::vector<std::string>* subKeys);
  void CheckValue(const Walk& walk, RegKey& key, const std::string& keyPath, const RegValue& value,
                  std::vector<Finding>* findings);
  const std::string& WindowsDir();

  Registry& m_registry;
  CSystemTools& m_tools;
  ResultModel& m_model;
  ScanListener& m_listener;
  std::unordered_set<std::string> m_ignoreList;
  std::array<std::string, kCategoryCount> m_categoryNames;
  OptionFlags m_options;
  FileProbe m_fileExists;
  std::string m_windowsDir;
  bool m_windowsDirKnown = false;
  bool m_stopped = false;
  std::string m_profileSid;
};

}  // namespace kw

#include "cleaning/RestoreScope.h"

#include <algorithm>

#include "scan/EntryChecks.h"
#include "scan/KeyWalker.h"
#include "scan/ScanCategories.h"
#include "system/UserProfiles.h"

namespace kw {

namespace {

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  const std::string normal = NormalizeKeyPath(path);
  for (size_t start = 0, end; start < normal.size(); start = end + 1) {
    end = std::min(normal.find('\\', start), normal.size());
    parts.push_back(normal.substr(start, end - start));
  }
  return parts;
}

// Registry names compare without regard to ASCII case.
bool SameName(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

bool ExcludedInAnyCase(const std::string& name) {
  const std::string lower = LowerAscii(name);
  return lower == "microsoft" || lower == "clsid" || lower == "installer" || lower == "interface" ||
         lower.compare(0, 6, "direct") == 0 || IsExcludedSubKey(name);
}

// True when `parts` lie at or below `start` and a walk from there enters them.
bool WalkReaches(const std::vector<std::string>& start, const std::vector<std::string>& parts) {
  if (parts.size() < start.size() || parts.size() - start.size() > kMaxWalkDepth) return false;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i < start.size() ? !SameName(parts[i], start[i]) : ExcludedInAnyCase(parts[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ProfileSidOf(RegRoot root, const std::string& keyPath) {
  if (root != RegRoot::Users) return "";
  const std::vector<std::string> parts = Components(keyPath);
  return !parts.empty() && IsPersonSid(parts[0]) ? parts[0] : "";
}

int CategoryReaching(RegRoot root, const std::string& keyPath) {
  std::vector<std::string> parts = Components(keyPath);
  const bool profile = !ProfileSidOf(root, keyPath).empty();
  if (profile) parts.erase(parts.begin());
  // Of the walks that reach it (the one of HKEY_CLASSES_ROOT's root reaches
  // TypeLib too), the one with the deepest start key.
  int found = -1;
  size_t foundDepth = 0;
  for (const ScanCategory& category : ScanCategories()) {
    const bool rootFits = profile ? category.check == SCAN_HISTORY : root == RootOf(category.check);
    const std::vector<std::string> start = Components(category.startKey);
    if (rootFits && WalkReaches(start, parts) && (found < 0 || start.size() > foundDepth)) {
      found = category.index;
      foundDepth = start.size();
    }
  }
  return found;
}

bool IsSharedDllKey(RegRoot root, const std::string& keyPath) {
  const int category = CategoryReaching(root, keyPath);
  return category >= 0 && ScanCategories()[category].check == SCAN_SHAREDDLL;
}

std::string FirstOutsideScope(const std::vector<BackupValue>& values) {
  for (const BackupValue& value : values) {
    const std::string where = "line " + std::to_string(value.line) + ": " + RootName(value.root) +
                              (value.keyPath.empty() ? "" : "\\" + value.keyPath);
    if (CategoryReaching(value.root, value.keyPath) < 0) {
      return where + " is outside the keys a Kelpwise search reads";
    }
    if (value.value.type != kRegSz && !IsSharedDllKey(value.root, value.keyPath)) {
      return where + " holds a value of type " + std::to_string(value.value.type) +
             " where Kelpwise backs up REG_SZ values only";
    }
  }
  return "";
}

std::string BackupFileRefusal(const std::string& path) {
  std::vector<BackupValue> values;
  std::string why;
  if (!ReadBackupFile(path, &values, &why)) return why;
  why = FirstOutsideScope(values);
  return why.empty() ? "" : path + ", " + why;
}

}  // namespace kw

#include "system/Registry.h"

#include <algorithm>
#include <cctype>

namespace kw {

const char* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegRoot::Users:
      return "HKEY_USERS";
  }
  return "";
}

bool RootNamed(const std::string& name, RegRoot* root) {
  for (const RegRoot candidate :
       {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot, RegRoot::Users}) {
    if (name == RootName(candidate)) {
      *root = candidate;
      return true;
    }
  }
  return false;
}

bool SameRegistryName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

std::string NormalizeKeyPath(const std::string& path) {
  std::string result;
  result.reserve(path.size());
  for (char c : path) {
    if (c == '\\' && (result.empty() || result.back() == '\\')) continue;
    result += c;
  }
  if (!result.empty() && result.back() == '\\') result.pop_back();
  return result;
}

RegStatus Registry::ListKey(Handle key, std::vector<RegValue>* values,
                            std::vector<std::string>* subKeys) {
  const RegStatus listed = ListValues(key, /*withData=*/true, values);
  const RegStatus named = ListSubKeys(key, subKeys);
  return listed != RegStatus::Ok ? listed : named;
}

}  // namespace kw

// The twelve search categories as the benchmark sees them: where each walk
// starts, which check it applies, and which subkeys every walk skips.
#pragma once

#include <windows.h>

#include <string>

namespace kw::bench {

enum class Check { History, Program, Font, SharedDll, ComObject, TypeLib, HelpFile };

struct SearchCategory {
  const char* name;  // English display name
  HKEY root;
  const char* startPath;
  Check check;
};

constexpr int kCategoryCount = 12;
const SearchCategory& Category(int index);

// Subkeys that no walk enters: Microsoft, CLSID, Installer, Interface and
// every name that begins with Direct (all case-sensitive).
bool IsExcludedSubkey(const std::string& name);

}  // namespace kw::bench

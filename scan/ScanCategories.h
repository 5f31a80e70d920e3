// The twelve search categories: what each one walks and how it checks the
// values it finds there.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "system/Registry.h"

namespace kw {

// The kind of check a category applies to every value of its walk. The
// kind also fixes the registry root that the walk reads.
enum ScanCheck {
  SCAN_HISTORY = 0,  // lists of recently used things: every value is an entry
  SCAN_PROGRAM,      // values naming a missing .exe on drive C:
  SCAN_FONT,         // font registrations of missing font files
  SCAN_SHAREDDLL,    // SharedDLLs reference counts of missing files
  SCAN_COMOBJECT,    // COM/OLE class servers that are missing
  SCAN_TYPELIB,      // type libraries (.dll) that are missing
  SCAN_HELPFILE      // help files (.cnt, .hlp) that are missing
};

struct ScanCategory {
  int index;             // position in the options string, image index
  int nameTextId;        // text id of the display name
  std::string startKey;  // root-relative path of the walk's start
  ScanCheck check;
  std::vector<std::string> extensions;  // tokens of the file-reference checks, in order
};

constexpr int kCategoryCount = 12;

// The categories in index order.
const std::array<ScanCategory, kCategoryCount>& ScanCategories();

// The root a walk of this kind reads.
RegRoot RootOf(ScanCheck check);
// True for the checks that look for missing files (everything but history).
bool IsFileReference(ScanCheck check);

}  // namespace kw

// The floor of a search (kwbench bare-walk): a depth-first walk over the
// keys a search visits, from a start key, every subkey except the excluded
// names, values before subkeys, in enumeration order. Per key it opens,
// queries the counts, enumerates every value with its data and every subkey
// name, and closes; nothing else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "system/Registry.h"

namespace kw::bench {

class BareWalker {
 public:
  // Walks the tree below `startPath` of `root` (the empty path is the root),
  // whose start key the program's registry access opens. Key paths are
  // built as parent + "\" + name, as a search builds them.
  void Walk(RegRoot root, const std::string& startPath);

  long keys() const { return m_keys; }
  long values() const { return m_values; }

 private:
  void WalkOpenKey(HKEY key, const std::string& keyPath);

  long m_keys = 0;
  long m_values = 0;
  std::vector<char> m_nameBuffer;
  std::vector<BYTE> m_dataBuffer;
};

}  // namespace kw::bench

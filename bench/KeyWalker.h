// Depth-first walk over the keys a search visits: from a start key, every
// subkey except the excluded names, values before subkeys, in enumeration
// order. Per key it opens, queries the counts, enumerates every value with
// its data and every subkey name, and closes; nothing else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kw::bench {

struct WalkedValue {
  std::string name;
  DWORD type = REG_NONE;
  const BYTE* data = nullptr;
  DWORD size = 0;
};

class ValueVisitor {
 public:
  virtual ~ValueVisitor() = default;
  virtual void OnValue(const std::string& keyPath, const WalkedValue& value) = 0;
};

class KeyWalker {
 public:
  // Without a visitor the walk only reads.
  explicit KeyWalker(ValueVisitor* visitor = nullptr) : m_visitor(visitor) {}

  // Walks the tree below `startPath` of `root` (the empty path is the root).
  // Paths handed to the visitor are built as parent + "\" + name.
  void Walk(HKEY root, const std::string& startPath);

  long keys() const { return m_keys; }
  long values() const { return m_values; }

 private:
  void WalkOpenKey(HKEY key, const std::string& keyPath);

  ValueVisitor* m_visitor;
  long m_keys = 0;
  long m_values = 0;
  std::vector<char> m_nameBuffer;
  std::vector<BYTE> m_dataBuffer;
};

}  // namespace kw::bench

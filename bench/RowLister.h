// Lists, as tab-separated rows (category, value name, column-2 text), what a
// full search with every category on and entries not broken down should
// show for the current registry. A reference whose state cannot be known
// (a drive that is absent or not a fixed disk) is not listed. Used to check
// fixture expectations against a real prefix.
#pragma once

#include <cstdio>
#include <string>

#include "bench/KeyWalker.h"
#include "bench/SearchKeys.h"

namespace kw::bench {

class RowLister : public ValueVisitor {
 public:
  RowLister(const SearchCategory& category, std::string windowsDir, std::FILE* out);
  void OnValue(const std::string& keyPath, const WalkedValue& value) override;
  long rows() const { return m_rows; }

 private:
  void CheckFileReference(const WalkedValue& value, const std::string& raw, const char* token);
  void Print(const std::string& column1, const std::string& column2);

  const SearchCategory& m_category;
  std::string m_windowsDir;
  std::FILE* m_out;
  long m_rows = 0;
};

}  // namespace kw::bench

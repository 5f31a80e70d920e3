// The texts of one section of the shipped language file, read the way the
// program reads them: entry lines "NNNNN text" between the header line and
// "[EOL]"; the upper of two entries with the same id wins.
#pragma once

#include <map>
#include <string>

#include "gtest/gtest.h"

namespace kw::test {

class LanguageSection {
 public:
  ::testing::AssertionResult Load(const std::string& languageFile, const std::string& header);

  // The text of `id`; a marker text when the section lacks it, so that a
  // comparison fails with a readable message.
  std::string Text(int id) const;

 private:
  std::string m_header;
  std::map<int, std::string> m_texts;
};

}  // namespace kw::test

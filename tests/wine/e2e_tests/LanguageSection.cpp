#include "tests/wine/e2e_tests/LanguageSection.h"

#include <cctype>
#include <vector>

#include "tests/wine/e2e_tests/ProgramFolder.h"

namespace kw::test {

::testing::AssertionResult LanguageSection::Load(const std::string& languageFile,
                                                 const std::string& header) {
  std::vector<std::string> lines;
  if (!ReadTextLines(languageFile, &lines)) {
    return ::testing::AssertionFailure() << "cannot read " << languageFile;
  }
  m_header = header;
  m_texts.clear();
  bool inSection = false, ended = false;
  for (const std::string& line : lines) {
    if (!inSection) {
      inSection = line == header;
      continue;
    }
    if (line == "[EOL]") {
      ended = true;
      break;
    }
    if (line.size() <= 4) continue;
    int id = 0;
    for (size_t i = 0; i < 5 && i < line.size(); ++i) {
      id = id * 10 + (std::isdigit(static_cast<unsigned char>(line[i])) ? line[i] - '0' : 0);
    }
    m_texts.emplace(id, line.size() > 6 ? line.substr(6) : "");
  }
  if (!ended) {
    return ::testing::AssertionFailure() << languageFile << " has no complete section " << header;
  }
  return ::testing::AssertionSuccess();
}

std::string LanguageSection::Text(int id) const {
  auto found = m_texts.find(id);
  if (found == m_texts.end())
    return "<text " + std::to_string(id) + " missing in " + m_header + ">";
  return found->second;
}

}  // namespace kw::test

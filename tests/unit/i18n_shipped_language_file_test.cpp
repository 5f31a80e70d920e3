// Checks the shipped language file against the ids the program looks up.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "i18n/LanguageList.h"
#include "i18n/TextIds.h"
#include "system/TextFile.h"

namespace kw::test {
namespace {

const std::string kDist = std::string(KW_SOURCE_DIR) + "/dist";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(ShippedFilesTest, Windows1252WithCrLfLineEnds) {
  for (const char* name : {"kpwtrl.ini", "config.ini", "blacklist.ini"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(kDist + "/" + name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    // No bare CR or LF, no control characters, no UTF-8 lead byte of an umlaut.
    const std::regex bad(
        "[\\x00-\\x09\\x0b\\x0c\\x0e-\\x1f\\x81\\x8d\\x8f\\x90\\x9d\\xc3]|\r(?!\n)|[^\r]\n");
    EXPECT_FALSE(std::regex_search(bytes, bad));
  }
}

TEST(ShippedLanguageFileTest, EverySectionHasEveryTextWithItsPlaceholder) {
  // Every id the program looks up, taken from TextIds.h so that a new id
  // without texts fails here.
  const std::string header = ReadBytes(std::string(KW_SOURCE_DIR) + "/i18n/TextIds.h");
  std::set<int> ids;
  const std::regex entry(R"(TXT_\w+\s*=\s*(\d+))");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), entry);
       it != std::sregex_iterator(); ++it) {
    ids.insert(std::stoi((*it)[1]));
  }
  for (int i = 0; i < kCategoryCount; ++i) ids.insert(CategoryTextId(i));
  const std::map<int, std::string> placeholders = {{TXT_STATUS_FOUND, "%d"},
                                                   {TXT_DELETED_1, "%d"},
                                                   {TXT_NOT_DELETED, "%d"},
                                                   {TXT_CHECKING, "%s"}};

  std::map<std::string, std::map<int, std::string>> sections;
  std::string current;
  for (const std::string& line : ReadAllLines(kDist + "/kpwtrl.ini")) {
    if (current.empty()) {
      if (IsSectionHeader(line)) current = line;
    } else if (line == "[EOL]") {
      current.clear();
    } else if (line.size() > 6) {
      sections[current].emplace(std::stoi(line.substr(0, 5)), line.substr(6));
    }
  }
  ASSERT_EQ(3u, sections.size());
  for (auto& [section, texts] : sections) {
    for (int id : ids) {
      const std::string& text = texts[id];
      SCOPED_TRACE(section + " " + std::to_string(id) + ": " + text);
      EXPECT_FALSE(text.empty());
      const auto placeholder = placeholders.find(id);
      const size_t at = text.find('%');
      EXPECT_EQ(placeholder == placeholders.end() ? "" : placeholder->second,
                at == std::string::npos ? "" : text.substr(at, 2));
      EXPECT_TRUE(at == std::string::npos || text.find('%', at + 1) == std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kw::test

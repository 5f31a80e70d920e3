// Languages: the text table loaded from the language file, the files as
// they ship, and the help's pages. Filling the texts' placeholders is
// proven against printf by format_fuzz.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "i18n/LanguageList.h"
#include "i18n/TextIds.h"
#include "i18n/TranslationTable.h"
#include "scan/ScanCategories.h"
#include "system/FileError.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {

class TranslationTableTest : public ::testing::Test {
 protected:
  // Loads `language` from `file`; returns the text of id 1.
  std::string Load(const std::string& language, const std::string& file) {
    m_env.WriteFile("config.ini", "Product ID\r\nkpw\r\nLanguage\r\n" + language + "\r\n");
    m_env.WriteFile("kpwtrl.ini", file);
    m_table.LoadLanguage();
    return m_table.LookupText(1);
  }

  FakeEnvironment m_env;
  TranslationTable m_table{m_env};
};

TEST_F(TranslationTableTest, EachLoadReplacesTheTableWithTheChosenSection) {
  const std::string english =
      "[1033]\r\n00000 English\r\n00002 English\r\n00001 English text\r\n[EOL]\r\n";
  const std::string file = english + "[1031]\r\n0001\r\n00001 one\r\n[EOL]\r\n";
  EXPECT_EQ("English text", Load("[1033]", file));
  EXPECT_EQ("one", Load("[1031]", file)) << "a four-character line must not become id 1";
  EXPECT_EQ("", m_table.LookupText(2)) << "left over from the first load";
  // A missing file keeps the table (an unknown or unterminated section gives
  // way to English, as language_fuzz proves).
  m_env.WriteFile("config.ini", "Product ID\r\nnothere\r\nLanguage\r\n[1033]\r\n");
  EXPECT_THROW(m_table.LoadLanguage(), FileError);
  EXPECT_EQ("one", m_table.LookupText(1));
  // So does a Product ID that leads out of the program folder, even to a file.
  const std::string folder = std::filesystem::path(m_env.dir()).filename().string();
  m_env.WriteFile("config.ini", "Product ID\r\n..\\" + folder + "\\kpw\r\nLanguage\r\n[1033]\r\n");
  EXPECT_THROW(m_table.LoadLanguage(), FileError);
  // A huge section loads and unloads without deep recursion.
  std::string huge = "[1033]\r\n";
  for (int i = 0; i < 200000; ++i) huge += "00007 seven\r\n";
  Load("[1033]", huge + "[EOL]\r\n");
  EXPECT_EQ("seven", m_table.LookupText(7));
}

// "[----]" follows the system's default language (German for a dialect that
// Dialects[1031] lists), English when the file has no section for it.
TEST_F(TranslationTableTest, SystemLanguageMarkerPicksTheSystemsSection) {
  const std::string file =
      "[1033]\r\n00001 en\r\n[EOL]\r\n[1031]\r\n00001 de\r\n[EOL]\r\n"
      "[1036]\r\n00001 fr\r\n[EOL]\r\n";
  const char* const rows[][2] = {{"040c", "fr"}, {"0c07", "de"}, {"0410", "en"}};
  for (const auto& [systemLanguage, text] : rows) {
    m_env.m_registry.SetString(RegRoot::LocalMachine,
                               "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default",
                               systemLanguage);
    EXPECT_EQ(Load("[----]\r\nDialects[1031]\r\n[2055][3079]", file), text) << systemLanguage;
  }
}

// Every section the Language Selection offers has every text the program
// looks up (ids from TextIds.h) with the placeholders of its English text.
TEST_F(TranslationTableTest, ShippedSectionsHaveEveryTextWithItsPlaceholders) {
  const std::string ids = ReadBytes(KW_SOURCE_DIR "/i18n/TextIds.h");
  const std::string file = ReadBytes(KW_SOURCE_DIR "/dist/kpwtrl.ini");
  const std::regex entry(R"(TXT_\w+ += (\d+))"), placeholder("[^%]*(%.)?");
  std::map<int, std::string> english;  // the placeholders by id
  for (std::sregex_iterator it(ids.begin(), ids.end(), entry), end; it != end; ++it)
    english.emplace(std::stoi((*it)[1]), "");
  for (int i = 0; i < kCategoryCount; ++i) english.emplace(CategoryTextId(i), "");
  Load("[1033]", file);
  for (auto& [id, found] : english)
    found = std::regex_replace(m_table.LookupText(id), placeholder, "$1");
  const std::vector<LanguagePair> pairs = ReadLanguagePairs(KW_SOURCE_DIR "/dist/kpwtrl.ini");
  ASSERT_GE(pairs.size(), 5u);  // the system language's section and the four languages shipped
  for (const LanguagePair& pair : pairs) {
    if (pair.header == kSystemLanguageSection) continue;
    Load(pair.header, file);
    EXPECT_EQ(m_table.LookupText(2), pair.displayName);  // the section itself, not English
    for (const auto& [id, expected] : english) {
      const std::string text = m_table.LookupText(id);
      EXPECT_TRUE(!text.empty() && std::regex_replace(text, placeholder, "$1") == expected)
          << pair.header << " " << id << " " << text;
    }
  }
}

// The shipped files are Windows-1252 with CR LF line ends.
TEST(ShippedFilesTest, AreWindows1252WithCrLf) {
  for (const std::string name : {"kpwtrl.ini", "config.ini", "blacklist.ini"}) {
    const std::string bytes = ReadBytes(KW_SOURCE_DIR "/dist/" + name);
    // No bare CR or LF, no control characters, no UTF-8 lead byte of an umlaut.
    const std::regex bad(
        "[\\x00-\\x09\\x0b\\x0c\\x0e-\\x1f\\x81\\x8d\\x8f\\x90\\x9d\\xc3]|\r(?!\n)|[^\r]\n");
    EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << name;
    EXPECT_FALSE(std::regex_search(bytes, bad)) << name;
  }
}

// From the help's start page on, every link names a file that is there and
// that the help project lists (chmcmd leaves out the others), and every
// listed file is reached.
TEST(HelpPagesTest, EveryLinkFromTheStartPageNamesAListedFile) {
  const std::filesystem::path help = KW_SOURCE_DIR "/help";
  const std::string project = ReadBytes((help / "Kelpwise.hhp").string());
  std::istringstream files(project.substr(project.find("[FILES]")));
  std::set<std::string> listed, reached = {"index.htm"};
  for (std::string line; std::getline(files, line);) {
    line.erase(line.find_last_not_of('\r') + 1);
    if (!line.empty() && line[0] != '[') listed.insert(line);
  }
  const std::regex link(R"((?:href|src)="([^"#]+))", std::regex::icase);
  for (std::vector<std::string> toVisit = {"index.htm"}; !toVisit.empty();) {
    const std::filesystem::path page = help / toVisit.back();
    const std::string text = ReadBytes(page.string());
    toVisit.pop_back();
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      const std::filesystem::path target = page.parent_path() / (*it)[1].str();
      const std::string file = target.lexically_normal().lexically_relative(help).generic_string();
      EXPECT_TRUE(std::filesystem::exists(help / file) && listed.count(file))
          << page << " links to " << file;
      const bool first = reached.insert(file).second;
      if (first && file.find(".htm") == file.size() - 4) toVisit.push_back(file);
    }
  }
  EXPECT_EQ(reached, listed);
}

}  // namespace kw::test

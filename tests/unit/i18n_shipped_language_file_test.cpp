// Checks the language file, config.ini and blacklist.ini as they ship.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/LanguageList.h"
#include "i18n/TextIds.h"
#include "i18n/TranslationTable.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

const std::string kDist = std::string(KW_SOURCE_DIR) + "/dist";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every id that the program looks up, taken from TextIds.h so that a new id
// without texts fails here.
std::set<int> ProgramTextIds() {
  std::string header = ReadBytes(std::string(KW_SOURCE_DIR) + "/i18n/TextIds.h");
  std::set<int> ids;
  std::regex entry(R"(TXT_\w+\s*=\s*(\d+))");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), entry);
       it != std::sregex_iterator(); ++it) {
    ids.insert(std::stoi((*it)[1]));
  }
  for (int i = 0; i < kCategoryCount; ++i) ids.insert(CategoryTextId(i));
  return ids;
}

using SectionTexts = std::map<int, std::string>;  // first entry of each id

// The sections of the shipped file, read the way the loader reads them.
std::map<std::string, SectionTexts> ShippedSections(
    std::map<std::string, std::vector<int>>* order) {
  std::string bytes = ReadBytes(kDist + "/kpwtrl.ini");
  std::map<std::string, SectionTexts> sections;
  std::string current;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 2;
    if (current.empty()) {
      if (IsSectionHeader(line)) current = line;
      continue;
    }
    if (line == "[EOL]") {
      current.clear();
      continue;
    }
    if (line.size() <= 4) continue;
    int id = std::stoi(line.substr(0, 5));
    sections[current].emplace(id, line.size() > 6 ? line.substr(6) : "");
    if (order) (*order)[current].push_back(id);
  }
  return sections;
}

const char* const kShippedSections[] = {"[----]", "[1033]", "[1031]"};

TEST(ShippedFilesTest, Windows1252WithCrLfLineEnds) {
  for (const char* name : {"kpwtrl.ini", "config.ini", "blacklist.ini"}) {
    SCOPED_TRACE(name);
    std::string bytes = ReadBytes(kDist + "/" + name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    for (size_t i = 0; i < bytes.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(bytes[i]);
      bool lineEnd = (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ||
                     (c == '\n' && i > 0 && bytes[i - 1] == '\r');
      // Undefined in Windows-1252, or the UTF-8 lead byte of an umlaut.
      bool bad = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D || c == 0xC3;
      ASSERT_TRUE(lineEnd || (c >= 0x20 && !bad)) << "byte " << int(c) << " at " << i;
    }
  }
}

TEST(ShippedLanguageFileTest, EverySectionHasEveryTextOnce) {
  std::vector<LanguagePair> pairs = ReadLanguagePairs(kDist + "/kpwtrl.ini");
  EXPECT_EQ("[----]=System default language;[1033]=English;[1031]=Deutsch;", [&] {
    std::string names;
    for (const LanguagePair& pair : pairs) names += pair.header + "=" + pair.displayName + ";";
    return names;
  }());
  std::map<std::string, std::vector<int>> order;
  auto sections = ShippedSections(&order);
  const std::set<int> ids = ProgramTextIds();
  for (const char* header : kShippedSections) {
    SCOPED_TRACE(header);
    for (int id : ids) EXPECT_FALSE(sections[header][id].empty()) << id;
    EXPECT_EQ(sections[header].size(), order[header].size()) << "an id appears twice";
    // The display-name line is an entry line too: its id must be one that
    // nothing looks up.
    ASSERT_GE(order[header].size(), 2u);
    EXPECT_FALSE(ids.count(order[header][1]));
  }
}

TEST(ShippedLanguageFileTest, PlaceholdersWhereTheCodeFillsThem) {
  const std::map<int, std::string> placeholders = {{TXT_STATUS_FOUND, "%d"},
                                                   {TXT_DELETED_1, "%d"},
                                                   {TXT_NOT_DELETED, "%d"},
                                                   {TXT_CHECKING, "%s"}};
  auto sections = ShippedSections(nullptr);
  for (const char* header : kShippedSections) {
    for (const auto& [id, text] : sections[header]) {
      SCOPED_TRACE(std::string(header) + " " + std::to_string(id) + ": " + text);
      auto expected = placeholders.find(id);
      if (expected == placeholders.end()) {
        EXPECT_EQ(std::string::npos, text.find('%'));
        continue;
      }
      size_t at = text.find('%');
      ASSERT_NE(std::string::npos, at);
      EXPECT_EQ(expected->second, text.substr(at, 2));
      EXPECT_EQ(std::string::npos, text.find('%', at + 1));
    }
  }
}

TEST(ShippedLanguageFileTest, GermanIsATranslation) {
  auto sections = ShippedSections(nullptr);
  const SectionTexts& english = sections["[1033]"];
  const SectionTexts& german = sections["[1031]"];
  int same = 0;
  for (const auto& [id, text] : english) {
    auto it = german.find(id);
    if (it != german.end() && it->second == text) ++same;
  }
  // Product and category names such as "RunMRU" may stay as they are.
  EXPECT_LT(same, 5) << "of " << english.size();
  for (int id : ProgramTextIds()) {
    SCOPED_TRACE(id);
    EXPECT_EQ(english.at(id), sections["[----]"][id]) << "the system-default section is English";
  }
}

TEST(ShippedLanguageFileTest, AcceleratorsAreUniqueWithinEachMenuAndButtonRow) {
  const std::vector<std::vector<int>> groups = {
      {TXT_MENU_FILE, TXT_MENU_HELP},
      {TXT_MENU_NEW_SEARCH, TXT_MENU_OPTIONS, TXT_MENU_REVERSE, TXT_MENU_LANGUAGE, TXT_MENU_EXIT},
      {TXT_MENU_HELP_FILE, TXT_MENU_WEBSITE, TXT_MENU_ABOUT},
      {TXT_BUTTON_OPTIONS, TXT_BUTTON_MORE_INFO, TXT_BUTTON_START_SEARCH, TXT_BUTTON_REMOVE},
      {TXT_BUTTON_OPTIONS, TXT_BUTTON_MORE_INFO, TXT_BUTTON_DELETE, TXT_BUTTON_REMOVE},
  };
  auto sections = ShippedSections(nullptr);
  for (const char* header : kShippedSections) {
    for (const std::vector<int>& group : groups) {
      std::set<char> keys;
      for (int id : group) {
        const std::string& text = sections[header][id];
        SCOPED_TRACE(std::string(header) + " " + text);
        size_t at = text.find('&');
        ASSERT_TRUE(at != std::string::npos && at + 1 < text.size());
        EXPECT_EQ(std::string::npos, text.find('&', at + 1));
        char key = text[at + 1];
        if (key >= 'A' && key <= 'Z') key = static_cast<char>(key - 'A' + 'a');
        EXPECT_TRUE(keys.insert(key).second) << "accelerator used twice";
      }
    }
  }
}

// The shipped config.ini and language file together, as a first start sees them.
TEST(ShippedLanguageFileTest, FirstStartFollowsTheSystemLanguage) {
  struct Row {
    const char* systemLanguage;
    const char* expectedCaption;
  };
  const Row rows[] = {
      {"0409", "&Start Search"},
      {"0407", "&Suche starten"},
      {"0c07", "&Suche starten"},  // Austria, listed in "Dialects[1031]"
      {"040c", "&Start Search"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.systemLanguage);
    FakeEnvironment env(kDist);
    env.m_registry.SetString(RegRoot::LocalMachine,
                             "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default",
                             row.systemLanguage);
    TranslationTable table(env);
    table.LoadLanguage();
    EXPECT_EQ(row.expectedCaption, table.LookupText(TXT_BUTTON_START_SEARCH));
  }
}

TEST(ShippedFilesTest, SettingsAndIgnoreList) {
  FakeEnvironment env(kDist);
  CSystemTools tools(env);
  EXPECT_EQ("kpw", tools.ReadSetting("Product ID"));
  EXPECT_EQ("[----]", tools.ReadSetting("Language"));
  EXPECT_EQ("[2055][3079][4103][5127]", tools.ReadSetting("Dialects[1031]"));
  EXPECT_EQ("11111111111100", tools.ReadSetting("Options"));
  EXPECT_EQ("30", tools.ReadSetting("CheckTime"));
  EXPECT_EQ("0", tools.ReadSetting("CheckDate"));
  EXPECT_EQ("manually", tools.ReadSetting("Startup"));
  EXPECT_EQ(0u, tools.ReadSetting("Homepage").rfind("https://", 0));
  std::string blacklist = ReadBytes(kDist + "/blacklist.ini");
  EXPECT_EQ(3, std::count(blacklist.begin(), blacklist.end(), '\n')) << "only the header lines";
}

}  // namespace
}  // namespace kw::test

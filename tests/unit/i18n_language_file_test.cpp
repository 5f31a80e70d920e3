// The language file: the list of its languages, and the file as it ships.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/LanguageList.h"
#include "i18n/TextIds.h"
#include "system/FileError.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

TEST(LanguageListTest, SixCharacterHeadersNamedByTheirSecondLine) {
  const std::string french = std::string("Fran") + '\xE7' + "ais";
  const struct {
    std::vector<std::string> lines;
    std::string expected;
  } rows[] = {
      {{"[----]", "00000 x", "00002 System default language", "00001 a", "[EOL]", "[1033]",
        "00000 English", "00002 English", "[EOL]", "[1031]", "00000 x", "00002 Deutsch"},
       "[----]=System default language;[1033]=English;[1031]=Deutsch;"},
      {{"[EOL]", "0 a", "00002 five", "[10330]", "0 a", "00002 seven", " [1033", "0 a",
        "00002 no bracket first", "[abcd]", "0 a", "00002 Named"},
       "[abcd]=Named;"},
      // The two lines after a header are consumed even when one looks like a header.
      {{"[1033]", "[1031]", "00002 English", "[1036]", "00000 x", "00002 " + french},
       "[1033]=English;[1036]=" + french + ";"},
      {{"[1031]", "00000 x", "00002xDeutsch "}, "[1031]=Deutsch ;"},
      {{"[1031]", "00000 x", "12345"}, ""},  // too short: no name, no pair
      {{"[1031]", "00000 x"}, ""},           // file ends early
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    TempDir dir;
    std::string file;
    for (const std::string& line : row.lines) file += line + "\r\n";
    dir.WriteFile("kpwtrl.ini", file);
    std::string described;
    for (const LanguagePair& pair : ReadLanguagePairs(dir.path() + "/kpwtrl.ini")) {
      described += pair.header + "=" + pair.displayName + ";";
    }
    EXPECT_EQ(row.expected, described);
  }
  TempDir empty;
  EXPECT_THROW(ReadLanguagePairs(empty.path() + "/nothere.ini"), FileError);
}

TEST(LanguageListTest, ChoiceAndLanguageTakeTheLastMatch) {
  const std::vector<LanguagePair> pairs = {{"[----]", "System default language"},
                                           {"[1033]", "English"},
                                           {"[1031]", "Deutsch"},
                                           {"[2057]", "English"},
                                           {"[1031]", "Deutsch (2)"}};
  EXPECT_EQ("System default language", ChoiceForLanguage(pairs, "[----]"));
  EXPECT_EQ("Deutsch (2)", ChoiceForLanguage(pairs, "[1031]"));
  EXPECT_EQ(kSystemDefaultChoice, ChoiceForLanguage(pairs, "[1036]"));
  EXPECT_EQ(kSystemDefaultChoice, ChoiceForLanguage({}, "[----]"));
  EXPECT_EQ("[2057]", LanguageForChoice(pairs, "English", "[1031]"));
  EXPECT_EQ("[1031]", LanguageForChoice(pairs, "deutsch", "[1031]")) << "case-sensitive";
  EXPECT_EQ("[----]", LanguageForChoice(pairs, kSystemDefaultChoice, "[4242]"));
  EXPECT_EQ("[4242]", LanguageForChoice(pairs, "Klingon", "[4242]")) << "no match keeps it";
}

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

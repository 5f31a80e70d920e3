// Languages: the language file's list of languages, the text table loaded
// from it, filling the texts' placeholders, and the file as it ships.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "i18n/LanguageList.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "scan/ScanCategories.h"
#include "i18n/TranslationTable.h"
#include "system/FileError.h"
#include "system/TextFile.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Section(const std::string& header, const std::string& word) {
  return CrLf({header, "00000 " + word, "00002 " + word, "00001 " + word + " text", "[EOL]"});
}

class TranslationTableTest : public ::testing::Test {
 protected:
  TranslationTableTest() : m_env(m_dir.path()), m_table(m_env) {}

  // Loads `language` from `file`; returns the text of id 1.
  std::string Load(const std::string& language, const std::string& file,
                   const std::string& dialects = "") {
    m_dir.WriteFile("config.ini",
                    CrLf({"Product ID", "kpw", "Language", language, "Dialects[1031]", dialects}));
    m_dir.WriteFile("kpwtrl.ini", file);
    m_table.LoadLanguage();
    return m_table.LookupText(1);
  }

  TempDir m_dir;
  FakeEnvironment m_env;
  TranslationTable m_table;
};

TEST_F(TranslationTableTest, EachLoadReplacesTheTableWithTheChosenSection) {
  const std::string file = CrLf({"00005 outside"}) + Section("[1033]", "English") +
                           CrLf({"[1031]", "0001", "00001 one", "00013 ", "00014\tx",
                                 "00017 upper", "00017 lower", "[EOL]"});
  EXPECT_EQ("English text", Load("[1033]", file));
  EXPECT_EQ("", m_table.LookupText(5));
  EXPECT_EQ("one", Load("[1031]", file)) << "a four-character line must not become id 1";
  EXPECT_EQ("", m_table.LookupText(2)) << "left over from the first load";
  EXPECT_EQ("", m_table.LookupText(13));
  EXPECT_EQ("x", m_table.LookupText(14));
  EXPECT_EQ("upper", m_table.LookupText(17));
}

TEST_F(TranslationTableTest, SystemDefaultLanguagePicksASection) {
  const struct {
    const char* registryValue;
    const char* dialects;
    const char* expected;
  } rows[] = {
      {"0407", "", "Deutsch text"},              // German system
      {"0807", "[2055][3079]", "Deutsch text"},  // Swiss German, listed as a dialect
      {"0c0a", "", "Espanol text"},              // lower-case hex digits count
      {"0C0A", "", "English text"},              // upper-case letters count as 0
      {"0416", "", "English text"},              // no section for it
  };
  const std::string file = Section("[----]", "System") + Section("[1033]", "English") +
                           Section("[1031]", "Deutsch") + Section("[3082]", "Espanol");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.registryValue);
    m_env.m_registry.SetString(RegRoot::LocalMachine,
                               "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "Default",
                               row.registryValue);
    EXPECT_EQ(row.expected, Load("[----]", file, row.dialects));
  }
}

TEST_F(TranslationTableTest, UnknownUnterminatedOrMissingFileFallsBackOrKeepsTheTable) {
  const std::string english = Section("[1033]", "English");
  EXPECT_EQ("English text", Load("[1034]", english));
  EXPECT_EQ("English text", Load("[1031]", english + CrLf({"[1031]", "00001 Titel"})))
      << "no [EOL] before the end of the file";
  EXPECT_EQ("one", Load("[1033]", CrLf({"[1033]", "00001 one"})))
      << "unterminated English keeps what it read";
  m_dir.WriteFile("config.ini", CrLf({"Product ID", "nothere", "Language", "[1033]"}));
  EXPECT_THROW(m_table.LoadLanguage(), FileError);
  EXPECT_EQ("one", m_table.LookupText(1));
}

TEST_F(TranslationTableTest, HugeSectionLoadsAndUnloadsWithoutDeepRecursion) {
  std::string file = "[1033]\r\n";
  for (int i = 0; i < 200000; ++i) file += "00007 seven\r\n";
  Load("[1033]", file + "[EOL]\r\n");
  EXPECT_EQ("seven", m_table.LookupText(7));
}

// Language texts fill only their first placeholder of the right kind; every
// other percent sequence stays text, so no text can crash the formatter.
TEST(TextFormatTest, FillsOnlyTheFirstMatchingPlaceholder) {
  const struct {
    const char* text;
    const char* withNumber;
    const char* withText;
  } rows[] = {
      {"%d entries found.", "5 entries found.", "%d entries found."},
      {"%s%s%s", "%s%s%s", "ARG%s%s"},
      {"%s then %d", "%s then 5", "ARG then %d"},
      {"[%+.3d][%4s]", "[+005][%4s]", "[%+.3d][ ARG]"},
      {"100%% sure: %d", "100% sure: 5", "100% sure: %d"},
      {"%n%p%x%f%c", "%n%p%x%f%c", "%n%p%x%f%c"},
      {"%*d %d", "%*d 5", "%*d %d"},
      {"%1234d%ls", "%1234d%ls", "%1234d%ls"},
      {"%", "%", "%"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.withNumber, FormatWithNumber(row.text, 5));
    EXPECT_EQ(row.withText, FormatWithText(row.text, "ARG"));
  }
  EXPECT_EQ(std::to_string(LONG_MIN), FormatWithNumber("%d", LONG_MIN)) << "sign overflow";
  EXPECT_EQ("Checking: Software\\%d", FormatWithText("Checking: %s", "Software\\%d"));
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
  TempDir empty;
  EXPECT_THROW(ReadLanguagePairs(empty.path() + "/nothere.ini"), FileError);
  EXPECT_EQ("[2057]", LanguageForChoice(pairs, "English", "[1031]"));
  EXPECT_EQ("[----]", LanguageForChoice(pairs, kSystemDefaultChoice, "[4242]"));
  EXPECT_EQ("[4242]", LanguageForChoice(pairs, "Klingon", "[4242]")) << "no match keeps it";
}

const std::string kDist = std::string(KW_SOURCE_DIR) + "/dist";

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

// Every section the Language Selection offers has every text the program
// looks up (ids from TextIds.h), each with its one placeholder.
TEST_F(TranslationTableTest, ShippedSectionsHaveEveryTextWithItsPlaceholder) {
  const std::string header = ReadBytes(std::string(KW_SOURCE_DIR) + "/i18n/TextIds.h");
  std::set<int> ids;
  const std::regex entry(R"(TXT_\w+\s*=\s*(\d+))");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), entry);
       it != std::sregex_iterator(); ++it) {
    ids.insert(std::stoi((*it)[1]));
  }
  for (int i = 0; i < kCategoryCount; ++i) ids.insert(CategoryTextId(i));
  const std::map<int, std::string> placeholders = {
      {TXT_STATUS_FOUND, "%d"}, {TXT_DELETED_1, "%d"}, {TXT_NOT_DELETED, "%d"}, {TXT_CHECKING, "%s"}};

  const std::string file = ReadBytes(kDist + "/kpwtrl.ini");
  m_dir.WriteFile("kpwtrl.ini", file);
  std::string offered;
  for (const LanguagePair& pair : ReadLanguagePairs(m_dir.path() + "/kpwtrl.ini")) {
    offered += pair.header + "=" + pair.displayName + ";";
    if (pair.header == "[----]") continue;
    Load(pair.header, file);
    for (int id : ids) {
      const std::string text = m_table.LookupText(id);
      SCOPED_TRACE(pair.header + " " + std::to_string(id) + ": " + text);
      EXPECT_FALSE(text.empty());
      const auto placeholder = placeholders.find(id);
      const size_t at = text.find('%');
      EXPECT_EQ(placeholder == placeholders.end() ? "" : placeholder->second,
                at == std::string::npos ? "" : text.substr(at, 2));
      EXPECT_TRUE(at == std::string::npos || text.find('%', at + 1) == std::string::npos);
    }
  }
  EXPECT_EQ(offered,
            "[----]=System default language;[1033]=English;[1031]=Deutsch;"
            "[1036]=Fran\xE7" "ais;[3082]=Espa\xF1" "ol;");
}

}  // namespace
}  // namespace kw::test

// Languages: the text table loaded from the language file, filling the
// texts' placeholders, the Language Selection's list, and the files as they
// ship.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <regex>
#include <set>

#include "i18n/LanguageList.h"
#include "i18n/TextFormat.h"
#include "i18n/TextIds.h"
#include "i18n/TranslationTable.h"
#include "scan/ScanCategories.h"
#include "system/FileError.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

std::string Section(const std::string& header, const std::string& word) {
  return header + "\r\n00000 " + word + "\r\n00002 " + word + "\r\n00001 " + word + " text\r\n[EOL]\r\n";
}

class TranslationTableTest : public ::testing::Test {
 protected:
  // Loads `language` from `file`; returns the text of id 1.
  std::string Load(const std::string& language, const std::string& file, const std::string& dialects = "") {
    m_dir.WriteFile("config.ini", "Product ID\r\nkpw\r\nLanguage\r\n" + language +
                                      "\r\nDialects[1031]\r\n" + dialects + "\r\n");
    m_dir.WriteFile("kpwtrl.ini", file);
    m_table.LoadLanguage();
    return m_table.LookupText(1);
  }

  TempDir m_dir;
  FakeEnvironment m_env{m_dir.path()};
  TranslationTable m_table{m_env};
};

TEST_F(TranslationTableTest, EachLoadReplacesTheTableWithTheChosenSection) {
  const std::string file = "00005 outside\r\n" + Section("[1033]", "English") +
                           "[1031]\r\n0001\r\n00001 one\r\n00013 \r\n00014\tx\r\n00017 upper\r\n"
                           "00017 lower\r\n[EOL]\r\n";
  EXPECT_EQ("English text", Load("[1033]", file));
  EXPECT_EQ("", m_table.LookupText(5));
  EXPECT_EQ("one", Load("[1031]", file)) << "a four-character line must not become id 1";
  EXPECT_EQ("", m_table.LookupText(2)) << "left over from the first load";
  EXPECT_EQ("", m_table.LookupText(13));
  EXPECT_EQ("x", m_table.LookupText(14));
  EXPECT_EQ("upper", m_table.LookupText(17));
  // An unknown or unterminated section gives way to English; unterminated
  // English keeps what it read; a missing file keeps the table.
  const std::string english = Section("[1033]", "English");
  EXPECT_EQ("English text", Load("[1034]", english));
  EXPECT_EQ("English text", Load("[1031]", english + "[1031]\r\n00001 Titel\r\n"));
  EXPECT_EQ("one", Load("[1033]", "[1033]\r\n00001 one\r\n"));
  m_dir.WriteFile("config.ini", "Product ID\r\nnothere\r\nLanguage\r\n[1033]\r\n");
  EXPECT_THROW(m_table.LoadLanguage(), FileError);
  EXPECT_EQ("one", m_table.LookupText(1));
  // A huge section loads and unloads without deep recursion.
  std::string huge = "[1033]\r\n";
  for (int i = 0; i < 200000; ++i) huge += "00007 seven\r\n";
  Load("[1033]", huge + "[EOL]\r\n");
  EXPECT_EQ("seven", m_table.LookupText(7));
}

// Language texts fill only their first placeholder of the right kind; every
// other percent sequence stays text, so no text can crash the formatter.
TEST(TextFormatTest, FillsOnlyTheFirstMatchingPlaceholder) {
  const struct {
    const char *text, *withNumber, *withText;
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
    EXPECT_EQ(row.withNumber, FormatWithNumber(row.text, 5)) << row.text;
    EXPECT_EQ(row.withText, FormatWithText(row.text, "ARG")) << row.text;
  }
  EXPECT_EQ(std::to_string(LONG_MIN), FormatWithNumber("%d", LONG_MIN)) << "sign overflow";
  EXPECT_EQ("Checking: Software\\%d", FormatWithText("Checking: %s", "Software\\%d"));
}

// Every section the Language Selection offers has every text the program
// looks up (ids from TextIds.h), each with its one placeholder.
TEST_F(TranslationTableTest, ShippedSectionsHaveEveryTextWithItsPlaceholder) {
  const std::string header = ReadBytes(KW_SOURCE_DIR "/i18n/TextIds.h");
  std::set<int> ids;
  const std::regex entry(R"(TXT_\w+\s*=\s*(\d+))");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), entry); it != std::sregex_iterator(); ++it) {
    ids.insert(std::stoi((*it)[1]));
  }
  for (int i = 0; i < kCategoryCount; ++i) ids.insert(CategoryTextId(i));
  const std::map<int, std::string> placeholders = {
      {TXT_STATUS_FOUND, "%d"}, {TXT_DELETED_1, "%d"}, {TXT_NOT_DELETED, "%d"}, {TXT_CHECKING, "%s"}};
  const std::string file = ReadBytes(KW_SOURCE_DIR "/dist/kpwtrl.ini");
  m_dir.WriteFile("kpwtrl.ini", file);
  std::string offered;
  for (const LanguagePair& pair : ReadLanguagePairs(m_dir.path() + "/kpwtrl.ini")) {
    offered += pair.header + "=" + pair.displayName + ";";
    if (pair.header != "[----]") Load(pair.header, file);
    for (int id : pair.header == "[----]" ? std::set<int>() : ids) {
      const std::string text = m_table.LookupText(id);
      const auto placeholder = placeholders.find(id);
      const size_t at = text.find('%');
      EXPECT_FALSE(text.empty()) << pair.header << " " << id;
      EXPECT_EQ(placeholder == placeholders.end() ? "" : placeholder->second, text.substr(std::min(at, text.size()), 2))
          << pair.header << " " << id << ": " << text;
      EXPECT_EQ(text.find('%', std::min(at, text.size() - 1) + 1), std::string::npos) << pair.header << " " << text;
    }
  }
  EXPECT_EQ(offered, "[----]=System default language;[1033]=English;[1031]=Deutsch;"
                     "[1036]=Fran\xE7" "ais;[3082]=Espa\xF1" "ol;");
}

}  // namespace
}  // namespace kw::test

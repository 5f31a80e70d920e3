#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/LanguageList.h"
#include "system/FileError.h"
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

}  // namespace
}  // namespace kw::test

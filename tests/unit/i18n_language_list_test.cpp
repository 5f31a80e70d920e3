#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "i18n/LanguageList.h"
#include "system/FileError.h"
#include "tests/support/FakeEnvironment.h"

namespace kw::test {
namespace {

std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<LanguagePair> PairsOf(const std::string& fileContent) {
  TempDir dir;
  dir.WriteFile("kpwtrl.ini", fileContent);
  return ReadLanguagePairs(dir.path() + "/kpwtrl.ini");
}

std::string Describe(const std::vector<LanguagePair>& pairs) {
  std::string text;
  for (const LanguagePair& pair : pairs) text += pair.header + "=" + pair.displayName + ";";
  return text;
}

TEST(LanguageListTest, HeadersAndDisplayNames) {
  std::string file = CrLf({"[----]", "00000 x", "00002 System default language", "00001 a", "[EOL]",
                           "[1033]", "00000 English", "00002 English", "[EOL]", "[1031]",
                           "00000 German", "00002 Deutsch", "[EOL]"});
  EXPECT_EQ("[----]=System default language;[1033]=English;[1031]=Deutsch;",
            Describe(PairsOf(file)));
}

TEST(LanguageListTest, OnlySixCharacterLinesStartingWithABracketAreHeaders) {
  std::string file = CrLf({"[EOL]", "00000 a", "00002 not a language",    // five characters
                           "[10330]", "00000 a", "00002 not a language",  // seven characters
                           " [1033", "00000 a", "00002 not a language",   // no bracket first
                           "[abcd]", "00000 a", "00002 Named"});
  EXPECT_EQ("[abcd]=Named;", Describe(PairsOf(file)));
}

TEST(LanguageListTest, ReadingGoesOnAfterTheDisplayNameLine) {
  // The two lines after a header are consumed even when one of them looks
  // like a header; the line after them is read as usual.
  const std::string french = std::string("Fran") + '\xE7' + "ais";
  std::string file =
      CrLf({"[1033]", "[1031]", "00002 English", "[1036]", "00000 x", "00002 " + french});
  EXPECT_EQ("[1033]=English;[1036]=" + french + ";", Describe(PairsOf(file)));
}

TEST(LanguageListTest, DisplayNameStartsAtTheSeventhCharacter) {
  struct Row {
    const char* line;
    const char* expected;
  };
  const Row rows[] = {
      {"00002 Deutsch", "[1031]=Deutsch;"},
      {"00002xDeutsch ", "[1031]=Deutsch ;"},
      {"12345", ""},  // too short: no name, no pair
      {"00002 ", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(row.expected, Describe(PairsOf(CrLf({"[1031]", "00000 x", row.line}))));
  }
  EXPECT_EQ("", Describe(PairsOf(CrLf({"[1031]", "00000 x"})))) << "file ends early";
}

TEST(LanguageListTest, MissingFileRaisesFileError) {
  TempDir dir;
  EXPECT_THROW(ReadLanguagePairs(dir.path() + "/nothere.ini"), FileError);
}

TEST(LanguageListTest, ChoiceForLanguage) {
  const std::vector<LanguagePair> pairs = {{"[----]", "System default language"},
                                           {"[1033]", "English"},
                                           {"[1031]", "Deutsch"},
                                           {"[1031]", "Deutsch (2)"}};
  EXPECT_EQ("English", ChoiceForLanguage(pairs, "[1033]"));
  EXPECT_EQ("System default language", ChoiceForLanguage(pairs, "[----]"));
  EXPECT_EQ("Deutsch (2)", ChoiceForLanguage(pairs, "[1031]")) << "last match wins";
  EXPECT_EQ(kSystemDefaultChoice, ChoiceForLanguage(pairs, "[1036]"));
  EXPECT_EQ(kSystemDefaultChoice, ChoiceForLanguage(pairs, "[1033] "));
  EXPECT_EQ(kSystemDefaultChoice, ChoiceForLanguage({}, "[----]"));
}

TEST(LanguageListTest, LanguageForChoice) {
  const std::vector<LanguagePair> pairs = {
      {"[1033]", "English"}, {"[2057]", "English"}, {"[1031]", "Deutsch"}};
  EXPECT_EQ("[1031]", LanguageForChoice(pairs, "Deutsch", "[1033]"));
  EXPECT_EQ("[2057]", LanguageForChoice(pairs, "English", "[1031]")) << "last match wins";
  EXPECT_EQ("[1031]", LanguageForChoice(pairs, "deutsch", "[1031]")) << "case-sensitive";
  EXPECT_EQ("[4242]", LanguageForChoice(pairs, kSystemDefaultChoice, "[4242]"));
  EXPECT_EQ("[----]", LanguageForChoice(pairs, "", "[----]"));
}

}  // namespace
}  // namespace kw::test
